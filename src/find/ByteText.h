// Byte-level helpers shared by the matchers. Text is 8-bit ANSI: letters fold
// in ASCII only, every byte from 0x80 up is compared exactly and counts as a
// word character (in any code page those bytes are mostly letters, so a
// whole-word search never splits an accented word).
#pragma once

#include <cstdint>

namespace vx {

inline constexpr bool IsWordByte(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           c >= 0x80;
}

inline constexpr uint8_t FoldByte(uint8_t c) {
    return c >= 'A' && c <= 'Z' ? uint8_t(c + 32) : c;
}

inline constexpr bool IsAsciiLetter(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace vx
