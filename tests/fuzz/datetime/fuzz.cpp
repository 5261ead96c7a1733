// The date and time picture formatter, fed any picture the system's locale
// settings may hold and any time value a client or a session file may carry
// (infinities, NaN, far out of range). The output stays bounded by its
// picture, the weekday agrees with the date it names, and a valid date
// encodes and decodes to itself.
#include "FuzzSupport.h"
#include "platform/DateTimeFormat.h"
#include "platform/Fakes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

using namespace vx;
using vxfuzz::Check;

namespace {

// 0 Sunday .. 6 Saturday, of a proleptic Gregorian date.
int Weekday(int y, int m, int d) {
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3) y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

int DaysIn(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : days[m - 1];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    double value;
    if (in.ConsumeBool()) {
        uint64_t bits = in.ConsumeIntegral<uint64_t>();
        std::memcpy(&value, &bits, sizeof value);
    } else {
        value = in.ConsumeFloatingPointInRange<double>(-700000.0, 3000000.0);
    }
    std::string am = in.ConsumeRandomLengthString(8), pm = in.ConsumeRandomLengthString(8);
    std::string picture = in.ConsumeRandomLengthString(200);

    std::string date = FormatDatePicture(picture, value);
    std::string time = FormatTimePicture(picture, value, am, pm);
    // No letter run writes more than a long month name or one of the marks.
    Check(date.size() <= picture.size() * 9, "a date stays within its picture's bound");
    Check(time.size() <= picture.size() * std::max<size_t>({2, am.size(), pm.size()}),
          "a time stays within its picture's bound");

    TDateTimeParts p = DecodeDateTime(value);
    Check(p.Year >= 1 && p.Year <= 9999 && p.Month >= 1 && p.Month <= 12 && p.Day >= 1 &&
              p.Day <= DaysIn(p.Year, p.Month) && p.Hour >= 0 && p.Hour < 24 && p.Minute >= 0 &&
              p.Minute < 60 && p.Second >= 0 && p.Second < 60 && p.Millisecond >= 0 &&
              p.Millisecond < 1000,
          "a decoded time is a real date and time");
    static const char* const kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
    std::string named = FormatDatePicture("dddd", value);
    Check(named == kDays[Weekday(p.Year, p.Month, p.Day)], "the weekday is the date's own");

    TFakeLocale locale;
    locale.ShortDate = picture;
    locale.LongTime = picture;
    Check(FormatShortDate(locale, value) == date &&
              FormatLongTime(locale, value) == FormatTimePicture(picture, value),
          "the locale's pictures format alike");

    TDateTimeParts made;
    made.Year = in.ConsumeIntegralInRange<int>(1, 9999);
    made.Month = in.ConsumeIntegralInRange<int>(1, 12);
    made.Day = in.ConsumeIntegralInRange<int>(1, DaysIn(made.Year, made.Month));
    made.Hour = in.ConsumeIntegralInRange<int>(0, 23);
    made.Minute = in.ConsumeIntegralInRange<int>(0, 59);
    made.Second = in.ConsumeIntegralInRange<int>(0, 59);
    made.Millisecond = in.ConsumeIntegralInRange<int>(0, 999);
    TDateTimeParts back = DecodeDateTime(EncodeDateTime(made));
    if (back.Year != made.Year || back.Month != made.Month || back.Day != made.Day ||
        back.Hour != made.Hour || back.Minute != made.Minute || back.Second != made.Second ||
        back.Millisecond != made.Millisecond)
        std::fprintf(stderr, "%d-%d-%d %d:%d:%d.%d came back as %d-%d-%d %d:%d:%d.%d (%.17g)\n",
                     made.Year, made.Month, made.Day, made.Hour, made.Minute, made.Second,
                     made.Millisecond, back.Year, back.Month, back.Day, back.Hour, back.Minute,
                     back.Second, back.Millisecond, EncodeDateTime(made));
    Check(back.Year == made.Year && back.Month == made.Month && back.Day == made.Day &&
              back.Hour == made.Hour && back.Minute == made.Minute && back.Second == made.Second &&
              back.Millisecond == made.Millisecond,
          "a valid date and time encodes and decodes to itself");
    return 0;
}
