// Written documents read back by LibreOffice headless: CSV, TAB, HTML, SYLK
// and DIF converted to CSV by the spreadsheet; RTF, DOC and the fixed-width
// TXT (text, not a table) converted to plain text by the word processor. The
// same cell texts come back. The HTML page is also loaded by headless
// Chromium, which must show the data as text and run none of it.
#include "support/LibreOffice.h"
#include "export/vxExport.h"
#include "platform/Fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace vx;
using vxtest::HaveLibreOffice;
namespace fs = std::filesystem;

namespace {

using TSheet = std::vector<std::vector<std::string>>;

// Runs soffice on files in dir with a private profile; true when it ran cleanly.
// env goes in front of the command ("LC_ALL=C").
bool Convert(const fs::path& dir, const std::string& to, const std::string& infilter,
             const std::vector<std::string>& files, const std::string& env = "") {
    std::string cmd = "cd '" + dir.string() + "' && " + env +
                      " timeout 300 soffice --headless --norestore" +
                      " -env:UserInstallation=file://" + (dir / "lo-profile").string();
    if (!infilter.empty()) cmd += " --infilter='" + infilter + "'";
    cmd += " --convert-to '" + to + "' --outdir '" + (dir / "out").string() + "'";
    for (const auto& f : files)
        cmd += " '" + f + "'";
    cmd += " >>'" + (dir / "soffice.log").string() + "' 2>&1";
    return std::system(cmd.c_str()) == 0;
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// RFC 4180 reading of LibreOffice's CSV output.
TSheet ParseCsv(const std::string& text) {
    TSheet rows(1);
    std::string field;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                field += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            rows.back().push_back(field), field.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            rows.back().push_back(field), field.clear();
            rows.emplace_back();
        } else {
            field += c;
        }
    }
    if (!field.empty() || !rows.back().empty()) rows.back().push_back(field);
    if (rows.back().empty()) rows.pop_back();
    return rows;
}

class TTable : public TvxCustomExport {
  public:
    using TvxCustomExport::TvxCustomExport;
    std::vector<std::string> Caps{"Message", "Kind", "Count"};
    std::vector<TvxValues> Rows;
    void FirstRecord() override { RecordIndex = 0; }
    bool HasSource() override { return true; }
    bool IsEndOfRecords() override { return RecordIndex >= int(Rows.size()); }
    bool IsColumnVisible(int) override { return true; }
    bool IsRecordSelected(int) override { return true; }
    int GetColumnWidth(int) override { return 40; }
    std::string GetColumnCaption(int i) override { return Caps[size_t(i)]; }
    int GetColumnCount() override { return int(Caps.size()); }
    void GetRecordValues(TvxValues& v) override { v = Rows[size_t(RecordIndex)]; }
    int GetRecordCount() override { return int(Rows.size()); }
};

// The values every format must carry through: separators, quotes, markup,
// braces and backslashes, semicolons, a one-word first caption.
const std::vector<std::vector<std::string>> kCells = {
    {"Message", "Kind", "Count"},  {"a<b & \"c\"", "Note", "1"},
    {"x, y; z", "String", "22"},   {"C:\\dir\\{file}", "<script>alert(1)</script>", "333"},
    {"say \"hi\"", "it\"s", "-4"},
};

struct TInterop : ::testing::Test {
    fs::path Dir;
    TFakePlatform Fake;
    void SetUp() override {
        if (!HaveLibreOffice()) GTEST_SKIP() << "soffice is not installed";
        Dir = fs::temp_directory_path() / ("vx_interop_export_" + std::to_string(getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir / "out");
        Fake.Files.UseRealFiles = true;
    }
    void TearDown() override {
        if (!HasFailure() && !Dir.empty() && !std::getenv("VX_KEEP")) fs::remove_all(Dir);
    }
    // Writes the cells as type to Dir/name.<ext>; returns the file name.
    std::string Write(TvxExportType type, const std::string& name) {
        TTable t(Fake.Services());
        t.SetExportType(type);
        t.ExportStyle = xsFile;
        t.Options.Exclude(xoShowExportDate);
        t.Options.Exclude(xoHeaderLine);
        t.Options.Exclude(xoFooterLine);
        for (size_t r = 1; r < kCells.size(); ++r)
            t.Rows.push_back(
                {TVariant(kCells[r][0]), TVariant(kCells[r][1]), TVariant(kCells[r][2])});
        t.FileName = (Dir / name).string();
        bool failed = false;
        t.OnError = [&](TvxCustomExport&, TvxExportError) { failed = true; };
        t.ExportData();
        EXPECT_FALSE(failed);
        return name.substr(0, name.rfind('.') + 1) + t.DefaultExtension();
    }
};

} // namespace

TEST_F(TInterop, SpreadsheetFormatsGiveBackTheCells) {
    std::vector<std::string> files = {Write(xtCSV, "as_csv.x"), Write(xtSYLK, "as_slk.x"),
                                      Write(xtDIF, "as_dif.x"), Write(xtTAB, "as_tab.x")};
    ASSERT_TRUE(Convert(Dir, "csv:Text - txt - csv (StarCalc):44,34,76", "",
                        {files[0], files[1], files[2]}));
    // A tab-separated .TXT needs the separator named.
    ASSERT_TRUE(Convert(Dir, "csv:Text - txt - csv (StarCalc):44,34,76",
                        "Text - txt - csv (StarCalc):9,34,76", {files[3]}));
    ASSERT_TRUE(Convert(Dir, "csv:Text - txt - csv (StarCalc):44,34,76", "HTML (StarCalc)",
                        {Write(xtHTML, "as_html.x")}));
    for (const char* stem : {"as_csv", "as_slk", "as_dif", "as_tab", "as_html"}) {
        SCOPED_TRACE(stem);
        TSheet sheet = ParseCsv(Read(Dir / "out" / (std::string(stem) + ".csv")));
        ASSERT_EQ(sheet.size(), kCells.size());
        for (size_t r = 0; r < kCells.size(); ++r) {
            ASSERT_GE(sheet[r].size(), 3u) << "row " << r;
            for (size_t c = 0; c < 3; ++c)
                EXPECT_EQ(sheet[r][c], kCells[r][c]) << "row " << r << " column " << c;
        }
    }
}

TEST_F(TInterop, RichTextAndWordGiveBackTheCells) {
    std::vector<std::string> files = {Write(xtRTF, "as_rtf.x"), Write(xtWord, "as_doc.x"),
                                      Write(xtTXT, "as_txt.x")};
    ASSERT_TRUE(Convert(Dir, "txt:Text (encoded):UTF8", "", files));
    for (const char* stem : {"as_rtf", "as_doc", "as_txt"}) {
        SCOPED_TRACE(stem);
        std::string text = Read(Dir / "out" / (std::string(stem) + ".txt"));
        ASSERT_FALSE(text.empty());
        // Each cell comes out in order (a table cell is a paragraph of its own).
        size_t at = 0;
        for (const auto& row : kCells)
            for (const auto& cell : row) {
                size_t found = text.find(cell, at);
                EXPECT_NE(found, std::string::npos) << cell;
                if (found != std::string::npos) at = found + cell.size();
            }
        EXPECT_EQ(text.find("\\"), text.find("C:\\dir\\{file}") + 2); // no stray control words
    }
}

namespace {

bool HaveChromium() {
    return std::system("command -v chromium-headless-shell >/dev/null 2>&1") == 0;
}

// The page's document after Chromium loaded it and ran its scripts.
std::string ChromiumDom(const fs::path& page) {
    fs::path dom = page.string() + ".dom";
    std::string cmd = "timeout 120 chromium-headless-shell --no-sandbox --disable-gpu"
                      " --virtual-time-budget=2000 --dump-dom 'file://" +
                      page.string() + "' >'" + dom.string() + "' 2>>'" + page.string() + ".log'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    return Read(dom);
}

} // namespace

TEST_F(TInterop, HtmlPageRunsNoScriptFromTheData) {
    if (!HaveChromium()) GTEST_SKIP() << "chromium-headless-shell is not installed";
    // Each attack adds an element with a marker id when it runs.
    const std::string attacks[] = {
        "<script>document.body.insertAdjacentHTML('beforeend','<p id=\"ran1\">x</p>')</script>",
        "<img src=\"nothing\" onerror=\"document.body.insertAdjacentHTML('beforeend','<p "
        "id=ran2>x</p>')\">",
        // A link target that tries to leave its attribute.
        "http://example.com/\" onmouseover=\"x\" id=\"ran3",
    };
    // The same markup in a page of the test's own: Chromium runs it there,
    // so the check below would see an attack that got through.
    std::ofstream(Dir / "control.html")
        << "<html><body>" << attacks[0] << attacks[1] << "</body></html>";
    std::string control = ChromiumDom(Dir / "control.html");
    ASSERT_NE(control.find("<p id=\"ran1\">"), std::string::npos) << control;
    ASSERT_NE(control.find("<p id=\"ran2\">"), std::string::npos) << control;

    TTable t(Fake.Services());
    t.SetExportType(xtHTML);
    t.ExportStyle = xsFile;
    t.Caps = {"Message", "<b id=\"ran4\">Kind</b>", "Count"};
    for (const std::string& a : attacks)
        t.Rows.push_back({TVariant(a), TVariant(a), TVariant("1")});
    t.FileName = (Dir / "attack.html").string();
    t.ExportData();
    ASSERT_TRUE(t.LastExportWritten());
    std::string dom = ChromiumDom(Dir / "attack.HTML");
    ASSERT_NE(dom.find("<table"), std::string::npos) << dom;
    // Chromium writes text with < as &lt; (quotes stay), so a marker element
    // shows as a tag only when it was really made.
    for (const char* tag : {"<p id=\"ran1\">", "<p id=\"ran2\">", "<b id=\"ran4\">"})
        EXPECT_EQ(dom.find(tag), std::string::npos) << tag << "\n" << dom;
    // The link keeps the whole text in its target instead of gaining attributes.
    EXPECT_EQ(dom.find("href=\"http://example.com/\" "), std::string::npos) << dom;
    EXPECT_NE(dom.find("href=\"http://example.com/&quot; onmouseover="), std::string::npos) << dom;
    // The texts are shown as they were sent: the browser escapes them again
    // when it writes the document out.
    EXPECT_NE(dom.find("&lt;script&gt;document.body.insertAdjacentHTML"), std::string::npos) << dom;
    EXPECT_NE(dom.find("&lt;img src=\"nothing\""), std::string::npos) << dom;
}

namespace {

// Texts a client may send that a document must neither garble nor split nor
// run: 8-bit characters of the system code page (1252 here), line breaks, a
// TAB, a zero byte and formula-like values.
const std::vector<std::vector<std::string>> kHostile = {
    {"caf\xE9 \xFC\xDF", "=1+2", "two\r\nlines"},
    {"a\tb", std::string("be\0fore", 7), "@SUM(1;2)"},
    {"-1+2", "x\ny", "+A1"},
};

// The text a reader shows for a sent text, in UTF-8. Spreadsheets get CSV and
// TAB formula-like texts behind an apostrophe; TAB writes TABs and line breaks
// as spaces, SYLK and DIF line breaks; a spreadsheet's HTML import folds all
// white space. A zero byte is a space everywhere.
std::string Shown(const std::string& sent, const std::string& type) {
    std::string s;
    bool guard = (type == "csv" || type == "tab") && !sent.empty() &&
                 std::string("=+-@").find(sent[0]) != std::string::npos;
    if (guard) s += '\'';
    for (size_t i = 0; i < sent.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(sent[i]);
        bool brk = c == '\r' || c == '\n';
        if (c == '\r' && i + 1 < sent.size() && sent[i + 1] == '\n') ++i;
        if (c == 0)
            s += ' ';
        else if (brk && type == "csv")
            s += '\n';
        else if (brk || (c == '\t' && (type == "tab" || type == "html")))
            s += ' ';
        else if (c >= 0x80)
            s += char(0xC0 | c >> 6), s += char(0x80 | (c & 0x3F));
        else
            s += char(c);
    }
    return s;
}

} // namespace

TEST_F(TInterop, HostileTextsComeBackAsText) {
    auto write = [&](TvxExportType type, const std::string& name) {
        TTable t(Fake.Services());
        t.SetExportType(type);
        t.ExportStyle = xsFile;
        t.Options = {xoShowHeader};
        for (const auto& row : kHostile)
            t.Rows.push_back({TVariant(row[0]), TVariant(row[1]), TVariant(row[2])});
        t.FileName = (Dir / name).string();
        t.ExportData();
        EXPECT_TRUE(t.LastExportWritten()) << name;
        return name.substr(0, name.rfind('.') + 1) + t.DefaultExtension();
    };
    // Opened as a user would open them: CSV and TAB in the code page they were
    // written in, and with formulas evaluated, as spreadsheets do by default.
    const std::string csv = "csv:Text - txt - csv (StarCalc):44,34,76";
    const std::string options = ",34,1,1,,1033,false,false,false,false,false,-1,true";
    ASSERT_TRUE(
        Convert(Dir, csv, "Text - txt - csv (StarCalc):44" + options, {write(xtCSV, "csv.x")}));
    ASSERT_TRUE(
        Convert(Dir, csv, "Text - txt - csv (StarCalc):9" + options, {write(xtTAB, "tab.x")}));
    ASSERT_TRUE(Convert(Dir, csv, "", {write(xtDIF, "dif.x")}));
    ASSERT_TRUE(Convert(Dir, csv, "HTML (StarCalc)", {write(xtHTML, "html.x")}));
    // SYLK has no way to name its code page: the spreadsheet reads it in that
    // of its own locale, which on Windows is the system's. Here a locale of
    // 8-bit text stands in for it.
    ASSERT_TRUE(Convert(Dir, csv, "", {write(xtSYLK, "slk.x")}, "LC_ALL=C"));
    for (const char* type : {"csv", "tab", "dif", "html", "slk"}) {
        SCOPED_TRACE(type);
        TSheet sheet = ParseCsv(Read(Dir / "out" / (std::string(type) + ".csv")));
        ASSERT_EQ(sheet.size(), kHostile.size() + 1);
        for (size_t r = 0; r < kHostile.size(); ++r) {
            ASSERT_GE(sheet[r + 1].size(), 3u) << "row " << r;
            for (size_t c = 0; c < 3; ++c)
                EXPECT_EQ(sheet[r + 1][c], Shown(kHostile[r][c], type))
                    << "row " << r << " column " << c;
        }
    }

    // The word processor keeps each line break inside its cell, and the
    // fixed-width text its 8-bit characters.
    ASSERT_TRUE(Convert(Dir, "txt:Text (encoded):UTF8", "",
                        {write(xtRTF, "rtf.x"), write(xtWord, "doc.x")}));
    ASSERT_TRUE(
        Convert(Dir, "txt:Text (encoded):UTF8", "Text (encoded):MS_1252", {write(xtTXT, "txt.x")}));
    for (const char* type : {"rtf", "doc", "txt"}) {
        SCOPED_TRACE(type);
        std::string text = Read(Dir / "out" / (std::string(type) + ".txt"));
        std::vector<std::string> cells = {Shown(kHostile[0][0], type), "be fore", "=1+2",
                                          "@SUM(1;2)", "a\tb"};
        if (std::string(type) != "txt") cells.insert(cells.end(), {"two\nlines", "x\ny"});
        for (const std::string& cell : cells)
            EXPECT_NE(text.find(cell), std::string::npos) << cell << "\n" << text;
    }
}

// A browser reads the page's 8-bit texts in the code page they were written in.
TEST_F(TInterop, HtmlPageShowsTextsOfTheSystemCodePage) {
    if (!HaveChromium()) GTEST_SKIP() << "chromium-headless-shell is not installed";
    Fake.Locale.CodePage = 1251;
    TTable t(Fake.Services());
    t.SetExportType(xtHTML);
    t.ExportStyle = xsFile;
    // Too short a text for a browser to guess its code page from.
    t.Rows.push_back({TVariant("caf\xE9"), TVariant("x"), TVariant("1")});
    t.FileName = (Dir / "cyrillic.html").string();
    t.ExportData();
    ASSERT_TRUE(t.LastExportWritten());
    std::string dom = ChromiumDom(Dir / "cyrillic.HTML");
    EXPECT_NE(dom.find("<small>caf\xD0\xB9</small>"), std::string::npos)
        << dom; // the last letter Cyrillic
}
