// xtRTF and xtWord: one Rich Text document with a font table, a colour
// table, the header paragraphs, one table and the footer paragraphs.
#include "export/vxExportFormat.h"
#include "export/vxExportOutput.h"
#include "export/vxExportWriters.h"

#include <cstdlib>

namespace vx {
namespace {

// Colour indices 0..5 of the built-in schemes rtStandard to rtGray.
const TColor kRTFSchemes[4][6] = {
    {RGBColor(0, 0, 0), RGBColor(255, 255, 255), RGBColor(0, 0, 0), RGBColor(255, 255, 255),
     RGBColor(0, 0, 128), RGBColor(128, 255, 0)},
    {RGBColor(0, 0, 0), RGBColor(255, 0, 0), RGBColor(0, 0, 0), RGBColor(0, 0, 255),
     RGBColor(0, 0, 0), RGBColor(128, 128, 255)},
    {RGBColor(0, 0, 0), RGBColor(255, 255, 255), RGBColor(0, 0, 0), RGBColor(255, 255, 255),
     RGBColor(255, 0, 0), RGBColor(128, 255, 0)},
    {RGBColor(0, 0, 0), RGBColor(255, 255, 255), RGBColor(0, 0, 0), RGBColor(255, 255, 255),
     RGBColor(128, 128, 128), RGBColor(128, 255, 128)},
};

const char* const kListLevels[9] = {
    "{\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang{\\pntxta.}}\r\n",
    "{\\*\\pnseclvl2\\pnucltr\\pnstart1\\pnindent720\\pnhang{\\pntxta .}}\r\n",
    "{\\*\\pnseclvl3\\pndec\\pnstart1\\pnindent720\\pnhang{\\pntxta.}}\r\n",
    "{\\*\\pnseclvl4\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxta)}}\r\n",
    "{\\*\\pnseclvl5\\pndec\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta)}}\r\n",
    "{\\*\\pnseclvl6\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}\r\n",
    "{\\*\\pnseclvl7\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta)}}\r\n",
    "{\\*\\pnseclvl8\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta)}}\r\n",
    "{\\*\\pnseclvl9\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}\r\n",
};

std::string FamilyWord(uint8_t pitchAndFamily) {
    static const char* const words[] = {"fdontcare", "froman",  "fswiss",
                                        "fmodern",   "fscript", "fdecorative"};
    unsigned family = pitchAndFamily >> 4;
    return family < 6 ? words[family] : "froman";
}

std::string CharsetWord(uint8_t charset) {
    switch (charset) {
    case 0:
    case 2:
    case 128:
    case 255:
        return "fcharset" + std::to_string(charset);
    default:
        return "fcharset1";
    }
}

std::string ColorEntry(TColor c) {
    return "\\red" + std::to_string(c & 0xFF) + "\\green" + std::to_string((c >> 8) & 0xFF) +
           "\\blue" + std::to_string((c >> 16) & 0xFF) + ";";
}

// nullptr for an unknown code: the cell keeps the previous cell's value.
const std::string_view* AlignWord(uint8_t code) {
    static constexpr std::string_view words[] = {"", "\\ql ", "\\qr ", "\\qc "};
    return code < 4 ? &words[code] : nullptr;
}

} // namespace

std::string RTFFontEntry(int number, const TFont& font, const IFonts* fonts) {
    TRealisedFont r;
    if (fonts)
        r = fonts->Realise(font);
    else
        r.Charset = font.Charset == 1 ? 0 : font.Charset;
    std::string s = "{\\f" + std::to_string(number) + "\\" + FamilyWord(r.PitchAndFamily) + "\\" +
                    CharsetWord(r.Charset) + " ";
    AppendRTFEscaped(s, font.Name);
    return s + ";}";
}

std::string RTFFontAttributes(const TFont& font) {
    std::string s = "\\fs" + std::to_string(2 * font.Size);
    if (font.Bold) s += "\\b";
    if (font.Italic) s += "\\i";
    if (font.Underline) s += "\\ul";
    if (font.StrikeOut) s += "\\strike";
    return s;
}

// (k + 1) * 100 / pixelsPerInch * cellWidth, rounded half to even, in exact
// integer arithmetic.
int64_t RTFCellBoundary(int k, int pixelsPerInch, int cellWidth) {
    if (pixelsPerInch <= 0) pixelsPerInch = 96;
    int64_t num = int64_t(k + 1) * 100 * cellWidth;
    int64_t q = num / pixelsPerInch, r = num % pixelsPerInch;
    int64_t twice = 2 * (r < 0 ? -r : r);
    int64_t step = num < 0 ? -1 : 1;
    if (twice > pixelsPerInch || (twice == pixelsPerInch && (q & 1))) q += step;
    return q;
}

TColor TvxRTFWriter::RTFColor(int index) const {
    const TvxRTFOptions& o = options_.RTF;
    if (o.Template != rtCustom) return kRTFSchemes[o.Template < rtCustom ? o.Template : 0][index];
    const TvxRTFColors& c = o.CustomSettings;
    switch (index) {
    case 0:
        return c.DefaultFont.Color;
    case 1:
        return c.HeaderFont.Color;
    case 2:
        return c.TableFont.Color;
    case 3:
        return c.TableBackground;
    case 4:
        return c.HeaderBackground;
    default:
        return c.TableOddBackground;
    }
}

void TvxRTFWriter::Prologue() {
    TvxOutput& out = out_;
    const TvxRTFOptions& o = options_.RTF;
    const IFonts* fonts = options_.Fonts;
    out.Write("{\\rtf1\\ansi\\deff0\\deftab720\r\n");
    out.Write("{\\fonttbl" + RTFFontEntry(0, o.CustomSettings.DefaultFont, fonts) +
              RTFFontEntry(1, o.CustomSettings.HeaderFont, fonts) +
              RTFFontEntry(2, o.CustomSettings.TableFont, fonts) + "}\r\n");
    // Table entry 3 is the caption background and entry 4 the even rows.
    out.Write("{\\colortbl" + ColorEntry(RTFColor(0)) + ColorEntry(RTFColor(1)) +
              ColorEntry(RTFColor(2)) + ColorEntry(RTFColor(4)) + ColorEntry(RTFColor(3)) +
              ColorEntry(RTFColor(5)) + "}\r\n");
    out.Write("\\margl" + std::to_string(o.LeftMargin) + "\\margr" + std::to_string(o.RightMargin) +
              "\\margt" + std::to_string(o.TopMargin) + "\\margb" + std::to_string(o.BottomMargin));
    defaultAttributes_ = RTFFontAttributes(o.CustomSettings.DefaultFont);
}

void TvxRTFWriter::Paragraph(std::string_view line) {
    std::string s = "\\par \\pard\\plain\\f0" + defaultAttributes_ + "\\cf0 ";
    AppendRTFEscaped(s, line);
    s += "\r\n";
    out_.Write(s);
}

void TvxRTFWriter::HeaderText(const TStringList& lines) {
    TvxOutput& out = out_;
    for (const std::string& line : lines)
        Paragraph(line);
    out.Write("\\par \\pard\\plain\\cgrid\r\n");
    out.Write(
        "{\\stylesheet{\\nowidctlpar\\widctlpar\\adjustright \\fs20\\cgrid \\snext0 Normal;}\r\n");
    out.Write("{\\*\\cs10 \\additive Default Paragraph Font;}}\r\n");
    for (const char* level : kListLevels)
        out.Write(level);
}

// The row definition declares the cells that follow: the written columns and
// the row-number column.
void TvxRTFWriter::RowDefinition(const TvxFormattedRow& row) {
    const bool header = row.Header;
    const TvxRTFOptions& o = options_.RTF;
    const bool odd = o.Options.Has(roOddRowColoring) && (row.RecordIndex & 1);
    std::string& definition = definitions_[header ? 0 : odd ? 1 : 2];
    if (!definition.empty()) return out_.Write(definition);
    const char* shading = header ? " \\clcbpat3" : odd ? " \\clcbpat5" : " \\clcbpat4";
    const bool grid = o.Options.Has(roShowGridLines);
    int cells = options_.WrittenColumnCount + (Has(xoRowNumbers) ? 1 : 0);
    int ppi = options_.PixelsPerInch;
    std::string& d = definition;
    d += "\\trowd\\trgaph108\\trrh260\\trleft0";
    for (int k = 0; k < cells; ++k) {
        d += "\\clvertalc";
        if (grid)
            d += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10"
                 "\\clbrdrr\\brdrs\\brdrw10";
        d += shading;
        d += "\\cltxlrtb\\cellx";
        d += std::to_string(RTFCellBoundary(k, ppi, o.CellWidth));
    }
    d += "\\pard\\ri-123\\nowidctlpar\\widctlpar\\intbl\\adjustright";
    const TvxRTFColors& c = o.CustomSettings;
    if (header)
        d += " {\\f1" + RTFFontAttributes(c.HeaderFont) + "\\cf1\\cgrid0 ";
    else
        d += " {\\f2" + RTFFontAttributes(c.TableFont) + "\\cf2\\cgrid0 ";
    out_.Write(definition);
}

void TvxRTFWriter::CaptionRow(const TvxFormattedRow& row) {
    RowDefinition(row);
    if (Has(xoRowNumbers)) out_.Write(" \\cell ");
    align_ = "";
    row_.clear();
    AppendCells(row_, row);
    out_.Write(row_);
    out_.Write("}\\pard \\nowidctlpar\\widctlpar\\intbl\\adjustright {\\row}\r\n");
}

void TvxRTFWriter::DataRow(const TvxFormattedRow& row) {
    RowDefinition(row);
    align_ = "";
    // The cells go straight into the sink's buffer; the row's end, written
    // after them, flushes it when full.
    AppendCells(out_.Buffer(), row);
    out_.Write("}\\pard \\nowidctlpar\\widctlpar\\intbl\\adjustright {\\row}\r\n");
}

void TvxRTFWriter::EndTable() {
    out_.Write("\\pard\\nowidctlpar\\widctlpar\\adjustright {\r\n");
}

void TvxRTFWriter::Footer(const TStringList& lines, std::string_view, std::string_view created) {
    for (const std::string& line : lines)
        Paragraph(line);
    if (!created.empty()) Paragraph(created);
}

void TvxRTFWriter::Epilogue() {
    out_.Write("}}");
}

void TvxRTFWriter::AppendRowNumberCell(std::string& row, std::string_view number, int) {
    AppendRTFEscaped(row, number);
    row += "\\cell ";
}

void TvxRTFWriter::AppendCell(std::string& row, const TvxCellInfo& cell) {
    if (!Has(xoUseAlignments))
        align_ = "";
    else if (const std::string_view* a = AlignWord(cell.Alignment))
        align_ = *a;
    const std::string_view align = align_, end = "\\cell ";
    if (!HasRTFSpecial(cell.Text)) {
        // The usual cell, copied in with one growth.
        char* d = GrowBy(row, align.size() + cell.Text.size() + end.size());
        d = CopyTo(d, align);
        d = CopyTo(d, cell.Text);
        CopyTo(d, end);
        return;
    }
    row += align;
    AppendRTFEscaped(row, cell.Text);
    row += end;
}

} // namespace vx
