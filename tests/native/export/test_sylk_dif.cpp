// SYLK and DIF: records, quoting, column numbers and counts.
#include "ExportTestSupport.h"
#include "export/vxDocumentWriter.h"
#include "export/vxExportOutput.h"

#include <gtest/gtest.h>

using namespace vxtest;

TEST(SylkExport, RecordsRowNumbersAndGaps) {
    TExportFixture f;
    f.Source.Records = {{TVariant("ab"), TVariant("c d")}};
    f.Source.OnGetHeader = [](TvxCustomExport&, uint32_t, std::string& h) { h = "Header"; };
    f.Source.OnGetFooter = [](TvxCustomExport&, uint32_t, std::string& t) { t = "Footer"; };
    EXPECT_EQ(f.Export(xtSYLK), Lines({"ID;PTTESTSOURCE", "C;X1;Y1;K\"Name\"", "C;X2;Y1;K\"Value\"",
                                       "C;X1;Y2;K\"ab\"", "C;X2;Y2;K\"c d\"", "E"}));

    // Row numbers take column 1; nothing stands in front of the caption records.
    f.Source.Options.Include(xoRowNumbers);
    // Quotes stay single (readers take all between the outer ones); semicolons double.
    f.Source.Records.push_back({TVariant("say \"x\";"), TVariant("two\r\nlines")});
    EXPECT_EQ(f.Export(xtSYLK),
              Lines({"ID;PTTESTSOURCE", "C;X2;Y1;K\"Name\"", "C;X3;Y1;K\"Value\"", "C;X1;Y2;K\"1\"",
                     "C;X2;Y2;K\"ab\"", "C;X3;Y2;K\"c d\"", "C;X1;Y3;K\"2\"",
                     "C;X2;Y3;K\"say \"x\";;\"", "C;X3;Y3;K\"two lines\"", "E"}));

    // An unwritten column leaves a gap in X; without captions data start at Y1.
    f.Source.Options = {};
    f.Source.Visible = {false, true};
    f.Source.Records.resize(1);
    EXPECT_EQ(f.Export(xtSYLK), Lines({"ID;PTTESTSOURCE", "C;X2;Y1;K\"c d\"", "E"}));
}

TEST(DifExport, LinesQuotingAndCounts) {
    TExportFixture f;
    f.Source.Caps = {"Name", "Long name"};
    f.Source.Records = {{TVariant("ab"), TVariant("q\"x\"")},
                        {TVariant("two\nlines"), TVariant("")}};
    f.Source.OnGetHeader = [](TvxCustomExport&, uint32_t, std::string& h) { h = "Header"; };
    EXPECT_EQ(f.Export(xtDIF), Lines({"TABLE",         "0,1", "\"TTESTSOURCE\"",
                                      "VECTORS",       "0,2", "\"\"",
                                      "TUPLES",        "0,2", "\"\"",
                                      "DATA",          "0,0", "\"\"",
                                      "-1,0",          "BOT", "1,0",
                                      "\"Name\"",      "1,0", "\"Long name\"",
                                      "-1,0",          "BOT", "1,0",
                                      "\"ab\"",        "1,0", "\"q\"\"x\"\"\"",
                                      "-1,0",          "BOT", "1,0",
                                      "\"two lines\"", "1,0", "\"\"",
                                      "-1,0",          "EOD"}));

    TExportFixture g;
    g.Source.Caps = {"A", "B", "C"};
    g.Source.Widths = {1, 1, 1};
    for (int i = 0; i < 10; ++i)
        g.Source.Records.push_back({TVariant(i), TVariant("x"), TVariant("y")});
    g.Source.Selected = {false};
    g.Source.Options.Include(xoRowNumbers);
    g.Source.Options.Include(xoSelectedRowsOnly);
    std::string doc = g.Export(xtDIF);
    EXPECT_NE(doc.find("VECTORS\r\n0,4\r\n"), std::string::npos);
    EXPECT_NE(doc.find("TUPLES\r\n0,10\r\n"), std::string::npos);
    EXPECT_NE(doc.find("-1,0\r\nBOT\r\n1,0\r\n\"\"\r\n1,0\r\n\"A\"\r\n"), std::string::npos);
    // The first selected record is record 1, numbered 1.
    EXPECT_NE(doc.find("-1,0\r\nBOT\r\n1,0\r\n\"1\"\r\n1,0\r\n\"1\"\r\n"), std::string::npos);
    EXPECT_EQ(doc.find("Header"), std::string::npos);
}

// A writer needs no export component: options, a memory sink and formatted
// rows are all it reads (the row counter and counts come from them alone).
TEST(SylkExport, WriterRunsAloneOnAMemorySink) {
    TvxWriterOptions o;
    o.Options = {xoRowNumbers};
    o.Title = "ALONE";
    o.ColumnCount = 3;
    o.RecordCount = 9;
    TvxCellInfo cells[2];
    cells[0].Column = 0, cells[0].Position = 1, cells[0].Text = "a;b";
    cells[1].Column = 2, cells[1].Position = 2, cells[1].Text = "c";
    TvxFormattedRow row;
    row.Cells = cells;
    row.Count = 2;
    row.RowNumber = true;
    row.Number = "7";
    row.OutputRow = 5;

    TvxOutput sylkOut, difOut;
    sylkOut.OpenMemory();
    difOut.OpenMemory();
    auto sylk = CreateDocumentWriter(xtSYLK, sylkOut, o);
    auto dif = CreateDocumentWriter(xtDIF, difOut, o);
    for (TvxDocumentWriter* w : {sylk.get(), dif.get()}) {
        w->Prologue();
        w->DataRow(row);
        w->Epilogue();
    }
    EXPECT_EQ(sylkOut.Text(),
              Lines({"ID;PALONE", "C;X1;Y5;K\"7\"", "C;X2;Y5;K\"a;;b\"", "C;X4;Y5;K\"c\"", "E"}));
    EXPECT_EQ(difOut.Text(),
              Lines({"TABLE", "0,1",     "\"ALONE\"", "VECTORS", "0,4",  "\"\"", "TUPLES", "0,9",
                     "\"\"",  "DATA",    "0,0",       "\"\"",    "-1,0", "BOT",  "1,0",    "\"7\"",
                     "1,0",   "\"a;b\"", "1,0",       "\"c\"",   "-1,0", "EOD"}));
}
