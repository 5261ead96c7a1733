// Find, rules and bookmarks of one section, on top of its row store.
//
// How a section uses it:
// - It builds one TSectionFinder over the section's rows and makes it the
//   store's listener (TSectionCore::SetRowListener), so every append, insert,
//   edit, delete, clear and group filter reaches it as it happens.
// - The debug list then reads its rows through VisibleCount / RowOfVisible /
//   VisibleOfRow: a row is shown when the group filter and the rules both
//   let it through. IsMatch, Highlight and IsBookmarked mark rows as they
//   are painted.
// - StartFind and SetRules only prepare; Work does the scanning in slices.
//   The window calls Work() from its idle time or a timer until it
//   returns true, shows Progress() meanwhile, and after each slice focuses
//   FirstHit() once it is known (the match as the user types).
// - FindNext, the counts and the bookmark moves answer at once; while a find
//   scan is unfinished FindNext says Pending and is asked again later.
#pragma once

#include "FindEngine.h"
#include "Rules.h"
#include "sections/RowStore.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx {

struct THighlight {
    TColor TextColor = 0;
    TColor BackColor = 0;
};

// "N of M matches": N counts from 1, 0 when the row is no match.
struct TMatchCount {
    size_t Index = 0;
    size_t Total = 0;
};

class TSectionFinder : public IRowStoreListener, public IRowVisibility {
  public:
    static constexpr size_t npos = size_t(-1);
    // How long one slice of Work may take at most (a little over, a row at most).
    static constexpr std::chrono::microseconds kWorkSlice{20000};

    explicit TSectionFinder(const TDebugRowStore& rows) : rows_(rows), find_(rows, *this) {}
    TSectionFinder(const TSectionFinder&) = delete;
    TSectionFinder& operator=(const TSectionFinder&) = delete;

    // --- The rows shown ---
    bool IsShown(size_t row) const override;
    size_t VisibleCount() const;
    size_t RowOfVisible(size_t visible) const;
    size_t VisibleOfRow(size_t row) const; // npos when hidden

    // --- Slices of work ---
    // Tests rows for find and the rules for about `budget`, or until find's
    // first match becomes known; true when nothing is left. Slices are timed,
    // not counted, since a row's cost depends on the patterns and on the size
    // of its data.
    bool Work(std::chrono::microseconds budget = kWorkSlice);
    // Tests at most `rows` rows for each, and stops each once about
    // TFindEngine::kWorkUnits of work are spent (a long row then goes on in
    // the next call); true when nothing is left.
    bool WorkRows(size_t rows);
    bool Busy() const { return !find_.Complete() || pending_ || late_ != npos; }
    // The work units of one step of find and of the rules, also of the test
    // a row gets when it arrives (TFindEngine::kWorkUnits unless told).
    void SetWorkUnits(size_t units) {
        units_ = units;
        find_.SetArrivalUnits(units);
    }
    double Progress() const;

    // --- Find ---
    // Starts finding text from `focused` (npos: the top). False, with the
    // error text, for a bad regular expression; find is then off.
    bool StartFind(const std::string& text, const TFindOptions& options, size_t focused,
                   std::string& error);
    void StopFind() { find_.Stop(); }
    const TFindEngine& Find() const { return find_; }
    TFindHit FirstHit() const { return find_.FirstHit(); }
    // The next (or previous) shown match after `from`, going round the ends.
    TFindHit FindNext(size_t from, bool forward) const;
    bool IsMatch(size_t row) const { return find_.IsMatch(row); }
    // Counted over shown rows; Total counts the matches found so far.
    TMatchCount MatchCount(size_t focused) const;

    // --- Rules ---
    // Compiles the rules; they take effect when Work has applied them to every
    // row (at once when there are none). False, with the error, for a bad rule.
    bool SetRules(const std::vector<TFindRule>& rules, std::string& error);
    const std::vector<TFindRule>& Rules() const;
    bool RulesPending() const { return pending_; }
    std::optional<THighlight> Highlight(size_t row) const;

    // --- Bookmarks ---
    bool IsBookmarked(size_t row) const;
    void ToggleBookmark(size_t row);
    // The next (or previous) shown bookmark after `from`, going round the ends.
    TFindHit NextBookmark(size_t from, bool forward) const;

    // --- Time columns, in milliseconds: from the previous shown row and from
    // the first shown row. None for a hidden row, the first row, or times that
    // are no valid dates.
    std::optional<int64_t> MsSincePrevious(size_t row) const;
    std::optional<int64_t> MsSinceFirst(size_t row) const;

    // IRowStoreListener
    void RowAppended(size_t row) override;
    void RowInserted(size_t row) override;
    void RowErased(size_t row) override;
    void RowsDropped(size_t count) override;
    void RowEdited(size_t row) override;
    void RowsCleared() override;
    void GroupShown() override;

  private:
    bool RuleHidden(size_t row) const {
        return row < outcomes_.size() && (outcomes_[row] & kRuleHidden);
    }
    bool RuleMarked(size_t row) const {
        return row < outcomes_.size() && (outcomes_[row] & kRuleBookmark);
    }
    // The first shown row of an ordered list after (or before) `from`, going round.
    TFindHit NextIn(const std::vector<uint32_t>& rows, size_t from, bool forward) const;
    bool OwnIndex() const { return rules_.Filters(); }
    void RebuildIndex();
    void RestartPending();
    bool WorkRules(size_t budget);
    // Decides the rules for rows from late_ on; false when the units ran out.
    bool WorkLate(size_t& units);
    void LateGone(size_t count);           // `count` rows before late_ went
    void SetShown(size_t row, bool shown); // keeps the own index in step for one row

    const TDebugRowStore& rows_;
    TFindEngine find_;
    TRuleSet rules_;                     // in effect
    std::vector<TRuleOutcome> outcomes_; // per row; empty while there are no rules
    TRuleSet next_;                      // being applied by Work
    std::vector<TRuleOutcome> nextOutcomes_;
    TRuleProgress progress_; // of the row nextOutcomes_.size()
    // Rows that arrived while rules are in effect and whose rules did not
    // finish at once: all rows from late_ on (npos: none). They stay hidden
    // until decided; the first is as far as lateProgress_ says.
    size_t late_ = npos;
    TRuleProgress lateProgress_;
    size_t units_ = TFindEngine::kWorkUnits;
    bool pending_ = false;
    std::vector<uint32_t> visible_; // shown rows, while the rules filter
    std::vector<uint32_t> toggled_; // rows whose bookmark the user flipped, in order
};

} // namespace vx
