// The writers of the text-based output types, created by CreateDocumentWriter.
#pragma once

#include "export/vxDocumentWriter.h"

#include <string>

namespace vx {

// Fixed-width text: cells padded to their column widths, one space between.
class TvxTXTWriter : public TvxDocumentWriter {
  public:
    using TvxDocumentWriter::TvxDocumentWriter;
    void HeaderText(const TStringList& lines) override;
    void CaptionRow(const TvxFormattedRow& row) override;
    void DataRow(const TvxFormattedRow& row) override;
    void Footer(const TStringList& lines, std::string_view separator,
                std::string_view created) override {
        WriteTextFooter(lines, separator, created);
    }
    void AppendRowNumberCell(std::string& row, std::string_view number, int width) override;
    void AppendCell(std::string& row, const TvxCellInfo& cell) override;

  protected:
    // What stands in the caption row above the row numbers.
    virtual void AppendCaptionPlaceholder(std::string& line, const TvxFormattedRow& row);
    std::string line_;
};

// The TXT text, put on the clipboard instead of a file.
class TvxClipboardWriter : public TvxTXTWriter {
  public:
    using TvxTXTWriter::TvxTXTWriter;
    bool WritesToMemory() const override { return true; }
    void Epilogue() override;
};

// Comma-separated values, fields quoted where needed.
class TvxCSVWriter : public TvxTXTWriter {
  public:
    using TvxTXTWriter::TvxTXTWriter;
    void HeaderText(const TStringList&) override {}
    void Footer(const TStringList&, std::string_view, std::string_view) override {}
    void AppendRowNumberCell(std::string& row, std::string_view number, int width) override;
    void AppendCell(std::string& row, const TvxCellInfo& cell) override;

  protected:
    void AppendCaptionPlaceholder(std::string& line, const TvxFormattedRow&) override {
        line += ',';
    }
};

// Tab-separated values, never quoted.
class TvxTABWriter : public TvxTXTWriter {
  public:
    using TvxTXTWriter::TvxTXTWriter;
    void DataRow(const TvxFormattedRow& row) override;
    void AppendRowNumberCell(std::string& row, std::string_view number, int width) override;
    void AppendCell(std::string& row, const TvxCellInfo& cell) override;

  protected:
    void AppendCaptionPlaceholder(std::string& line, const TvxFormattedRow&) override {
        line += '\t';
    }
};

class TvxHTMLWriter : public TvxDocumentWriter {
  public:
    TvxHTMLWriter(TvxOutput& out, const TvxWriterOptions& options);
    void Prologue() override;
    void HeaderText(const TStringList& lines) override;
    void CaptionRow(const TvxFormattedRow& row) override;
    void HeaderSeparator(std::string_view separator) override;
    void DataRow(const TvxFormattedRow& row) override;
    void EndTable() override;
    void Footer(const TStringList& lines, std::string_view separator,
                std::string_view created) override {
        WriteTextFooter(lines, separator, created);
    }
    void Epilogue() override;
    void AppendRowNumberCell(std::string& row, std::string_view number, int width) override;
    void AppendCell(std::string& row, const TvxCellInfo& cell) override;

    // "#RRGGBB" of colour index 0..9 of the current scheme.
    std::string HTMLColor(int index) const;
    std::string HTMLFontFace(bool table) const;

  private:
    void TableStart();
    std::string color_[10];
    std::string oddRowStart_; // the line that starts an odd row, with its CR LF
    std::string_view align_;  // the alignment attribute of the cell before
};

// Rich Text, for both xtRTF and xtWord.
class TvxRTFWriter : public TvxDocumentWriter {
  public:
    using TvxDocumentWriter::TvxDocumentWriter;
    void Prologue() override;
    void HeaderText(const TStringList& lines) override;
    void CaptionRow(const TvxFormattedRow& row) override;
    void HeaderSeparator(std::string_view) override {}
    void DataRow(const TvxFormattedRow& row) override;
    void EndTable() override;
    void Footer(const TStringList& lines, std::string_view separator,
                std::string_view created) override;
    void Epilogue() override;
    void AppendRowNumberCell(std::string& row, std::string_view number, int width) override;
    void AppendCell(std::string& row, const TvxCellInfo& cell) override;

    // The red, green and blue bytes of colour index 0..5 of the current scheme.
    TColor RTFColor(int index) const;

  private:
    void RowDefinition(const TvxFormattedRow& row);
    void Paragraph(std::string_view line);
    std::string row_, defaultAttributes_;
    std::string_view align_; // the alignment word of the cell before
    // The row definitions of the caption row, the odd and the even rows: the
    // same for every row of their kind, so each is built once.
    std::string definitions_[3];
};

class TvxSYLKWriter : public TvxDocumentWriter {
  public:
    using TvxDocumentWriter::TvxDocumentWriter;
    void Prologue() override;
    void HeaderSeparator(std::string_view) override {}
    void CaptionRow(const TvxFormattedRow& row) override;
    void DataRow(const TvxFormattedRow& row) override;
    void Epilogue() override;
    void AppendRowNumberCell(std::string& row, std::string_view number, int width) override;
    void AppendCell(std::string& row, const TvxCellInfo& cell) override;
};

class TvxDIFWriter : public TvxDocumentWriter {
  public:
    using TvxDocumentWriter::TvxDocumentWriter;
    void Prologue() override;
    void HeaderSeparator(std::string_view) override {}
    void CaptionRow(const TvxFormattedRow& row) override;
    void DataRow(const TvxFormattedRow& row) override;
    void Epilogue() override;
    void AppendRowNumberCell(std::string& row, std::string_view number, int width) override;
    void AppendCell(std::string& row, const TvxCellInfo& cell) override;
};

// The name browsers know for a Windows ANSI code page; nullptr when there is none.
const char* HTMLCharset(unsigned codePage);

// Line-based cells cannot hold a line break: SYLK and DIF cells carry it as
// a space, so one cell never spills into the next record.
void AppendWithoutBreaks(std::string& out, std::string_view text);

// Pieces of the Rich Text document.
std::string RTFFontEntry(int number, const TFont& font, const IFonts* fonts);
std::string RTFFontAttributes(const TFont& font);
// Right edge of cell k in twips: (k + 1) * 100 / pixelsPerInch * cellWidth.
int64_t RTFCellBoundary(int k, int pixelsPerInch, int cellWidth);

} // namespace vx
