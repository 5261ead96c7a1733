// A plain table as the export's data source, and the sheet it writes read
// back as cells by (row, column).
#pragma once

#include "export/vxExport.h"
#include "support/BiffReader.h"
#include "platform/Fakes.h"
#include "spreadsheet/vxNativeExcel.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>

namespace vxtest {

class TTableExport : public vx::TvxCustomExport {
  public:
    using TvxCustomExport::TvxCustomExport;
    std::vector<std::string> Caps;
    std::vector<uint8_t> Aligns;
    std::set<int> Selected;
    int Count = 0;
    std::function<vx::TvxValues(int)> Row; // the record at an index

    void FirstRecord() override { RecordIndex = 0; }
    bool HasSource() override { return true; }
    bool IsEndOfRecords() override { return RecordIndex >= Count; }
    bool IsColumnVisible(int) override { return true; }
    bool IsRecordSelected(int i) override { return Selected.count(i) != 0; }
    int GetColumnWidth(int) override { return 10; }
    std::string GetColumnCaption(int i) override { return Caps[size_t(i)]; }
    int GetColumnCount() override { return int(Caps.size()); }
    uint8_t GetColumnAlignment(int i) override {
        return size_t(i) < Aligns.size() ? Aligns[size_t(i)] : 0;
    }
    void GetRecordValues(vx::TvxValues& v) override { v = Row(RecordIndex); }
    int GetRecordCount() override { return Count; }
    void SetRows(std::vector<vx::TvxValues> rows) {
        Count = int(rows.size());
        Row = [rows](int i) { return rows[size_t(i)]; };
    }
};

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TCell {
    uint16_t Number = 0; // 1 blank, 2 integer, 3 number, 4 label, 5 boolerr
    uint8_t Attr[3] = {};
    std::string Text;
    double Value = 0;
    int Font() const { return Attr[1] >> 6; }
    int Borders() const { return Attr[2] & 0x78; }
    int Align() const { return Attr[2] & 7; }
};

struct TSheet {
    std::vector<TRecord> Records;
    std::map<std::pair<int, int>, TCell> Cells; // by 1-based row and column
    const TCell& At(int row, int col) const {
        static const TCell none;
        auto it = Cells.find({row, col});
        EXPECT_NE(it, Cells.end()) << "no cell at " << row << "," << col;
        return it == Cells.end() ? none : it->second;
    }
    std::vector<uint16_t> Numbers() const {
        std::vector<uint16_t> n;
        for (auto& r : Records)
            n.push_back(r.Number);
        return n;
    }
};

// Fails the test on a cell written twice or a truncated record.
inline TSheet ReadSheet(const std::filesystem::path& file) {
    TSheet s;
    bool ok = false;
    s.Records = Records(ReadBytes(file), &ok);
    EXPECT_TRUE(ok) << "broken record";
    for (const TRecord& r : s.Records) {
        if (r.Number < 1 || r.Number > 5) continue;
        TCell c;
        c.Number = r.Number;
        for (size_t i = 0; i < 3; ++i)
            c.Attr[i] = r.Data.at(4 + i);
        if (r.Number == 2) c.Value = r.U16(7);
        if (r.Number == 3) c.Value = r.F64(7);
        if (r.Number == 4) c.Text = r.Text(7);
        auto key = std::make_pair(r.U16(0) + 1, r.U16(2) + 1);
        EXPECT_FALSE(s.Cells.count(key)) << "written twice: " << key.first << "," << key.second;
        s.Cells[key] = c;
    }
    return s;
}

// An export to a file of its own test folder, with its errors recorded.
struct ExcelExportTest : ::testing::Test {
    vx::TFakePlatform fp;
    std::filesystem::path dir;
    TTableExport ex{fp.Services()};
    std::vector<vx::TvxExportError> errors;

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              (std::string("vx_xls_") +
               testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        fp.Files.UseRealFiles = true;
        ex.SetExportType(vx::xtExcel);
        ex.ExportStyle = vx::xsFile;
        ex.FileName = (dir / "out.xls").string();
        ex.OnError = [this](vx::TvxCustomExport&, vx::TvxExportError e) { errors.push_back(e); };
        ex.Caps = {"Text", "Count"};
        ex.SetRows({{"alpha", 42}, {"beta", "4.2"}});
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    TSheet Export() {
        ex.ExportData();
        EXPECT_EQ(ReadBytes(dir / "out.XLS"), ex.NativeExcel().Data());
        return ReadSheet(dir / "out.XLS");
    }
};

} // namespace vxtest
