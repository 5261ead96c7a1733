// One writer per output type. TvxCustomExport::WriteDocument calls the hooks
// below in document order; a writer shapes the cells of its type and writes
// its pieces to owner.Out() (a buffered sink over a temporary file beside the
// target, or memory for the clipboard).
//
// The spreadsheet type is written in export/vxExportExcel.cpp:
//   std::unique_ptr<TvxDocumentWriter> CreateExcelWriter(TvxCustomExport& owner);
// It drives owner.NativeExcel(), returns true from WritesOwnFile() and saves
// its file to owner.Out().TempPath(); the engine renames that file into place.
#pragma once

#include "export/vxExport.h"
#include "export/vxExportTypes.h"

#include <memory>
#include <string>
#include <string_view>

namespace vx {

// One cell as FormatRow hands it to the type.
struct TvxCellInfo {
    int Column = 0;           // index into the record's values
    int Position = 0;         // cells already in the row (row-number cell included)
    std::string_view Text;    // CellText of the value (cut with xoTruncate)
    int Width = 0;            // EffectiveColumnWidth of the column
    uint8_t Alignment = 0;    // GetColumnAlignment of the column (0 none, 1 left, 2 right, 3 centre)
    const TVariant* Value = nullptr;
    bool Header = false;      // caption row
};

class TvxDocumentWriter {
public:
    explicit TvxDocumentWriter(TvxCustomExport& owner) : FOwner(owner) {}
    virtual ~TvxDocumentWriter() = default;

    // True when the type saves a file of its own at owner.Out().TempPath()
    // instead of writing through the sink.
    virtual bool WritesOwnFile() const { return false; }
    // True when the document goes to memory (the clipboard), not to a file.
    virtual bool WritesToMemory() const { return false; }

    // Phases, in the order of WriteDocument.
    virtual void Prologue() {}
    virtual void HeaderText(const TStringList& lines) { (void)lines; }
    virtual void CaptionRow(const TvxValues& captions) { (void)captions; }  // xoShowHeader only
    virtual void HeaderSeparator();
    // Asked before each selected record; false stops the rows (a full sheet).
    virtual bool CanWriteRecord() { return true; }
    virtual void BeginRecord() {}  // the spreadsheet cursor's move to the next row
    virtual void DataRow(const TvxValues& values) { (void)values; }
    virtual void EndTable() {}
    virtual void Footer(const TStringList& lines) { (void)lines; }
    virtual void Epilogue() {}

    // Cell shapes used by FormatRow: each appends to row, with the type's
    // joiner in front when Position > 0.
    virtual void AppendRowNumberCell(std::string& row, std::string_view number, int width) = 0;
    virtual void AppendCell(std::string& row, const TvxCellInfo& cell) = 0;

protected:
    // The footer of HTML and the text types: separator, footer lines, created line.
    void WriteTextFooter(const TStringList& lines);
    TvxCustomExport& FOwner;
};

// The writer of a type; nullptr when the type cannot be written.
std::unique_ptr<TvxDocumentWriter> CreateDocumentWriter(TvxExportType type, TvxCustomExport& owner);

std::unique_ptr<TvxDocumentWriter> CreateExcelWriter(TvxCustomExport& owner);

}  // namespace vx
