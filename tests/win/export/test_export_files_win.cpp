// Export files on Windows: a document replaces an existing file of the same
// name (Windows will not rename over it), a failed export keeps the old file,
// and no temporary file stays behind.
#include "export/vxExport.h"
#include "export/vxExportOutput.h"
#include "platform/Fakes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace vx;
namespace fs = std::filesystem;

namespace {

class TTable : public TvxCustomExport {
  public:
    using TvxCustomExport::TvxCustomExport;
    std::vector<std::string> Texts{"one", "two"};
    void FirstRecord() override { RecordIndex = 0; }
    bool HasSource() override { return true; }
    bool IsEndOfRecords() override { return RecordIndex >= int(Texts.size()); }
    bool IsColumnVisible(int) override { return true; }
    bool IsRecordSelected(int) override { return true; }
    int GetColumnWidth(int) override { return 5; }
    std::string GetColumnCaption(int) override { return "Text"; }
    int GetColumnCount() override { return 1; }
    void GetRecordValues(TvxValues& v) override { v = {TVariant(Texts[size_t(RecordIndex)])}; }
    int GetRecordCount() override { return int(Texts.size()); }
};

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

size_t FileCount(const fs::path& dir) {
    size_t n = 0;
    for (auto& e : fs::directory_iterator(dir))
        n += e.is_regular_file();
    return n;
}

} // namespace

TEST(WindowsExportFiles, ReplacesAndKeepsFilesWhole) {
    fs::path dir = fs::temp_directory_path() / "vx_wintest_export";
    fs::remove_all(dir);
    fs::create_directories(dir);
    TFakePlatform fake;
    fake.Files.UseRealFiles = true;
    TTable t(fake.Services());
    std::vector<TvxExportError> errors;
    t.OnError = [&](TvxCustomExport&, TvxExportError e) { errors.push_back(e); };
    t.ExportStyle = xsFile;
    t.SetExportType(xtCSV);
    t.FileName = (dir / "list.csv").string();

    t.ExportData();
    EXPECT_EQ(Read(dir / "list.CSV"), "Text\r\none\r\ntwo\r\n");
    t.Texts = {"three"};
    t.ExportData(); // over the existing file
    EXPECT_EQ(Read(dir / "list.CSV"), "Text\r\nthree\r\n");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(FileCount(dir), 1u);

    // The file is open elsewhere without sharing: the old file stays whole.
    {
        std::FILE* held = _fsopen((dir / "list.CSV").string().c_str(), "rb", 0x10 /* _SH_DENYRW */);
        ASSERT_NE(held, nullptr);
        t.Texts = {"four"};
        t.ExportData();
        std::fclose(held);
    }
    EXPECT_EQ(errors, std::vector<TvxExportError>{xeExportFailed});
    EXPECT_EQ(Read(dir / "list.CSV"), "Text\r\nthree\r\n");
    EXPECT_EQ(FileCount(dir), 1u);

    // ReplaceFile itself, on a plain pair of files.
    std::ofstream(dir / "a.txt") << "new";
    std::ofstream(dir / "b.txt") << "old";
    EXPECT_TRUE(ReplaceFile((dir / "a.txt").string(), (dir / "b.txt").string()));
    EXPECT_EQ(Read(dir / "b.txt"), "new");
    EXPECT_FALSE(fs::exists(dir / "a.txt"));
    fs::remove_all(dir);
}
