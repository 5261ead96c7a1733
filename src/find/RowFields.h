// The texts of a stored row that find and the rules look at, read in place:
// no row text is copied to be matched.
#pragma once

#include "TextMatcher.h"
#include "sections/RowStore.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vx {

enum TRowField : uint8_t { rfMessage, rfUnitName, rfProcName, rfDataText, rfGroup, rfKind };
inline constexpr int kRowFieldCount = 6;

// The attached data as text: up to the first zero byte, never past its size.
std::string_view RowDataText(const TRowRecord& r);
// "General", "Information", "Warning", "Error"; another group as its number.
std::string GroupText(uint8_t group);
// The kind's name, as exports write it ("String", "Note", ...).
std::string KindText(uint8_t kind);

// Remembers a matcher's answer per interned name: a log repeats a few dozen
// unit and procedure names, so each is matched once, not once per row.
class TNameAnswers {
  public:
    bool Matches(const TTextMatcher& m, uint32_t id, std::string_view name) {
        if (id >= known_.size()) known_.resize(size_t(id) + 1, -1);
        int8_t& k = known_[id];
        if (k < 0) k = m.Matches(name) ? 1 : 0;
        return k == 1;
    }
    // The same, lowering `work` by what a name not met before cost to match.
    bool Matches(const TTextMatcher& m, uint32_t id, std::string_view name, size_t& work) {
        if (id < known_.size() && known_[id] >= 0) return known_[id] == 1;
        TRegexScan scan;
        size_t all = size_t(-1);
        bool yes = m.Matches(name, scan, all) == mrYes;
        size_t cost = size_t(-1) - all;
        work = cost < work ? work - cost : 0;
        if (id >= known_.size()) known_.resize(size_t(id) + 1, -1);
        known_[id] = yes ? 1 : 0;
        return yes;
    }
    // The store's names were cleared: ids mean other names now.
    void Forget() { known_.clear(); }

  private:
    std::vector<int8_t> known_;
};

} // namespace vx
