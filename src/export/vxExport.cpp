#include "export/vxExport.h"

#include "export/vxDocumentWriter.h"
#include "export/vxExportFormat.h"
#include "export/vxExportOutput.h"
#include "export/vxExportUI.h"
#include "platform/DateTimeFormat.h"
#include "spreadsheet/vxNativeExcel.h"

#include <charconv>
#include <cstring>
#include <stdexcept>

namespace vx {
namespace {

// Used when the component was given no locale: US English pictures.
const ILocale& kDefaultLocale = DefaultLocale();

// The refusal of OnFileExist ends the document quietly; the general handler
// still reports it as a failed export.
struct EAbort : std::exception {
    const char* what() const noexcept override { return "Operation aborted"; }
};

// Folder comparison of TempDir: one trailing backslash is ignored (except
// in a drive root such as C:\), letters compare without case.
std::string FolderKey(std::string s) {
    bool driveRoot = s.size() == 3 && s[1] == ':' && (s[2] == '\\' || s[2] == '/');
    if (!driveRoot && !s.empty() && (s.back() == '\\' || s.back() == '/')) s.pop_back();
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return s;
}

class TCloseGuard {
  public:
    explicit TCloseGuard(TvxCustomExport& e) : export_(e) {}
    ~TCloseGuard() { export_.CloseSource(); }

  private:
    TvxCustomExport& export_;
};

} // namespace

TvxCustomExport::TvxCustomExport(const TPlatform& platform) : platform_(platform) {
    const ILocale& loc = platform_.Locale ? *platform_.Locale : kDefaultLocale;
    DateFormat = loc.ShortDatePicture();
    TimeFormat = loc.ShortTimePicture();
    DateTimeFormat = DateFormat + " " + TimeFormat;
    if (platform_.Files) tempDir_ = platform_.Files->TempPath();
    if (platform_.Fonts) {
        TFont f = platform_.Fonts->DefaultFont();
        TFont bold = f;
        bold.Bold = true;
        DOC_RTF.CustomSettings.DefaultFont = f;
        DOC_RTF.CustomSettings.HeaderFont = bold;
        DOC_RTF.CustomSettings.TableFont = f;
        EXCEL.DefaultFont = f;
        EXCEL.HeaderFont = bold;
        EXCEL.TableFont = f;
    }
    nativeExcel_ = std::make_unique<TvxNativeExcel>(platform_.Locale);
}

TvxCustomExport::~TvxCustomExport() = default;

// ---- Properties ----

void TvxCustomExport::SetExportType(TvxExportType value) {
    exportType_ = value;
    exportTypes_.Include(value);
}

void TvxCustomExport::SetExportTypes(TvxExportTypeSet value) {
    exportTypes_ = value;
    exportTypes_.Include(exportType_); // the current type is always offered
}

void TvxCustomExport::SetRowNumberFormat(const std::string& value) {
    if (value == rowNumberFormat_) return;
    if (value.find("%d") == std::string::npos) {
        if (platform_.Dialogs) platform_.Dialogs->ShowError("The format has to contain %d string.");
        return;
    }
    rowNumberFormat_ = value;
}

void TvxCustomExport::SetTempDir(const std::string& value) {
    if (FolderKey(value) != FolderKey(tempDir_)) tempDir_ = value;
}

bool TvxCustomExport::TempDirStored() const {
    std::string system = platform_.Files ? platform_.Files->TempPath() : std::string();
    return FolderKey(tempDir_) != FolderKey(system);
}

std::string TvxCustomExport::Version() const {
    return std::to_string((versionNumber_ >> 8) & 0xFF) + "." +
           std::to_string(versionNumber_ & 0xFF);
}

// ---- Names ----

std::string TvxCustomExport::DefaultExtension() const {
    switch (exportType_) {
    case xtHTML:
        return HTML.Extension == exHTM ? "HTM" : "HTML";
    case xtExcel:
        return "XLS";
    case xtWord:
        return "DOC";
    case xtTXT:
    case xtTAB:
        return "TXT";
    case xtCSV:
        return "CSV";
    case xtRTF:
        return "RTF";
    case xtDIF:
        return "DIF";
    case xtSYLK:
        return "SLK";
    case xtClipboard:
        return "TMP";
    }
    return "TMP";
}

std::string TvxCustomExport::FilterString() const {
    const TvxDocumentFilter& f = Messages.DocumentFilter;
    std::string name;
    switch (exportType_) {
    case xtHTML:
        name = f.HTML;
        break;
    case xtExcel:
        name = f.Excel;
        break;
    case xtWord:
        name = f.Word;
        break;
    case xtTXT:
        name = f.Text;
        break;
    case xtCSV:
        name = f.Comma;
        break;
    case xtTAB:
        name = f.Tab;
        break;
    case xtRTF:
        name = f.RTF;
        break;
    case xtDIF:
        name = f.DIF;
        break;
    case xtSYLK:
        name = f.SYLK;
        break;
    case xtClipboard:
        break;
    }
    std::string ext = DefaultExtension();
    std::string lower = ext;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = char(c + 32);
    return name + " (*." + lower + ")|*." + ext;
}

std::string TvxCustomExport::OutputName(const std::string& ext) {
    if (ExportStyle == xsFile) return ChangeFileExt(FileName, "." + ext);
    std::string name;
    for (unsigned counter = 1; counter <= 0xFFFF; ++counter) {
        name = ChangeFileExt(platform_.Files->TempFileName(tempDir_, "VEXEL", counter), "." + ext);
        if (!platform_.Files->FileExists(name)) break;
    }
    return name;
}

// ---- Operations ----

void TvxCustomExport::Execute() {
    if (ui_ && !ui_->SelectFormat(*this)) return;
    if (FileName.empty() && ExportStyle == xsFile && exportType_ != xtClipboard) {
        TSaveDialogParams params;
        params.Title = Messages.SaveTitle;
        params.DefaultExt = DefaultExtension();
        params.Filter = FilterString();
        if (platform_.Files) params.InitialDir = platform_.Files->ProgramFolder();
        std::string chosen;
        if (!platform_.Dialogs || !platform_.Dialogs->SaveFile(params, chosen)) {
            DoError(xeSaveCancelled);
            return;
        }
        FileName = chosen; // later exports reuse it without asking
    }
    ExportData();
}

void TvxCustomExport::ExportData() {
    written_ = false;
    opened_.clear();
    openResult_ = 0;
    if (!HasSource()) {
        DoError(xeNoSource);
        return;
    }
    OpenSource();
    TCloseGuard guard(*this);
    if (exportType_ != xtClipboard && ExportStyle == xsFile && FileName.empty()) {
        DoError(xeNoFileName);
        return;
    }
    if (ExportStyle == xsView && !platform_.Files) {
        DoError(xeExportFailed); // no place for the temporary document
        return;
    }
    std::string ext = DefaultExtension();
    if (OnGetExtension) OnGetExtension(*this, ext);
    std::string name = OutputName(ext);
    WriteDocument(name);
    // Only a document that was written is opened: asking the shell for a
    // file that is not there would put its error box in front of the user.
    if (ExportStyle == xsView && exportType_ != xtClipboard && written_ && platform_.Shell) {
        opened_ = name;
        openResult_ =
            platform_.Shell->Open(name, ExtractFilePath(name), 4 /* show without activating */);
    }
}

void TvxCustomExport::WriteDocument(const std::string& outputName) {
    written_ = false;
    if (OnBeginExport) OnBeginExport(*this);
    RecordCount = GetRecordCount();
    std::unique_ptr<IExportProgress> progress;
    if (Options.Has(xoShowProgress) && ui_) progress = ui_->ShowProgress(*this, RecordCount);
    progress_ = progress.get();
    bool ended = true;
    std::unique_ptr<TvxDocumentWriter> writer;
    try {
        // The clipboard type writes no file, so there is nothing to replace.
        if (exportType_ != xtClipboard && platform_.Files &&
            platform_.Files->FileExists(outputName)) {
            bool canOverWrite = true;
            if (OnFileExist) OnFileExist(*this, outputName, canOverWrite);
            if (!canOverWrite) {
                DoError(xeFileExists);
                throw EAbort();
            }
        }
        RecordIndex = 0;
        ExportedCount = 0;
        OutputRow = 1;
        FirstRecord();
        if (GetColumnCount() == 0) {
            ended = false; // nothing to write and nothing to announce
        } else {
            out_ = std::make_unique<TvxOutput>();
            ReadColumnLayout();
            writer = CreateDocumentWriter(exportType_, *out_, WriterOptions());
            if (!writer) throw std::runtime_error("no writer for this type");
            if (writer->WritesToMemory())
                out_->OpenMemory();
            else
                out_->OpenFile(outputName, !writer->WritesOwnFile());
            writer_ = writer.get();
            WritePhases(*writer);
            out_->Commit();
            written_ = true;
        }
    } catch (...) {
        if (out_) out_->Abort();
        writer_ = nullptr;
        DoError(xeExportFailed);
    }
    writer_ = nullptr;
    writer.reset();
    out_.reset();
    progress_ = nullptr;
    progress.reset();
    if (ended && OnEndExport) OnEndExport(*this);
}

void TvxCustomExport::ReadColumnLayout() {
    int n = GetColumnCount();
    columns_.assign(size_t(n), TColumn{});
    for (int i = 0; i < n; ++i) {
        TColumn& c = columns_[size_t(i)];
        c.Visible = IsColumnVisible(i);
        c.Width = EffectiveColumnWidth(i, GetColumnWidth(i));
        c.Alignment = GetColumnAlignment(i);
    }
    rowNumberWidthFormat_.clear();
    layoutValid_ = false;
}

void TvxCustomExport::WritePhases(TvxDocumentWriter& writer) {
    writer.Prologue();
    std::string text;
    TStringList lines;
    if (OnGetHeader) OnGetHeader(*this, uint32_t(RecordCount), text);
    SplitLines(text, lines);
    writer.HeaderText(lines);
    if (Options.Has(xoShowHeader)) {
        TvxValues captions(static_cast<size_t>(ColumnCount()));
        for (size_t i = 0; i < captions.size(); ++i)
            captions[i] = TVariant(i < captions_.size() ? captions_[i] : GetColumnCaption(int(i)));
        writer.CaptionRow(FormatCells(captions, true, false));
        ++OutputRow;
    }
    writer.HeaderSeparator(SeparatorLine(true));
    WriteRecords(writer);
    writer.EndTable();
    text.clear();
    lines.clear();
    if (OnGetFooter) OnGetFooter(*this, uint32_t(RecordCount), text);
    SplitLines(text, lines);
    std::string separator = SeparatorLine(false);
    std::string created = Options.Has(xoShowExportDate) ? CreatedLine() : std::string();
    writer.Footer(lines, separator, created);
    writer.Epilogue();
}

void TvxCustomExport::WriteRecords(TvxDocumentWriter& writer) {
    const bool selectedOnly = Options.Has(xoSelectedRowsOnly);
    while (!IsEndOfRecords()) {
        GetRecordValues(values_);
        bool selected = selectedOnly ? IsRecordSelected(RecordIndex) : true;
        if (OnExport)
            OnExport(*this, uint32_t(RecordIndex), uint32_t(RecordCount), values_, selected);
        if (progress_ && Options.Has(xoShowProgress)) progress_->SetPosition(RecordIndex);
        if (!selected) {
            ++RecordIndex;
            continue;
        }
        if (!writer.CanWriteRecord()) break;
        writer.BeginRecord();
        writer.DataRow(FormatCells(values_, false, Options.Has(xoRowNumbers)));
        ++OutputRow;
        ++RecordIndex;
        ++ExportedCount;
    }
}

// ---- Shared routines ----

void TvxCustomExport::DoError(TvxExportError error) {
    if (OnError) OnError(*this, error);
}

std::string_view TvxCustomExport::CellText(const TVariant& value, int width,
                                           std::string& scratch) const {
    std::string_view text;
    if (value.VarType() == varString) { // the common case, without a call
        text = value.AsString();
    } else if (value.IsNull()) {
        text = "** NULL **";
    } else if (value.IsString()) {
        text = value.AsString();
    } else {
        scratch = VarToStr(value, platform_.Locale ? *platform_.Locale : kDefaultLocale);
        text = scratch;
    }
    // A zero byte ends the text for most readers (and for the clipboard):
    // written as a space, nothing after it is lost.
    if (std::memchr(text.data(), '\0', text.size())) {
        std::string clean(text);
        for (char& c : clean)
            if (c == '\0') c = ' ';
        scratch = std::move(clean);
        text = scratch;
    }
    if (Options.Has(xoTruncate) && width > 0 && size_t(width) < text.size()) {
        int keep = width - int(TruncateSymbol.size());
        std::string cut(text.substr(0, keep > 0 ? size_t(keep) : 0));
        cut += TruncateSymbol;
        scratch = std::move(cut);
        text = scratch;
    }
    return text;
}

std::string TvxCustomExport::ValueText(const TVariant& value) const {
    return VarToStr(value, platform_.Locale ? *platform_.Locale : kDefaultLocale);
}

std::string TvxCustomExport::CellText(const TVariant& value, int width) const {
    std::string scratch;
    return std::string(CellText(value, width, scratch));
}

int TvxCustomExport::EffectiveColumnWidth(int index, int defaultWidth) {
    int32_t w = 0;
    if (index >= 0 && index < GetColumnCount() && size_t(index) < columnWidths_.size() &&
        TryStrToInt(columnWidths_[size_t(index)], w))
        return w;
    return defaultWidth;
}

void TvxCustomExport::RowNumberParts(std::string& number, int& width) const {
    if (rowNumberFormat_ == "%d") {
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, ExportedCount + 1);
        number.assign(buf, r.ptr);
    } else if (!FormatInteger(rowNumberFormat_, ExportedCount + 1, number)) {
        number = std::to_string(ExportedCount + 1);
        width = int(std::to_string(RecordCount).size());
        return;
    }
    // The width depends only on the format and RecordCount: kept between rows.
    if (rowNumberWidthFormat_ != rowNumberFormat_ || rowNumberWidthCount_ != RecordCount) {
        std::string s;
        if (!FormatInteger(rowNumberFormat_, RecordCount, s)) {
            number = std::to_string(ExportedCount + 1);
            s = std::to_string(RecordCount);
        }
        rowNumberWidthFormat_ = rowNumberFormat_;
        rowNumberWidthCount_ = RecordCount;
        rowNumberWidth_ = int(s.size());
    }
    width = rowNumberWidth_;
}

bool TvxCustomExport::WritesColumn(int index) const {
    return Options.Has(xoExportInvisibles) || columns_[size_t(index)].Visible;
}

int TvxCustomExport::WrittenColumnCount() const {
    int n = 0;
    for (int i = 0; i < ColumnCount(); ++i)
        n += WritesColumn(i);
    return n;
}

void TvxCustomExport::FormatRow(const TvxValues& values, bool header, bool rowNumber,
                                std::string& row) {
    row.clear();
    AppendRow(values, header, rowNumber, row);
}

TvxDocumentWriter* TvxCustomExport::ShapingWriter(std::unique_ptr<TvxDocumentWriter>& temporary) {
    if (writer_) return writer_;
    if (columns_.size() != size_t(GetColumnCount())) ReadColumnLayout();
    if (!noOutput_) noOutput_ = std::make_unique<TvxOutput>();
    temporary = CreateDocumentWriter(exportType_, *noOutput_, WriterOptions());
    return temporary.get();
}

void TvxCustomExport::LayoutCells(bool invisibles) {
    cells_.clear();
    for (size_t i = 0; i < columns_.size(); ++i) {
        if (!invisibles && !columns_[i].Visible) continue;
        TvxCellInfo cell;
        cell.Column = int(i);
        cell.Width = columns_[i].Width;
        cell.Alignment = columns_[i].Alignment;
        cells_.push_back(cell);
    }
    layoutCount_ = cells_.size();
    // Grown before any text points into it.
    if (scratch_.size() < layoutCount_) scratch_.resize(layoutCount_);
    layoutInvisibles_ = invisibles;
    layoutValid_ = true;
}

const TvxFormattedRow& TvxCustomExport::FormatCells(const TvxValues& values, bool header,
                                                    bool rowNumber) {
    TvxFormattedRow& row = formatted_;
    row = TvxFormattedRow{};
    row.Header = header;
    row.RowNumber = rowNumber && !header;
    row.RecordIndex = RecordIndex;
    row.OutputRow = OutputRow;
    // The caption row carries the first row number too: some types leave
    // room for it above the numbers.
    if (row.RowNumber || (header && Options.Has(xoRowNumbers))) {
        RowNumberParts(number_, row.NumberWidth);
        row.Number = number_;
    }
    const bool invisibles = Options.Has(xoExportInvisibles);
    const int first = row.RowNumber ? 1 : 0;
    if (values.size() == columns_.size()) {
        // The usual record: only its texts change from row to row.
        if (!layoutValid_ || layoutInvisibles_ != invisibles) LayoutCells(invisibles);
        const bool truncate = Options.Has(xoTruncate);
        for (size_t k = 0; k < layoutCount_; ++k) {
            TvxCellInfo& cell = cells_[k];
            const TVariant& value = values[size_t(cell.Column)];
            cell.Position = first + int(k);
            cell.Value = &value;
            cell.Header = header;
            // A string that needs no change is the cell text as it is.
            const std::string& s = value.AsString();
            if (value.VarType() == varString && !HasZeroByte(s) &&
                !(truncate && cell.Width > 0 && size_t(cell.Width) < s.size()))
                cell.Text = s;
            else
                cell.Text = CellText(value, cell.Width, scratch_[k]);
        }
        row.Cells = cells_.data();
        row.Count = layoutCount_;
        return row;
    }
    // A record of another size than the layout: each column asked as it comes.
    layoutValid_ = false;
    // Grown before any text points into it.
    if (scratch_.size() < values.size()) scratch_.resize(values.size());
    if (cells_.size() < values.size()) cells_.resize(values.size());
    size_t count = 0;
    int position = first;
    for (size_t i = 0; i < values.size(); ++i) {
        const int col = int(i);
        bool known = i < columns_.size();
        if (!invisibles && !(known ? columns_[i].Visible : IsColumnVisible(col))) continue;
        int width = known ? columns_[i].Width : EffectiveColumnWidth(col, GetColumnWidth(col));
        TvxCellInfo& cell = cells_[count++];
        cell.Column = col;
        cell.Position = position++;
        cell.Text = CellText(values[i], width, scratch_[i]);
        cell.Width = width;
        cell.Alignment = known ? columns_[i].Alignment : GetColumnAlignment(col);
        cell.Value = &values[i];
        cell.Header = header;
    }
    row.Cells = cells_.data();
    row.Count = count;
    return row;
}

void TvxCustomExport::AppendRow(const TvxValues& values, bool header, bool rowNumber,
                                std::string& out) {
    // Outside WriteDocument the current type's writer shapes the cells.
    std::unique_ptr<TvxDocumentWriter> temporary;
    TvxDocumentWriter* writer = ShapingWriter(temporary);
    if (!writer) throw std::runtime_error("no writer for this type");
    writer->AppendCells(out, FormatCells(values, header, rowNumber));
    ++OutputRow;
}

std::string TvxCustomExport::FormatRow(const TvxValues& values, bool header, bool rowNumber) {
    std::string row;
    FormatRow(values, header, rowNumber, row);
    return row;
}

std::string TvxCustomExport::RowNumberCell() {
    std::unique_ptr<TvxDocumentWriter> temporary;
    TvxDocumentWriter* writer = ShapingWriter(temporary);
    if (!writer) return std::string();
    TvxFormattedRow row;
    row.RowNumber = true;
    row.RecordIndex = RecordIndex;
    row.OutputRow = OutputRow;
    std::string number, cell;
    RowNumberParts(number, row.NumberWidth);
    row.Number = number;
    writer->AppendCells(cell, row);
    return cell;
}

int TvxCustomExport::TotalTextWidth() {
    int n = GetColumnCount();
    int total = n - 1;
    for (int i = 0; i < n; ++i)
        if (Options.Has(xoExportInvisibles) || IsColumnVisible(i))
            total += EffectiveColumnWidth(i, GetColumnWidth(i));
    if (Options.Has(xoRowNumbers)) total += int(RowNumberCell().size()) + 1;
    return total;
}

std::string TvxCustomExport::SeparatorLine(bool header) {
    bool wanted = header ? Options.Has(xoHeaderLine) : Options.Has(xoFooterLine);
    if (!wanted) return std::string();
    if (exportType_ == xtHTML) return "  <HR>";
    if (exportType_ == xtTXT || exportType_ == xtClipboard) {
        int w = TotalTextWidth();
        return std::string(w > 0 ? size_t(w) : 0, '-');
    }
    return std::string();
}

TvxWriterOptions TvxCustomExport::WriterOptions() {
    TvxWriterOptions o;
    o.Options = Options;
    o.HTML = HTML;
    o.RTF = DOC_RTF;
    o.Excel = EXCEL;
    o.ColumnWidths = columnWidths_;
    o.Title = ClassName();
    o.ColumnCount = GetColumnCount();
    if (columns_.size() == size_t(o.ColumnCount)) {
        o.WrittenColumnCount = WrittenColumnCount();
    } else {
        for (int i = 0; i < o.ColumnCount; ++i)
            o.WrittenColumnCount += Options.Has(xoExportInvisibles) || IsColumnVisible(i);
    }
    o.RecordCount = RecordCount;
    o.CopiedToClipboard = Messages.CopiedToClipboard;
    o.Locale = platform_.Locale ? platform_.Locale : &kDefaultLocale;
    o.CodePage = platform_.Locale ? platform_.Locale->AnsiCodePage() : 1252;
    o.Fonts = platform_.Fonts;
    o.PixelsPerInch = platform_.Screen ? platform_.Screen->PixelsPerInchY() : 96;
    o.Clipboard = platform_.Clipboard;
    o.Dialogs = platform_.Dialogs;
    o.Sheet = nativeExcel_.get();
    o.OnError = [this](TvxExportError error) { DoError(error); };
    return o;
}

std::string TvxCustomExport::CreatedLine() const {
    const ILocale& loc = platform_.Locale ? *platform_.Locale : kDefaultLocale;
    TDateTime now = platform_.Clock ? platform_.Clock->Now() : 0;
    std::string line;
    if (!FormatString(Messages.CreatedText + " %s", DateTimeToStr(loc, now), line))
        throw std::runtime_error("invalid CreatedText format");
    return line;
}

} // namespace vx
