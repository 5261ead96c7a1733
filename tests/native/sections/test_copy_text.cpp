#include "SectionFixture.h"
#include "sections/SectionCopy.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vxtest;

TEST(CopyText, RowsAreOneLineEachWithTheirNamesAndTexts) {
    SectionTest t;
    auto s = t.Make();
    t.Add(*s, "plain");
    t.Add(*s, "tab\there", dgWarning, dkNote);
    t.Add(*s, std::string("cr\r\nlf\nzero\0end", 15), dgError, 40);
    t.Add(*s, "", dgGeneral, dkSeparator);
    const std::string time = s->lst_DebugGetText(0, 3);
    ASSERT_FALSE(time.empty());

    EXPECT_EQ(DebugRowsCopyText(*s, {1, 2, 3, 99}), "Warning\tNote\ttab here\t" + time + "\r\n" +
                                                        "Error\tUnknown\tcr  lf zero end\t" + time +
                                                        "\r\n" + "General\tSeparator\t\t\r\n")
        << "a zero byte would cut the clipboard's text short; row 99 does not exist";
    EXPECT_EQ(DebugRowsCopyText(*s, {}), "");

    TBillboard b;
    b.AddNumbered("one|with bar");
    b.AddNumbered("two\tcolumns");
    EXPECT_EQ(BillboardCopyText(b, {0, 1, 5}), "1\tone|with bar\r\n2\ttwo columns\r\n");
}
