#include "PlainSearch.h"

#include "ByteText.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vx {

namespace {

// Rough frequency of a byte in log messages: lower is rarer. Letters count
// with both cases since the scan may look for either.
int Commonness(uint8_t c, bool matchCase) {
    if (c == ' ') return 100;
    uint8_t l = FoldByte(c);
    if (IsAsciiLetter(c)) {
        static const char kCommon[] = "etaoinsrhldcu";
        bool common = std::strchr(kCommon, char(l)) != nullptr;
        bool upper = c != l;
        if (matchCase && upper) return common ? 40 : 30;
        return common ? 90 : 70;
    }
    if (c >= '0' && c <= '9') return 50;
    if (c < 0x80) return 20;
    return 10;
}

} // namespace

void TPlainSearch::Reset(std::string_view needle, bool matchCase) {
    matchCase_ = matchCase;
    needle_.assign(needle);
    if (!matchCase)
        for (char& c : needle_)
            c = char(FoldByte(uint8_t(c)));
    rare_ = 0;
    int best = 1000;
    for (size_t i = 0; i < needle_.size(); ++i) {
        int score = Commonness(uint8_t(needle_[i]), matchCase);
        if (score < best) {
            best = score;
            rare_ = i;
        }
    }
    rareA_ = needle_.empty() ? 0 : uint8_t(needle_[rare_]);
    rareB_ = rareA_;
    if (!matchCase && IsAsciiLetter(rareA_)) rareB_ = uint8_t(rareA_ - 32);
}

bool TPlainSearch::At(std::string_view text, size_t pos) const {
    const char* p = text.data() + pos;
    if (matchCase_) return std::memcmp(p, needle_.data(), needle_.size()) == 0;
    for (size_t i = 0; i < needle_.size(); ++i)
        if (FoldByte(uint8_t(p[i])) != uint8_t(needle_[i])) return false;
    return true;
}

size_t TPlainSearch::Find(std::string_view text, size_t from) const {
    size_t n = needle_.size();
    if (from > text.size() || text.size() - from < n) return npos;
    if (n == 0) return from;
    // Candidate positions of the rare byte run from `from + rare_` to `last`.
    const uint8_t* t = reinterpret_cast<const uint8_t*>(text.data());
    size_t i = from + rare_;
    size_t last = text.size() - n + rare_; // inclusive
#if defined(__SSE2__)
    const __m128i a = _mm_set1_epi8(char(rareA_));
    const __m128i b = _mm_set1_epi8(char(rareB_));
    while (i + 16 <= last + 1) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        unsigned mask = unsigned(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b))));
        while (mask) {
            size_t k = i + size_t(std::countr_zero(mask));
            if (At(text, k - rare_)) return k - rare_;
            mask &= mask - 1;
        }
        i += 16;
    }
#endif
    for (; i <= last; ++i)
        if ((t[i] == rareA_ || t[i] == rareB_) && At(text, i - rare_)) return i - rare_;
    return npos;
}

} // namespace vx
