// Date-time values (days since 1899-12-30) and formatting with Windows
// date and time pictures, done portably so every platform writes the same text.
#pragma once

#include "Platform.h"

#include <string>

namespace vx {

struct TDateTimeParts {
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0, Millisecond = 0;
};

TDateTimeParts DecodeDateTime(TDateTime value);
TDateTime EncodeDateTime(const TDateTimeParts& parts);

// Date picture letters: d dd ddd dddd M MM MMM MMMM y yy yyyy, 'quoted' text.
std::string FormatDatePicture(const std::string& picture, TDateTime value);
// Time picture letters: h hh H HH m mm s ss t tt, 'quoted' text.
std::string FormatTimePicture(const std::string& picture, TDateTime value,
                              const std::string& am = "AM", const std::string& pm = "PM");

// US English pictures, for components that were given no locale.
const ILocale& DefaultLocale();

std::string FormatShortDate(const ILocale& locale, TDateTime value);
std::string FormatLongTime(const ILocale& locale, TDateTime value);
std::string FormatShortTime(const ILocale& locale, TDateTime value);

} // namespace vx
