// Save: the stream reaches the file whole, or not at all.
#include "spreadsheet/vxNativeExcel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace vx;
namespace fs = std::filesystem;

namespace {
std::vector<uint8_t> ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
} // namespace

TEST(NativeExcelSave, ReplacesOrFailsWithoutDamage) {
    const fs::path dir = fs::temp_directory_path() / "vx_native_excel_save";
    fs::remove_all(dir);
    fs::create_directories(dir / "taken.XLS" / "inner");
    { std::ofstream(dir / "out.XLS") << "an older and longer file that must disappear completely"; }
    TvxNativeExcel x;
    x.WriteLabel("abc");
    x.Close();
    EXPECT_THROW(x.Save(), EFCreateError); // no file name
    x.SetFileName((dir / "missing" / "out").string());
    EXPECT_THROW(x.Save(), EFCreateError);
    x.SetFileName((dir / "taken").string()); // a folder is not replaced by the file
    EXPECT_THROW(x.Save(), EFCreateError);
    EXPECT_TRUE(fs::is_directory(dir / "taken.XLS" / "inner"));

    x.SetFileName((dir / "out").string()); // the stream survived the failures
    x.Save();
    EXPECT_EQ(ReadFile(dir / "out.XLS"), x.Data());
    EXPECT_EQ(x.FileState(), TvxNativeExcel::fsClosed); // Save adds nothing
    auto saved = x.Data();
    x.WriteBlank();
    EXPECT_EQ(ReadFile(dir / "out.XLS"), saved); // later writes leave the file alone
    // No temporary file is left: the target and the folder only.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    fs::remove_all(dir);
}
