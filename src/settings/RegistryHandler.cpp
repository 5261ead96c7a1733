#include "RegistryHandler.h"

#include <cctype>
#include <cstdint>

namespace vx {

bool TryParseInt(const std::string& s, int& value) {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == s.size()) return false;
    int64_t v = 0;
    for (; i < s.size(); ++i) {
        int d;
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isdigit(c))
            d = c - '0';
        else if (base == 16 && std::isxdigit(c))
            d = std::tolower(c) - 'a' + 10;
        else
            return false;
        v = v * base + d;
        if (v > (int64_t(1) << 32)) return false;
    }
    if (neg) v = -v;
    // Hexadecimal texts may name the whole 32-bit pattern, as "$FFFFFFFF" for -1.
    if (base == 16 && !neg && v > INT32_MAX && v <= UINT32_MAX) v = int32_t(uint32_t(v));
    if (v < INT32_MIN || v > INT32_MAX) return false;
    value = int(v);
    return true;
}

void TRegistryHandler::RegReadString(const std::string& section, const std::string& name,
                                     const std::string& def, std::string& result) {
    std::string text;
    switch (backend_.ReadString(kRegistryRoot + section, name, text)) {
    case TReadResult::Ok:
        result = text.substr(0, text.find('\0'));
        return;
    case TReadResult::WrongType:
        if (OnError) OnError("Invalid data type for '" + name + "'");
        [[fallthrough]];
    case TReadResult::Missing:
        result = def;
        return;
    }
}

std::string TRegistryHandler::RegReadString(const std::string& section, const std::string& name,
                                            const std::string& def) {
    std::string result;
    RegReadString(section, name, def, result);
    return result;
}

int TRegistryHandler::RegReadInteger(const std::string& section, const std::string& name, int def) {
    // A default that is not a number's text could never be parsed back, so
    // absence is told apart from the text itself.
    std::string text;
    const std::string none(1, '\0');
    RegReadString(section, name, none, text);
    int v;
    if (text == none || !TryParseInt(text, v)) return def;
    return v;
}

bool TRegistryHandler::RegReadBool(const std::string& section, const std::string& name, bool def) {
    return RegReadInteger(section, name, def ? 1 : 0) != 0;
}

bool TRegistryHandler::RegWriteString(const std::string& section, const std::string& name,
                                      const std::string& value) {
    return backend_.WriteString(kRegistryRoot + section, name, value);
}

bool TRegistryHandler::RegWriteInteger(const std::string& section, const std::string& name,
                                       int value) {
    return RegWriteString(section, name, std::to_string(value));
}

bool TRegistryHandler::RegWriteBool(const std::string& section, const std::string& name,
                                    bool value) {
    return RegWriteString(section, name, value ? "1" : "0");
}

} // namespace vx
