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
    auto pick = [&](size_t skip) {
        size_t at = skip == size_t(-1) ? 0 : skip;
        int best = 1000;
        for (size_t i = 0; i < needle_.size(); ++i) {
            if (i == skip) continue;
            int score = Commonness(uint8_t(needle_[i]), matchCase);
            // A second byte equal to the first tells the scan nothing new.
            if (skip != size_t(-1) && needle_[i] == needle_[skip]) score += 200;
            if (score < best) {
                best = score;
                at = i;
            }
        }
        return at;
    };
    rare_ = pick(size_t(-1));
    rare2_ = needle_.size() > 1 ? pick(rare_) : rare_;
    auto other = [&](uint8_t c) { return !matchCase && IsAsciiLetter(c) ? uint8_t(c - 32) : c; };
    rareA_ = needle_.empty() ? 0 : uint8_t(needle_[rare_]);
    rareB_ = other(rareA_);
    rare2A_ = needle_.empty() ? 0 : uint8_t(needle_[rare2_]);
    rare2B_ = other(rare2A_);
}

namespace {

// Whether the needle stands at p; inlined into the scan, whose constants
// would otherwise be saved around a call.
inline bool NeedleAt(const uint8_t* p, const std::string& needle, bool matchCase) {
    const uint8_t* q = reinterpret_cast<const uint8_t*>(needle.data());
    size_t n = needle.size();
    if (matchCase) {
        for (size_t i = 0; i < n; ++i)
            if (p[i] != q[i]) return false;
    } else {
        for (size_t i = 0; i < n; ++i)
            if (FoldByte(p[i]) != q[i]) return false;
    }
    return true;
}

} // namespace

bool TPlainSearch::At(std::string_view text, size_t pos) const {
    return NeedleAt(reinterpret_cast<const uint8_t*>(text.data()) + pos, needle_, matchCase_);
}

size_t TPlainSearch::Find(std::string_view text, size_t from) const {
    size_t n = needle_.size();
    if (from > text.size() || text.size() - from < n) return npos;
    if (n == 0) return from;
    const uint8_t* t = reinterpret_cast<const uint8_t*>(text.data());
    const size_t last = text.size() - n; // last possible start
    size_t i = from;
#if defined(__SSE2__)
    if (last - from + 1 >= 16) {
        const __m128i a = _mm_set1_epi8(char(rareA_)), b = _mm_set1_epi8(char(rareB_));
        const __m128i a2 = _mm_set1_epi8(char(rare2A_)), b2 = _mm_set1_epi8(char(rare2B_));
        for (;;) {
            // The last block overlaps the one before rather than leave a tail;
            // the starts tested twice failed the first time.
            if (i + 16 > last + 1) i = last + 1 - 16;
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + rare_));
            __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + rare2_));
            __m128i hit = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b)),
                                        _mm_or_si128(_mm_cmpeq_epi8(w, a2), _mm_cmpeq_epi8(w, b2)));
            unsigned mask = unsigned(_mm_movemask_epi8(hit));
            while (mask) {
                size_t k = i + size_t(std::countr_zero(mask));
                if (NeedleAt(t + k, needle_, matchCase_)) return k;
                mask &= mask - 1;
            }
            if (i + 16 > last) return npos;
            i += 16;
        }
    }
#endif
    for (; i <= last; ++i) {
        uint8_t c = t[i + rare_], d = t[i + rare2_];
        if ((c == rareA_ || c == rareB_) && (d == rare2A_ || d == rare2B_) &&
            NeedleAt(t + i, needle_, matchCase_))
            return i;
    }
    return npos;
}

} // namespace vx
