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
    if (cell.Position > 0) row += ' ';
    int width = cell.Width;
    size_t pad =
        width > 0 && cell.Text.size() < size_t(width) ? size_t(width) - cell.Text.size() : 0;
    uint8_t align = Has(xoUseAlignments) ? cell.Alignment : 0;
    switch (align) {
    case 0:
    case 1:
        row.append(cell.Text);
        row.append(pad, ' ');
        break;
    case 2:
        row.append(pad, ' ');
        row.append(cell.Text);
        break;
    case 3: // centred; an odd space goes to the right
        row.append(pad / 2, ' ');
        row.append(cell.Text);
        row.append(pad - pad / 2, ' ');
        break;
    default:
        row.append(cell.Text);
        break;
    }
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
    if (cell.Position > 0) row += ',';
    // An empty row writes no line: the record's only cell, when empty, is
    // quoted, so the record keeps its line.
    const bool only = shaping_ && shaping_->Count == 1 && !shaping_->RowNumber;
    if (only && cell.Text.empty()) return AppendQuoted(row, cell.Text, true);
    if (!LooksLikeFormula(cell.Text)) return AppendQuoted(row, cell.Text, false);
    // Any client can send "=..." : behind an apostrophe it stays text.
    std::string guarded(1, '\'');
    guarded += cell.Text;
    AppendQuoted(row, guarded, false);
}

// ---- TAB ----

void TvxTABWriter::AppendRowNumberCell(std::string& row, std::string_view number, int) {
    row.append(number);
}

// A TAB or a line break inside a value would shift or split the record: each
// becomes a space (CR LF one space), so the record keeps its line and columns.
void TvxTABWriter::AppendCell(std::string& row, const TvxCellInfo& cell) {
    if (cell.Position > 0) row += '\t';
    std::string_view text = cell.Text;
    if (LooksLikeFormula(text)) row += '\''; // shown as text, not run as a formula
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
