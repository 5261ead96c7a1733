// TXT, CSV, TAB and the clipboard text, phase by phase.
#include "ExportTestSupport.h"

#include <gtest/gtest.h>

using namespace vxtest;

namespace {
const std::string kCreated = "Created: 12/9/2025 12:00:00 PM";

void HeaderAndFooter(TTestSource& s) {
    s.OnGetHeader = [](TvxCustomExport&, uint32_t n, std::string& h) {
        h = "Report\r\n" + std::to_string(n) + " rows";
    };
    s.OnGetFooter = [](TvxCustomExport&, uint32_t, std::string& t) { t = "End"; };
}
} // namespace

TEST(TextExport, TxtDocumentWithEveryPhase) {
    TExportFixture f;
    f.SmallTable();
    f.Source.Widths = {5, 3};
    HeaderAndFooter(f.Source);
    EXPECT_EQ(f.Export(xtTXT), Lines({"Report", "2 rows", "Name  Value", "---------", "ab    cde",
                                      "fgh   ij ", "---------", "End", kCreated}));

    // Without captions, separators and date.
    f.Source.Options.Exclude(xoShowHeader);
    f.Source.Options.Exclude(xoHeaderLine);
    f.Source.Options.Exclude(xoFooterLine);
    f.Source.Options.Exclude(xoShowExportDate);
    f.Source.OnGetHeader = nullptr;
    EXPECT_EQ(f.Export(xtTXT), Lines({"ab    cde", "fgh   ij ", "End"}));
}

TEST(TextExport, TxtRowNumbersAlignmentAndTruncation) {
    TExportFixture f;
    for (int i = 1; i <= 120; ++i)
        f.Source.Records.push_back({TVariant("r" + std::to_string(i)), TVariant(i)});
    f.Source.Options.Include(xoRowNumbers);
    f.Source.Options.Exclude(xoShowExportDate);
    std::string doc = f.Export(xtTXT);
    // Number width 3: captions after four spaces, numbers right-justified.
    EXPECT_EQ(doc.substr(0, doc.find("\r\n", doc.find("\r\n") + 2) + 2),
              Lines({"    Name   Value ", std::string(3 + 1 + 6 + 1 + 6, '-')}));
    EXPECT_NE(doc.find("\r\n  1 r1     1     \r\n"), std::string::npos);
    EXPECT_NE(doc.find("\r\n120 r120   120   \r\n"), std::string::npos);
    // The footer separator measures the number after the last one.
    std::string last = "\r\n" + std::string(3 + 1 + 6 + 1 + 6, '-') + "\r\n";
    EXPECT_EQ(doc.substr(doc.size() - last.size()), last);

    TExportFixture g;
    g.Source.Caps = {"A", "B", "C", "D"};
    g.Source.Widths = {6, 6, 6, 3};
    g.Source.Aligns = {1, 2, 3, 9};
    g.Source.Records = {
        {TVariant("ab"), TVariant("ab"), TVariant("abc"), TVariant("a")},
        {TVariant("abcdefgh"), TVariant(TVariant::Null()), TVariant(""), TVariant("abcdef")}};
    g.Source.Options = TvxExportOptionSet{xoUseAlignments};
    EXPECT_EQ(g.Export(xtTXT),
              Lines({"ab         ab  abc   a", "abcdefgh ** NULL **        abcdef"}));
    g.Source.Options.Include(xoTruncate);
    g.Source.Options.Exclude(xoUseAlignments);
    EXPECT_EQ(g.Export(xtTXT), Lines({"ab     ab     abc    a  ", "abc... ** ...        ..."}));
}

TEST(TextExport, CsvQuotingRowNumbersAndNoHeaderOrFooter) {
    TExportFixture f;
    f.Source.Caps = {"First name", "Note", "Id"};
    f.Source.Widths = {5, 5, 5};
    f.Source.Records = {
        {TVariant("a,b"), TVariant("say \"hi\""), TVariant("x")},
        {TVariant("q\"uote"), TVariant(""), TVariant(TVariant::Null())},
        {TVariant("two\r\nlines"), TVariant("tab\there"), TVariant(7)},
    };
    HeaderAndFooter(f.Source);
    f.Source.Options.Include(xoRowNumbers);
    // A quote or a line break is enclosed too, so a reader gets the value back.
    EXPECT_EQ(f.Export(xtCSV),
              Lines({",\"First name\",Note,Id", "1,\"a,b\",\"say \"\"hi\"\"\",x",
                     "2,\"q\"\"uote\",,\"** NULL **\"", "3,\"two", "lines\",tab\there,7"}));
    f.Source.SetRowNumberFormat("No %d");
    f.Source.Options.Exclude(xoShowHeader);
    f.Source.Records.resize(1);
    EXPECT_EQ(f.Export(xtCSV), Lines({"\"No 1\",\"a,b\",\"say \"\"hi\"\"\",x"}));
}

// A record whose only written cell is empty keeps its line: a reader counts
// the same records as were exported.
TEST(TextExport, CsvRecordOfOneEmptyCellKeepsItsLine) {
    TExportFixture f;
    f.Source.Caps = {"Message", "Hidden"};
    f.Source.Visible = {true, false};
    f.Source.Records = {{TVariant("a"), TVariant("x")},
                        {TVariant(""), TVariant("y")},
                        {TVariant("b"), TVariant("z")}};
    f.Source.Options = {xoShowHeader};
    EXPECT_EQ(f.Export(xtCSV), Lines({"Message", "a", "\"\"", "b"}));
    f.Source.Options.Include(xoRowNumbers);
    EXPECT_EQ(f.Export(xtCSV), Lines({",Message", "1,a", "2,", "3,b"}));
}

TEST(TextExport, TabNeverQuotesAndKeepsHeaderAndFooter) {
    TExportFixture f;
    f.Source.Records = {{TVariant("a b"), TVariant("\"q\"")}, {TVariant("x\ty"), TVariant("")}};
    HeaderAndFooter(f.Source);
    f.Source.Options.Include(xoRowNumbers);
    EXPECT_EQ(f.Export(xtTAB), Lines({"Report", "2 rows", "\tName\tValue", "1\ta b\t\"q\"",
                                      "2\tx y\t", "End", kCreated}));
}

TEST(TextExport, TabRecordKeepsItsLineAndColumns) {
    TExportFixture f;
    f.Source.Caps = {"A", "B", "C"};
    f.Source.Widths = {1, 1, 1};
    f.Source.Records = {{TVariant("a\tb"), TVariant("two\r\nlines"), TVariant("x\ny\rz")}};
    f.Source.Options = {};
    EXPECT_EQ(f.Export(xtTAB), Lines({"a b\ttwo lines\tx y z"}));
}

// Any client can send a text that a spreadsheet would run: CSV and TAB put an
// apostrophe in front, so it is shown as text. Plain numbers stay numbers.
TEST(TextExport, FormulaLikeValuesAreWrittenAsText) {
    TExportFixture f;
    f.Source.Caps = {"=Caption"};
    f.Source.Widths = {1};
    f.Source.Options = {xoShowHeader};
    for (const char* v : {"=1+2", "+1+2", "-1+2", "@SUM(A1)", "-", "--- x ---", "-1e", "+.5.5",
                          "-4", "+1.5", "-1e5", "-2.5E-3", "a=b", " =x"})
        f.Source.Records.push_back({TVariant(v)});
    const std::vector<std::string> shown = {
        "'=Caption", "'=1+2", "'+1+2", "'-1+2", "'@SUM(A1)", "'-",  "'--- x ---", "'-1e",
        "'+.5.5",    "-4",    "+1.5",  "-1e5",  "-2.5E-3",   "a=b", " =x"};
    std::string csv, tab;
    for (const std::string& line : shown) {
        csv += (line.find(' ') != std::string::npos ? "\"" + line + "\"" : line) + "\r\n";
        tab += line + "\r\n";
    }
    EXPECT_EQ(f.Export(xtCSV), csv);
    EXPECT_EQ(f.Export(xtTAB), tab);
    // The other types carry the text as it is.
    EXPECT_EQ(f.Export(xtTXT).substr(0, 16), Lines({"=Caption", "=1+2"}));
}

TEST(TextExport, ClipboardHoldsTheTxtText) {
    TExportFixture f;
    f.SmallTable();
    f.Source.Widths = {5, 3};
    HeaderAndFooter(f.Source);
    std::string txt = f.Export(xtTXT);
    f.Source.SetExportType(xtClipboard);
    f.Source.ExportStyle = xsView;
    f.Source.ExportData();
    EXPECT_EQ(f.Fake.Clipboard.Text, txt);
    EXPECT_EQ(f.Fake.Dialogs.Informations,
              std::vector<std::string>{"Data was copied to clipboard!"});
    EXPECT_TRUE(f.Fake.Shell.Calls.empty());
    EXPECT_EQ(f.Folder.Files(), std::vector<std::string>{"out.TXT"}); // no file of its own

    // An empty source still gives captions, separators, footer and date.
    f.Source.Records.clear();
    f.Source.Options.Exclude(xoClipboardMessage);
    f.Source.OnGetHeader = nullptr;
    f.Source.ExportData();
    EXPECT_EQ(f.Fake.Clipboard.Text,
              Lines({"Name  Value", "---------", "---------", "End", kCreated}));
    EXPECT_EQ(f.Fake.Dialogs.Informations.size(), 1u);

    // The clipboard text ends at a zero byte: none may stay in it, so nothing
    // after one is lost.
    f.Source.Records = {{TVariant(std::string("be\0fore", 7)), TVariant("after")}};
    f.Source.OnGetFooter = [](TvxCustomExport&, uint32_t, std::string& t) {
        t = std::string("End\0more", 8);
    };
    f.Source.Options.Exclude(xoShowExportDate);
    f.Source.ExportData();
    EXPECT_EQ(f.Fake.Clipboard.Text.find('\0'), std::string::npos);
    EXPECT_NE(f.Fake.Clipboard.Text.find("be fore after"), std::string::npos)
        << f.Fake.Clipboard.Text;
    EXPECT_NE(f.Fake.Clipboard.Text.find("End more\r\n"), std::string::npos)
        << f.Fake.Clipboard.Text;
    f.Source.OnGetFooter = nullptr;

    // A clipboard that refuses the text fails the export.
    f.Fake.Clipboard.Fail = true;
    f.Source.ExportData();
    EXPECT_EQ(f.Errors, std::vector<TvxExportError>{xeExportFailed});
}

TEST(TextExport, InvisibleColumnsAndCaptionsOverride) {
    TExportFixture f;
    f.Source.Caps = {"A", "B", "C"};
    f.Source.Widths = {2, 2, 2};
    f.Source.Visible = {true, false, true};
    f.Source.Records = {{TVariant("1"), TVariant("2"), TVariant("3")}};
    f.Source.SetCaptions({"X"});
    f.Source.Options = TvxExportOptionSet{xoShowHeader, xoHeaderLine};
    EXPECT_EQ(f.Export(xtTXT), Lines({"X  C ", "------", "1  3 "}));
    f.Source.Options.Include(xoExportInvisibles);
    EXPECT_EQ(f.Export(xtTXT), Lines({"X  B  C ", "--------", "1  2  3 "}));
}
