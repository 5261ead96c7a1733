// TXT, clipboard, CSV and TAB: the plain-text output types.
#include "export/vxExportFormat.h"
#include "export/vxExportOutput.h"
#include "export/vxExportWriters.h"

#include <cstring>
#include <stdexcept>

namespace vx {

// ---- TXT ----

void TvxTXTWriter::HeaderText(const TStringList& lines) {
    for (const std::string& line : lines)
        out_.WriteLine(line);
}

// As many spaces as the row-number column takes, with its joiner.
void TvxTXTWriter::AppendCaptionPlaceholder(std::string& line, const TvxFormattedRow& row) {
    std::string cell;
    AppendRowNumberCell(cell, row.Number, row.NumberWidth);
    line.append(cell.size() + 1, ' ');
}

void TvxTXTWriter::CaptionRow(const TvxFormattedRow& row) {
    line_.clear();
    if (Has(xoRowNumbers)) AppendCaptionPlaceholder(line_, row);
    AppendCells(line_, row);
    out_.WriteLines(line_);
}

void TvxTXTWriter::DataRow(const TvxFormattedRow& row) {
    size_t start = out_.Buffer().size();
    AppendCells(out_.Buffer(), row);
    out_.EndRow(start);
}

void TvxTXTWriter::AppendRowNumberCell(std::string& row, std::string_view number, int width) {
    if (width > 0 && number.size() < size_t(width)) row.append(size_t(width) - number.size(), ' ');
    row.append(number);
}

void TvxTXTWriter::AppendCell(std::string& row, const TvxCellInfo& cell) {
    const std::string_view text = cell.Text;
    const int width = cell.Width;
    size_t pad = width > 0 && text.size() < size_t(width) ? size_t(width) - text.size() : 0;
    const uint8_t align = Has(xoUseAlignments) ? cell.Alignment : 0;
    if (align > 3) pad = 0; // an unknown alignment: the text alone
    // Left and none: text, padding; right: padding, text; centred: an odd
    // space goes to the right.
    const size_t before = align == 2 ? pad : align == 3 ? pad / 2 : 0;
    const size_t lead = cell.Position > 0 ? 1 : 0;
    // The joiner and the padding are spaces: one growth, then the text.
    char* d = GrowBy(row, lead + pad + text.size(), ' ');
    CopyTo(d + lead + before, text);
}

// ---- Clipboard ----

void TvxClipboardWriter::Epilogue() {
    // The clipboard's text ends at its first zero byte: a header or footer
    // line holding one would hide everything after it.
    const std::string& text = out_.Text();
    std::string clean;
    if (std::memchr(text.data(), '\0', text.size())) {
        clean = text;
        for (char& c : clean)
            if (c == '\0') c = ' ';
    }
    if (!options_.Clipboard || !options_.Clipboard->SetText(clean.empty() ? text : clean))
        throw std::runtime_error("the clipboard cannot take the text");
    if (Has(xoClipboardMessage) && options_.Dialogs)
        options_.Dialogs->ShowInformation(options_.CopiedToClipboard);
}

// ---- CSV ----

void TvxCSVWriter::AppendRowNumberCell(std::string& row, std::string_view number, int) {
    AppendQuoted(row, number, false);
}

void TvxCSVWriter::AppendCell(std::string& row, const TvxCellInfo& cell) {
    const char lead = cell.Position > 0 ? ',' : 0;
    // An empty row writes no line: the record's only cell, when empty, is
    // quoted, so the record keeps its line.
    if (cell.Text.empty() && shaping_ && shaping_->Count == 1 && !shaping_->RowNumber)
        return AppendQuotedField(row, lead, 0, cell.Text, true);
    // Any client can send "=..." : behind an apostrophe it stays text.
    AppendQuotedField(row, lead, LooksLikeFormula(cell.Text) ? '\'' : 0, cell.Text, false);
}

// ---- TAB ----

// The cells carry no line break (each became a space), so the row needs no
// search for one unless its number has one.
void TvxTABWriter::DataRow(const TvxFormattedRow& row) {
    size_t start = out_.Buffer().size();
    AppendCells(out_.Buffer(), row);
    out_.EndRow(start, !(row.RowNumber && HasTabOrBreak(row.Number)));
}

void TvxTABWriter::AppendRowNumberCell(std::string& row, std::string_view number, int) {
    row.append(number);
}

// A TAB or a line break inside a value would shift or split the record: each
// becomes a space (CR LF one space), so the record keeps its line and columns.
void TvxTABWriter::AppendCell(std::string& row, const TvxCellInfo& cell) {
    std::string_view text = cell.Text;
    const bool guard = LooksLikeFormula(text); // shown as text, not run as a formula
    if (!HasTabOrBreak(text)) {
        // The usual value: joiner, apostrophe and text with one growth.
        char* d = GrowBy(row, (cell.Position > 0 ? 1 : 0) + (guard ? 1 : 0) + text.size(), '\t');
        if (cell.Position > 0) ++d;
        if (guard) *d++ = '\'';
        CopyTo(d, text);
        return;
    }
    if (cell.Position > 0) row += '\t';
    if (guard) row += '\'';
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\t' && c != '\r' && c != '\n') continue;
        row.append(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        row += ' ';
        start = i + 1;
    }
    row.append(text.substr(start));
}

void AppendWithoutBreaks(std::string& out, std::string_view text) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        out.append(text.substr(start, i - start));
        // CR LF counts as one break.
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += ' ';
        start = i + 1;
    }
    out.append(text.substr(start));
}

} // namespace vx
