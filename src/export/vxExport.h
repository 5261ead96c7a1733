// TvxCustomExport: the non-visual export component. It writes a tabular data
// source, which a descendant adapter supplies through the virtual data-source
// operations, as one of ten document types. Documents are streamed row by row
// into a temporary file beside the target and renamed into place when whole,
// so memory stays flat and a failed export leaves the old file untouched.
#pragma once

#include "export/vxDocumentWriter.h"
#include "export/vxExportTypes.h"
#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TvxCustomExport;
class TvxDocumentWriter;
class TvxOutput;
class TvxNativeExcel; // spreadsheet/vxNativeExcel.h
struct IExportUI;     // export/vxExportUI.h
struct IExportProgress;

using TNotifyEvent = std::function<void(TvxCustomExport& sender)>;
using TEventOnGetHeader =
    std::function<void(TvxCustomExport& sender, uint32_t recordCount, std::string& header)>;
using TEventOnGetFooter =
    std::function<void(TvxCustomExport& sender, uint32_t recordCount, std::string& footer)>;
using TEventOnError = std::function<void(TvxCustomExport& sender, TvxExportError error)>;
using TEventOnGetExtension = std::function<void(TvxCustomExport& sender, std::string& extension)>;
// Values is the record's own array (changes are written); CanExport is a copy.
using TEventOnExport = std::function<void(TvxCustomExport& sender, uint32_t current, uint32_t total,
                                          TvxValues& values, bool canExport)>;
using TEventOnFileExist = std::function<void(
    TvxCustomExport& sender, const std::string& outputFileName, bool& canOverWrite)>;

class TvxCustomExport {
  public:
    explicit TvxCustomExport(const TPlatform& platform);
    virtual ~TvxCustomExport();
    TvxCustomExport(const TvxCustomExport&) = delete;
    TvxCustomExport& operator=(const TvxCustomExport&) = delete;

    // ---- Data-source interface (implemented by the adapters) ----
    virtual void OpenSource() {}
    virtual void CloseSource() {}
    virtual void FirstRecord() = 0;
    virtual uint8_t GetColumnAlignment(int index) {
        (void)index;
        return 0;
    } // 0 none, 1 left, 2 right, 3 centre
    virtual bool HasSource() = 0;
    virtual bool IsEndOfRecords() = 0;
    virtual bool IsColumnVisible(int index) = 0;
    virtual bool IsRecordSelected(int index) = 0;
    virtual int GetColumnWidth(int index) = 0; // characters
    virtual std::string GetColumnCaption(int index) = 0;
    virtual int GetColumnCount() = 0;
    virtual void GetRecordValues(TvxValues& values) = 0; // the record at RecordIndex
    virtual int GetRecordCount() = 0;
    // Upper-case class name: the document title of SYLK and DIF.
    virtual std::string ClassName() const { return "TVXCUSTOMEXPORT"; }

    // ---- Operations ----
    // Format dialog (when a UI is attached), save dialog when needed, then ExportData.
    void Execute();
    // Exports with the current settings, without any dialog.
    void ExportData();
    // Writes the document of the current type to outputName (or the clipboard).
    void WriteDocument(const std::string& outputName);

    // ---- Properties with rules ----
    TvxExportType ExportType() const { return exportType_; }
    void SetExportType(TvxExportType value);
    TvxExportTypeSet ExportTypes() const { return exportTypes_; }
    void SetExportTypes(TvxExportTypeSet value);
    const std::string& RowNumberFormat() const { return rowNumberFormat_; }
    void SetRowNumberFormat(const std::string& value); // must contain "%d"
    const std::string& TempDir() const { return tempDir_; }
    void SetTempDir(const std::string& value);
    bool TempDirStored() const; // streamed only when it differs from the system folder
    const TStringList& Captions() const { return captions_; }
    void SetCaptions(const TStringList& value) { captions_ = value; }
    const TStringList& ColumnWidths() const { return columnWidths_; }
    void SetColumnWidths(const TStringList& value) { columnWidths_ = value; }
    std::string Version() const; // "1.46"

    // ---- Plain properties (object-valued ones copy on assignment) ----
    std::string FileName;
    TvxHTMLOptions HTML;
    TvxRTFOptions DOC_RTF;
    TvxExcelOptions EXCEL;
    TvxExportStyle ExportStyle = xsView;
    TvxExportOptionSet Options{xoClipboardMessage, xoFooterLine,   xoHeaderLine,   xoShowExportDate,
                               xoShowHeader,       xoShowProgress, xoUseAlignments};
    TvxMessagesOptions Messages;
    std::string TruncateSymbol = "...";
    std::string DateFormat, TimeFormat, DateTimeFormat; // carried, not consulted

    // ---- Events ----
    TNotifyEvent OnBeginExport, OnEndExport;
    TEventOnGetHeader OnGetHeader;
    TEventOnGetFooter OnGetFooter;
    TEventOnError OnError;
    TEventOnGetExtension OnGetExtension;
    TEventOnExport OnExport;
    TEventOnFileExist OnFileExist;

    // ---- Export state ----
    int32_t RecordCount = 0;   // GetRecordCount at the start of a document
    int32_t RecordIndex = 0;   // 0-based index of the current source record
    int32_t ExportedCount = 0; // records written so far in this document
    int32_t OutputRow = 1;     // 1-based row counter (SYLK Y)

    // ---- Shared routines of the writers ----
    std::string DefaultExtension() const; // by type, without the dot
    std::string FilterString() const;     // "Name (*.ext)|*.EXT"
    std::string CellText(const TVariant& value, int width) const;
    std::string ValueText(const TVariant& value) const; // the whole text form
    // As above into scratch; strings come back without copying when not cut.
    std::string_view CellText(const TVariant& value, int width, std::string& scratch) const;
    int EffectiveColumnWidth(int index, int defaultWidth);
    // Row-number text and width; both use "%d" when RowNumberFormat fails.
    void RowNumberParts(std::string& number, int& width) const;
    std::string RowNumberCell(); // shaped by the current type
    int TotalTextWidth();
    std::string SeparatorLine(bool header);
    std::string FormatRow(const TvxValues& values, bool header, bool rowNumber);
    void FormatRow(const TvxValues& values, bool header, bool rowNumber, std::string& row);
    // FormatRow appending to out instead of replacing it.
    void AppendRow(const TvxValues& values, bool header, bool rowNumber, std::string& out);
    // "Created: <date time>" line of the footer.
    std::string CreatedLine() const;
    // What the writers read, from the current properties and column layout.
    TvxWriterOptions WriterOptions();
    void DoError(TvxExportError error);

    // The column layout is read once per document: these answer from it.
    int ColumnCount() const { return int(columns_.size()); }
    bool WritesColumn(int index) const;
    int WrittenColumnCount() const;

    const TPlatform& Platform() const { return platform_; }
    TvxOutput& Out() { return *out_; }
    TvxNativeExcel& NativeExcel() { return *nativeExcel_; }
    // Optional windows: format dialog and progress window.
    void SetUI(IExportUI* ui) { ui_ = ui; }
    // Whether the last document was written completely and put in place.
    bool LastExportWritten() const { return written_; }
    // The document the last view-only export opened, and the shell's answer
    // (greater than 32 when a program took it; 0 when nothing was opened).
    const std::string& LastOpenedDocument() const { return opened_; }
    intptr_t LastOpenResult() const { return openResult_; }

  private:
    struct TColumn {
        bool Visible = true;
        int Width = 0;
        uint8_t Alignment = 0;
    };
    void ReadColumnLayout();
    std::string OutputName(const std::string& ext);
    void WritePhases(TvxDocumentWriter& writer);
    // Formats the written cells of values (and the row number) into cells_.
    const TvxFormattedRow& FormatCells(const TvxValues& values, bool header, bool rowNumber);
    // Puts the parts of the written cells that stay from row to row (column,
    // width, alignment) into cells_, for records that fit the column layout.
    void LayoutCells(bool invisibles);
    // The writer of the document being written, else a temporary one of the type.
    TvxDocumentWriter* ShapingWriter(std::unique_ptr<TvxDocumentWriter>& temporary);
    void WriteRecords(TvxDocumentWriter& writer);

    TPlatform platform_;
    IExportUI* ui_ = nullptr;
    TStringList captions_, columnWidths_;
    TvxExportTypeSet exportTypes_{xtHTML, xtExcel, xtWord, xtTXT,  xtCSV,
                                  xtTAB,  xtRTF,   xtDIF,  xtSYLK, xtClipboard};
    TvxExportType exportType_ = xtExcel;
    std::string tempDir_;
    std::string rowNumberFormat_ = "%d";
    int32_t versionNumber_ = 302;
    std::unique_ptr<TvxNativeExcel> nativeExcel_;
    std::unique_ptr<TvxOutput> out_;
    TvxDocumentWriter* writer_ = nullptr; // the writer of the document being written
    IExportProgress* progress_ = nullptr;
    mutable std::string rowNumberWidthFormat_; // the width of the row numbers is
    mutable int32_t rowNumberWidthCount_ = 0;  // kept for the format and count
    mutable int rowNumberWidth_ = 0;           // it was measured with
    std::vector<TColumn> columns_;
    TvxValues values_;
    std::vector<TvxCellInfo> cells_;
    std::vector<std::string> scratch_; // one per cell: a cell's text may live there
    size_t layoutCount_ = 0;           // written cells of the column layout in cells_
    bool layoutValid_ = false;         // cells_ holds the layout's fixed parts
    bool layoutInvisibles_ = false;    // ... laid out with xoExportInvisibles
    std::string number_;
    TvxFormattedRow formatted_;
    std::unique_ptr<TvxOutput> noOutput_; // the sink of temporary writers, never opened
    bool written_ = false;
    std::string opened_;
    intptr_t openResult_ = 0;
};

} // namespace vx
