#include "SessionNames.h"

#include "platform/DateTimeFormat.h"

#include <cstdio>
#include <cstring>

namespace vx {

namespace {

bool Unsafe(unsigned char c) {
    return c < 0x20 || c >= 0x7F || std::strchr("<>:\"/\\|?*", c) != nullptr;
}

// CON, PRN, AUX, NUL, COM1..9, LPT1..9, in any case, alone or before a dot.
bool IsDeviceName(std::string_view stem) {
    std::string_view base = stem.substr(0, stem.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    auto upper = [](char c) { return char(c >= 'a' && c <= 'z' ? c - 32 : c); };
    std::string u;
    for (char c : base)
        u += upper(c);
    if (u == "CON" || u == "PRN" || u == "AUX" || u == "NUL" || u == "CONIN$" || u == "CONOUT$")
        return true;
    return u.size() == 4 && (u.compare(0, 3, "COM") == 0 || u.compare(0, 3, "LPT") == 0) &&
           u[3] >= '1' && u[3] <= '9';
}

uint32_t Fnv1a(std::string_view s) {
    uint32_t h = 2166136261u;
    for (unsigned char c : s) {
        h ^= c;
        h *= 16777619u;
    }
    return h;
}

} // namespace

std::string SafeFileStem(std::string_view id) {
    std::string stem;
    for (unsigned char c : id.substr(0, kMaxStem))
        stem += Unsafe(c) ? '_' : char(c);
    while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.'))
        stem.back() = '_';
    if (!stem.empty() && stem.front() == '.') stem.front() = '_';
    if (IsDeviceName(stem)) stem.insert(0, "_");
    if (stem.empty()) stem = "_";
    if (stem != id) {
        char hash[16];
        std::snprintf(hash, sizeof hash, " ~%08x", unsigned(Fnv1a(id)));
        stem += hash;
    }
    return stem;
}

std::string SessionFileName(std::string_view clientID, TDateTime when, unsigned copy) {
    TDateTimeParts d = DecodeDateTime(when);
    char day[48];
    if (copy > 1)
        std::snprintf(day, sizeof day, " %04d-%02d-%02d (%u)", d.Year, d.Month, d.Day, copy);
    else
        std::snprintf(day, sizeof day, " %04d-%02d-%02d", d.Year, d.Month, d.Day);
    return SafeFileStem(clientID) + day + kSessionExtension;
}

} // namespace vx
