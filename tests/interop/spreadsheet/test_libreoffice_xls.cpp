// A program nobody here wrote reads our sheets: LibreOffice converts files of
// all four BIFF versions to CSV and finds our cells.
#include "spreadsheet/vxNativeExcel.h"
#include "support/LibreOffice.h"

#include <gtest/gtest.h>

#include <unistd.h>

using namespace vx;
using vxtest::Cell;
namespace fs = std::filesystem;

TEST(LibreOfficeXls, ReadsAllFourBiffVersions) {
    if (!vxtest::HaveLibreOffice()) GTEST_SKIP() << "soffice is not installed";
    fs::path dir = fs::temp_directory_path() / ("vx_interop_xls_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::vector<fs::path> files;
    for (int v = bvBIFF2; v <= bvBIFF5; ++v) {
        TvxNativeExcel x;
        x.SetBIFF(TvxBIFFVersion(v));
        TFont font;
        x.WriteFont(&font);
        x.WriteHeader("Header");
        x.WriteLeftMargin(0.3);
        x.WriteColWidth(1, 256, 20);
        for (int n : {42, 100000, -7})
            x.WriteInteger(n);
        x.WriteNumber(2.5);
        x.SetRow(2);
        x.SetColumn(1);
        x.SetBorders(ebAllBorders);
        x.SetAlignment(eaRight);
        x.WriteBoolean(true);
        x.WriteBlank();
        x.WriteLabel("x,y \"q\"");
        x.WriteBoolErr(beDiv0);
        x.WriteLabel("\xE4\x80"); // Windows-1252
        x.SetMoveAfterEnter(maDown);
        x.SetRow(3);
        x.SetColumn(2);
        for (int i = 0; i < 3; ++i)
            x.WriteInteger(i); // rows 3..5 of column 2
        x.WriteProtect(true);
        x.Close();
        x.SetFileName((dir / ("biff" + std::to_string(v))).string());
        x.Save();
        files.push_back(x.FileName());
    }
    ASSERT_TRUE(vxtest::ConvertToCsv(files, dir));
    for (int v = bvBIFF2; v <= bvBIFF5; ++v) {
        SCOPED_TRACE("BIFF version " + std::to_string(v));
        auto s = vxtest::ReadCsv(dir / ("biff" + std::to_string(v) + ".csv"));
        const char* row1[] = {"42", "100000", "-7", "2.5"};
        for (size_t c = 0; c < 4; ++c)
            EXPECT_EQ(Cell(s, 0, c), row1[c]);
        // A boolean without a number format reads as 1 in CSV.
        EXPECT_TRUE(Cell(s, 1, 0) == "1" || Cell(s, 1, 0) == "TRUE") << Cell(s, 1, 0);
        EXPECT_EQ(Cell(s, 1, 2), "x,y \"q\"");
        EXPECT_EQ(Cell(s, 1, 3), "#DIV/0!");
        EXPECT_EQ(Cell(s, 1, 4), "\xC3\xA4\xE2\x82\xAC");
        EXPECT_EQ(Cell(s, 2, 1) + Cell(s, 3, 1) + Cell(s, 4, 1), "012");
    }
    fs::remove_all(dir);
}
