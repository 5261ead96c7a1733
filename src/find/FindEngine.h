// Find over a section's rows: which rows match the find text, in row order,
// found by a scan that runs in slices so a window stays responsive. The scan
// starts at the focused row and wraps, so the first match at or after it is
// known after the first slice that reaches it; rows that arrive later are
// tested as they come, never by scanning again.
#pragma once

#include "RowFields.h"
#include "TextMatcher.h"
#include "sections/RowStore.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vx {

// Where find looks; or-ed together.
enum TFindWhere : unsigned {
    fwMessage = 1u << 0,
    fwSource = 1u << 1, // unit and procedure names
    fwData = 1u << 2,   // the attached data as text
};

struct TFindOptions {
    bool MatchCase = false;
    bool WholeWord = false;
    bool RegularExpression = false;
    unsigned Where = fwMessage;
};

// Which rows the list shows; find reports only shown rows as its first match.
struct IRowVisibility {
    virtual ~IRowVisibility() = default;
    virtual bool IsShown(size_t row) const = 0;
};

struct TFindHit {
    static constexpr size_t npos = size_t(-1);
    size_t Row = npos;    // npos: no match (or not known yet)
    bool Wrapped = false; // the match lies before the starting row: the search went round
    bool Pending = false; // the scan has not got far enough yet: ask again after Work
};

class TFindEngine {
  public:
    static constexpr size_t npos = size_t(-1);

    TFindEngine(const TDebugRowStore& rows, const IRowVisibility& shown)
        : rows_(rows), shown_(shown) {}

    // Starts finding text from row `anchor` (npos: the first row). An empty
    // text stops find. A pattern that cannot be used stops find too, returns
    // false and leaves its text in Error().
    bool Start(const std::string& text, const TFindOptions& options, size_t anchor);
    void Stop();
    bool Active() const { return active_; }
    const std::string& Error() const { return error_; }
    const std::string& Text() const { return text_; }
    const TFindOptions& Options() const { return options_; }

    // Work units one call of Work spends at most (as TRegex counts them),
    // about a millisecond or two whatever the rows hold.
    static constexpr size_t kWorkUnits = size_t(1) << 20;

    // Tests up to `budget` more rows, and stops sooner once about `units` of
    // work are spent: a row whose long text is not done yet is taken up where
    // it stopped by the next call. True when every row has been tested.
    bool Work(size_t budget, size_t units = kWorkUnits);
    bool Complete() const { return !active_ || (phase_ == kDone && late_ == npos); }
    // The work a row that arrives after the scan has passed the end is tested
    // with at once; what it does not finish is left to Work.
    void SetArrivalUnits(size_t units) { arrivalUnits_ = units; }
    size_t RowsTested() const;
    double Progress() const;

    // The first shown match at or after the anchor, going round to the top.
    TFindHit FirstHit() const;
    bool IsMatch(size_t row) const;
    size_t MatchesSoFar() const { return head_.size() + matches_.size(); }
    // The matching rows found so far, shown or not: Head() then Matches() is
    // in row order. Once Complete(), Head() is empty and Matches() holds all.
    const std::vector<uint32_t>& Head() const { return head_; }
    const std::vector<uint32_t>& Matches() const { return matches_; }

    // Whether one row matches now (tests it, whatever the scan has done).
    bool RowMatches(size_t row);

    // Row changes, as a store's listener hears them.
    void RowAppended(size_t row);
    void RowInserted(size_t row);
    void RowsDropped(size_t count); // the oldest `count` rows went
    void RowErased(size_t row);
    void RowEdited(size_t row);
    void RowsCleared();

  private:
    enum TPhase { kTail, kHead, kDone }; // anchor to end, top to anchor, finished
    void Restart();
    void Found(size_t row, bool wrapped);
    // How far the test of one row has got: the field (message, names, data)
    // and the search in it.
    struct TRowScan {
        uint8_t Part = 0;
        TRegexScan Scan;
        void Reset() {
            Part = 0;
            Scan.Reset();
        }
    };
    // Tests a row from where its test stopped, within `units`.
    TMatchResult TestRow(size_t row, TRowScan& scan, size_t& units);
    // Tests the rows from late_ on; false when the units ran out first.
    bool WorkLate(size_t& units);
    void LateGone(size_t count); // `count` rows before late_ went

    const TDebugRowStore& rows_;
    const IRowVisibility& shown_;
    TTextMatcher matcher_;
    TNameAnswers names_;
    std::string text_;
    std::string error_;
    TFindOptions options_;
    bool active_ = false;
    TPhase phase_ = kDone;
    size_t anchor_ = 0;
    size_t next_ = 0;               // next row to test in the current phase
    std::vector<uint32_t> matches_; // rows >= anchor_ in order; all rows once done
    std::vector<uint32_t> head_;    // rows < anchor_ while the scan runs
    size_t firstHit_ = npos;
    bool firstWrapped_ = false;
    TRowScan scan_; // of row next_
    // Rows that arrived after the scan passed the end and whose test did not
    // finish at once: all rows from late_ on (npos: none), the first of them
    // tested as far as lateScan_ says.
    size_t late_ = npos;
    TRowScan lateScan_;
    size_t arrivalUnits_ = kWorkUnits;
};

} // namespace vx
