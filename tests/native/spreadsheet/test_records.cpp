// The writer's records byte for byte: file framing, texts, fonts, page setup.
#include "spreadsheet/vxNativeExcel.h"
#include "platform/Errors.h"
#include "support/BiffReader.h"

#include <gtest/gtest.h>

using namespace vx;
using vxtest::Hex;
using vxtest::Records;

TEST(NativeExcelRecords, WorkedExampleAndEmptyFiles) {
    TvxNativeExcel x;
    x.SetBIFF(bvBIFF2);
    x.WriteLabel("abc");
    x.Close();
    EXPECT_EQ(Hex(x.Data()), "09 00 04 00 00 02 10 00 00 00 08 00 00 00 FF FF 00 00 00 01 "
                             "04 00 0B 00 00 00 00 00 40 00 00 03 61 62 63 0A 00 00 00");
    x.Close(); // a record after Close starts a new file
    EXPECT_EQ(x.Data().size(), 24u);

    TvxNativeExcel y; // a new writer holds BOF and DIMENSIONS of BIFF5
    y.Close();
    EXPECT_EQ(Hex(y.Data()), "09 08 06 00 00 02 10 00 00 00 00 02 0A 00 00 00 FF FF 00 00 00 01 "
                             "00 00 0A 00 00 00");
}

TEST(NativeExcelRecords, RestartsDiscardWhatWasWritten) {
    TvxNativeExcel x;
    x.WriteBlank();
    x.Close();
    x.SetBIFF(bvBIFF5); // the same version keeps everything
    EXPECT_EQ(Records(x.Data()).size(), 4u);
    x.SetBIFF(bvBIFF2);
    EXPECT_EQ(x.FileState(), TvxNativeExcel::fsOpen);
    EXPECT_EQ(x.Data().size(), 20u);
    EXPECT_EQ(x.Column(), 2); // the cursor is not part of the file

    x.Close();
    x.WriteLabel("new"); // after Close: BOF, DIMENSIONS and the cell, no EOF
    auto r = Records(x.Data());
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[2].Text(7), "new");
    EXPECT_EQ(x.FileState(), TvxNativeExcel::fsOpen);
}

TEST(NativeExcelRecords, TextsAreCutAtZeroAnd255) {
    TvxNativeExcel x;
    x.WriteLabel(std::string(300, 'x'));
    x.WriteLabel("");
    x.WriteLabel(std::string("ab\0cd", 5));
    x.WriteHeader(std::string(256, 'h'));
    x.WriteFooter("&P\xE4");
    auto r = Records(x.Data());
    ASSERT_EQ(r.size(), 7u);
    EXPECT_EQ(r[2].Data.size(), 8u + 255);
    EXPECT_EQ(r[2].Text(7), std::string(255, 'x'));
    EXPECT_EQ(Hex(r[3].Data, 7), "00");
    EXPECT_EQ(r[4].Data.size(), 10u);
    EXPECT_EQ(r[5].Number, 0x0014);
    EXPECT_EQ(r[5].Data.size(), 256u);
    EXPECT_EQ(r[6].Number, 0x0015);
    EXPECT_EQ(Hex(r[6].Data), "03 26 50 E4"); // ANSI bytes as they are
}

TEST(NativeExcelRecords, FontsAndActiveFont) {
    TvxNativeExcel x;
    TFont f;
    f.Name = "Arial";
    f.Size = 10;
    f.Bold = f.StrikeOut = true;
    x.SetActiveFont(1); // no font yet: only 0 is possible
    EXPECT_EQ(x.ActiveFont(), 0);
    x.WriteFont(&f);
    EXPECT_EQ(Hex(x.Data(), 24), "31 00 0A 00 C8 00 09 00 05 41 72 69 61 6C");
    x.SetActiveFont(2);
    EXPECT_EQ(x.ActiveFont(), 0);
    x.SetActiveFont(1);
    EXPECT_EQ(x.ActiveFont(), 1);
    x.WriteFont(nullptr);
    for (int i = 0; i < 4; ++i)
        x.WriteFont(&f); // the fifth writes nothing
    EXPECT_EQ(x.FontCount(), 4);
    EXPECT_EQ(Records(x.Data()).size(), 6u);
    x.Open();
    EXPECT_EQ(x.FontCount(), 0);
    EXPECT_EQ(x.ActiveFont(), 1);

    // An empty name is written, so later font numbers stay what the caller counts.
    f = TFont{};
    f.Name = "";
    f.Italic = f.Underline = true;
    f.Size = 3276;
    x.WriteFont(&f);
    EXPECT_EQ(Hex(x.Data(), 24), "31 00 05 00 F0 FF 06 00 00");
}

TEST(NativeExcelRecords, RangeErrorsWriteNothing) {
    TvxNativeExcel x;
    x.Close(); // not even the restart of a closed file
    TFont f;
    f.Size = 3277;
    EXPECT_THROW(x.WriteFont(&f), ERangeError);
    f.Size = 8;
    f.Name = std::string(256, 'n');
    EXPECT_THROW(x.WriteFont(&f), ERangeError);
    EXPECT_EQ(x.FontCount(), 0);
    EXPECT_THROW(x.WriteColWidth(0, 1, 10), ERangeError);
    EXPECT_THROW(x.WriteColWidth(1, 257, 10), ERangeError);
    EXPECT_THROW(x.WriteColWidth(1, 1, 256), ERangeError);
    EXPECT_EQ(x.Data().size(), 28u);
    EXPECT_EQ(x.FileState(), TvxNativeExcel::fsClosed);
}

TEST(NativeExcelRecords, PageSetupRecords) {
    TvxNativeExcel x;
    x.WriteColWidth(1, 256, 20);
    x.WriteColWidth(3, 3, 255);
    x.WriteLeftMargin(0.3);
    x.WriteRightMargin(1);
    x.WriteTopMargin(0.5);
    x.WriteBottomMargin(2.25);
    x.WriteProtect(true);
    x.WriteProtect(false);
    std::string all;
    for (auto& r : Records(x.Data()))
        all += Hex({uint8_t(r.Number)}) + ":" + Hex(r.Data) + "|";
    EXPECT_EQ(all.substr(all.find("|24:")),
              "|24:00 FF 00 14|24:02 02 00 FF|26:33 33 33 33 33 33 D3 3F|"
              "27:00 00 00 00 00 00 F0 3F|28:00 00 00 00 00 00 E0 3F|"
              "29:00 00 00 00 00 00 02 40|12:01 00|12:00 00|");
    EXPECT_EQ(x.Column(), 1); // none of these moves the cursor
    EXPECT_EQ(x.Version(), "1.21");
}
