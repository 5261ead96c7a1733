// The spreadsheet export: sheet setup, layout of header, captions, data and
// footer, and the cell rules.
#include "TableExport.h"

using namespace vx;
using namespace vxtest;
using ExcelExport = ExcelExportTest;

TEST_F(ExcelExport, DefaultOptionsLayout) {
    int ended = 0;
    ex.OnEndExport = [&](TvxCustomExport&) { ++ended; };
    TSheet s = Export();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(ended, 1);
    // Fonts 0..2, the footer "&P" (no empty header), margins left, bottom,
    // top, right; the cells; no column widths, no protection; EOF.
    auto n = s.Numbers();
    EXPECT_EQ(
        std::vector<uint16_t>(n.begin(), n.begin() + 10),
        (std::vector<uint16_t>{0x0809, 0x0200, 0x31, 0x31, 0x31, 0x15, 0x26, 0x29, 0x28, 0x27}));
    EXPECT_EQ(n.size(), 10u + 8 + 1);
    EXPECT_EQ(s.Records[3].U16(2), 1) << "caption font is bold";
    EXPECT_EQ(s.Records[5].Text(0), "&P");

    EXPECT_EQ(s.Cells.size(), 8u);
    EXPECT_EQ(s.At(1, 1).Number, 1); // the blank after the (empty) header
    EXPECT_EQ(s.At(2, 2).Text, "Count");
    EXPECT_EQ(s.At(2, 2).Font(), 1);
    EXPECT_EQ(s.At(2, 2).Borders(), 0x78);
    EXPECT_EQ(s.At(3, 1).Text, "alpha");
    EXPECT_EQ(s.At(3, 2).Value, 42);
    EXPECT_EQ(s.At(4, 1).Font(), 2);
    EXPECT_EQ(s.At(4, 1).Borders(), 0x78);
    EXPECT_EQ(s.At(4, 2).Text, "4.2");
    EXPECT_EQ(s.At(6, 1).Text, "Created: 12/9/2025 12:00:00 PM");
    EXPECT_EQ(s.At(6, 1).Font(), 0);
    EXPECT_EQ(s.At(6, 1).Borders(), 0);

    auto first = ex.NativeExcel().Data(); // the writer is reused: same file again
    EXPECT_EQ((Export(), ex.NativeExcel().Data()), first);
}

TEST_F(ExcelExport, HeaderRowNumbersAlignmentsAndFooter) {
    ex.OnGetHeader = [](TvxCustomExport&, uint32_t, std::string& h) { h = "Title\r\nSecond"; };
    ex.OnGetFooter = [](TvxCustomExport&, uint32_t n, std::string& f) {
        f = "End " + std::to_string(n);
    };
    ex.Options.Include(xoRowNumbers);
    ex.Options.Exclude(xoShowExportDate);
    ex.Aligns = {2, 3}; // right, centre
    TSheet s = Export();
    EXPECT_EQ(s.Cells.size(), 13u);
    EXPECT_EQ(s.At(2, 1).Text, "Second");
    EXPECT_EQ(s.At(2, 1).Font(), 0);
    EXPECT_EQ(s.At(3, 1).Number, 1);
    EXPECT_EQ(s.At(4, 1).Number, 1); // placeholder above the row numbers
    EXPECT_EQ(s.At(4, 1).Font(), 1);
    EXPECT_EQ(s.At(4, 1).Borders(), 0);
    EXPECT_EQ(s.At(4, 2).Align(), 3); // right has code 3
    EXPECT_EQ(s.At(4, 3).Align(), 2); // centre has code 2
    EXPECT_EQ(s.At(5, 1).Value, 1);
    EXPECT_EQ(s.At(5, 1).Font(), 2);
    EXPECT_EQ(s.At(5, 1).Borders(), 0x78);
    EXPECT_EQ(s.At(5, 1).Align(), 0);
    EXPECT_EQ(s.At(5, 2).Align(), 3);
    EXPECT_EQ(s.At(6, 1).Value, 2);
    EXPECT_EQ(s.At(6, 3).Text, "4.2");
    EXPECT_EQ(s.At(8, 1).Text, "End 2");

    ex.Options.Exclude(xoUseAlignments);
    ex.Options.Exclude(xoShowHeader); // the caption row stays empty
    s = Export();
    EXPECT_EQ(s.At(5, 2).Align(), 0);
    EXPECT_EQ(s.Cells.count({4, 2}), 0u);
}

TEST_F(ExcelExport, CellRules) {
    ex.Caps.assign(8, "c");
    ex.SetRows({{"42", "007", "42a", "70000", "-5", " 5", "99999999999", TVariant::Null()}});
    TSheet s = Export();
    EXPECT_EQ(s.At(3, 1).Number, 2);
    EXPECT_EQ(s.At(3, 1).Value, 42);
    EXPECT_EQ(s.At(3, 2).Value, 7);
    EXPECT_EQ(s.At(3, 3).Text, "42a");
    EXPECT_EQ(s.At(3, 4).Number, 3); // whole numbers keep their value
    EXPECT_EQ(s.At(3, 4).Value, 70000);
    EXPECT_EQ(s.At(3, 5).Value, -5);
    EXPECT_EQ(s.At(3, 6).Text, " 5");
    EXPECT_EQ(s.At(3, 7).Text, "99999999999"); // beyond 32 bits: text
    EXPECT_EQ(s.At(3, 8).Text, "** NULL **");

    ex.EXCEL.Options.Include(reCellsAsText);
    ex.Options.Include(xoRowNumbers);
    ex.SetRowNumberFormat("No. %d");
    s = Export();
    EXPECT_EQ(s.At(3, 1).Text, "No. 1");
    EXPECT_EQ(s.At(3, 2).Text, "42");
}

TEST_F(ExcelExport, SheetOptionsAndVersions) {
    ex.EXCEL.Header = "Page head";
    ex.EXCEL.Footer = "";
    ex.EXCEL.Protected = true;
    ex.EXCEL.Options = {reSetColumnWidths};
    ex.EXCEL.ColumnWidth = 12;
    ex.EXCEL.TableFont.Name = "Courier New";
    const uint16_t bof[] = {0x0009, 0x0209, 0x0409, 0x0809};
    for (TvxExcelVersion v : {xls21, xls30, xls40, xls50}) {
        ex.EXCEL.ExcelVersion = v;
        TSheet s = Export();
        auto n = s.Numbers();
        EXPECT_EQ(n[0], bof[v]);
        // Fonts, header, column widths; no footer, no margins.
        EXPECT_EQ(std::vector<uint16_t>(n.begin() + 2, n.begin() + 7),
                  (std::vector<uint16_t>{0x31, 0x31, 0x31, 0x14, 0x24}));
        EXPECT_EQ(n[n.size() - 2], 0x0012); // protection just before EOF
        EXPECT_EQ(s.At(3, 1).Borders(), 0);
        EXPECT_EQ(Hex(s.Records[6].Data), "00 FF 00 0C");
        EXPECT_EQ(s.Records[4].Text(4), "Courier New");
    }
}

TEST_F(ExcelExport, SelectedRowsAndOutputNames) {
    ex.SetRows({{"a", 1}, {"b", 2}, {"c", 3}});
    ex.Selected = {0, 2};
    ex.Options.Include(xoSelectedRowsOnly);
    // Whatever extension the handler picks, the sheet lands under that name.
    ex.OnGetExtension = [](TvxCustomExport&, std::string& e) { e = "sheet"; };
    ex.ExportData();
    TSheet s = ReadSheet(dir / "out.sheet");
    EXPECT_EQ(s.At(4, 1).Text, "c");
    EXPECT_EQ(s.At(6, 1).Text.substr(0, 8), "Created:");

    ex.OnGetExtension = nullptr;
    ex.ExportStyle = xsView;
    ex.SetTempDir((dir / "").string()); // with the trailing separator
    ex.ExportData();
    ASSERT_EQ(fp.Shell.Calls.size(), 1u);
    EXPECT_EQ(fp.Shell.Calls[0].Target, (dir / "VEX1.XLS").string());
    EXPECT_EQ(ReadBytes(fp.Shell.Calls[0].Target), ex.NativeExcel().Data());
    EXPECT_TRUE(errors.empty());
}
