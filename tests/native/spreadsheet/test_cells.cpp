// Cell records: the attribute bytes, the value records and WriteCell's choice.
#include "spreadsheet/vxNativeExcel.h"
#include "support/BiffReader.h"
#include "platform/Fakes.h"

#include <gtest/gtest.h>

using namespace vx;
using vxtest::Hex;

namespace {
vxtest::TRecord Last(const TvxNativeExcel& x) {
    return vxtest::Records(x.Data()).back();
}
} // namespace

TEST(NativeExcelCells, AttributeBytes) {
    TvxNativeExcel x;
    TFont f;
    for (int i = 0; i < 4; ++i)
        x.WriteFont(&f);
    auto attributes = [&] { return Hex(Last(x).Data, 4, 3); };
    x.WriteBlank();
    EXPECT_EQ(attributes(), "40 00 00"); // defaults: locked only
    x.SetLocked(false);
    x.SetHidden(true);
    x.SetAlignment(eaRight); // the codes order centre before right
    x.WriteBlank();
    EXPECT_EQ(attributes(), "80 00 03");
    x.SetHidden(false);
    x.SetAlignment(eaCenter);
    x.SetBorders(BorderBit(ebTop) | BorderBit(ebLeft));
    x.WriteBlank();
    EXPECT_EQ(attributes(), "00 00 2A");
    x.SetAlignment(eaMultiPlan);
    x.SetBorders(BorderBit(ebRight) | BorderBit(ebBottom));
    x.SetShading(true);
    x.SetActiveFont(3);
    x.WriteBlank();
    EXPECT_EQ(attributes(), "00 C0 D7");
    x.SetActiveFont(4); // beyond the two font bits: font 0
    x.WriteBlank();
    EXPECT_EQ(attributes(), "00 00 D7");
}

TEST(NativeExcelCells, WriteCellChoosesTheRecord) {
    const std::pair<TVariant, const char*> cases[] = {
        {TVariant(), "01:"},
        {TVariant::Null(), "05:00 01"},
        {TVariant(0xBEEF), "02:EF BE"},
        {TVariant(-1), "03:00 00 00 00 00 00 F0 BF"}, // outside 0..65535: keeps its value
        {TVariant::Integer(varInt64, 70000), "03:00 00 00 00 00 17 F1 40"},
        {TVariant::Real(varCurrency, 1.0), "03:00 00 00 00 00 00 F0 3F"},
        {TVariant::String(varOleStr, "hi"), "04:02 68 69"},
        {TVariant(true), "05:01 00"},
        {TVariant::OfType(varUnknown), "05:2A 01"},
        {TVariant::OfType(varVariant), "05:0F 01"},
    };
    for (const auto& [value, expected] : cases) {
        TvxNativeExcel x;
        x.WriteCell(value);
        auto r = Last(x);
        EXPECT_EQ(Hex({uint8_t(r.Number)}) + ":" + Hex(r.Data, 7), expected) << value.VarType();
        EXPECT_EQ(x.Column(), 2);
    }
    const std::pair<TvxExcelBoolErr, const char*> errors[] = {{beDiv0, "07 01"}, {beValue, "0F 01"},
                                                              {beRef, "17 01"},  {beName, "1D 01"},
                                                              {beNum, "24 01"},  {beNA, "2A 01"}};
    for (auto [value, expected] : errors) {
        TvxNativeExcel x;
        x.WriteBoolErr(value);
        EXPECT_EQ(Hex(Last(x).Data, 7), expected);
    }
    // Arrays and references have no cell form: nothing, and the cursor stays.
    for (TVarType t : {varArray | varVariant, varByRef | varInteger}) {
        TvxNativeExcel x;
        x.WriteCell(TVariant::OfType(TVarType(t)));
        EXPECT_EQ(x.Data().size(), 24u);
        EXPECT_EQ(x.Column(), 1);
    }
}

TEST(NativeExcelCells, DatesAreLabelsInTheLocaleFormat) {
    TFakeLocale locale;
    locale.ShortDate = "dd.MM.yyyy";
    locale.LongTime = "HH:mm:ss";
    TvxNativeExcel x(&locale);
    x.WriteCell(TVariant::Date(46000.75));
    EXPECT_EQ(Last(x).Text(7), "09.12.2025 18:00:00");
    x.WriteCell(TVariant::Date(46000.0)); // midnight: the date alone
    EXPECT_EQ(Last(x).Text(7), "09.12.2025");
}

TEST(NativeExcelCells, FileNameGetsTheSpreadsheetExtension) {
    TvxNativeExcel x;
    const std::pair<const char*, const char*> names[] = {
        {"report.txt", "report.XLS"}, {"report", "report.XLS"},
        {"Report.xls", "Report.xls"}, {"C:\\a.b\\data", "C:\\a.b\\data.XLS"},
        {"C:x.y", "C:x.XLS"},         {"/tmp/a.b/data", "/tmp/a.b/data.XLS"},
        {"a.xlsx", "a.XLS"},
    };
    for (auto [in, out] : names) {
        x.SetFileName(in);
        EXPECT_EQ(x.FileName(), out) << in;
    }
}
