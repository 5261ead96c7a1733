// A section's rules: an ordered list, each testing one field of a row and
// acting on the rows it matches. Include rules show only the rows that match
// at least one of them, exclude rules hide, highlight rules colour a row (the
// first matching one in the list wins) and bookmark rules mark it.
#pragma once

#include "RowFields.h"
#include "TextMatcher.h"
#include "platform/Platform.h"
#include "sections/RowStore.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

enum TRuleAction : uint8_t { raInclude, raExclude, raHighlight, raBookmark };

struct TFindRule {
    TRowField Field = rfMessage;
    TMatchKind Match = mkContains;
    bool MatchCase = false;
    std::string Pattern;
    TRuleAction Action = raHighlight;
    TColor TextColor = 0x000000; // highlight only
    TColor BackColor = 0x00FFFF;
    bool Enabled = true; // a disabled rule is kept in the list but decides nothing
    bool operator==(const TFindRule&) const = default;
};

// What the rules decided for one row, in 16 bits so a million rows cost 2 MB.
using TRuleOutcome = uint16_t;
inline constexpr TRuleOutcome kRuleHidden = 0x8000;
inline constexpr TRuleOutcome kRuleBookmark = 0x4000;
inline constexpr TRuleOutcome kRuleHighlightMask = 0x3FFF; // highlight rule index + 1; 0 none

// How far the rules have got with one row, for an evaluation in steps.
struct TRuleProgress {
    uint8_t Stage = 0; // excludes, includes, highlights, bookmarks
    uint8_t Index = 0; // into the stage's rules
    TRuleOutcome Out = 0;
    TRegexScan Scan;
    void Reset() {
        Stage = Index = 0;
        Out = 0;
        Scan.Reset();
    }
};

class TRuleSet {
  public:
    static constexpr size_t kMaxRules = 100;

    // Compiles the rules in their order, the disabled ones too (so that
    // enabling one later cannot fail). On a bad rule returns false with
    // error naming it ("Rule 2: ...") and keeps the rules it had.
    bool Assign(const std::vector<TFindRule>& rules, std::string& error);
    const std::vector<TFindRule>& Rules() const { return rules_; }
    // No rule in effect (there may be disabled ones).
    bool Empty() const { return !active_; }
    bool Filters() const { return filters_; }      // has include or exclude rules
    bool Marks() const { return !marks_.empty(); } // has bookmark rules

    TRuleOutcome Evaluate(const TDebugRowStore& rows, size_t row);
    // The same in steps: lowers `units` by the work done (as TRegex counts
    // it) and returns false once it is spent before the row is decided; the
    // next call with the same row and progress goes on from there. On true,
    // `out` holds the outcome and the progress is reset for the next row.
    bool Evaluate(const TDebugRowStore& rows, size_t row, TRuleProgress& progress, size_t& units,
                  TRuleOutcome& out);
    // The highlight rule an outcome names, or null.
    const TFindRule* Highlight(TRuleOutcome outcome) const;
    // The store cleared its names.
    void ForgetNames();

  private:
    struct TCompiled {
        TTextMatcher Matcher;
        TNameAnswers Names;
        std::array<bool, 256> ByValue{}; // group and kind rules: the answer per value
    };
    TMatchResult Test(size_t i, const TDebugRowStore& rows, size_t row, TRegexScan& scan,
                      size_t& units);

    std::vector<TFindRule> rules_;
    std::vector<TCompiled> compiled_;
    std::vector<uint8_t> excludes_, includes_, marks_; // indexes by action, in order
    std::vector<uint8_t> highlights_;
    bool filters_ = false;
    bool active_ = false; // some rule is enabled
};

// Why a rule cannot be used (empty when it can): an unknown field or action,
// an empty pattern, or a pattern that does not compile.
std::string RuleProblem(const TFindRule& rule);

} // namespace vx
