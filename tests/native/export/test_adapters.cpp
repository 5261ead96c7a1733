// The two data-source adapters over a section's debug list and billboard.
#include "ExportTestSupport.h"

#include "export/vxLMDListBoxExport.h"
#include "export/vxVirtualTreeExport.h"

#include <gtest/gtest.h>

using namespace vxtest;

namespace {
// 12:34:56 on some day, and one second later.
const TDateTime kT1 = 46000 + (12 * 3600 + 34 * 60 + 56) / 86400.0;
const TDateTime kT2 = 46000 + (12 * 3600 + 34 * 60 + 57) / 86400.0;
} // namespace

TEST(TreeAdapter, ValuesNamesAndWidths) {
    TFakePlatform fake;
    TFakeTree tree;
    tree.Rows = {{0, 14, "first", kT1},
                 {2, 128, "second message", kT1},
                 {3, 146, "", kT2},
                 {7, 40, "x", kT2}};
    TvxVirtualTreeExport e(fake.Services());
    EXPECT_EQ(e.Messages.Caption, "Exporting List");
    EXPECT_EQ(e.ClassName(), "TVXVIRTUALTREEEXPORT");
    EXPECT_FALSE(e.HasSource());
    EXPECT_EQ(e.GetColumnWidth(2), 0);
    e.SetVirtualTree(&tree);
    EXPECT_EQ(e.GetColumnCount(), 4);
    EXPECT_EQ(e.GetColumnCaption(2), "Message");
    EXPECT_EQ(e.GetRecordCount(), 4);
    EXPECT_EQ(e.GetColumnWidth(0), 7);
    EXPECT_EQ(e.GetColumnWidth(1), 20);
    EXPECT_EQ(e.GetColumnWidth(2), 14);
    EXPECT_EQ(e.GetColumnWidth(3), int(std::string("12:00:00 PM").size()) + 2);
    EXPECT_EQ(e.GetColumnAlignment(1), 0);

    std::vector<std::vector<std::string>> rows;
    e.FirstRecord();
    TvxValues v;
    while (!e.IsEndOfRecords()) {
        e.GetRecordValues(v);
        ASSERT_EQ(v.size(), 4u);
        rows.push_back({v[0].AsString(), v[1].AsString(), v[2].AsString(), v[3].AsString()});
        ++e.RecordIndex;
    }
    // Exactly the tree's rows: no empty record after the last one.
    EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{
                        {"General", "String", "first", "12:34:56 PM"},
                        {"Warning", "Unknown", "second message", "12:34:56 PM"},
                        {"Error", "Separator", "", "12:34:57 PM"},
                        {"", "Unknown", "x", "12:34:57 PM"},
                    }));

    // The time follows the locale's long time picture.
    fake.Locale.LongTime = "HH:mm:ss";
    e.FirstRecord();
    e.GetRecordValues(v);
    EXPECT_EQ(v[3].AsString(), "12:34:56");

    e.SourceRemoved(&tree);
    EXPECT_FALSE(e.HasSource());
    EXPECT_TRUE(e.IsEndOfRecords());
}

TEST(TreeAdapter, ExportsWithoutSourceAndFromAnEmptyTree) {
    TFakePlatform fake;
    TTempFolder folder;
    fake.Files.UseRealFiles = true;
    TvxVirtualTreeExport e(fake.Services());
    std::vector<TvxExportError> errors;
    e.OnError = [&](TvxCustomExport&, TvxExportError err) { errors.push_back(err); };
    e.ExportStyle = xsFile;
    e.FileName = folder / "tree.txt";
    e.SetExportType(xtTXT);
    e.ExportData();
    EXPECT_EQ(errors, std::vector<TvxExportError>{xeNoSource});
    EXPECT_TRUE(folder.Files().empty());

    TFakeTree tree;
    e.SetVirtualTree(&tree);
    e.Options.Exclude(xoShowExportDate);
    e.ExportData();
    EXPECT_EQ(errors.size(), 1u);
    // Group 7 + kind 20 + message 0 + time 13, three joining spaces.
    std::string line(7 + 20 + 0 + 13 + 3, '-');
    EXPECT_EQ(ReadFile(folder / "tree.TXT"),
              Lines({"Group   Type                 Message Time         ", line, line}));

    tree.Rows = {{1, 16, "enter", kT1}};
    e.SetExportType(xtCSV);
    e.ExportData();
    EXPECT_EQ(ReadFile(folder / "tree.CSV"),
              Lines({"Group,Type,Message,Time", "Info,\"Proc Enter\",enter,\"12:34:56 PM\""}));
}

TEST(ListBoxAdapter, ItemsPartsAndWidths) {
    TFakePlatform fake;
    TFakeListBox box;
    box.Items = {"1|hello", "2|a longer line", "30|x|extra"};
    TvxLMDListBoxExport e(fake.Services());
    EXPECT_EQ(e.Messages.Caption, "Exporting List");
    EXPECT_EQ(e.GetColumnWidth(0), 0);
    EXPECT_FALSE(e.HasSource());
    e.SetListBox(&box);
    EXPECT_EQ(e.GetColumnCount(), 2);
    EXPECT_EQ(e.GetColumnCaption(1), "Message");
    EXPECT_EQ(e.GetRecordCount(), 3);
    EXPECT_EQ(e.GetColumnWidth(0), 2);
    EXPECT_EQ(e.GetColumnWidth(1), 13);

    std::vector<std::pair<std::string, std::string>> rows;
    TvxValues v;
    for (e.FirstRecord(); !e.IsEndOfRecords(); ++e.RecordIndex) {
        e.GetRecordValues(v);
        ASSERT_EQ(v.size(), 2u);
        rows.emplace_back(v[0].AsString(), v[1].AsString());
    }
    EXPECT_EQ(rows, (std::vector<std::pair<std::string, std::string>>{
                        {"1", "hello"}, {"2", "a longer line"}, {"30", "x"}}));

    e.SourceRemoved(&box);
    EXPECT_FALSE(e.HasSource());
}
