#include "export/vxExportExcel.h"

#include "export/vxExportFormat.h"
#include "export/vxExportOutput.h"
#include "spreadsheet/vxNativeExcel.h"

namespace vx {
namespace {

constexpr int kLastRow = TvxNativeExcel::kRowLimit;
constexpr int kLastColumn = TvxNativeExcel::kColumnLimit;

} // namespace

std::unique_ptr<TvxDocumentWriter> CreateExcelWriter(TvxOutput& out,
                                                     const TvxWriterOptions& options) {
    if (!options.Sheet) return nullptr;
    return std::make_unique<TvxExcelWriter>(out, options);
}

TvxExcelWriter::TvxExcelWriter(TvxOutput& out, const TvxWriterOptions& options)
    : TvxDocumentWriter(out, options), FExcel(*options.Sheet) {}

uint8_t TvxExcelWriter::CellBorders() const {
    return FOptions.Excel.Options.Has(reUseBorders) ? ebAllBorders : 0;
}

void TvxExcelWriter::ReportTruncation() {
    if (FTruncated) return;
    FTruncated = true;
    if (FOptions.OnError) FOptions.OnError(xeExportFailed);
}

void TvxExcelWriter::Prologue() {
    const TvxExcelOptions& o = FOptions.Excel;
    FTruncated = false;
    FExcel.SetFileName(FOut.Target());
    FExcel.SetColumn(1);
    FExcel.SetRow(1);
    FExcel.SetBorders(0);
    FExcel.SetMoveAfterEnter(maRight);
    FExcel.SetAlignment(eaGeneral);
    FExcel.SetBIFF(TvxBIFFVersion(o.ExcelVersion)); // same ordinals
    FExcel.Open();
    FExcel.WriteFont(&o.DefaultFont); // font 0: header and footer
    FExcel.WriteFont(&o.HeaderFont);  // font 1: captions
    FExcel.WriteFont(&o.TableFont);   // font 2: data and row numbers
    if (!o.Header.empty()) FExcel.WriteHeader(o.Header);
    if (!o.Footer.empty()) FExcel.WriteFooter(o.Footer);
    if (o.Options.Has(reSetMargins)) {
        FExcel.WriteLeftMargin(o.LeftMargin);
        FExcel.WriteBottomMargin(o.BottomMargin);
        FExcel.WriteTopMargin(o.TopMargin);
        FExcel.WriteRightMargin(o.RightMargin);
    }
    if (o.Options.Has(reSetColumnWidths)) FExcel.WriteColWidth(1, kLastColumn, o.ColumnWidth);
}

// The cursor walks down column 1; rows are set explicitly so that lines past
// the last row are dropped instead of wrapping into column 2 at the top.
void TvxExcelWriter::WriteColumnLines(const TStringList& lines, int firstRow) {
    int row = firstRow;
    for (const std::string& line : lines) {
        if (row > kLastRow) {
            ReportTruncation();
            return;
        }
        FExcel.SetColumn(1);
        FExcel.SetRow(row++);
        FExcel.WriteLabel(line);
    }
}

void TvxExcelWriter::HeaderText(const TStringList& lines) {
    FExcel.SetMoveAfterEnter(maDown);
    FExcel.SetActiveFont(0);
    FExcel.SetBorders(0);
    WriteColumnLines(lines, 1);
    const int blankRow = int(lines.size()) + 1; // always, even without header lines
    if (blankRow <= kLastRow) {
        FExcel.SetColumn(1);
        FExcel.SetRow(blankRow);
        FExcel.WriteBlank();
    }
    FExcel.SetMoveAfterEnter(maRight);
    FRowStart = blankRow + 1;
    FExcel.SetColumn(1);
    FExcel.SetRow(FRowStart);
    FCellsInRow = 0;
}

void TvxExcelWriter::CaptionRow(const TvxFormattedRow& row) {
    FCellsInRow = 0;
    if (FRowStart > kLastRow) {
        ReportTruncation();
        return;
    }
    if (Has(xoRowNumbers)) {
        FExcel.SetActiveFont(1);
        FCellsInRow = 1;
        FExcel.WriteBlank();
    }
    std::string none; // the cells go to the sheet, not to text
    AppendCells(none, row);
}

bool TvxExcelWriter::CanWriteRecord() {
    if (FRowStart < kLastRow) return true;
    ReportTruncation(); // the sheet is full: the remaining records are left out
    return false;
}

void TvxExcelWriter::BeginRecord() {
    ++FRowStart;
    FCellsInRow = 0;
    FExcel.SetColumn(1);
    FExcel.SetRow(FRowStart);
}

void TvxExcelWriter::DataRow(const TvxFormattedRow& row) {
    std::string none;
    AppendCells(none, row);
}

void TvxExcelWriter::Footer(const TStringList& lines, std::string_view, std::string_view created) {
    TStringList all = lines;
    if (!created.empty()) all.emplace_back(created);
    FExcel.SetMoveAfterEnter(maDown);
    FExcel.SetActiveFont(0);
    FExcel.SetBorders(0);
    WriteColumnLines(all, FRowStart + 2);
}

void TvxExcelWriter::Epilogue() {
    if (FOptions.Excel.Protected) FExcel.WriteProtect(true);
    FExcel.Close();
    FExcel.SaveToFile(FOut.TempPath());
}

// A row holds at most 256 cells; more would wrap into the next row.
bool TvxExcelWriter::RoomForCell() {
    if (FCellsInRow >= kLastColumn) {
        ReportTruncation();
        return false;
    }
    ++FCellsInRow;
    return true;
}

// Whole numbers that fit 32 bits become number cells (INTEGER, or NUMBER
// outside 0..65535); everything else, and everything with reCellsAsText, text.
void TvxExcelWriter::WriteCellText(std::string_view text) {
    int32_t value = 0;
    if (!FOptions.Excel.Options.Has(reCellsAsText) && TryStrToInt(text, value))
        FExcel.WriteInteger(value);
    else
        FExcel.WriteLabel(text);
}

void TvxExcelWriter::AppendRowNumberCell(std::string&, std::string_view number, int) {
    if (!RoomForCell()) return;
    FExcel.SetActiveFont(2);
    FExcel.SetBorders(CellBorders());
    WriteCellText(number);
}

void TvxExcelWriter::AppendCell(std::string&, const TvxCellInfo& cell) {
    if (!RoomForCell()) return;
    if (Has(xoUseAlignments)) {
        static const TvxExcelAlignment byCode[] = {eaGeneral, eaLeft, eaRight, eaCenter};
        if (cell.Alignment < 4) FExcel.SetAlignment(byCode[cell.Alignment]);
    }
    FExcel.SetActiveFont(cell.Header ? 1 : 2);
    FExcel.SetBorders(CellBorders());
    WriteCellText(cell.Text);
    FExcel.SetAlignment(eaGeneral);
}

} // namespace vx
