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
    explicit TCloseGuard(TvxCustomExport& e) : FExport(e) {}
    ~TCloseGuard() { FExport.CloseSource(); }

  private:
    TvxCustomExport& FExport;
};

} // namespace

TvxCustomExport::TvxCustomExport(const TPlatform& platform) : FPlatform(platform) {
    const ILocale& loc = FPlatform.Locale ? *FPlatform.Locale : kDefaultLocale;
    DateFormat = loc.ShortDatePicture();
    TimeFormat = loc.ShortTimePicture();
    DateTimeFormat = DateFormat + " " + TimeFormat;
    if (FPlatform.Files) FTempDir = FPlatform.Files->TempPath();
    if (FPlatform.Fonts) {
        TFont f = FPlatform.Fonts->DefaultFont();
        TFont bold = f;
        bold.Bold = true;
        DOC_RTF.CustomSettings.DefaultFont = f;
        DOC_RTF.CustomSettings.HeaderFont = bold;
        DOC_RTF.CustomSettings.TableFont = f;
        EXCEL.DefaultFont = f;
        EXCEL.HeaderFont = bold;
        EXCEL.TableFont = f;
    }
    FNativeExcel = std::make_unique<TvxNativeExcel>(FPlatform.Locale);
}

TvxCustomExport::~TvxCustomExport() = default;

// ---- Properties ----

void TvxCustomExport::SetExportType(TvxExportType value) {
    FExportType = value;
    FExportTypes.Include(value);
}

void TvxCustomExport::SetExportTypes(TvxExportTypeSet value) {
    FExportTypes = value;
    FExportTypes.Include(FExportType); // the current type is always offered
}

void TvxCustomExport::SetRowNumberFormat(const std::string& value) {
    if (value == FRowNumberFormat) return;
    if (value.find("%d") == std::string::npos) {
        if (FPlatform.Dialogs) FPlatform.Dialogs->ShowError("The format has to contain %d string.");
        return;
    }
    FRowNumberFormat = value;
}

void TvxCustomExport::SetTempDir(const std::string& value) {
    if (FolderKey(value) != FolderKey(FTempDir)) FTempDir = value;
}

bool TvxCustomExport::TempDirStored() const {
    std::string system = FPlatform.Files ? FPlatform.Files->TempPath() : std::string();
    return FolderKey(FTempDir) != FolderKey(system);
}

std::string TvxCustomExport::Version() const {
    return std::to_string((FVersionNumber >> 8) & 0xFF) + "." +
           std::to_string(FVersionNumber & 0xFF);
}

// ---- Names ----

std::string TvxCustomExport::DefaultExtension() const {
    switch (FExportType) {
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
    switch (FExportType) {
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
        name = ChangeFileExt(FPlatform.Files->TempFileName(FTempDir, "VEXEL", counter), "." + ext);
        if (!FPlatform.Files->FileExists(name)) break;
    }
    return name;
}

// ---- Operations ----

void TvxCustomExport::Execute() {
    if (FUI && !FUI->SelectFormat(*this)) return;
    if (FileName.empty() && ExportStyle == xsFile && FExportType != xtClipboard) {
        TSaveDialogParams params;
        params.Title = Messages.SaveTitle;
        params.DefaultExt = DefaultExtension();
        params.Filter = FilterString();
        if (FPlatform.Files) params.InitialDir = FPlatform.Files->ProgramFolder();
        std::string chosen;
        if (!FPlatform.Dialogs || !FPlatform.Dialogs->SaveFile(params, chosen)) {
            DoError(xeSaveCancelled);
            return;
        }
        FileName = chosen; // later exports reuse it without asking
    }
    ExportData();
}

void TvxCustomExport::ExportData() {
    FWritten = false;
    FOpened.clear();
    FOpenResult = 0;
    if (!HasSource()) {
        DoError(xeNoSource);
        return;
    }
    OpenSource();
    TCloseGuard guard(*this);
    if (FExportType != xtClipboard && ExportStyle == xsFile && FileName.empty()) {
        DoError(xeNoFileName);
        return;
    }
    if (ExportStyle == xsView && !FPlatform.Files) {
        DoError(xeExportFailed); // no place for the temporary document
        return;
    }
    std::string ext = DefaultExtension();
    if (OnGetExtension) OnGetExtension(*this, ext);
    std::string name = OutputName(ext);
    WriteDocument(name);
    // Only a document that was written is opened: asking the shell for a
    // file that is not there would put its error box in front of the user.
    if (ExportStyle == xsView && FExportType != xtClipboard && FWritten && FPlatform.Shell) {
        FOpened = name;
        FOpenResult =
            FPlatform.Shell->Open(name, ExtractFilePath(name), 4 /* show without activating */);
    }
}

void TvxCustomExport::WriteDocument(const std::string& outputName) {
    FWritten = false;
    if (OnBeginExport) OnBeginExport(*this);
    RecordCount = GetRecordCount();
    std::unique_ptr<IExportProgress> progress;
    if (Options.Has(xoShowProgress) && FUI) progress = FUI->ShowProgress(*this, RecordCount);
    FProgress = progress.get();
    bool ended = true;
    std::unique_ptr<TvxDocumentWriter> writer;
    try {
        // The clipboard type writes no file, so there is nothing to replace.
        if (FExportType != xtClipboard && FPlatform.Files &&
            FPlatform.Files->FileExists(outputName)) {
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
            FOut = std::make_unique<TvxOutput>();
            ReadColumnLayout();
            writer = CreateDocumentWriter(FExportType, *FOut, WriterOptions());
            if (!writer) throw std::runtime_error("no writer for this type");
            if (writer->WritesToMemory())
                FOut->OpenMemory();
            else
                FOut->OpenFile(outputName, !writer->WritesOwnFile());
            FWriter = writer.get();
            WritePhases(*writer);
            FOut->Commit();
            FWritten = true;
        }
    } catch (...) {
        if (FOut) FOut->Abort();
        FWriter = nullptr;
        DoError(xeExportFailed);
    }
    FWriter = nullptr;
    writer.reset();
    FOut.reset();
    FProgress = nullptr;
    progress.reset();
    if (ended && OnEndExport) OnEndExport(*this);
}

void TvxCustomExport::ReadColumnLayout() {
    int n = GetColumnCount();
    FColumns.assign(size_t(n), TColumn{});
    for (int i = 0; i < n; ++i) {
        TColumn& c = FColumns[size_t(i)];
        c.Visible = IsColumnVisible(i);
        c.Width = EffectiveColumnWidth(i, GetColumnWidth(i));
        c.Alignment = GetColumnAlignment(i);
    }
    FRowNumberWidthFormat.clear();
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
            captions[i] = TVariant(i < FCaptions.size() ? FCaptions[i] : GetColumnCaption(int(i)));
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
        GetRecordValues(FValues);
        bool selected = selectedOnly ? IsRecordSelected(RecordIndex) : true;
        if (OnExport)
            OnExport(*this, uint32_t(RecordIndex), uint32_t(RecordCount), FValues, selected);
        if (FProgress && Options.Has(xoShowProgress)) FProgress->SetPosition(RecordIndex);
        if (!selected) {
            ++RecordIndex;
            continue;
        }
        if (!writer.CanWriteRecord()) break;
        writer.BeginRecord();
        writer.DataRow(FormatCells(FValues, false, Options.Has(xoRowNumbers)));
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
        scratch = VarToStr(value, FPlatform.Locale ? *FPlatform.Locale : kDefaultLocale);
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
    return VarToStr(value, FPlatform.Locale ? *FPlatform.Locale : kDefaultLocale);
}

std::string TvxCustomExport::CellText(const TVariant& value, int width) const {
    std::string scratch;
    return std::string(CellText(value, width, scratch));
}

int TvxCustomExport::EffectiveColumnWidth(int index, int defaultWidth) {
    int32_t w = 0;
    if (index >= 0 && index < GetColumnCount() && size_t(index) < FColumnWidths.size() &&
        TryStrToInt(FColumnWidths[size_t(index)], w))
        return w;
    return defaultWidth;
}

void TvxCustomExport::RowNumberParts(std::string& number, int& width) const {
    if (FRowNumberFormat == "%d") {
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, ExportedCount + 1);
        number.assign(buf, r.ptr);
    } else if (!FormatInteger(FRowNumberFormat, ExportedCount + 1, number)) {
        number = std::to_string(ExportedCount + 1);
        width = int(std::to_string(RecordCount).size());
        return;
    }
    // The width depends only on the format and RecordCount: kept between rows.
    if (FRowNumberWidthFormat != FRowNumberFormat || FRowNumberWidthCount != RecordCount) {
        std::string s;
        if (!FormatInteger(FRowNumberFormat, RecordCount, s)) {
            number = std::to_string(ExportedCount + 1);
            s = std::to_string(RecordCount);
        }
        FRowNumberWidthFormat = FRowNumberFormat;
        FRowNumberWidthCount = RecordCount;
        FRowNumberWidth = int(s.size());
    }
    width = FRowNumberWidth;
}

bool TvxCustomExport::WritesColumn(int index) const {
    return Options.Has(xoExportInvisibles) || FColumns[size_t(index)].Visible;
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
    if (FWriter) return FWriter;
    if (FColumns.size() != size_t(GetColumnCount())) ReadColumnLayout();
    if (!FNoOutput) FNoOutput = std::make_unique<TvxOutput>();
    temporary = CreateDocumentWriter(FExportType, *FNoOutput, WriterOptions());
    return temporary.get();
}

const TvxFormattedRow& TvxCustomExport::FormatCells(const TvxValues& values, bool header,
                                                    bool rowNumber) {
    TvxFormattedRow& row = FFormatted;
    row = TvxFormattedRow{};
    row.Header = header;
    row.RowNumber = rowNumber && !header;
    row.RecordIndex = RecordIndex;
    row.OutputRow = OutputRow;
    // The caption row carries the first row number too: some types leave
    // room for it above the numbers.
    if (row.RowNumber || (header && Options.Has(xoRowNumbers))) {
        RowNumberParts(FNumber, row.NumberWidth);
        row.Number = FNumber;
    }
    // Grown before any text points into it.
    if (FScratch.size() < values.size()) FScratch.resize(values.size());
    if (FCells.size() < values.size()) FCells.resize(values.size());
    size_t count = 0;
    int position = row.RowNumber ? 1 : 0;
    const bool invisibles = Options.Has(xoExportInvisibles);
    for (size_t i = 0; i < values.size(); ++i) {
        const int col = int(i);
        bool known = i < FColumns.size();
        if (!invisibles && !(known ? FColumns[i].Visible : IsColumnVisible(col))) continue;
        int width = known ? FColumns[i].Width : EffectiveColumnWidth(col, GetColumnWidth(col));
        TvxCellInfo& cell = FCells[count++];
        cell.Column = col;
        cell.Position = position++;
        cell.Text = CellText(values[i], width, FScratch[i]);
        cell.Width = width;
        cell.Alignment = known ? FColumns[i].Alignment : GetColumnAlignment(col);
        cell.Value = &values[i];
        cell.Header = header;
    }
    row.Cells = FCells.data();
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
    if (FExportType == xtHTML) return "  <HR>";
    if (FExportType == xtTXT || FExportType == xtClipboard) {
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
    o.ColumnWidths = FColumnWidths;
    o.Title = ClassName();
    o.ColumnCount = GetColumnCount();
    if (FColumns.size() == size_t(o.ColumnCount)) {
        o.WrittenColumnCount = WrittenColumnCount();
    } else {
        for (int i = 0; i < o.ColumnCount; ++i)
            o.WrittenColumnCount += Options.Has(xoExportInvisibles) || IsColumnVisible(i);
    }
    o.RecordCount = RecordCount;
    o.CopiedToClipboard = Messages.CopiedToClipboard;
    o.Locale = FPlatform.Locale ? FPlatform.Locale : &kDefaultLocale;
    o.CodePage = FPlatform.Locale ? FPlatform.Locale->AnsiCodePage() : 1252;
    o.Fonts = FPlatform.Fonts;
    o.PixelsPerInch = FPlatform.Screen ? FPlatform.Screen->PixelsPerInchY() : 96;
    o.Clipboard = FPlatform.Clipboard;
    o.Dialogs = FPlatform.Dialogs;
    o.Sheet = FNativeExcel.get();
    o.OnError = [this](TvxExportError error) { DoError(error); };
    return o;
}

std::string TvxCustomExport::CreatedLine() const {
    const ILocale& loc = FPlatform.Locale ? *FPlatform.Locale : kDefaultLocale;
    TDateTime now = FPlatform.Clock ? FPlatform.Clock->Now() : 0;
    std::string line;
    if (!FormatString(Messages.CreatedText + " %s", DateTimeToStr(loc, now), line))
        throw std::runtime_error("invalid CreatedText format");
    return line;
}

} // namespace vx
