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
    : TvxDocumentWriter(out, options), excel_(*options.Sheet) {}

uint8_t TvxExcelWriter::CellBorders() const {
    return options_.Excel.Options.Has(reUseBorders) ? ebAllBorders : 0;
}

void TvxExcelWriter::ReportTruncation() {
    if (truncated_) return;
    truncated_ = true;
    if (options_.OnError) options_.OnError(xeExportFailed);
}

void TvxExcelWriter::Prologue() {
    const TvxExcelOptions& o = options_.Excel;
    truncated_ = false;
    excel_.SetFileName(out_.Target());
    excel_.SetColumn(1);
    excel_.SetRow(1);
    excel_.SetBorders(0);
    excel_.SetMoveAfterEnter(maRight);
    excel_.SetAlignment(eaGeneral);
    excel_.SetBIFF(TvxBIFFVersion(o.ExcelVersion)); // same ordinals
    excel_.Open();
    excel_.WriteFont(&o.DefaultFont); // font 0: header and footer
    excel_.WriteFont(&o.HeaderFont);  // font 1: captions
    excel_.WriteFont(&o.TableFont);   // font 2: data and row numbers
    if (!o.Header.empty()) excel_.WriteHeader(o.Header);
    if (!o.Footer.empty()) excel_.WriteFooter(o.Footer);
    if (o.Options.Has(reSetMargins)) {
        excel_.WriteLeftMargin(o.LeftMargin);
        excel_.WriteBottomMargin(o.BottomMargin);
        excel_.WriteTopMargin(o.TopMargin);
        excel_.WriteRightMargin(o.RightMargin);
    }
    if (o.Options.Has(reSetColumnWidths)) excel_.WriteColWidth(1, kLastColumn, o.ColumnWidth);
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
        excel_.SetColumn(1);
        excel_.SetRow(row++);
        excel_.WriteLabel(line);
    }
}

void TvxExcelWriter::HeaderText(const TStringList& lines) {
    excel_.SetMoveAfterEnter(maDown);
    excel_.SetActiveFont(0);
    excel_.SetBorders(0);
    WriteColumnLines(lines, 1);
    const int blankRow = int(lines.size()) + 1; // always, even without header lines
    if (blankRow <= kLastRow) {
        excel_.SetColumn(1);
        excel_.SetRow(blankRow);
        excel_.WriteBlank();
    }
    excel_.SetMoveAfterEnter(maRight);
    rowStart_ = blankRow + 1;
    excel_.SetColumn(1);
    excel_.SetRow(rowStart_);
    cellsInRow_ = 0;
}

void TvxExcelWriter::CaptionRow(const TvxFormattedRow& row) {
    cellsInRow_ = 0;
    if (rowStart_ > kLastRow) {
        ReportTruncation();
        return;
    }
    if (Has(xoRowNumbers)) {
        excel_.SetActiveFont(1);
        cellsInRow_ = 1;
        excel_.WriteBlank();
    }
    std::string none; // the cells go to the sheet, not to text
    AppendCells(none, row);
}

bool TvxExcelWriter::CanWriteRecord() {
    if (rowStart_ < kLastRow) return true;
    ReportTruncation(); // the sheet is full: the remaining records are left out
    return false;
}

void TvxExcelWriter::BeginRecord() {
    ++rowStart_;
    cellsInRow_ = 0;
    excel_.SetColumn(1);
    excel_.SetRow(rowStart_);
}

void TvxExcelWriter::DataRow(const TvxFormattedRow& row) {
    std::string none;
    AppendCells(none, row);
}

void TvxExcelWriter::Footer(const TStringList& lines, std::string_view, std::string_view created) {
    TStringList all = lines;
    if (!created.empty()) all.emplace_back(created);
    excel_.SetMoveAfterEnter(maDown);
    excel_.SetActiveFont(0);
    excel_.SetBorders(0);
    WriteColumnLines(all, rowStart_ + 2);
}

void TvxExcelWriter::Epilogue() {
    if (options_.Excel.Protected) excel_.WriteProtect(true);
    excel_.Close();
    excel_.SaveToFile(out_.TempPath());
}

// A row holds at most 256 cells; more would wrap into the next row.
bool TvxExcelWriter::RoomForCell() {
    if (cellsInRow_ >= kLastColumn) {
        ReportTruncation();
        return false;
    }
    ++cellsInRow_;
    return true;
}

// Whole numbers that fit 32 bits become number cells (INTEGER, or NUMBER
// outside 0..65535); everything else, and everything with reCellsAsText, text.
void TvxExcelWriter::WriteCellText(std::string_view text) {
    int32_t value = 0;
    if (!options_.Excel.Options.Has(reCellsAsText) && TryStrToInt(text, value))
        excel_.WriteInteger(value);
    else
        excel_.WriteLabel(text);
}

void TvxExcelWriter::AppendRowNumberCell(std::string&, std::string_view number, int) {
    if (!RoomForCell()) return;
    excel_.SetActiveFont(2);
    excel_.SetBorders(CellBorders());
    WriteCellText(number);
}

void TvxExcelWriter::AppendCell(std::string&, const TvxCellInfo& cell) {
    if (!RoomForCell()) return;
    if (Has(xoUseAlignments)) {
        static const TvxExcelAlignment byCode[] = {eaGeneral, eaLeft, eaRight, eaCenter};
        if (cell.Alignment < 4) excel_.SetAlignment(byCode[cell.Alignment]);
    }
    excel_.SetActiveFont(cell.Header ? 1 : 2);
    excel_.SetBorders(CellBorders());
    WriteCellText(cell.Text);
    excel_.SetAlignment(eaGeneral);
}

} // namespace vx
