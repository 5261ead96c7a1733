// The spreadsheet export read back by LibreOffice: in every sheet version the
// header, captions, data and footer stand where the layout puts them.
#include "support/LibreOffice.h"
#include "native/export_excel/TableExport.h"

#include <unistd.h>

using namespace vx;
using vxtest::Cell;
namespace fs = std::filesystem;

TEST(LibreOfficeExcelExport, LayoutInAllFourVersions) {
    if (!vxtest::HaveLibreOffice()) GTEST_SKIP() << "soffice is not installed";
    fs::path dir = fs::temp_directory_path() / ("vx_interop_xlsexport_" + std::to_string(getpid()));
    fs::create_directories(dir);
    TFakePlatform fp;
    vxtest::TTableExport ex(fp.Services());
    ex.SetExportType(xtExcel);
    ex.ExportStyle = xsFile;
    ex.Options.Include(xoRowNumbers);
    ex.EXCEL.Options.Include(reSetColumnWidths);
    ex.EXCEL.Header = "Debug list";
    ex.EXCEL.Protected = true;
    ex.OnGetHeader = [](TvxCustomExport&, uint32_t n, std::string& h) {
        h = "Section one\r\n" + std::to_string(n) + " records";
    };
    ex.OnGetFooter = [](TvxCustomExport&, uint32_t, std::string& f) { f = "The end"; };
    ex.Caps = {"Message", "Line", "Time"};
    ex.Aligns = {0, 2, 0};
    ex.SetRows({{"Started, \"quoted\"", 12, TVariant::Date(46000.75)},
                {"Caf\xE9", 70000, TVariant::Null()}});
    bool failed = false;
    ex.OnError = [&](TvxCustomExport&, TvxExportError) { failed = true; };
    std::vector<fs::path> files;
    for (TvxExcelVersion v : {xls21, xls30, xls40, xls50}) {
        ex.EXCEL.ExcelVersion = v;
        ex.FileName = (dir / ("v" + std::to_string(v))).string();
        ex.ExportData();
        files.push_back(dir / ("v" + std::to_string(v) + ".XLS"));
    }
    ASSERT_FALSE(failed);
    ASSERT_TRUE(vxtest::ConvertToCsv(files, dir));
    const std::vector<std::vector<std::string>> expected = {
        {"Section one"},
        {"2 records"},
        {""},
        {"", "Message", "Line", "Time"},
        {"1", "Started, \"quoted\"", "12", "12/9/2025 6:00:00 PM"},
        {"2", "Caf\xC3\xA9", "70000", "** NULL **"},
        {""},
        {"The end"},
        {"Created: 12/9/2025 12:00:00 PM"}};
    for (int v = xls21; v <= xls50; ++v) {
        SCOPED_TRACE("version " + std::to_string(v));
        auto s = vxtest::ReadCsv(dir / ("v" + std::to_string(v) + ".csv"));
        for (size_t r = 0; r < expected.size(); ++r)
            for (size_t c = 0; c < expected[r].size(); ++c)
                EXPECT_EQ(Cell(s, r, c), expected[r][c]) << "row " << r << ", column " << c;
    }
    fs::remove_all(dir);
}
