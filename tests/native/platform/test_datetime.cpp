#include "platform/DateTimeFormat.h"
#include "platform/Fakes.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(DateTime, EncodeAndDecodeAgree) {
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 1, 1}), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 2, 29, 12}), 36585.5);
    for (double v : {0.0, 1.0, 36585.5, 46000.999988426, 2958465.0, 60.0, 61.0}) {
        TDateTimeParts p = DecodeDateTime(v);
        EXPECT_NEAR(EncodeDateTime(p), v, 1e-8) << v;
    }
    TDateTimeParts p = DecodeDateTime(45657.0 + (13 * 3600 + 5 * 60 + 9) / 86400.0);
    EXPECT_EQ(p.Year, 2024);
    EXPECT_EQ(p.Month, 12);
    EXPECT_EQ(p.Day, 31);
    EXPECT_EQ(p.Hour, 13);
    EXPECT_EQ(p.Minute, 5);
    EXPECT_EQ(p.Second, 9);
    // The last millisecond of a day rounds into the next one, never to 24:00.
    TDateTimeParts q = DecodeDateTime(45657.999999999);
    EXPECT_EQ(q.Day, 1);
    EXPECT_EQ(q.Hour, 0);
    // Values that are no date do not crash.
    DecodeDateTime(1e300);
    DecodeDateTime(std::numeric_limits<double>::quiet_NaN());
}

TEST(DateTime, PicturesFormatLikeWindows) {
    double t = EncodeDateTime({2026, 3, 7, 9, 4, 5});
    EXPECT_EQ(FormatDatePicture("M/d/yyyy", t), "3/7/2026");
    EXPECT_EQ(FormatDatePicture("dd.MM.yy", t), "07.03.26");
    EXPECT_EQ(FormatDatePicture("dddd, MMMM d, yyyy", t), "Saturday, March 7, 2026");
    EXPECT_EQ(FormatDatePicture("ddd d MMM 'of' yyyy", t), "Sat 7 Mar of 2026");
    EXPECT_EQ(FormatTimePicture("h:mm:ss tt", t), "9:04:05 AM");
    EXPECT_EQ(FormatTimePicture("HH:mm:ss", t + 0.5), "21:04:05");
    EXPECT_EQ(FormatTimePicture("hh 'o''clock' t", t + 0.5), "09 o'clock P");
    EXPECT_EQ(FormatTimePicture("h:mm tt", EncodeDateTime({2026, 1, 1, 0, 30})), "12:30 AM");
    TFakeLocale locale;
    EXPECT_EQ(FormatShortDate(locale, t), "3/7/2026");
    EXPECT_EQ(FormatLongTime(locale, t), "9:04:05 AM");
}

// The weekday is that of the date the other letters show: a negative value's
// fraction is a time on that date, a value rounding into the next day is on
// the next day, and a value that is no date shows the day of 1899-12-30.
TEST(DateTime, WeekdayIsTheShownDatesOwn) {
    EXPECT_EQ(FormatDatePicture("dddd d/M/yyyy", -0.5), "Saturday 30/12/1899");
    EXPECT_EQ(FormatDatePicture("dddd d/M/yyyy", -1.25), "Friday 29/12/1899");
    EXPECT_EQ(FormatDatePicture("ddd d/M/yyyy", 45657.999999999), "Wed 1/1/2025");
    EXPECT_EQ(FormatDatePicture("ddd d/M/yyyy", std::numeric_limits<double>::quiet_NaN()),
              "Sat 30/12/1899");
    EXPECT_EQ(FormatDatePicture("ddd d/M/yyyy", 1e300), "Sat 30/12/1899");
}

// The first and last days of the calendar hold their times; nothing beyond
// them is a date.
TEST(DateTime, FirstAndLastDaysKeepTheirTimes) {
    TDateTimeParts first = DecodeDateTime(EncodeDateTime({1, 1, 1, 0, 22}));
    EXPECT_EQ(first.Year, 1);
    EXPECT_EQ(first.Minute, 22);
    TDateTimeParts last = DecodeDateTime(EncodeDateTime({9999, 12, 31, 23, 59, 59, 999}));
    EXPECT_EQ(last.Year, 9999);
    EXPECT_EQ(last.Millisecond, 999);
    EXPECT_EQ(DecodeDateTime(2958466.0).Year, 1899);
    EXPECT_EQ(DecodeDateTime(2958465.9999999999).Year, 1899); // rounds into year 10000
}
