// One text test as find and the rules use it: a pattern, how it must match
// (contains, equals, starts with, regular expression), the case and the
// whole-word option. Compiling never throws; a pattern that cannot be used
// gives an error text instead.
#pragma once

#include "PlainSearch.h"
#include "Regex.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

enum TMatchKind : uint8_t { mkContains, mkEquals, mkStartsWith, mkRegularExpression };
enum TMatchResult : uint8_t { mrNo, mrYes, mrMore };

struct TMatchQuery {
    std::string Pattern;
    TMatchKind Kind = mkContains;
    bool MatchCase = false;
    bool WholeWord = false; // the match has no word character right before or after it
};

class TTextMatcher {
  public:
    static constexpr size_t kMaxPattern = TRegex::kMaxPattern;

    // False, with error set, when the pattern cannot be used; the matcher then
    // matches nothing.
    bool Compile(const TMatchQuery& query, std::string& error);
    bool Valid() const { return valid_; }
    bool Matches(std::string_view text) const;
    // Matches in steps: lowers `work` by what the test cost (units as
    // TRegex's) and, for a regular expression, stops with mrMore once it is
    // spent; called again with the same text and scan it goes on from there.
    // The plain kinds always finish. The scan must be reset for a new text.
    TMatchResult Matches(std::string_view text, TRegexScan& scan, size_t& work) const;

  private:
    bool Bounded(std::string_view text, size_t pos, size_t size) const;

    TMatchKind kind_ = mkContains;
    bool wholeWord_ = false;
    bool valid_ = false;
    TPlainSearch plain_;
    TRegex regex_;
};

} // namespace vx
