// Finds a literal byte string in a text, with or without ASCII case folding.
// It tests sixteen start positions at a time for the needle's two rarest
// bytes at their places, and checks the whole needle only where both stand,
// so a miss costs little more than reading the text once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

class TPlainSearch {
  public:
    static constexpr size_t npos = std::string_view::npos;

    TPlainSearch() = default;
    TPlainSearch(std::string_view needle, bool matchCase) { Reset(needle, matchCase); }
    void Reset(std::string_view needle, bool matchCase);

    // First position at or after `from` where the needle starts, or npos. An
    // empty needle is found at `from` (when from <= text size).
    size_t Find(std::string_view text, size_t from = 0) const;
    // Whether text holds the needle at `pos` (pos + size within text).
    bool At(std::string_view text, size_t pos) const;
    size_t Size() const { return needle_.size(); }

  private:
    std::string needle_; // folded when the case is ignored
    bool matchCase_ = true;
    // The two bytes the scan looks for: their index in the needle, the byte
    // and its other case (the same byte when it has none).
    size_t rare_ = 0, rare2_ = 0;
    uint8_t rareA_ = 0, rareB_ = 0, rare2A_ = 0, rare2B_ = 0;
};

} // namespace vx
