// The Rich Text and Word documents: tables, colours, fonts, rows, escaping.
#include "ExportTestSupport.h"

#include "export/vxExportWriters.h"

#include <gtest/gtest.h>

using namespace vxtest;

namespace {
const std::string kGrid = "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdr"
                          "w10\\clbrdrr\\brdrs\\brdrw10";
const std::string kRowEnd = "}\\pard \\nowidctlpar\\widctlpar\\intbl\\adjustright {\\row}\r\n";

std::string RowStart(const std::string& shading, std::initializer_list<int> bounds,
                     const std::string& font) {
    std::string s = "\\trowd\\trgaph108\\trrh260\\trleft0";
    for (int b : bounds)
        s += "\\clvertalc" + kGrid + shading + "\\cltxlrtb\\cellx" + std::to_string(b);
    return s + "\\pard\\ri-123\\nowidctlpar\\widctlpar\\intbl\\adjustright" + font;
}

std::string StyleBlock() {
    return "\\par \\pard\\plain\\cgrid\r\n"
           "{\\stylesheet{\\nowidctlpar\\widctlpar\\adjustright \\fs20\\cgrid \\snext0 Normal;}\r\n"
           "{\\*\\cs10 \\additive Default Paragraph Font;}}\r\n"
           "{\\*\\pnseclvl1\\pnucrm\\pnstart1\\pnindent720\\pnhang{\\pntxta.}}\r\n"
           "{\\*\\pnseclvl2\\pnucltr\\pnstart1\\pnindent720\\pnhang{\\pntxta .}}\r\n"
           "{\\*\\pnseclvl3\\pndec\\pnstart1\\pnindent720\\pnhang{\\pntxta.}}\r\n"
           "{\\*\\pnseclvl4\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxta)}}\r\n"
           "{\\*\\pnseclvl5\\pndec\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta)}}\r\n"
           "{\\*\\pnseclvl6\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}\r\n"
           "{\\*\\pnseclvl7\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta)}}\r\n"
           "{\\*\\pnseclvl8\\pnlcltr\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta)}}\r\n"
           "{\\*\\pnseclvl9\\pnlcrm\\pnstart1\\pnindent720\\pnhang{\\pntxtb (}{\\pntxta )}}\r\n";
}

bool Has(const std::string& doc, const std::string& text) {
    return doc.find(text) != std::string::npos;
}
} // namespace

TEST(RtfExport, DefaultDocumentPieceByPiece) {
    TExportFixture f;
    f.SmallTable();
    f.Source.OnGetHeader = [](TvxCustomExport&, uint32_t, std::string& h) { h = "Report"; };
    f.Source.OnGetFooter = [](TvxCustomExport&, uint32_t, std::string& t) { t = "End"; };
    const std::string header = " {\\f1\\fs16\\b\\cf1\\cgrid0 ",
                      table = " {\\f2\\fs16\\cf2\\cgrid0 ";
    std::string expected =
        "{\\rtf1\\ansi\\deff0\\deftab720\r\n"
        "{\\fonttbl{\\f0\\fswiss\\fcharset0 MS Sans Serif;}{\\f1\\fswiss\\fcharset0 MS Sans Serif;}"
        "{\\f2\\fswiss\\fcharset0 MS Sans Serif;}}\r\n"
        "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red0\\green0\\blue0;"
        "\\red0\\green0\\blue128;\\red255\\green255\\blue255;\\red128\\green255\\blue0;}\r\n"
        "\\margl461\\margr562\\margt101\\margb101"
        "\\par \\pard\\plain\\f0\\fs16\\cf0 Report\r\n" +
        StyleBlock() + RowStart(" \\clcbpat3", {1458, 2917}, header) + "Name\\cell Value\\cell " +
        kRowEnd + RowStart(" \\clcbpat4", {1458, 2917}, table) + "ab\\cell cde\\cell " + kRowEnd +
        RowStart(" \\clcbpat5", {1458, 2917}, table) + "fgh\\cell ij\\cell " + kRowEnd +
        "\\pard\\nowidctlpar\\widctlpar\\adjustright {\r\n"
        "\\par \\pard\\plain\\f0\\fs16\\cf0 End\r\n"
        "\\par \\pard\\plain\\f0\\fs16\\cf0 Created: 12/9/2025 12:00:00 PM\r\n"
        "}}";
    EXPECT_EQ(f.Export(xtRTF), expected);
    // Word writes the same document under its own extension.
    EXPECT_EQ(f.Export(xtWord), expected);
    EXPECT_TRUE(FileExists(f.Folder / "out.DOC"));
}

TEST(RtfExport, FontsAttributesAndCellBoundaries) {
    TFakeFonts fonts;
    TFont font;
    EXPECT_EQ(RTFFontEntry(0, font, &fonts), "{\\f0\\fswiss\\fcharset0 MS Sans Serif;}");
    font.Name = "Courier New";
    EXPECT_EQ(RTFFontEntry(2, font, &fonts), "{\\f2\\fmodern\\fcharset0 Courier New;}");
    font.Name = "Symbol";
    EXPECT_EQ(RTFFontEntry(1, font, &fonts), "{\\f1\\froman\\fcharset2 Symbol;}");
    font.Name = "Wingdings";
    EXPECT_EQ(RTFFontEntry(1, font, &fonts), "{\\f1\\fdontcare\\fcharset2 Wingdings;}");
    font.Name = "Arial";
    font.Charset = 204; // any other character set is written as 1
    EXPECT_EQ(RTFFontEntry(1, font, &fonts), "{\\f1\\fswiss\\fcharset1 Arial;}");

    font.Size = 10;
    font.Bold = font.Italic = true;
    EXPECT_EQ(RTFFontAttributes(font), "\\fs20\\b\\i");
    font.Bold = font.Italic = false;
    font.Underline = font.StrikeOut = true;
    EXPECT_EQ(RTFFontAttributes(font), "\\fs20\\ul\\strike");

    EXPECT_EQ(RTFCellBoundary(0, 96, 1400), 1458);
    EXPECT_EQ(RTFCellBoundary(1, 96, 1400), 2917);
    EXPECT_EQ(RTFCellBoundary(0, 120, 1400), 1167);
    EXPECT_EQ(RTFCellBoundary(0, 96, 12), 12); // 12.5: halves go to the even neighbour
    EXPECT_EQ(RTFCellBoundary(0, 96, 36), 38); // 37.5
}

TEST(RtfExport, TemplatesRowNumbersAndOptions) {
    TExportFixture f;
    f.SmallTable();
    f.Fake.Screen.PPI = 120;
    f.Source.DOC_RTF.Template = rtCustom;
    f.Source.DOC_RTF.CustomSettings.HeaderBackground = RGBColor(0, 0, 255);
    f.Source.DOC_RTF.CustomSettings.DefaultFont.Color = RGBColor(1, 2, 3);
    f.Source.DOC_RTF.LeftMargin = 5;
    f.Source.Options.Include(xoRowNumbers);
    f.Source.Options.Exclude(xoShowExportDate);
    f.Source.Aligns = {2, 7};
    std::string doc = f.Export(xtRTF);
    EXPECT_TRUE(Has(
        doc, "{\\colortbl\\red1\\green2\\blue3;\\red8\\green0\\blue0;\\red8\\green0\\blue0;"
             "\\red0\\green0\\blue255;\\red207\\green255\\blue255;\\red255\\green255\\blue255;}"));
    EXPECT_TRUE(Has(doc, "\\margl5\\margr562"));
    EXPECT_TRUE(Has(doc, "\\cellx1167\\pard") == false);
    EXPECT_TRUE(Has(doc, "\\cellx1167\\clvertalc"));
    EXPECT_TRUE(Has(doc, "\\cellx3500\\pard")); // three cells at 120 pixels per inch
    EXPECT_TRUE(Has(doc, "\\cgrid0  \\cell \\qr Name\\cell \\qr Value\\cell }"));
    EXPECT_TRUE(Has(doc, "\\cgrid0 1\\cell \\qr ab\\cell \\qr cde\\cell }"));
    EXPECT_TRUE(Has(doc, "\\cgrid0 2\\cell \\qr fgh\\cell \\qr ij\\cell }"));

    // Without captions the style block stays and the first row is a data row;
    // without grid lines and odd colouring the rows carry only the shading.
    f.Source.Options = {};
    f.Source.DOC_RTF.Options = {};
    doc = f.Export(xtRTF);
    EXPECT_TRUE(
        Has(doc,
            StyleBlock() + "\\trowd\\trgaph108\\trrh260\\trleft0\\clvertalc \\clcbpat4\\cltxlrtb"));
    EXPECT_FALSE(Has(doc, "clcbpat5"));
    EXPECT_FALSE(Has(doc, "clcbpat3"));
    EXPECT_FALSE(Has(doc, "\\brdrs"));
    EXPECT_TRUE(Has(doc, "\\cgrid0 ab\\cell cde\\cell }"));
}

TEST(RtfExport, DataCannotChangeTheStructure) {
    TExportFixture f;
    f.Source.Caps = {"A{", "B}"};
    f.Source.Records = {{TVariant("C:\\x {y}"), TVariant("caf\xE9 two\r\nlines")}};
    f.Source.Visible = {true, false};
    f.Source.OnGetFooter = [](TvxCustomExport&, uint32_t, std::string& t) { t = "\\par}"; };
    std::string doc = f.Export(xtRTF);
    EXPECT_TRUE(Has(doc, "A\\{\\cell }"));
    EXPECT_TRUE(Has(doc, "C:\\\\x \\{y\\}\\cell }"));
    EXPECT_TRUE(Has(doc, "\\f0\\fs16\\cf0 \\\\par\\}\r\n"));
    // Only the written cells are declared.
    EXPECT_FALSE(Has(doc, "\\cellx2917"));
    f.Source.Visible = {};
    doc = f.Export(xtRTF);
    EXPECT_TRUE(Has(doc, "caf\\'e9 two\\line lines\\cell }"));
    f.Source.Records = {{TVariant("a\nb\rc"), TVariant("")}};
    EXPECT_TRUE(Has(f.Export(xtWord), "a\\line b\\line c\\cell "));
    // Braces balance: every group that opens is closed.
    int depth = 0;
    for (size_t i = 0; i < doc.size(); ++i) {
        if (doc[i] == '\\')
            ++i;
        else if (doc[i] == '{')
            ++depth;
        else if (doc[i] == '}')
            --depth;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);
}
