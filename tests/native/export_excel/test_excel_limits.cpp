// The spreadsheet export at the edges of the sheet and when writing fails.
#include "TableExport.h"

using namespace vx;
using namespace vxtest;
using ExcelLimits = ExcelExportTest;
namespace fs = std::filesystem;

namespace {
TvxValues Numbered(int i) {
    return {i, "r" + std::to_string(i)};
}
} // namespace

TEST_F(ExcelLimits, RecordsAndFooterBeyondTheLastRow) {
    ex.Count = 70000;
    ex.Row = Numbered;
    ex.ExportData();
    // What fits is saved; the loss is reported once instead of the last row
    // being written over and over.
    EXPECT_EQ(errors, std::vector<TvxExportError>{xeExportFailed});
    TSheet s = ReadSheet(dir / "out.XLS"); // fails on any cell written twice
    EXPECT_EQ(s.At(65535, 1).Value, 65532);
    EXPECT_EQ(s.At(65535, 2).Text, "r65532");
    EXPECT_EQ(s.Cells.size(), 1u + 2 + 65533 * 2); // no footer line
    EXPECT_EQ(ex.ExportedCount, 65533);

    errors.clear();
    ex.Count = 65533; // exactly full: fine while no footer line needs a row
    ex.Options.Exclude(xoShowExportDate);
    ex.ExportData();
    EXPECT_TRUE(errors.empty());
    ex.OnGetFooter = [](TvxCustomExport&, uint32_t, std::string& f) { f = "footer"; };
    ex.ExportData(); // the footer line is dropped, not wrapped to the top
    EXPECT_EQ(errors, std::vector<TvxExportError>{xeExportFailed});
    EXPECT_EQ(ReadSheet(dir / "out.XLS").Cells.size(), 1u + 2 + 65533 * 2);
}

TEST_F(ExcelLimits, CellsBeyondTheLastColumn) {
    ex.Caps.assign(300, "c");
    TvxValues row;
    for (int i = 0; i < 300; ++i)
        row.push_back("v" + std::to_string(i));
    ex.SetRows({row, row});
    ex.Options.Include(xoRowNumbers);
    ex.Options.Exclude(xoShowExportDate);
    ex.ExportData();
    EXPECT_EQ(errors, std::vector<TvxExportError>{xeExportFailed});
    TSheet s = ReadSheet(dir / "out.XLS");
    // Each record keeps its own row: its number and the first 255 values.
    EXPECT_EQ(s.At(3, 256).Text, "v254");
    EXPECT_EQ(s.At(4, 1).Value, 2);
    EXPECT_EQ(s.Cells.size(), 1u + 3 * 256);
}

TEST_F(ExcelLimits, FailedExportKeepsTheOldFile) {
    { std::ofstream(dir / "out.XLS") << "old"; }
    ex.EXCEL.TableFont.Size = 4000; // too large for a FONT record: a range error
    ex.ExportData();
    EXPECT_EQ(errors, std::vector<TvxExportError>{xeExportFailed});
    EXPECT_EQ(ReadBytes(dir / "out.XLS"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    ex.EXCEL.TableFont.Size = 8;
    ex.FileName = (dir / "missing" / "out.xls").string();
    ex.ExportData();
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_FALSE(fs::exists(dir / "missing"));
}
