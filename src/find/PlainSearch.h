// Finds a literal byte string in a text, with or without ASCII case folding.
// It scans for the needle's rarest byte sixteen bytes at a time and checks the
// whole needle only where that byte stands, so a miss costs little more than
// reading the text once.
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
    size_t rare_ = 0;    // index of the byte the scan looks for
    uint8_t rareA_ = 0;  // that byte, and its other case (the same when none)
    uint8_t rareB_ = 0;
};

} // namespace vx
