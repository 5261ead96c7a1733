// One writer per output type. A writer knows nothing of the export component:
// it is given the sink it writes to (a buffered temporary file beside the
// target, or memory for the clipboard), its options, read once per document,
// and each row as formatted cells. TvxCustomExport::WriteDocument builds the
// options from its properties and calls the hooks below in document order; a
// test can build the options itself and run one writer alone on a memory sink.
//
// The spreadsheet type is written in export/vxExportExcel.cpp: it drives the
// TvxNativeExcel given in its options, returns true from WritesOwnFile() and
// saves its file at the sink's TempPath(); the engine renames that file into
// place.
#pragma once

#include "export/vxExportTypes.h"
#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vx {

class TvxOutput;
class TvxNativeExcel;

// One cell as the engine formats it for the type.
struct TvxCellInfo {
    int Column = 0;        // index into the record's values
    int Position = 0;      // cells already in the row (row-number cell included)
    std::string_view Text; // CellText of the value (cut with xoTruncate)
    int Width = 0;         // EffectiveColumnWidth of the column
    uint8_t Alignment = 0; // GetColumnAlignment of the column (0 none, 1 left, 2 right, 3 centre)
    const TVariant* Value = nullptr;
    bool Header = false; // caption row
};

// The caption row or one data row: the cells of the written columns in order,
// and with xoRowNumbers the row number (for the caption row the number the
// first data row will carry, so that a type can leave room above it).
struct TvxFormattedRow {
    const TvxCellInfo* Cells = nullptr;
    size_t Count = 0;
    bool Header = false;
    bool RowNumber = false;  // the row-number cell comes first
    std::string_view Number; // row-number text
    int NumberWidth = 0;     // width of the widest row number
    int32_t RecordIndex = 0; // 0-based source index (odd-row colouring)
    int32_t OutputRow = 1;   // 1-based row counter (SYLK Y)
};

// Everything a writer reads besides its rows.
struct TvxWriterOptions {
    TvxExportOptionSet Options;
    TvxHTMLOptions HTML;
    TvxRTFOptions RTF;
    TvxExcelOptions Excel;
    TStringList ColumnWidths;   // the component's ColumnWidths: HTML cell widths
    std::string Title;          // SYLK and DIF document title
    int ColumnCount = 0;        // columns of the source (DIF vectors)
    int WrittenColumnCount = 0; // columns written (RTF cells)
    int32_t RecordCount = 0;    // records of the source (DIF tuples)
    std::string CopiedToClipboard;
    const ILocale* Locale = nullptr; // text of non-string values; none: the cell text
    unsigned CodePage = 1252;        // HTML charset
    const IFonts* Fonts = nullptr;   // RTF font table
    int PixelsPerInch = 96;          // RTF cell boundaries
    IClipboard* Clipboard = nullptr;
    IDialogs* Dialogs = nullptr;
    TvxNativeExcel* Sheet = nullptr; // the spreadsheet writer of xtExcel
    std::function<void(TvxExportError)> OnError;
};

class TvxDocumentWriter {
  public:
    TvxDocumentWriter(TvxOutput& out, const TvxWriterOptions& options)
        : out_(out), options_(options) {}
    virtual ~TvxDocumentWriter() = default;

    // True when the type saves a file of its own at the sink's TempPath()
    // instead of writing through the sink.
    virtual bool WritesOwnFile() const { return false; }
    // True when the document goes to memory (the clipboard), not to a file.
    virtual bool WritesToMemory() const { return false; }

    // Phases, in document order.
    virtual void Prologue() {}
    virtual void HeaderText(const TStringList& lines) { (void)lines; }
    virtual void CaptionRow(const TvxFormattedRow& row) { (void)row; } // xoShowHeader only
    // separator: the type's line below the captions, empty when none.
    virtual void HeaderSeparator(std::string_view separator);
    // Asked before each selected record; false stops the rows (a full sheet).
    virtual bool CanWriteRecord() { return true; }
    virtual void BeginRecord() {} // the spreadsheet cursor's move to the next row
    virtual void DataRow(const TvxFormattedRow& row) { (void)row; }
    virtual void EndTable() {}
    // separator: the type's line above the footer, empty when none; created:
    // the created line with xoShowExportDate, else empty.
    virtual void Footer(const TStringList& lines, std::string_view separator,
                        std::string_view created) {
        (void)lines, (void)separator, (void)created;
    }
    virtual void Epilogue() {}

    // Cell shapes: each appends to row, with the type's joiner in front when
    // Position > 0.
    virtual void AppendRowNumberCell(std::string& row, std::string_view number, int width) = 0;
    virtual void AppendCell(std::string& row, const TvxCellInfo& cell) = 0;
    // The row's cells in their shapes, the row-number cell first.
    void AppendCells(std::string& out, const TvxFormattedRow& row) {
        shaping_ = &row;
        if (row.RowNumber) AppendRowNumberCell(out, row.Number, row.NumberWidth);
        for (size_t i = 0; i < row.Count; ++i)
            AppendCell(out, row.Cells[i]);
    }

    const TvxWriterOptions& Options() const { return options_; }

  protected:
    // The row AppendCells is shaping, for cell shapes that need more than the cell.
    const TvxFormattedRow* shaping_ = nullptr;
    // The footer of HTML and the text types: separator, footer lines, created line.
    void WriteTextFooter(const TStringList& lines, std::string_view separator,
                         std::string_view created);
    bool Has(TvxExportOption option) const { return options_.Options.Has(option); }
    TvxOutput& out_;
    const TvxWriterOptions options_;
};

// The writer of a type; nullptr when the type cannot be written.
std::unique_ptr<TvxDocumentWriter> CreateDocumentWriter(TvxExportType type, TvxOutput& out,
                                                        const TvxWriterOptions& options);

std::unique_ptr<TvxDocumentWriter> CreateExcelWriter(TvxOutput& out,
                                                     const TvxWriterOptions& options);

} // namespace vx
