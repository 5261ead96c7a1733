#include "DateTimeFormat.h"

#include <cmath>
#include <cstdio>

namespace vx {

const ILocale& DefaultLocale() {
    struct TUsEnglish : ILocale {
        std::string ShortDatePicture() const override { return "M/d/yyyy"; }
        std::string LongTimePicture() const override { return "h:mm:ss tt"; }
        std::string ShortTimePicture() const override { return "h:mm tt"; }
    };
    static const TUsEnglish locale;
    return locale;
}
namespace {

// Days from 0001-01-01 to 1899-12-30 in the proleptic Gregorian calendar.
constexpr long kDelta = 693593;

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::string Num(int v, int width) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, v);
    return buf;
}

// Counts a run of the same letter at i; returns the run length.
size_t Run(const std::string& s, size_t i) {
    size_t n = 1;
    while (i + n < s.size() && s[i + n] == s[i])
        ++n;
    return n;
}

// Copies a quoted part ('text', '' for a quote) and returns the index after it.
size_t Quoted(const std::string& s, size_t i, std::string& out) {
    ++i;
    while (i < s.size()) {
        if (s[i] == '\'') {
            if (i + 1 < s.size() && s[i + 1] == '\'') {
                out += '\'';
                i += 2;
                continue;
            }
            return i + 1;
        }
        out += s[i++];
    }
    return i;
}

// Expands a picture: quoted parts are copied, and each run of one letter goes
// to field(letter, run length, out), which appends what stands for it.
template <class F> std::string ExpandPicture(const std::string& pic, F&& field) {
    std::string out;
    for (size_t i = 0; i < pic.size();) {
        if (pic[i] == '\'') {
            i = Quoted(pic, i, out);
            continue;
        }
        const size_t n = Run(pic, i);
        field(pic[i], n, out);
        i += n;
    }
    return out;
}

} // namespace

TDateTimeParts DecodeDateTime(TDateTime value) {
    TDateTimeParts p;
    // The days are the whole part and the time the fraction, also when the
    // value is negative: 0001-01-01 is day -693593 at any time of that day.
    if (!std::isfinite(value) || value <= -693594.0 || value >= 2958466.0) return p;
    // Round to the millisecond first so 0.99999999 of a day does not show 24:00.
    double ms = std::round(std::fabs(value - std::trunc(value)) * 86400000.0);
    long days = long(std::trunc(value));
    if (ms >= 86400000.0) {
        ms -= 86400000.0;
        days += value < 0 ? -1 : 1;
    }
    if (days < -693593 || days > 2958465) return p; // rounded past 0001-01-01 or 9999-12-31
    long n = days + kDelta;                         // days since 0001-01-01
    int y = 1;
    long d400 = n / 146097;
    n %= 146097;
    long d100 = n / 36524;
    if (d100 == 4) d100 = 3;
    n -= d100 * 36524;
    long d4 = n / 1461;
    n %= 1461;
    long d1 = n / 365;
    if (d1 == 4) d1 = 3;
    n -= d1 * 365;
    y += int(d400 * 400 + d100 * 100 + d4 * 4 + d1);
    int m = 1;
    while (n >= DaysInMonth(y, m))
        n -= DaysInMonth(y, m++);
    p.Year = y;
    p.Month = m;
    p.Day = int(n) + 1;
    long t = long(ms);
    p.Hour = int(t / 3600000);
    p.Minute = int(t / 60000 % 60);
    p.Second = int(t / 1000 % 60);
    p.Millisecond = int(t % 1000);
    return p;
}

TDateTime EncodeDateTime(const TDateTimeParts& p) {
    int y = p.Year - 1;
    long days = long(y) * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < p.Month; ++m)
        days += DaysInMonth(p.Year, m);
    days += p.Day - 1 - kDelta;
    double t =
        (p.Hour * 3600000.0 + p.Minute * 60000.0 + p.Second * 1000.0 + p.Millisecond) / 86400000.0;
    return days >= 0 ? days + t : days - t;
}

std::string FormatDatePicture(const std::string& pic, TDateTime value) {
    TDateTimeParts p = DecodeDateTime(value);
    // The weekday of the date shown, whatever the value was (a negative one
    // with a time, one that rounded into the next day, one that is no date).
    long days = long(EncodeDateTime({p.Year, p.Month, p.Day}));
    int weekday = int(((days + 6) % 7 + 7) % 7); // 1899-12-30 was a Saturday
    return ExpandPicture(pic, [&](char c, size_t n, std::string& out) {
        if (c == 'd') {
            out += n == 1   ? std::to_string(p.Day)
                   : n == 2 ? Num(p.Day, 2)
                   : n == 3 ? kShortDays[weekday]
                            : kLongDays[weekday];
        } else if (c == 'M') {
            out += n == 1   ? std::to_string(p.Month)
                   : n == 2 ? Num(p.Month, 2)
                   : n == 3 ? kShortMonths[p.Month - 1]
                            : kLongMonths[p.Month - 1];
        } else if (c == 'y') {
            out += n <= 2 ? Num(p.Year % 100, int(n)) : Num(p.Year, 4);
        } else {
            out.append(n, c);
        }
    });
}

std::string FormatTimePicture(const std::string& pic, TDateTime value, const std::string& am,
                              const std::string& pm) {
    TDateTimeParts p = DecodeDateTime(value);
    return ExpandPicture(pic, [&](char c, size_t n, std::string& out) {
        if (c == 'h') {
            int h12 = p.Hour % 12 == 0 ? 12 : p.Hour % 12;
            out += n == 1 ? std::to_string(h12) : Num(h12, 2);
        } else if (c == 'H') {
            out += n == 1 ? std::to_string(p.Hour) : Num(p.Hour, 2);
        } else if (c == 'm') {
            out += n == 1 ? std::to_string(p.Minute) : Num(p.Minute, 2);
        } else if (c == 's') {
            out += n == 1 ? std::to_string(p.Second) : Num(p.Second, 2);
        } else if (c == 't') {
            const std::string& mark = p.Hour < 12 ? am : pm;
            out += n == 1 ? mark.substr(0, 1) : mark;
        } else {
            out.append(n, c);
        }
    });
}

std::string FormatShortDate(const ILocale& l, TDateTime v) {
    return FormatDatePicture(l.ShortDatePicture(), v);
}
std::string FormatLongTime(const ILocale& l, TDateTime v) {
    return FormatTimePicture(l.LongTimePicture(), v, l.TimeAM(), l.TimePM());
}
std::string FormatShortTime(const ILocale& l, TDateTime v) {
    return FormatTimePicture(l.ShortTimePicture(), v, l.TimeAM(), l.TimePM());
}

} // namespace vx
