// A cell value that knows its type, with the type codes of the OLE variant.
// The spreadsheet writer picks a record by the code, and the export engine
// passes one record's cells as an array of them.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

using TVarType = uint16_t;

inline constexpr TVarType varEmpty = 0x0000;
inline constexpr TVarType varNull = 0x0001;
inline constexpr TVarType varSmallint = 0x0002;
inline constexpr TVarType varInteger = 0x0003;
inline constexpr TVarType varSingle = 0x0004;
inline constexpr TVarType varDouble = 0x0005;
inline constexpr TVarType varCurrency = 0x0006;
inline constexpr TVarType varDate = 0x0007;
inline constexpr TVarType varOleStr = 0x0008;
inline constexpr TVarType varDispatch = 0x0009;
inline constexpr TVarType varError = 0x000A;
inline constexpr TVarType varBoolean = 0x000B;
inline constexpr TVarType varVariant = 0x000C;
inline constexpr TVarType varUnknown = 0x000D;
inline constexpr TVarType varShortInt = 0x0010;
inline constexpr TVarType varByte = 0x0011;
inline constexpr TVarType varWord = 0x0012;
inline constexpr TVarType varLongWord = 0x0013;
inline constexpr TVarType varInt64 = 0x0014;
inline constexpr TVarType varStrArg = 0x0048;
inline constexpr TVarType varString = 0x0100;
inline constexpr TVarType varAny = 0x0101;
inline constexpr TVarType varArray = 0x2000;
inline constexpr TVarType varByRef = 0x4000;

class TVariant {
  public:
    TVariant() = default; // varEmpty
    TVariant(int v) : type_(varInteger), int_(v) {}
    TVariant(int64_t v) : type_(varInt64), int_(v) {}
    TVariant(double v) : type_(varDouble), real_(v) {}
    TVariant(bool v) : type_(varBoolean), int_(v ? 1 : 0) {}
    TVariant(std::string v) : type_(varString), text_(std::move(v)) {}
    TVariant(const char* v) : type_(varString), text_(v ? v : "") {}

    static TVariant Null() { return OfType(varNull); }
    static TVariant Date(TDateTime v) { return Real(varDate, v); }
    // An integer under one of the integer type codes (varSmallint, varByte...).
    static TVariant Integer(TVarType type, int64_t v);
    // A floating value under varSingle, varDouble, varCurrency or varDate.
    static TVariant Real(TVarType type, double v);
    // A string under varOleStr, varStrArg or varString.
    static TVariant String(TVarType type, std::string v);
    // A value that carries nothing readable here: dispatch, unknown, error,
    // arrays and references.
    static TVariant OfType(TVarType type);

    TVarType VarType() const { return type_; }
    bool IsEmpty() const { return type_ == varEmpty; }
    bool IsNull() const { return type_ == varNull; }
    bool IsInteger() const;
    bool IsReal() const; // single, double, currency, date
    bool IsString() const;

    int64_t AsInt64() const { return IsReal() ? int64_t(real_) : int_; }
    double AsDouble() const { return IsReal() ? real_ : double(int_); }
    bool AsBoolean() const { return IsReal() ? real_ != 0 : int_ != 0; }
    const std::string& AsString() const { return text_; }
    // Makes this a varString holding text, reusing the storage it has: the
    // export fills the same cells once per record.
    void SetString(std::string_view text) {
        type_ = varString;
        int_ = 0;
        real_ = 0;
        // Copied over the old bytes where they reach (the text may lie in
        // them), so the usual record costs no general assignment.
        const size_t n = text.size(), have = text_.size();
        if (n <= have) {
            if (n) std::memmove(text_.data(), text.data(), n);
            text_.erase(n);
        } else if (n <= text_.capacity()) {
            if (have) std::memcpy(text_.data(), text.data(), have);
            text_.append(text.data() + have, n - have);
        } else {
            text_.assign(text.data(), n);
        }
    }

    bool operator==(const TVariant&) const = default;

  private:
    TVarType type_ = varEmpty;
    int64_t int_ = 0;
    double real_ = 0;
    std::string text_;
};

using TvxValues = std::vector<TVariant>;

// Text form of a floating value: up to 15 significant digits, the exponent
// written as E-5 or E20 only when the plain form would need it.
std::string FloatToStr(double v);

// Short date, a space and the long time of the locale; the time is left out
// when the time of day is 0:00:00.
std::string DateTimeToStr(const ILocale& locale, TDateTime v);

// Text form of any value: empty and null give "", booleans "True"/"False",
// dates as DateTimeToStr, values without a readable form "".
std::string VarToStr(const TVariant& v, const ILocale& locale);

} // namespace vx
