#include "export/vxExportFormat.h"

#include <charconv>
#include <cstring>
#include <cstdlib>
#include <limits>

// Sixteen bytes at a time where every processor of the target has SSE2.
#if defined(__SSE2__) || defined(_M_X64)
#define VX_EXPORT_SSE2 1
#include <emmintrin.h>
#else
#define VX_EXPORT_SSE2 0
#endif

namespace vx {
namespace {

struct TSpec {
    bool Left = false;
    int Width = -1;
    int Precision = -1;
    char Type = 0;
};

// Reads one "%[index:][-][width][.prec]type" after the percent sign. Returns
// false for a malformed or argument-hungry ("*") specifier.
bool ParseSpec(std::string_view fmt, size_t& i, TSpec& spec, bool& indexed) {
    auto number = [&](int& v) {
        size_t start = i;
        v = 0;
        while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9' && v < 100000)
            v = v * 10 + (fmt[i++] - '0');
        return i > start;
    };
    indexed = false;
    int n = 0;
    size_t save = i;
    if (number(n) && i < fmt.size() && fmt[i] == ':') {
        if (n != 0) return false; // only one argument exists
        indexed = true;
        ++i;
    } else {
        i = save;
    }
    if (i < fmt.size() && fmt[i] == '-') {
        spec.Left = true;
        ++i;
    }
    if (i < fmt.size() && fmt[i] == '*') return false;
    if (number(n)) spec.Width = n;
    if (i < fmt.size() && fmt[i] == '.') {
        ++i;
        if (i < fmt.size() && fmt[i] == '*') return false;
        spec.Precision = number(n) ? n : 0;
    }
    if (i >= fmt.size()) return false;
    char c = fmt[i++];
    spec.Type = char(c >= 'a' && c <= 'z' ? c - 32 : c);
    return true;
}

void Pad(std::string& out, std::string_view body, const TSpec& spec) {
    size_t w = spec.Width > 0 ? size_t(spec.Width) : 0;
    if (!spec.Left && body.size() < w) out.append(w - body.size(), ' ');
    out.append(body);
    if (spec.Left && body.size() < w) out.append(w - body.size(), ' ');
}

// Shared driver: the argument is consumed by the first specifier; a second
// one has no argument left and fails, as does a type the argument cannot fill.
template <typename Render> bool FormatOne(std::string_view fmt, std::string& out, Render render) {
    out.clear();
    bool used = false;
    for (size_t i = 0; i < fmt.size();) {
        char c = fmt[i++];
        if (c != '%') {
            out.push_back(c);
            continue;
        }
        if (i < fmt.size() && fmt[i] == '%') {
            out.push_back('%');
            ++i;
            continue;
        }
        TSpec spec;
        bool indexed = false;
        if (!ParseSpec(fmt, i, spec, indexed)) return false;
        if (used && !indexed) return false;
        used = true;
        if (!render(spec, out)) return false;
    }
    return true;
}

constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;

// Non-zero when some byte of v equals b (exact as a whole-word test).
inline uint64_t HasByte(uint64_t v, uint8_t b) {
    uint64_t x = v ^ (kOnes * b);
    return (x - kOnes) & ~x & kHighs;
}

// Non-zero when some byte of v is below n, for n up to 128 (exact as a
// whole-word test).
inline uint64_t HasLess(uint64_t v, uint8_t n) {
    return (v - kOnes * n) & ~v & kHighs;
}

// Non-zero when some byte of v is one of Bytes, or above 127 with High. With
// Below, every one of Bytes lies below it: one test passes most words.
template <bool High, uint8_t Below, char... Bytes> inline uint64_t WordHas(uint64_t v) {
    if (Below && !HasLess(v, Below)) return 0;
    uint64_t r = High ? v & kHighs : 0;
    ((r |= HasByte(v, uint8_t(Bytes))), ...);
    return r;
}

#if VX_EXPORT_SSE2
// The same for sixteen bytes at p.
template <bool High, char... Bytes> inline bool BlockHas(const char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i m = High ? v : _mm_setzero_si128(); // the top bit of a byte above 127
    ((m = _mm_or_si128(m, _mm_cmpeq_epi8(v, _mm_set1_epi8(Bytes)))), ...);
    return _mm_movemask_epi8(m) != 0;
}
#endif

// True when some byte of text is one of Bytes (or above 127 with High): a
// writer copies a text without them as it is. Sixteen bytes are looked at
// once where the processor can, else eight; the last block overlaps the one
// before it, and a text of four to seven bytes is one word of two
// overlapping halves, so only a text under four bytes goes byte by byte.
template <bool High, uint8_t Below, char... Bytes> bool HasAnyOf(std::string_view text) {
    const char* p = text.data();
    const size_t n = text.size();
#if VX_EXPORT_SSE2
    if (n >= 16) {
        for (size_t i = 0; i + 16 <= n; i += 16)
            if (BlockHas<High, Bytes...>(p + i)) return true;
        return n % 16 != 0 && BlockHas<High, Bytes...>(p + n - 16);
    }
#endif
    if (n >= 8) {
        uint64_t w;
        for (size_t i = 0; i + 8 <= n; i += 8) {
            std::memcpy(&w, p + i, 8);
            if (WordHas<High, Below, Bytes...>(w)) return true;
        }
        if (n % 8 == 0) return false;
        std::memcpy(&w, p + n - 8, 8);
        return WordHas<High, Below, Bytes...>(w) != 0;
    }
    if (n >= 4) {
        uint32_t lo, hi;
        std::memcpy(&lo, p, 4);
        std::memcpy(&hi, p + n - 4, 4);
        return WordHas<High, Below, Bytes...>(uint64_t(lo) | uint64_t(hi) << 32) != 0;
    }
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(p[i]);
        if ((High && c >= 128) || ((c == static_cast<unsigned char>(Bytes)) || ...)) return true;
    }
    return false;
}

// The bytes that make a CSV field quoted.
bool HasFieldTrigger(std::string_view text) {
    return HasAnyOf<false, '-', ' ', ',', '"', '\r', '\n'>(text);
}

} // namespace

bool FormatInteger(std::string_view fmt, int64_t value, std::string& out) {
    return FormatOne(fmt, out, [value](const TSpec& spec, std::string& o) {
        char buf[32];
        std::string body;
        if (spec.Type == 'D' || spec.Type == 'U') {
            uint64_t mag = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
            if (spec.Type == 'U' && value < 0) mag = uint32_t(value);
            auto r = std::to_chars(buf, buf + sizeof buf, mag);
            std::string_view digits(buf, size_t(r.ptr - buf));
            if (spec.Type == 'D' && value < 0) body.push_back('-');
            if (spec.Precision > 0 && digits.size() < size_t(spec.Precision))
                body.append(size_t(spec.Precision) - digits.size(), '0');
            body.append(digits);
        } else if (spec.Type == 'X') {
            uint64_t v = value < 0 && value >= std::numeric_limits<int32_t>::min()
                             ? uint32_t(value)
                             : uint64_t(value);
            auto r = std::to_chars(buf, buf + sizeof buf, v, 16);
            for (char* p = buf; p < r.ptr; ++p)
                if (*p >= 'a' && *p <= 'f') *p = char(*p - 32);
            std::string_view digits(buf, size_t(r.ptr - buf));
            if (spec.Precision > 0 && digits.size() < size_t(spec.Precision))
                body.append(size_t(spec.Precision) - digits.size(), '0');
            body.append(digits);
        } else {
            return false;
        }
        Pad(o, body, spec);
        return true;
    });
}

bool FormatString(std::string_view fmt, std::string_view value, std::string& out) {
    return FormatOne(fmt, out, [value](const TSpec& spec, std::string& o) {
        if (spec.Type != 'S') return false;
        std::string_view body = value;
        if (spec.Precision >= 0 && body.size() > size_t(spec.Precision))
            body = body.substr(0, size_t(spec.Precision));
        Pad(o, body, spec);
        return true;
    });
}

bool HasTabOrBreak(std::string_view text) {
    return HasAnyOf<false, '\r' + 1, '\t', '\r', '\n'>(text);
}

bool HasBreakOrSemicolon(std::string_view text) {
    return HasAnyOf<false, 0, '\r', '\n', ';'>(text);
}

bool HasBreakOrQuote(std::string_view text) {
    return HasAnyOf<false, 0, '\r', '\n', '"'>(text);
}

bool HasHTMLSpecial(std::string_view text) {
    return HasAnyOf<false, 0, '&', '<', '>', '"', '\r', '\n', '\0'>(text);
}

bool HasRTFSpecial(std::string_view text) {
    return HasAnyOf<true, 0, '\\', '{', '}', '\r', '\n'>(text);
}

void AppendQuotedField(std::string& out, char lead, char prefix, std::string_view text,
                       bool force) {
    const bool enclose = force || HasFieldTrigger(text);
    // A quote is a trigger itself: only an enclosed text can hold one.
    const bool quotes = enclose && std::memchr(text.data(), '"', text.size()) != nullptr;
    if (!quotes) {
        const size_t size = (lead ? 1 : 0) + (enclose ? 2 : 0) + (prefix ? 1 : 0) + text.size();
        char* d = GrowBy(out, size, '"'); // the enclosing quotes are in place
        if (lead) *d++ = lead;
        if (enclose) ++d;
        if (prefix) *d++ = prefix;
        CopyTo(d, text);
        return;
    }
    if (lead) out.push_back(lead);
    out.push_back('"');
    if (prefix) out.push_back(prefix);
    // Copies runs up to each quote, then doubles it.
    size_t start = 0;
    for (size_t q = text.find('"'); q != std::string_view::npos; q = text.find('"', q + 1)) {
        out.append(text.substr(start, q + 1 - start));
        out.push_back('"');
        start = q + 1;
    }
    out.append(text.substr(start));
    out.push_back('"');
}

void AppendQuoted(std::string& out, std::string_view text, bool force) {
    AppendQuotedField(out, 0, 0, text, force);
}

std::string QuoteField(std::string_view text, bool force) {
    std::string s;
    AppendQuoted(s, text, force);
    return s;
}

bool IsSignedNumber(std::string_view text) {
    if (text.empty() || (text[0] != '+' && text[0] != '-')) return false;
    // A sign before digits, one decimal point and an exponent is a number.
    size_t i = 1, digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        size_t start = j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9')
            ++j;
        if (j == start) return false;
        i = j;
    }
    return i == text.size();
}

// Line breaks come out as CR LF, so a row of cells is ready to write as it is.
void AppendHTMLEscaped(std::string& out, std::string_view text) {
    if (!HasHTMLSpecial(text)) {
        out.append(text);
        return;
    }
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char* entity;
        size_t runEnd = i;
        switch (text[i]) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            entity = "\r\n";
            break;
        case '\n':
            entity = "\r\n";
            break;
        case '\0':
            entity = " ";
            break; // browsers show a zero byte as a replacement mark
        default:
            continue;
        }
        out.append(text.substr(start, runEnd - start));
        out.append(entity);
        start = i + 1;
    }
    out.append(text.substr(start));
}

std::string HTMLEscape(std::string_view text) {
    std::string s;
    AppendHTMLEscaped(s, text);
    return s;
}

void AppendRTFEscaped(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    if (!HasRTFSpecial(text)) {
        out.append(text);
        return;
    }
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 128 && c != '\\' && c != '{' && c != '}' && c != '\r' && c != '\n') continue;
        out.append(text.substr(start, i - start));
        start = i + 1;
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') start = ++i + 1;
            out.append("\\line ");
            continue;
        }
        if (c >= 128) {
            out.append("\\'");
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        } else {
            out.push_back('\\');
            out.push_back(char(c));
        }
    }
    out.append(text.substr(start));
}

void SplitLines(std::string_view text, TStringList& lines) {
    size_t i = 0;
    while (i < text.size()) {
        size_t start = i;
        while (i < text.size() && text[i] != '\r' && text[i] != '\n')
            ++i;
        lines.emplace_back(text.substr(start, i - start));
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] == '\n') ++i;
    }
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
    size_t dot = fileName.find_last_of(".\\/:");
    if (dot == std::string::npos || fileName[dot] != '.') return fileName + ext;
    return fileName.substr(0, dot) + ext;
}

std::string ExtractFilePath(const std::string& fileName) {
    size_t sep = fileName.find_last_of("\\/:");
    return sep == std::string::npos ? std::string() : fileName.substr(0, sep + 1);
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
    if (text.empty()) return false;
    const char* b = text.data();
    const char* e = b + text.size();
    if (*b == '+') ++b;
    if (b == e || *b == '+') return false;
    auto r = std::from_chars(b, e, value);
    return r.ec == std::errc() && r.ptr == e;
}

bool TryStrToInt(std::string_view text, int32_t& value) {
    int64_t v = 0;
    if (!TryStrToInt64(text, v) || v < std::numeric_limits<int32_t>::min() ||
        v > std::numeric_limits<int32_t>::max())
        return false;
    value = int32_t(v);
    return true;
}

} // namespace vx
