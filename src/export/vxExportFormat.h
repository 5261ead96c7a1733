// Small text routines shared by the export writers: the format strings of the
// row numbers and the created line, field quoting, escaping, line splitting.
#pragma once

#include "export/vxExportTypes.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace vx {

// Formats fmt with one integer argument the way the component's format
// strings are read ("%d", "%5d", "%.3d", "%x", "%u", "%0:d", "%%"). False when
// fmt needs another argument or a type an integer cannot fill.
bool FormatInteger(std::string_view fmt, int64_t value, std::string& out);
// The same with one string argument ("%s", "%-10s", "%.3s").
bool FormatString(std::string_view fmt, std::string_view value, std::string& out);

// Doubles every double quote; encloses the text in double quotes when forced
// or when it holds a space, a comma, a double quote or a line break.
std::string QuoteField(std::string_view text, bool force);
void AppendQuoted(std::string& out, std::string_view text, bool force);
// The CSV field: the byte lead (none when 0) and then AppendQuoted of prefix
// (none when 0) followed by text, in one growth of out when text holds no quote.
void AppendQuotedField(std::string& out, char lead, char prefix, std::string_view text, bool force);

// True when a text beginning with + or - is a plain number such as -4 or +1.5e3.
bool IsSignedNumber(std::string_view text);
// True when a spreadsheet would take the text for a formula: it begins with
// =, +, - or @ and is not a plain number such as -4 or +1.5e3. CSV and TAB
// write such a text behind an apostrophe, so it is shown as text.
inline bool LooksLikeFormula(std::string_view text) {
    if (text.empty()) return false;
    const char first = text[0];
    if (first == '=' || first == '@') return true;
    return (first == '+' || first == '-') && !IsSignedNumber(text);
}

// Whether a text holds a byte a writer cannot copy as it is, looked for
// sixteen or eight bytes at a time: the writers copy the usual text whole and
// shape only the rest.
bool HasTabOrBreak(std::string_view text);       // TAB, CR, LF
bool HasBreakOrSemicolon(std::string_view text); // CR, LF, ; (SYLK)
bool HasBreakOrQuote(std::string_view text);     // CR, LF, " (DIF)
bool HasHTMLSpecial(std::string_view text);      // &, <, >, ", CR, LF, zero byte
bool HasRTFSpecial(std::string_view text);       // \, {, }, CR, LF, bytes above 127

// Whether text holds a zero byte: short texts without a call.
inline bool HasZeroByte(std::string_view text) {
    const char* p = text.data();
    const size_t n = text.size();
    if (n > 16) return std::memchr(p, 0, n) != nullptr;
    constexpr uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    uint64_t a, b;
    if (n >= 8) {
        std::memcpy(&a, p, 8);
        std::memcpy(&b, p + n - 8, 8);
    } else if (n >= 4) {
        uint32_t lo, hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + n - 4, 4);
        a = b = uint64_t(lo) | uint64_t(hi) << 32;
    } else {
        for (size_t i = 0; i < n; ++i)
            if (p[i] == 0) return true;
        return false;
    }
    return (((a - ones) & ~a) | ((b - ones) & ~b)) & highs;
}

// Grows s by n bytes (filled with fill) and returns where they start: a
// writer that knows a piece's size copies it in with one growth.
inline char* GrowBy(std::string& s, size_t n, char fill = ' ') {
    const size_t at = s.size();
    s.append(n, fill);
    return s.data() + at;
}
// Copies bytes to d and returns the end of the copy.
inline char* CopyTo(char* d, std::string_view bytes) {
    if (!bytes.empty()) std::memcpy(d, bytes.data(), bytes.size());
    return d + bytes.size();
}

// &, <, > and " as entities, so data cannot become markup.
void AppendHTMLEscaped(std::string& out, std::string_view text);
std::string HTMLEscape(std::string_view text);
// \, { and } with a backslash, bytes above 127 as \'hh, so data cannot change
// the structure of a Rich Text document. A line break (CR LF, CR or LF) is
// written as \line, so the words around it stay apart.
void AppendRTFEscaped(std::string& out, std::string_view text);

// The lines of a text split at CR LF, CR or LF; an empty text has no lines and
// a final line break adds no empty line.
void SplitLines(std::string_view text, TStringList& lines);

// The file name with its extension (from the last dot of the name part) replaced.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
// The folder part of a file name, with its trailing separator.
std::string ExtractFilePath(const std::string& fileName);
// Whole decimal integer (optional sign, digits only, fits 32 bits).
bool TryStrToInt(std::string_view text, int32_t& value);
// A whole integer of up to 64 bits.
bool TryStrToInt64(std::string_view text, int64_t& value);

} // namespace vx
