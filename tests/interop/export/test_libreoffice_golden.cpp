// The golden documents under tests/golden, opened by LibreOffice headless as
// a user would open them: every spreadsheet type gives back the caption row
// and each data row (row number first) in consecutive cells, and the word
// processor finds every cell of the rich text documents and of the
// fixed-width text in order.
#include "support/LibreOffice.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace vxtest;

namespace {

// The golden table's cells, captions first, in UTF-8.
const std::vector<std::vector<std::string>> kCells = {
    {"Message", "Kind", "Count"},
    {"caf\xC3\xA9 \xC3\xBC\xC3\x9F", "Note", "42"},
    {"=1+2", "String", "-7"},
    {"two\nlines", "a\tb", "1.5"},
    {"C:\\dir\\{x}; \"q\"", "<b>", "0"},
};

// Readers differ in how they keep white space and mark formula-like text:
// cells compare with every run of white space as one space and without the
// leading apostrophe of the text guard.
std::string Plain(const std::string& s) {
    std::string out;
    for (size_t i = s.size() && s[0] == '\'' ? 1 : 0; i < s.size(); ++i) {
        bool space = s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n';
        if (!space)
            out += s[i];
        else if (out.empty() || out.back() != ' ')
            out += ' ';
    }
    return out;
}

bool Soffice(const fs::path& dir, const std::string& env, const std::string& to,
             const std::string& infilter, const fs::path& file) {
    std::string cmd = env +
                      " timeout 300 soffice --headless --norestore -env:UserInstallation=file://" +
                      (dir / "lo-profile").string();
    if (!infilter.empty()) cmd += " --infilter='" + infilter + "'";
    cmd += " --convert-to '" + to + "' --outdir '" + (dir / "out").string() + "' '" +
           file.string() + "'";
    return std::system((cmd + " >>'" + (dir / "soffice.log").string() + "' 2>&1").c_str()) == 0;
}

// The sheet row that starts with the cells of one table row; -1 when none.
int FindRow(const TCsv& sheet, const std::vector<std::string>& cells, bool numbered,
            size_t number) {
    for (size_t r = 0; r < sheet.size(); ++r) {
        const auto& row = sheet[r];
        for (size_t c = 0; c + cells.size() + (numbered ? 1 : 0) <= row.size(); ++c) {
            size_t at = c;
            if (numbered) {
                std::string n = row[at++];
                if (n != std::to_string(number) + "." && n != std::to_string(number)) continue;
            }
            bool all = true;
            for (size_t k = 0; k < cells.size() && all; ++k)
                all = Plain(row[at + k]) == Plain(cells[k]);
            if (all) return int(r);
        }
    }
    return -1;
}

struct TGoldenInterop : ::testing::Test {
    fs::path Dir;
    void SetUp() override {
        if (!HaveLibreOffice()) GTEST_SKIP() << "soffice is not installed";
        Dir = fs::temp_directory_path() / ("vx_interop_golden_" + std::to_string(getpid()));
        fs::remove_all(Dir);
        fs::create_directories(Dir / "out");
    }
    void TearDown() override {
        if (!HasFailure() && !Dir.empty() && !std::getenv("VX_KEEP")) fs::remove_all(Dir);
    }
    // A copy under the extension the reader knows the type by.
    fs::path Copy(const std::string& golden, const std::string& as) {
        fs::copy_file(fs::path(VX_GOLDEN_DIR) / golden, Dir / as,
                      fs::copy_options::overwrite_existing);
        return Dir / as;
    }
};

} // namespace

TEST_F(TGoldenInterop, SpreadsheetsReadTheGoldenTables) {
    const std::string csv = "csv:Text - txt - csv (StarCalc):44,34,76";
    const std::string code = ",34,1,1,,1033,false,false,false,false,false,-1,true";
    struct {
        const char* Golden;
        const char* As;
        std::string Env, Filter;
    } docs[] = {
        {"table.csv", "g_csv.csv", "", "Text - txt - csv (StarCalc):44" + code},
        {"table.tab.txt", "g_tab.txt", "", "Text - txt - csv (StarCalc):9" + code},
        {"table.slk", "g_slk.slk", "LC_ALL=C", ""},
        {"table.dif", "g_dif.dif", "", ""},
        {"table.html", "g_html.html", "", "HTML (StarCalc)"},
        {"table.xls", "g_xls.xls", "", ""},
    };
    for (const auto& d : docs) {
        SCOPED_TRACE(d.Golden);
        ASSERT_TRUE(Soffice(Dir, d.Env, csv, d.Filter, Copy(d.Golden, d.As)));
        fs::path out = Dir / "out" / (fs::path(d.As).stem().string() + ".csv");
        TCsv sheet = ReadCsv(out);
        int captions = FindRow(sheet, kCells[0], false, 0);
        ASSERT_GE(captions, 0);
        int last = captions;
        for (size_t r = 1; r < kCells.size(); ++r) {
            int at = FindRow(sheet, kCells[r], true, r);
            EXPECT_GT(at, last) << "data row " << r;
            last = at;
        }
    }
}

TEST_F(TGoldenInterop, WordProcessorReadsTheGoldenDocuments) {
    for (const char* golden : {"table.rtf", "table.doc", "table.txt"}) {
        SCOPED_TRACE(golden);
        std::string as = std::string("w_") + golden;
        std::string filter = std::string(golden) == "table.txt" ? "Text (encoded):MS_1252" : "";
        ASSERT_TRUE(Soffice(Dir, "", "txt:Text (encoded):UTF8", filter, Copy(golden, as)));
        std::stringstream s;
        s << std::ifstream(Dir / "out" / (fs::path(as).stem().string() + ".txt"), std::ios::binary)
                 .rdbuf();
        std::string text = Plain(s.str());
        size_t at = 0;
        for (const char* expected : {"Debug list", "4 messages"}) {
            at = text.find(expected, at);
            ASSERT_NE(at, std::string::npos) << expected;
        }
        for (const auto& row : kCells)
            for (const auto& cell : row) {
                size_t found = text.find(Plain(cell), at);
                EXPECT_NE(found, std::string::npos) << cell << "\n" << text;
                if (found != std::string::npos) at = found + Plain(cell).size();
            }
        EXPECT_NE(text.find("End of list", at), std::string::npos);
    }
}
