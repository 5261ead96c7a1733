#include "spreadsheet/vxVariant.h"

#include "platform/DateTimeFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vx {

TVariant TVariant::Integer(TVarType type, int64_t v) {
    TVariant r;
    r.type_ = type;
    r.int_ = v;
    return r;
}

TVariant TVariant::Real(TVarType type, double v) {
    TVariant r;
    r.type_ = type;
    r.real_ = v;
    return r;
}

TVariant TVariant::String(TVarType type, std::string v) {
    TVariant r;
    r.type_ = type;
    r.text_ = std::move(v);
    return r;
}

TVariant TVariant::OfType(TVarType type) {
    TVariant r;
    r.type_ = type;
    return r;
}

bool TVariant::IsInteger() const {
    switch (type_) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
        return true;
    default:
        return false;
    }
}

bool TVariant::IsReal() const {
    return type_ == varSingle || type_ == varDouble || type_ == varCurrency || type_ == varDate;
}

bool TVariant::IsString() const {
    return type_ == varOleStr || type_ == varStrArg || type_ == varString;
}

std::string FloatToStr(double v) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v > 0 ? "INF" : "-INF";
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", v);
    std::string s = buf;
    // printf writes 1E-05 and 1E+20; the customary form is 1E-5 and 1E20.
    size_t e = s.find('E');
    if (e == std::string::npos) return s;
    std::string mant = s.substr(0, e);
    int exp = std::atoi(s.c_str() + e + 1);
    return mant + "E" + std::to_string(exp);
}

std::string DateTimeToStr(const ILocale& locale, TDateTime v) {
    std::string s = FormatShortDate(locale, v);
    TDateTimeParts p = DecodeDateTime(v);
    if (p.Hour || p.Minute || p.Second || p.Millisecond) s += " " + FormatLongTime(locale, v);
    return s;
}

std::string VarToStr(const TVariant& v, const ILocale& locale) {
    if (v.IsString()) return v.AsString();
    if (v.IsInteger()) return std::to_string(v.AsInt64());
    switch (v.VarType()) {
    case varSingle:
    case varDouble:
    case varCurrency:
        return FloatToStr(v.AsDouble());
    case varDate:
        return DateTimeToStr(locale, v.AsDouble());
    case varBoolean:
        return v.AsBoolean() ? "True" : "False";
    default:
        return "";
    }
}

} // namespace vx
