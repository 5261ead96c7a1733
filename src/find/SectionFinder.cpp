#include "SectionFinder.h"

#include "TimeColumns.h"

#include <algorithm>

namespace vx {

namespace {

// Moves the row numbers at or after `row` by delta in an ordered list.
void Shift(std::vector<uint32_t>& v, size_t row, int delta) {
    for (auto it = std::lower_bound(v.begin(), v.end(), uint32_t(row)); it != v.end(); ++it)
        *it = uint32_t(int64_t(*it) + delta);
}

// Removes one row number from an ordered list and closes the gap it leaves.
void RemoveRow(std::vector<uint32_t>& v, size_t row) {
    auto pos = std::lower_bound(v.begin(), v.end(), uint32_t(row));
    if (pos != v.end() && *pos == row) pos = v.erase(pos);
    for (; pos != v.end(); ++pos)
        --*pos;
}

// Takes the rows below `count` out of an ordered list; the rest move up by it.
void DropRows(std::vector<uint32_t>& v, size_t count) {
    v.erase(v.begin(), std::lower_bound(v.begin(), v.end(), uint32_t(count)));
    for (uint32_t& r : v)
        r -= uint32_t(count);
}

template <class V> void DropFront(V& v, size_t count) {
    v.erase(v.begin(), v.begin() + ptrdiff_t(std::min(count, v.size())));
}

} // namespace

// --- The rows shown ---

bool TSectionFinder::IsShown(size_t row) const {
    return row < rows_.Count() && rows_.IsShown(row) && !RuleHidden(row);
}

size_t TSectionFinder::VisibleCount() const {
    return OwnIndex() ? visible_.size() : rows_.VisibleCount();
}

size_t TSectionFinder::RowOfVisible(size_t visible) const {
    return OwnIndex() ? visible_[visible] : rows_.RowOfVisible(visible);
}

size_t TSectionFinder::VisibleOfRow(size_t row) const {
    if (!OwnIndex()) return rows_.VisibleOfRow(row);
    auto pos = std::lower_bound(visible_.begin(), visible_.end(), uint32_t(row));
    return pos != visible_.end() && *pos == row ? size_t(pos - visible_.begin()) : npos;
}

void TSectionFinder::RebuildIndex() {
    if (!OwnIndex()) {
        std::vector<uint32_t>().swap(visible_);
        return;
    }
    visible_.clear();
    size_t n = rows_.Count();
    visible_.reserve(n);
    for (size_t r = 0; r < n; ++r)
        if (rows_.IsShown(r) && !(outcomes_[r] & kRuleHidden)) visible_.push_back(uint32_t(r));
    visible_.shrink_to_fit();
}

void TSectionFinder::SetShown(size_t row, bool shown) {
    if (!OwnIndex()) return;
    auto pos = std::lower_bound(visible_.begin(), visible_.end(), uint32_t(row));
    bool listed = pos != visible_.end() && *pos == row;
    if (listed && !shown) visible_.erase(pos);
    if (!listed && shown) visible_.insert(pos, uint32_t(row));
}

// --- Slices of work ---

bool TSectionFinder::WorkRows(size_t rows) {
    size_t units = units_;
    // The rules first: find asks whether a row is shown.
    if (WorkLate(units)) WorkRules(rows);
    find_.Work(rows, units_);
    return !Busy();
}

bool TSectionFinder::WorkLate(size_t& units) {
    while (late_ != npos) {
        if (units == 0) return false;
        TRuleOutcome out;
        if (!rules_.Evaluate(rows_, late_, lateProgress_, units, out)) return false;
        outcomes_[late_] = out;
        // Undecided, it was listed nowhere; it is mostly the last row.
        if (OwnIndex() && IsShown(late_)) {
            if (visible_.empty() || visible_.back() < late_)
                visible_.push_back(uint32_t(late_));
            else
                SetShown(late_, true);
        }
        if (++late_ >= rows_.Count()) late_ = npos;
    }
    return true;
}

void TSectionFinder::LateGone(size_t count) {
    if (late_ == npos) return;
    if (late_ < count) {
        late_ = 0;
        lateProgress_.Reset();
    } else {
        late_ -= count;
    }
    if (late_ >= rows_.Count()) late_ = npos;
}

bool TSectionFinder::Work(std::chrono::microseconds budget) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + budget;
    // A few hundred rows take well under a millisecond with any usual pattern.
    constexpr size_t kStep = 512;
    // The slice ends early once the first match is known, so the window can
    // focus it while the user still types.
    bool seeking = find_.FirstHit().Pending;
    while (Busy() && Clock::now() < until) {
        WorkRows(kStep);
        if (seeking && !find_.FirstHit().Pending) break;
    }
    return !Busy();
}

double TSectionFinder::Progress() const {
    double sum = 0;
    int parts = 0;
    if (!find_.Complete()) {
        sum += find_.Progress();
        ++parts;
    }
    if (pending_ && rows_.Count() > 0) {
        sum += double(nextOutcomes_.size()) / double(rows_.Count());
        ++parts;
    }
    return parts ? sum / parts : 1.0;
}

// --- Find ---

bool TSectionFinder::StartFind(const std::string& text, const TFindOptions& options, size_t focused,
                               std::string& error) {
    bool ok = find_.Start(text, options, focused == npos ? 0 : focused);
    error = find_.Error();
    return ok;
}

TFindHit TSectionFinder::NextIn(const std::vector<uint32_t>& m, size_t from, bool forward) const {
    TFindHit hit;
    size_t split;
    if (from == npos)
        split = forward ? 0 : m.size();
    else if (forward)
        split = size_t(std::upper_bound(m.begin(), m.end(), uint32_t(from)) - m.begin());
    else
        split = size_t(std::lower_bound(m.begin(), m.end(), uint32_t(from)) - m.begin());
    auto take = [&](size_t i, bool wrapped) {
        if (!IsShown(m[i])) return false;
        hit.Row = m[i];
        hit.Wrapped = wrapped;
        return true;
    };
    if (forward) {
        for (size_t i = split; i < m.size(); ++i)
            if (take(i, false)) return hit;
        for (size_t i = 0; i < split; ++i)
            if (take(i, true)) return hit;
    } else {
        for (size_t i = split; i-- > 0;)
            if (take(i, false)) return hit;
        for (size_t i = m.size(); i-- > split;)
            if (take(i, true)) return hit;
    }
    return hit;
}

TFindHit TSectionFinder::FindNext(size_t from, bool forward) const {
    TFindHit hit;
    if (!find_.Active()) return hit;
    if (!find_.Complete()) {
        hit.Pending = true;
        return hit;
    }
    return NextIn(find_.Matches(), from, forward);
}

TMatchCount TSectionFinder::MatchCount(size_t focused) const {
    TMatchCount c;
    if (!find_.Active()) return c;
    const std::vector<uint32_t>* parts[2] = {&find_.Head(), &find_.Matches()};
    bool focusedMatches = focused != npos && IsShown(focused) && find_.IsMatch(focused);
    if (VisibleCount() == rows_.Count()) {
        // Nothing hidden: counting is searching.
        c.Total = find_.MatchesSoFar();
        if (focusedMatches) {
            const auto& head = find_.Head();
            const auto& tail = find_.Matches();
            if (!head.empty() && focused <= head.back())
                c.Index = size_t(std::lower_bound(head.begin(), head.end(), uint32_t(focused)) -
                                 head.begin());
            else
                c.Index = head.size() +
                          size_t(std::lower_bound(tail.begin(), tail.end(), uint32_t(focused)) -
                                 tail.begin());
            ++c.Index;
        }
        return c;
    }
    for (const auto* v : parts)
        for (uint32_t r : *v) {
            if (!IsShown(r)) continue;
            ++c.Total;
            if (focusedMatches && r == focused) c.Index = c.Total;
        }
    return c;
}

// --- Rules ---

bool TSectionFinder::SetRules(const std::vector<TFindRule>& rules, std::string& error) {
    TRuleSet set;
    if (!set.Assign(rules, error)) return false;
    next_ = std::move(set);
    pending_ = true;
    RestartPending();
    WorkRules(0); // no rules, or no rows: in effect at once
    return true;
}

const std::vector<TFindRule>& TSectionFinder::Rules() const {
    return pending_ ? next_.Rules() : rules_.Rules();
}

void TSectionFinder::RestartPending() {
    progress_.Reset();
    nextOutcomes_.clear();
    nextOutcomes_.reserve(rows_.Count()); // rows that come later grow it geometrically
}

bool TSectionFinder::WorkRules(size_t budget) {
    if (!pending_) return true;
    size_t n = rows_.Count();
    if (!next_.Empty()) {
        size_t stop = std::min(n, nextOutcomes_.size() + budget);
        size_t units = units_;
        TRuleOutcome out;
        for (size_t r = nextOutcomes_.size(); r < stop && units > 0; ++r) {
            if (!next_.Evaluate(rows_, r, progress_, units, out)) break; // goes on next time
            nextOutcomes_.push_back(out);
        }
        if (nextOutcomes_.size() < n) return false;
    } else {
        nextOutcomes_.clear();
    }
    rules_ = std::move(next_);
    next_ = TRuleSet();
    late_ = npos; // every row decided by the new rules
    lateProgress_.Reset();
    outcomes_.swap(nextOutcomes_);
    std::vector<TRuleOutcome>().swap(nextOutcomes_);
    pending_ = false;
    RebuildIndex();
    return true;
}

std::optional<THighlight> TSectionFinder::Highlight(size_t row) const {
    if (row >= outcomes_.size()) return std::nullopt;
    const TFindRule* r = rules_.Highlight(outcomes_[row]);
    if (!r) return std::nullopt;
    return THighlight{r->TextColor, r->BackColor};
}

// --- Bookmarks ---

bool TSectionFinder::IsBookmarked(size_t row) const {
    if (row >= rows_.Count()) return false;
    return RuleMarked(row) != std::binary_search(toggled_.begin(), toggled_.end(), uint32_t(row));
}

void TSectionFinder::ToggleBookmark(size_t row) {
    if (row >= rows_.Count()) return;
    auto pos = std::lower_bound(toggled_.begin(), toggled_.end(), uint32_t(row));
    if (pos != toggled_.end() && *pos == row)
        toggled_.erase(pos);
    else
        toggled_.insert(pos, uint32_t(row));
}

TFindHit TSectionFinder::NextBookmark(size_t from, bool forward) const {
    TFindHit hit;
    size_t n = rows_.Count();
    if (n == 0) return hit;
    if (from >= n) from = npos;
    if (!rules_.Marks()) return NextIn(toggled_, from, forward); // only the user's own
    // Bookmark rules mark rows too: go through the rows themselves.
    for (size_t k = 1; k <= n; ++k) {
        size_t r;
        bool wrapped;
        if (from == npos) {
            r = forward ? k - 1 : n - k;
            wrapped = false;
        } else if (forward) {
            r = (from + k) % n;
            wrapped = r <= from;
        } else {
            r = (from + n - k) % n;
            wrapped = r >= from;
        }
        if (IsBookmarked(r) && IsShown(r)) {
            hit.Row = r;
            hit.Wrapped = wrapped;
            return hit;
        }
    }
    return hit;
}

// --- Time columns ---

std::optional<int64_t> TSectionFinder::MsSincePrevious(size_t row) const {
    size_t v = IsShown(row) ? VisibleOfRow(row) : npos;
    if (v == npos || v == 0) return std::nullopt;
    return ElapsedMs(rows_.Record(RowOfVisible(v - 1)).Time, rows_.Record(row).Time);
}

std::optional<int64_t> TSectionFinder::MsSinceFirst(size_t row) const {
    if (!IsShown(row) || VisibleCount() == 0) return std::nullopt;
    return ElapsedMs(rows_.Record(RowOfVisible(0)).Time, rows_.Record(row).Time);
}

// --- Row changes ---
// The rules go first: find asks whether a row is shown, and that needs the
// row's rule outcome.

void TSectionFinder::RowAppended(size_t row) {
    if (!rules_.Empty()) {
        // A long row is decided as far as a slice would go, and stays hidden
        // until Work has decided it; rows after it wait their turn.
        outcomes_.push_back(kRuleHidden);
        if (late_ == npos) {
            late_ = row;
            size_t units = units_;
            WorkLate(units); // keeps the own index in step
        }
    }
    find_.RowAppended(row);
}

void TSectionFinder::RowInserted(size_t row) {
    if (!rules_.Empty()) {
        bool undecided = late_ != npos && row > late_; // WorkLate comes to it
        outcomes_.insert(outcomes_.begin() + ptrdiff_t(row),
                         undecided ? kRuleHidden : rules_.Evaluate(rows_, row));
        if (late_ != npos && row <= late_) ++late_;
    }
    Shift(toggled_, row, +1);
    if (OwnIndex()) {
        Shift(visible_, row, +1);
        SetShown(row, IsShown(row));
    }
    // The rules being applied keep their place: only the new row is tested.
    if (pending_ && row <= nextOutcomes_.size())
        nextOutcomes_.insert(nextOutcomes_.begin() + ptrdiff_t(row), next_.Evaluate(rows_, row));
    find_.RowInserted(row);
}

void TSectionFinder::RowErased(size_t row) {
    if (!outcomes_.empty()) outcomes_.erase(outcomes_.begin() + ptrdiff_t(row));
    if (late_ != npos && row == late_) lateProgress_.Reset(); // the next row takes its place
    LateGone(late_ != npos && row < late_ ? 1 : 0);
    RemoveRow(toggled_, row);
    if (OwnIndex()) RemoveRow(visible_, row);
    if (pending_ && row < nextOutcomes_.size())
        nextOutcomes_.erase(nextOutcomes_.begin() + ptrdiff_t(row));
    else if (pending_ && row == nextOutcomes_.size())
        progress_.Reset(); // the row being evaluated went
    find_.RowErased(row);
}

void TSectionFinder::RowsDropped(size_t count) {
    DropFront(outcomes_, count);
    LateGone(count);
    DropRows(toggled_, count);
    if (OwnIndex()) DropRows(visible_, count);
    if (pending_) {
        if (count > nextOutcomes_.size()) progress_.Reset(); // the row being evaluated went
        DropFront(nextOutcomes_, count);
    }
    find_.RowsDropped(count);
}

void TSectionFinder::RowEdited(size_t row) {
    if (late_ != npos && row >= late_) {
        if (row == late_) lateProgress_.Reset(); // decided anew
    } else if (!rules_.Empty()) {
        outcomes_[row] = rules_.Evaluate(rows_, row);
    }
    SetShown(row, IsShown(row));
    if (pending_ && row < nextOutcomes_.size()) nextOutcomes_[row] = next_.Evaluate(rows_, row);
    if (pending_ && row == nextOutcomes_.size()) progress_.Reset(); // evaluated anew
    find_.RowEdited(row);
}

void TSectionFinder::RowsCleared() {
    outcomes_.clear();
    late_ = npos;
    lateProgress_.Reset();
    rules_.ForgetNames();
    next_.ForgetNames();
    toggled_.clear();
    std::vector<uint32_t>().swap(visible_);
    if (pending_) RestartPending();
    find_.RowsCleared();
}

void TSectionFinder::GroupShown() {
    RebuildIndex();
}

} // namespace vx
