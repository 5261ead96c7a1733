// Splits a BIFF stream into records so tests can name what they expect.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vxtest {

struct TRecord {
    uint16_t Number = 0;
    std::vector<uint8_t> Data;
    uint16_t U16(size_t at) const { return uint16_t(Data.at(at) | Data.at(at + 1) << 8); }
    double F64(size_t at) const {
        double d;
        (void)Data.at(at + 7); // bounds check
        std::memcpy(&d, Data.data() + at, 8);
        return d;
    }
    std::string Text(size_t lengthAt) const { // a length byte, then the text
        return std::string(Data.begin() + long(lengthAt) + 1,
                           Data.begin() + long(lengthAt) + 1 + Data.at(lengthAt));
    }
};

// ok is cleared when the last record runs past the end.
inline std::vector<TRecord> Records(const std::vector<uint8_t>& s, bool* ok = nullptr) {
    std::vector<TRecord> out;
    size_t i = 0;
    for (; i + 4 <= s.size(); i += 4 + out.back().Data.size()) {
        size_t len = size_t(s[i + 2] | s[i + 3] << 8);
        if (i + 4 + len > s.size()) break;
        out.push_back({uint16_t(s[i] | s[i + 1] << 8),
                       {s.begin() + long(i) + 4, s.begin() + long(i + 4 + len)}});
    }
    if (ok) *ok = i == s.size();
    return out;
}

inline std::string Hex(const std::vector<uint8_t>& b, size_t from = 0, size_t count = 1 << 30) {
    std::string s;
    char buf[4];
    for (size_t i = from; i < b.size() && i - from < count; ++i) {
        std::snprintf(buf, sizeof buf, "%02X ", b[i]);
        s += buf;
    }
    if (!s.empty()) s.pop_back();
    return s;
}

} // namespace vxtest
