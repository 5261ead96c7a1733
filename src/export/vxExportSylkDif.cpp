// xtSYLK and xtDIF: the spreadsheet interchange formats. Every value is a
// string cell; neither format receives header or footer texts.
#include "export/vxExportFormat.h"
#include "export/vxExportOutput.h"
#include "export/vxExportWriters.h"

#include <charconv>
#include <cstring>

namespace vx {
namespace {

bool HasBreak(std::string_view text) {
    return std::memchr(text.data(), '\r', text.size()) ||
           std::memchr(text.data(), '\n', text.size());
}

// A DIF string value: quoted, inner quotes doubled, on one line.
void AppendStringValue(std::string& row, std::string_view text) {
    if (!HasBreak(text)) return AppendQuoted(row, text, true);
    std::string flat;
    AppendWithoutBreaks(flat, text);
    AppendQuoted(row, flat, true);
}

void AppendNumber(std::string& row, int value) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    row.append(buf, r.ptr);
}

// A SYLK K value. Readers take everything between the outer quotes, so inner
// quotes stay single; a semicolon ends a field unless it is doubled.
void AppendSylkValue(std::string& row, std::string_view text) {
    std::string flat;
    if (HasBreak(text)) {
        AppendWithoutBreaks(flat, text);
        text = flat;
    }
    row += '"';
    size_t start = 0;
    for (size_t s = text.find(';'); s != std::string_view::npos; s = text.find(';', s + 1)) {
        row.append(text.substr(start, s + 1 - start));
        row += ';';
        start = s + 1;
    }
    row.append(text.substr(start));
    row += '"';
}

} // namespace

// ---- SYLK ----

void TvxSYLKWriter::Prologue() {
    out_.WriteLine("ID;P" + options_.Title);
}

void TvxSYLKWriter::CaptionRow(const TvxFormattedRow& row) {
    // Nothing stands above the row numbers: a record must start its line.
    size_t start = out_.Buffer().size();
    AppendCells(out_.Buffer(), row);
    out_.EndRow(start, true);
}

void TvxSYLKWriter::DataRow(const TvxFormattedRow& row) {
    size_t start = out_.Buffer().size();
    AppendCells(out_.Buffer(), row);
    out_.EndRow(start, true);
}

void TvxSYLKWriter::Epilogue() {
    out_.WriteLine("E");
}

void TvxSYLKWriter::AppendRowNumberCell(std::string& row, std::string_view number, int) {
    row += "C;X1;Y";
    AppendNumber(row, shaping_ ? shaping_->OutputRow : 1);
    row += ";K";
    AppendSylkValue(row, number);
}

void TvxSYLKWriter::AppendCell(std::string& row, const TvxCellInfo& cell) {
    // Columns follow the value index, so an unwritten column leaves a gap.
    int x = cell.Column + (Has(xoRowNumbers) ? 2 : 1);
    if (!HasBreakOrSemicolon(cell.Text)) {
        // The usual value: the record's head is put together here and the
        // whole record copied in with one growth.
        char head[48];
        char* h = head;
        if (cell.Position > 0) h = CopyTo(h, "\r\n");
        h = CopyTo(h, "C;X");
        h = std::to_chars(h, head + 24, x).ptr;
        h = CopyTo(h, ";Y");
        h = std::to_chars(h, head + 40, shaping_ ? shaping_->OutputRow : 1).ptr;
        h = CopyTo(h, ";K\"");
        const size_t headSize = size_t(h - head);
        char* d = GrowBy(row, headSize + cell.Text.size() + 1, '"');
        d = CopyTo(d, std::string_view(head, headSize));
        CopyTo(d, cell.Text);
        return;
    }
    if (cell.Position > 0) row += "\r\n";
    row += "C;X";
    AppendNumber(row, x);
    row += ";Y";
    AppendNumber(row, shaping_ ? shaping_->OutputRow : 1);
    row += ";K";
    AppendSylkValue(row, cell.Text);
}

// ---- DIF ----

void TvxDIFWriter::Prologue() {
    TvxOutput& out = out_;
    int vectors = options_.ColumnCount + (Has(xoRowNumbers) ? 1 : 0);
    out.WriteLine("TABLE");
    out.WriteLine("0,1");
    std::string title(1, '"');
    title += options_.Title;
    title += '"';
    out.WriteLine(title);
    out.WriteLine("VECTORS");
    out.WriteLine("0," + std::to_string(vectors));
    out.WriteLine("\"\"");
    out.WriteLine("TUPLES");
    out.WriteLine("0," + std::to_string(options_.RecordCount));
    out.WriteLine("\"\"");
    out.WriteLine("DATA");
    out.WriteLine("0,0");
    out.WriteLine("\"\"");
}

void TvxDIFWriter::CaptionRow(const TvxFormattedRow& row) {
    out_.WriteLine("-1,0");
    out_.WriteLine("BOT");
    if (Has(xoRowNumbers)) {
        out_.WriteLine("1,0");
        out_.WriteLine("\"\"");
    }
    size_t start = out_.Buffer().size();
    AppendCells(out_.Buffer(), row);
    out_.EndRow(start, true);
}

void TvxDIFWriter::DataRow(const TvxFormattedRow& row) {
    out_.Write(std::string_view("-1,0\r\nBOT\r\n"));
    size_t start = out_.Buffer().size();
    AppendCells(out_.Buffer(), row);
    out_.EndRow(start, true);
}

void TvxDIFWriter::Epilogue() {
    out_.WriteLine("-1,0");
    out_.WriteLine("EOD");
}
void TvxDIFWriter::AppendRowNumberCell(std::string& row, std::string_view number, int) {
    row += "1,0\r\n";
    AppendStringValue(row, number);
}

// Every string value is quoted: readers stop at an unquoted one.
void TvxDIFWriter::AppendCell(std::string& row, const TvxCellInfo& cell) {
    if (!HasBreakOrQuote(cell.Text)) {
        // The usual value, with its joiner and type line in one growth.
        constexpr std::string_view head = "\r\n1,0\r\n\"";
        const std::string_view lead = cell.Position > 0 ? head : head.substr(2);
        char* d = GrowBy(row, lead.size() + cell.Text.size() + 1, '"');
        d = CopyTo(d, lead);
        CopyTo(d, cell.Text);
        return;
    }
    if (cell.Position > 0) row += "\r\n";
    row += "1,0\r\n";
    AppendStringValue(row, cell.Text);
}

} // namespace vx
