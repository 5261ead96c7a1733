#include "export/vxExportFormat.h"

#include <charconv>
#include <cstring>
#include <cstdlib>
#include <limits>

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

// Non-zero when some byte of v equals b (exact as a whole-word test).
inline uint64_t HasByte(uint64_t v, uint8_t b) {
    constexpr uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    uint64_t x = v ^ (ones * b);
    return (x - ones) & ~x & highs;
}

// Whether the text holds a space, comma, CR or LF: eight bytes at a time and
// stopping at the first, since CSV export asks this for every cell.
bool HasSeparator(std::string_view text) {
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, text.data() + i, 8);
        if (HasByte(w, ' ') | HasByte(w, ',') | HasByte(w, '\r') | HasByte(w, '\n')) return true;
    }
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == ' ' || c == ',' || c == '\r' || c == '\n') return true;
    }
    return false;
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

void AppendQuoted(std::string& out, std::string_view text, bool force) {
    const bool quotes = std::memchr(text.data(), '"', text.size()) != nullptr;
    const bool enclose = force || quotes || HasSeparator(text);
    if (enclose) out.push_back('"');
    if (!quotes) {
        out.append(text);
    } else {
        // Copies runs up to each quote, then doubles it.
        size_t start = 0;
        for (size_t q = text.find('"'); q != std::string_view::npos; q = text.find('"', q + 1)) {
            out.append(text.substr(start, q + 1 - start));
            out.push_back('"');
            start = q + 1;
        }
        out.append(text.substr(start));
    }
    if (enclose) out.push_back('"');
}

std::string QuoteField(std::string_view text, bool force) {
    std::string s;
    AppendQuoted(s, text, force);
    return s;
}

bool LooksLikeFormula(std::string_view text) {
    if (text.empty()) return false;
    char first = text[0];
    if (first == '=' || first == '@') return true;
    if (first != '+' && first != '-') return false;
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
    if (digits == 0) return true;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        size_t start = j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9')
            ++j;
        if (j == start) return true;
        i = j;
    }
    return i != text.size();
}

// Line breaks come out as CR LF, so a row of cells is ready to write as it is.
void AppendHTMLEscaped(std::string& out, std::string_view text) {
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

namespace {

// The bytes Rich Text cannot take as they are: one look-up per byte keeps the
// scan to a single, nearly always untaken branch.
struct TRTFSpecial {
    bool Byte[256] = {};
    constexpr TRTFSpecial() {
        for (int c = 128; c < 256; ++c)
            Byte[c] = true;
        Byte[int('\\')] = Byte[int('{')] = Byte[int('}')] = Byte[int('\r')] = Byte[int('\n')] =
            true;
    }
};
constexpr TRTFSpecial kRTFSpecial;

} // namespace

void AppendRTFEscaped(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (!kRTFSpecial.Byte[c]) continue;
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
