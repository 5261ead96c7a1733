// The HTML page: every phase, colour schemes, cell shapes, links and escaping.
#include "ExportTestSupport.h"

#include <gtest/gtest.h>

using namespace vxtest;

namespace {
std::string Head() {
    return Lines(
        {"<!-- THIS FILE WAS CREATED BY VEXEL'S EXPORT COMPONENTS FOR BORLAND DELPHI -->",
         "<!-- DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 TRANSITIONAL//EN\" -->", "<HTML>",
         " <HEAD>",
         "  <META HTTP-EQUIV=\"Content-Type\" CONTENT=\"TEXT/HTML; charset=windows-1252\">",
         "  <META NAME = \"GENERATOR\" CONTENT = \"Vexel's Export Components for Delphi\" >",
         "  <META NAME = \"Author\" CONTENT = \"Orin Vale\" >",
         "  <META NAME = \"Description\" CONTENT = \"\" >"});
}

bool Has(const std::string& doc, const std::string& text) {
    return doc.find(text) != std::string::npos;
}
} // namespace

TEST(HtmlExport, DefaultPageLineByLine) {
    TExportFixture f;
    f.SmallTable();
    f.Source.OnGetHeader = [](TvxCustomExport&, uint32_t, std::string& h) { h = "<b>Report</b>"; };
    f.Source.OnGetFooter = [](TvxCustomExport&, uint32_t, std::string& t) { t = "End"; };
    EXPECT_EQ(f.Export(xtHTML),
              Head() +
                  Lines({
                      "  <TITLE></TITLE>",
                      " </HEAD>",
                      " <BODY BGCOLOR=\"#FFFFFF\" LINK=\"#0000FF\" ALINK=\"#FF0000\" "
                      "VLINK=\"#FFFF00\" TEXT=\"#000000\">",
                      " <FONT COLOR=\"#000000\" FACE=\"Arial,Helvetica\">",
                      "<b>Report</b>", // the program's own header may carry markup
                      "  <HR>",
                      "  <TABLE WIDTH=\"100%\" CELLPADDING=\"4\" CELLSPACING=\"0\" BORDER=\"1\" "
                      "BGCOLOR=\"#FFFFCF\">",
                      "  <FONT COLOR=\"#000000\" FACE=\"Arial,Helvetica\">",
                      "   <TR BGCOLOR=\"#336699\">",
                      "    <TD><B><FONT COLOR=\"#FFFFFF\"><small>Name</small></FONT></B></TD>",
                      "    <TD><B><FONT COLOR=\"#FFFFFF\"><small>Value</small></FONT></B></TD>",
                      "   </TR>",
                      "   <TR>",
                      "    <TD><small>ab</small></TD>",
                      "    <TD><small>cde</small></TD>",
                      "   </TR>",
                      "   <TR BGCOLOR=\"#FFFFFF\">",
                      "    <TD><small>fgh</small></TD>",
                      "    <TD><small>ij</small></TD>",
                      "   </TR>",
                      "  </FONT>",
                      "  </TABLE>",
                      "  <HR>",
                      "End",
                      "Created: 12/9/2025 12:00:00 PM",
                      " </FONT>",
                      " </BODY>",
                      "</HTML>",
                  }));
}

TEST(HtmlExport, OptionsOffAndNoCaptionRow) {
    TExportFixture f;
    f.SmallTable();
    f.Source.HTML.Options = {};
    f.Source.HTML.Extension = exHTM;
    f.Source.Options = {};
    std::string doc = f.Export(xtHTML);
    // No title, no grid, no bold captions, no odd colouring; the opened
    // caption row stays empty and the first data row follows it.
    EXPECT_TRUE(Has(doc, Lines({"  <META NAME = \"Description\" CONTENT = \"\" >", " </HEAD>"})));
    EXPECT_TRUE(Has(
        doc,
        Lines({" <FONT COLOR=\"#000000\" FACE=\"Arial,Helvetica\">",
               "  <TABLE WIDTH=\"100%\" CELLPADDING=\"4\" CELLSPACING=\"0\" BGCOLOR=\"#FFFFCF\">",
               "  <FONT COLOR=\"#000000\" FACE=\"Arial,Helvetica\">", "   <TR BGCOLOR=\"#336699\">",
               "   <TR>", "    <TD><small>ab</small></TD>"})));
    EXPECT_TRUE(Has(doc, Lines({"   <TR>", "    <TD><small>fgh</small></TD>"})));
    EXPECT_TRUE(Has(doc, Lines({"  </TABLE>", " </FONT>", " </BODY>", "</HTML>"})));
    EXPECT_TRUE(FileExists(f.Folder / "out.HTM"));

    // Captions off but separators on: the table follows the header line.
    f.Source.Options = {xoHeaderLine, xoFooterLine};
    doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(
        doc,
        Lines(
            {"  <HR>",
             "  <TABLE WIDTH=\"100%\" CELLPADDING=\"4\" CELLSPACING=\"0\" BGCOLOR=\"#FFFFCF\">"})));
    EXPECT_TRUE(Has(doc, Lines({"  </TABLE>", "  <HR>", " </FONT>"})));
}

TEST(HtmlExport, ColourSchemesAndCustomColours) {
    TExportFixture f;
    f.SmallTable();
    f.Source.HTML.Template = ctDark;
    std::string doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(doc, " <BODY BGCOLOR=\"#317676\" LINK=\"#DDE760\" ALINK=\"#FFFF00\" "
                         "VLINK=\"#CCCC39\" TEXT=\"#FFE760\">"));
    EXPECT_TRUE(Has(doc, "BGCOLOR=\"#004040\">\r\n  <FONT COLOR=\"#FFFFFF\" "
                         "FACE=\"Arial,Helvetica\">\r\n   <TR BGCOLOR=\"#3A9393\">"));
    EXPECT_TRUE(Has(doc, "   <TR BGCOLOR=\"#000000\">\r\n    <TD><small>fgh"));

    f.Source.HTML.Template = ctMSMoney;
    doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(doc, "<FONT COLOR=\"#000000\"><small>Name")); // caption text
    EXPECT_TRUE(Has(
        doc, "  <FONT COLOR=\"#000080\" FACE=\"Arial,Helvetica\">\r\n   <TR BGCOLOR=\"#CEC6B5\">"));

    // Custom colours print their stored value: the platform's red reads #0000FF.
    f.Source.HTML.Template = ctCustom;
    f.Source.HTML.CustomColors.DefaultLink = RGBColor(255, 0, 0);
    f.Source.HTML.CustomColors.Background = clWindow;
    f.Source.HTML.CustomColors.DefaultFontFace = "Verdana";
    f.Source.HTML.CustomColors.TableFontFace = "Courier";
    doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(doc, " <BODY BGCOLOR=\"#FF000005\" LINK=\"#0000FF\" ALINK=\"#FF0000\""));
    EXPECT_TRUE(Has(doc, " <FONT COLOR=\"#000000\" FACE=\"Verdana\">"));
    EXPECT_TRUE(Has(doc, "  <FONT COLOR=\"#000000\" FACE=\"Courier\">"));
}

TEST(HtmlExport, CellsRowNumbersWidthsAndAlignments) {
    TExportFixture f;
    f.Source.Records = {{TVariant("ab"), TVariant("")}, {TVariant::Null(), TVariant("x")}};
    f.Source.SetColumnWidths({"5%", "95%"});
    f.Source.Aligns = {2, 9};
    f.Source.Options.Include(xoRowNumbers);
    f.Source.HTML.Options.Exclude(hoBoldHeaders);
    std::string doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(doc, Lines({"   <TR BGCOLOR=\"#336699\">", "    <TD>&nbsp;</TD>",
                                "    <TD WIDTH=\"5%\" ALIGN=\"Right\" ><FONT "
                                "COLOR=\"#FFFFFF\"><small>Name</small></FONT></TD>",
                                "    <TD WIDTH=\"95%\" ALIGN=\"Right\" ><FONT "
                                "COLOR=\"#FFFFFF\"><small>Value</small></FONT></TD>",
                                "   </TR>"})));
    EXPECT_TRUE(
        Has(doc, Lines({"   <TR>", "    <TD ALIGN=\"Right\">1</TD>",
                        "    <TD WIDTH=\"5%\" ALIGN=\"Right\" ><small>ab</small></TD>",
                        "    <TD WIDTH=\"95%\" ALIGN=\"Right\" ><small>&nbsp;</small></TD>"})));
    EXPECT_TRUE(Has(doc, "    <TD WIDTH=\"5%\" ALIGN=\"Right\" ><small>** NULL **</small></TD>"));
    f.Source.Options.Exclude(xoUseAlignments);
    doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(doc, "    <TD WIDTH=\"5%\"><small>ab</small></TD>"));
}

TEST(HtmlExport, DataIsEscapedAndLinksAreSafe) {
    TExportFixture f;
    f.Source.Caps = {"<i>Name</i>", "Value"};
    f.Source.Records = {
        {TVariant("a<b & \"c\""), TVariant("<script>alert(1)</script>")},
        {TVariant("see http://x.org/?a=1&b=2"), TVariant("mailto:me@x.org")},
        {TVariant(" javascript:alert(1)//http:"), TVariant("http://example.org/long/path")},
    };
    f.Source.HTML.Title = "Log <1>";
    std::string doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(doc, "  <TITLE>Log &lt;1&gt;</TITLE>"));
    EXPECT_TRUE(Has(doc, "<small>&lt;i&gt;Name&lt;/i&gt;</small>"));
    EXPECT_TRUE(Has(doc, "<small>a&lt;b &amp; &quot;c&quot;</small>"));
    EXPECT_TRUE(Has(doc, "<small>&lt;script&gt;alert(1)&lt;/script&gt;</small>"));
    EXPECT_FALSE(Has(doc, "<script"));
    EXPECT_TRUE(Has(doc, "<small><A HREF=\"see http://x.org/?a=1&amp;b=2\">see "
                         "http://x.org/?a=1&amp;b=2</A></small>"));
    EXPECT_TRUE(Has(doc, "<A HREF=\"mailto:me@x.org\">mailto:me@x.org</A>"));
    // A script address is shown, never linked.
    EXPECT_TRUE(Has(doc, "<small> javascript:alert(1)//http:</small>"));

    // A cut cell links to the cut text and shows the whole value.
    f.Source.Options.Include(xoTruncate);
    f.Source.Widths = {40, 10};
    doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(doc, "<A HREF=\"http://...\">http://example.org/long/path</A>"));
    f.Source.HTML.Options.Exclude(hoAutoLink);
    doc = f.Export(xtHTML);
    EXPECT_FALSE(Has(doc, "<A HREF"));
}

TEST(HtmlExport, OddRowsFollowTheSourceIndex) {
    TExportFixture f;
    f.Source.Records = {{TVariant("r0"), TVariant("")},
                        {TVariant("r1"), TVariant("")},
                        {TVariant("r2"), TVariant("")},
                        {TVariant("r3"), TVariant("")}};
    f.Source.Selected = {true, false, true, true};
    f.Source.Options.Include(xoSelectedRowsOnly);
    std::string doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(doc, "   <TR>\r\n    <TD><small>r0"));
    EXPECT_FALSE(Has(doc, "r1"));
    EXPECT_TRUE(Has(doc, "   <TR>\r\n    <TD><small>r2"));
    EXPECT_TRUE(Has(doc, "   <TR BGCOLOR=\"#FFFFFF\">\r\n    <TD><small>r3"));
}

// The page names the system code page, so browsers read 8-bit texts right.
TEST(HtmlExport, DeclaresTheSystemCodePage) {
    TExportFixture f;
    f.SmallTable();
    const std::pair<unsigned, const char*> pages[] = {
        {1250, "windows-1250"}, {1251, "windows-1251"}, {1258, "windows-1258"},
        {874, "windows-874"},   {932, "Shift_JIS"},     {936, "GBK"},
        {949, "EUC-KR"},        {950, "Big5"}};
    for (auto [page, name] : pages) {
        f.Fake.Locale.CodePage = page;
        EXPECT_TRUE(
            Has(f.Export(xtHTML), std::string("CONTENT=\"TEXT/HTML; charset=") + name + "\">\r\n"))
            << page;
    }
    // A code page without a name browsers know is not guessed at.
    f.Fake.Locale.CodePage = 437;
    EXPECT_TRUE(
        Has(f.Export(xtHTML), "  <META HTTP-EQUIV=\"Content-Type\" CONTENT=\"TEXT/HTML\">\r\n"));
}

TEST(HtmlExport, FormulaLikeCellsAreMarkedAsText) {
    TExportFixture f;
    f.Source.Caps = {"=Name", "Value"};
    f.Source.Records = {{TVariant("@SUM(A1)"), TVariant("-4")}};
    f.Source.Options = {xoShowHeader};
    f.Source.HTML.Options = {};
    const std::string text = " SDNUM=\"1033;0;@\" STYLE=\"mso-number-format:'\\@'\">";
    std::string doc = f.Export(xtHTML);
    EXPECT_TRUE(Has(doc, "    <TD" + text + "<FONT COLOR=\"#FFFFFF\"><small>=Name</small>"));
    EXPECT_TRUE(Has(doc, "    <TD" + text + "<small>@SUM(A1)</small>"));
    EXPECT_TRUE(Has(doc, "    <TD><small>-4</small>"));
}
