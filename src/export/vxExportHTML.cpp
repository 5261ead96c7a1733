// xtHTML: an HTML 4 page holding the header text, one table and the footer.
#include "export/vxExportFormat.h"
#include "export/vxExportOutput.h"
#include "export/vxExportWriters.h"

#include <cstdio>

namespace vx {
namespace {

// Colour indices 0..9 of the built-in schemes, ctStandard to ctOlive, stored
// so that their digits read as HTML colours.
const TColor kSchemes[8][10] = {
    {0xFF0000, 0xFFFFFF, 0x0000FF, 0x000000, 0xFFFF00, 0x336699, 0xFFFFFF, 0xFFFFCF, 0xFFFFFF,
     0x000000},
    {0xBBBBBB, 0xFFFFFF, 0xAAAAAA, 0x000000, 0xDDDDDD, 0x000000, 0xFFFFFF, 0xFFFFFF, 0xF3F3F3,
     0x000000},
    {0xFF0000, 0x339966, 0x0066CC, 0x000000, 0x923FC1, 0x000000, 0xFF0000, 0x006BCE, 0x007AEC,
     0xFFFFFF},
    {0xFF0000, 0x339966, 0x0066CC, 0x000000, 0x923FC1, 0xCC0033, 0xFFFFFF, 0xFFFFFF, 0xFAF100,
     0xFFFFFF},
    {0xFFFF00, 0x317676, 0xDDE760, 0xFFE760, 0xCCCC39, 0x3A9393, 0xFFFFFF, 0x004040, 0x000000,
     0xFFFFFF},
    {0xFF0000, 0xFFFFFF, 0x0000FF, 0x000000, 0xFFFF00, 0x808080, 0xFFFFFF, 0xFFFFFF, 0xEEEEEE,
     0x000000},
    {0xFF0000, 0xFFFFFF, 0x0000FF, 0x000000, 0xAABBAA, 0xCEC6B5, 0x000000, 0xDEE7DE, 0xFFFBF0,
     0x000080},
    {0xFF0000, 0xFFFFFF, 0x0000FF, 0x5F605F, 0xFFFF00, 0xCFC890, 0x000000, 0xFFFFFF, 0xFFFFCF,
     0x000000},
};

TColor CustomColor(const TvxHTMLColors& c, int index) {
    switch (index) {
    case 0:
        return c.ActiveLink;
    case 1:
        return c.Background;
    case 2:
        return c.DefaultLink;
    case 3:
        return c.DefaultText;
    case 4:
        return c.VisitedLink;
    case 5:
        return c.HeaderBackground;
    case 6:
        return c.HeadersFontColor;
    case 7:
        return c.TableBackground;
    case 8:
        return c.TableOddBackground;
    default:
        return c.TableFontColor;
    }
}

// True when the text holds "http:", "https:", "ftp:", "news:", "nntp:" or
// "mailto:" anywhere (exact case). Looks only at the colons, so a text
// without one costs a single scan.
bool IsURL(std::string_view text) {
    static const std::string_view schemes[] = {"http", "https", "ftp", "news", "nntp", "mailto"};
    for (size_t colon = text.find(':'); colon != std::string_view::npos;
         colon = text.find(':', colon + 1)) {
        // Every scheme ends in p, s or o: most colons (times, labels) are passed at once.
        const char last = colon > 0 ? text[colon - 1] : 0;
        if (last != 'p' && last != 's' && last != 'o') continue;
        std::string_view before = text.substr(0, colon);
        for (std::string_view s : schemes)
            if (before.size() >= s.size() && before.substr(before.size() - s.size()) == s)
                return true;
    }
    return false;
}

// A link target may not carry a scheme that runs script (javascript:,
// vbscript:, data:...). Browsers skip leading blanks and controls and ignore
// tabs and line breaks inside the scheme, so the check does the same.
bool IsSafeLinkTarget(std::string_view text) {
    std::string scheme;
    size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ')
        ++i;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\t' || c == '\r' || c == '\n') continue;
        if (c == ':') break;
        bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!letter && !(other && !scheme.empty())) return true; // no scheme: a relative address
        scheme += char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    if (i >= text.size()) return true;
    for (const char* s : {"http", "https", "ftp", "news", "nntp", "mailto"})
        if (scheme == s) return true;
    return false;
}

// nullptr for an unknown code: the cell keeps the previous cell's value.
const std::string_view* AlignAttribute(uint8_t code) {
    static constexpr std::string_view attributes[] = {"", " ALIGN=\"Left\" ", " ALIGN=\"Right\" ",
                                                      " ALIGN=\"Center\" "};
    return code < 4 ? &attributes[code] : nullptr;
}

} // namespace

const char* HTMLCharset(unsigned codePage) {
    switch (codePage) {
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "EUC-KR";
    case 950:
        return "Big5";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1252:
        return "windows-1252";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 65001:
        return "utf-8";
    default:
        return nullptr;
    }
}

TvxHTMLWriter::TvxHTMLWriter(TvxOutput& out, const TvxWriterOptions& options)
    : TvxDocumentWriter(out, options) {
    for (int i = 0; i < 10; ++i)
        color_[i] = HTMLColor(i);
    oddRowStart_ = "   <TR BGCOLOR=\"" + color_[8] + "\">\r\n";
}

std::string TvxHTMLWriter::HTMLColor(int index) const {
    const TvxHTMLOptions& o = options_.HTML;
    TColor c = o.Template == ctCustom ? CustomColor(o.CustomColors, index)
                                      : kSchemes[o.Template <= ctOlive ? o.Template : 0][index];
    // The value is printed as it is stored, without exchanging red and blue.
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%.6X", unsigned(c));
    return buf;
}

std::string TvxHTMLWriter::HTMLFontFace(bool table) const {
    const TvxHTMLOptions& o = options_.HTML;
    if (o.Template != ctCustom) return "Arial,Helvetica";
    return HTMLEscape(table ? o.CustomColors.TableFontFace : o.CustomColors.DefaultFontFace);
}

void TvxHTMLWriter::Prologue() {
    TvxOutput& out = out_;
    out.WriteLine("<!-- THIS FILE WAS CREATED BY VEXEL'S EXPORT COMPONENTS FOR BORLAND DELPHI -->");
    out.WriteLine("<!-- DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 TRANSITIONAL//EN\" -->");
    out.WriteLine("<HTML>");
    out.WriteLine(" <HEAD>");
    // The texts are bytes of the system code page: without its name a browser
    // guesses, and 8-bit characters come out garbled.
    const char* charset = HTMLCharset(options_.CodePage);
    std::string type = "  <META HTTP-EQUIV=\"Content-Type\" CONTENT=\"TEXT/HTML";
    if (charset) type += std::string("; charset=") + charset;
    out.WriteLine(type + "\">");
    out.WriteLine(
        "  <META NAME = \"GENERATOR\" CONTENT = \"Vexel's Export Components for Delphi\" >");
    out.WriteLine("  <META NAME = \"Author\" CONTENT = \"Orin Vale\" >");
    out.WriteLine("  <META NAME = \"Description\" CONTENT = \"\" >");
    if (options_.HTML.Options.Has(hoDisplayTitle))
        out.WriteLine("  <TITLE>" + HTMLEscape(options_.HTML.Title) + "</TITLE>");
    out.WriteLine(" </HEAD>");
    out.WriteLine(" <BODY BGCOLOR=\"" + color_[1] + "\" LINK=\"" + color_[2] + "\" ALINK=\"" +
                  color_[0] + "\" VLINK=\"" + color_[4] + "\" TEXT=\"" + color_[3] + "\">");
    out.WriteLine(" <FONT COLOR=\"" + color_[3] + "\" FACE=\"" + HTMLFontFace(false) + "\">");
}

// Header lines are the program's own text and may carry markup on purpose.
void TvxHTMLWriter::HeaderText(const TStringList& lines) {
    TvxOutput& out = out_;
    for (const std::string& line : lines)
        out.WriteLine(line);
    if (Has(xoHeaderLine)) out.WriteLine("  <HR>");
}

void TvxHTMLWriter::TableStart() {
    TvxOutput& out = out_;
    const char* border = options_.HTML.Options.Has(hoShowGridLines) ? " BORDER=\"1\"" : "";
    out.WriteLine(std::string("  <TABLE WIDTH=\"100%\" CELLPADDING=\"4\" CELLSPACING=\"0\"") +
                  border + " BGCOLOR=\"" + color_[7] + "\">");
    // The caption row's start; without captions it stays open and empty.
    out.WriteLine("  <FONT COLOR=\"" + color_[9] + "\" FACE=\"" + HTMLFontFace(true) + "\">");
    out.WriteLine("   <TR BGCOLOR=\"" + color_[5] + "\">");
}

void TvxHTMLWriter::CaptionRow(const TvxFormattedRow& row) {
    TvxOutput& out = out_;
    TableStart();
    if (Has(xoRowNumbers)) out.WriteLine("    <TD>&nbsp;</TD>");
    align_ = "";
    size_t start = out.Buffer().size();
    AppendCells(out.Buffer(), row);
    out.EndRow(start, true);
    out.WriteLine("   </TR>");
}

void TvxHTMLWriter::HeaderSeparator(std::string_view) {
    if (!Has(xoShowHeader)) TableStart();
}

void TvxHTMLWriter::DataRow(const TvxFormattedRow& row) {
    TvxOutput& out = out_;
    // Parity of the source index, so skipped records shift the colouring.
    if (options_.HTML.Options.Has(hoOddRowColoring) && (row.RecordIndex & 1))
        out.Write(oddRowStart_);
    else
        out.Write(std::string_view("   <TR>\r\n"));
    align_ = "";
    size_t start = out.Buffer().size();
    AppendCells(out.Buffer(), row);
    out.EndRow(start, true);
    out.Write(std::string_view("   </TR>\r\n"));
}

void TvxHTMLWriter::EndTable() {
    out_.WriteLine("  </FONT>");
    out_.WriteLine("  </TABLE>");
}

void TvxHTMLWriter::Epilogue() {
    out_.WriteLine(" </FONT>");
    out_.WriteLine(" </BODY>");
    out_.WriteLine("</HTML>");
}

void TvxHTMLWriter::AppendRowNumberCell(std::string& row, std::string_view number, int) {
    row += "    <TD ALIGN=\"Right\">";
    AppendHTMLEscaped(row, number);
    row += "</TD>";
}

void TvxHTMLWriter::AppendCell(std::string& row, const TvxCellInfo& cell) {
    // An unknown alignment code keeps the attribute of the cell before it.
    if (!Has(xoUseAlignments))
        align_ = "";
    else if (const std::string_view* a = AlignAttribute(cell.Alignment))
        align_ = *a;
    // The link text is the value's whole text, also when the cell text was cut.
    const bool autoLink =
        options_.HTML.Options.Has(hoAutoLink) && cell.Value && !cell.Value->IsNull();
    std::string_view full = cell.Text;
    std::string fullText;
    if (autoLink) {
        if (cell.Value->VarType() == varString || cell.Value->IsString()) {
            full = cell.Value->AsString();
        } else if (options_.Locale) {
            fullText = VarToStr(*cell.Value, *options_.Locale);
            full = fullText;
        }
    }
    const bool link = autoLink && IsURL(full) && IsSafeLinkTarget(cell.Text);
    const TStringList& widths = options_.ColumnWidths;
    const bool width = size_t(cell.Column) < widths.size();
    // A spreadsheet that opens the page would run "=..." as a formula: the
    // cell is marked as text for it, and browsers show the text as it is.
    const bool formula = LooksLikeFormula(cell.Text);
    if (!cell.Header && !width && !formula && !link && !cell.Text.empty() &&
        !HasHTMLSpecial(cell.Text)) {
        // The usual data cell, copied in with one growth.
        constexpr std::string_view open = "    <TD", small = "><small>", close = "</small></TD>";
        const size_t lead = cell.Position > 0 ? 2 : 0;
        char* d = GrowBy(row, lead + open.size() + align_.size() + small.size() + cell.Text.size() +
                                  close.size());
        if (lead) d = CopyTo(d, "\r\n");
        d = CopyTo(d, open);
        d = CopyTo(d, align_);
        d = CopyTo(d, small);
        d = CopyTo(d, cell.Text);
        CopyTo(d, close);
        return;
    }
    if (cell.Position > 0) row += "\r\n";
    row += "    <TD";
    if (width) {
        row += " WIDTH=\"";
        AppendHTMLEscaped(row, widths[size_t(cell.Column)]);
        row += '"';
    }
    row += align_;
    if (formula) row += " SDNUM=\"1033;0;@\" STYLE=\"mso-number-format:'\\@'\"";
    row += '>';
    if (cell.Header) {
        if (options_.HTML.Options.Has(hoBoldHeaders)) row += "<B>";
        row += "<FONT COLOR=\"";
        row += color_[6];
        row += "\">";
    }
    row += "<small>";
    if (link) {
        row += "<A HREF=\"";
        AppendHTMLEscaped(row, cell.Text);
        row += "\">";
        AppendHTMLEscaped(row, full);
        row += "</A>";
    } else if (cell.Text.empty()) {
        row += "&nbsp;";
    } else {
        AppendHTMLEscaped(row, cell.Text);
    }
    row += "</small>";
    if (cell.Header) {
        row += "</FONT>";
        if (options_.HTML.Options.Has(hoBoldHeaders)) row += "</B>";
    }
    row += "</TD>";
}

} // namespace vx
