#include "FindEngine.h"

#include <algorithm>

namespace vx {

bool TFindEngine::Start(const std::string& text, const TFindOptions& options, size_t anchor) {
    Stop();
    text_ = text;
    options_ = options;
    if (text.empty()) return true;
    TMatchQuery query;
    query.Pattern = text;
    query.Kind = options.RegularExpression ? mkRegularExpression : mkContains;
    query.MatchCase = options.MatchCase;
    query.WholeWord = options.WholeWord;
    if (!matcher_.Compile(query, error_)) return false;
    active_ = true;
    anchor_ = anchor;
    Restart();
    return true;
}

void TFindEngine::Stop() {
    active_ = false;
    error_.clear();
    matches_.clear();
    head_.clear();
    names_.Forget();
    phase_ = kDone;
    firstHit_ = npos;
    late_ = npos;
    lateScan_.Reset();
}

void TFindEngine::Restart() {
    matches_.clear();
    head_.clear();
    if (anchor_ >= rows_.Count()) anchor_ = 0;
    phase_ = kTail;
    next_ = anchor_;
    firstHit_ = npos;
    firstWrapped_ = false;
    scan_.Reset();
    late_ = npos; // the tail phase reaches every row
    lateScan_.Reset();
}

bool TFindEngine::RowMatches(size_t row) {
    if (!active_ || row >= rows_.Count()) return false;
    const TRowRecord& r = rows_.Record(row);
    unsigned where = options_.Where;
    if ((where & fwMessage) && matcher_.Matches(rows_.Text(row))) return true;
    if (where & fwSource) {
        if (names_.Matches(matcher_, r.UnitName, rows_.UnitName(row))) return true;
        if (names_.Matches(matcher_, r.ProcName, rows_.ProcName(row))) return true;
    }
    return (where & fwData) && matcher_.Matches(RowDataText(r));
}

TMatchResult TFindEngine::TestRow(size_t row, TRowScan& scan, size_t& units) {
    const TRowRecord& r = rows_.Record(row);
    unsigned where = options_.Where;
    TMatchResult m = mrNo;
    if (scan.Part == 0) {
        if (where & fwMessage) m = matcher_.Matches(rows_.Text(row), scan.Scan, units);
        if (m != mrNo) return m;
        scan.Part = 1;
        scan.Scan.Reset();
    }
    if (scan.Part == 1) {
        if ((where & fwSource) &&
            (names_.Matches(matcher_, r.UnitName, rows_.UnitName(row), units) ||
             names_.Matches(matcher_, r.ProcName, rows_.ProcName(row), units)))
            return mrYes;
        scan.Part = 2;
    }
    if (where & fwData) return matcher_.Matches(RowDataText(r), scan.Scan, units);
    return mrNo;
}

bool TFindEngine::WorkLate(size_t& units) {
    while (late_ != npos) {
        if (units == 0) return false;
        TMatchResult m = TestRow(late_, lateScan_, units);
        if (m == mrMore) return false;
        lateScan_.Reset();
        if (m == mrYes) {
            matches_.push_back(uint32_t(late_)); // after every row tested before it
            Found(late_, false);
        }
        if (++late_ >= rows_.Count()) late_ = npos;
    }
    return true;
}

void TFindEngine::LateGone(size_t count) {
    if (late_ == npos) return;
    if (late_ < count) {
        late_ = 0;
        lateScan_.Reset();
    } else {
        late_ -= count;
    }
    if (late_ >= rows_.Count()) late_ = npos;
}

void TFindEngine::Found(size_t row, bool wrapped) {
    if (firstHit_ == npos && shown_.IsShown(row)) {
        firstHit_ = row;
        firstWrapped_ = wrapped;
    }
}

bool TFindEngine::Work(size_t budget, size_t units) {
    if (Complete()) return true;
    if (!WorkLate(units)) return false;
    while (budget > 0 && units > 0 && phase_ != kDone) {
        // The tail phase runs to the current end, so rows added meanwhile are
        // tested by it.
        size_t end = phase_ == kTail ? rows_.Count() : anchor_;
        size_t stop = std::min(end, next_ + budget);
        auto& into = phase_ == kTail ? matches_ : head_;
        size_t begin = next_;
        for (; next_ < stop && units > 0; ++next_) {
            TMatchResult m = TestRow(next_, scan_, units);
            if (m == mrMore) break; // the row's test goes on in the next call
            scan_.Reset();
            if (m == mrYes) {
                into.push_back(uint32_t(next_));
                Found(next_, phase_ == kHead);
            }
        }
        budget -= next_ - begin;
        if (next_ < end) break; // budget used up
        if (phase_ == kTail) {
            phase_ = kHead;
            next_ = 0;
        } else {
            // All rows tested: one ordered list from here on.
            head_.insert(head_.end(), matches_.begin(), matches_.end());
            matches_.swap(head_);
            std::vector<uint32_t>().swap(head_);
            anchor_ = 0;
            phase_ = kDone;
        }
    }
    return Complete();
}

size_t TFindEngine::RowsTested() const {
    if (!active_) return 0;
    size_t untested = late_ == npos ? 0 : rows_.Count() - late_;
    if (phase_ == kDone) return rows_.Count() - untested;
    if (phase_ == kTail) return next_ - anchor_;
    return rows_.Count() - anchor_ + next_ - untested;
}

double TFindEngine::Progress() const {
    size_t n = rows_.Count();
    return Complete() || n == 0 ? 1.0 : double(RowsTested()) / double(n);
}

TFindHit TFindEngine::FirstHit() const {
    TFindHit hit;
    if (!active_) return hit;
    if (firstHit_ != npos) {
        hit.Row = firstHit_;
        hit.Wrapped = firstWrapped_;
        return hit;
    }
    hit.Pending = !Complete();
    return hit;
}

bool TFindEngine::IsMatch(size_t row) const {
    if (!active_) return false;
    const auto& in = phase_ != kDone && row < anchor_ ? head_ : matches_;
    return std::binary_search(in.begin(), in.end(), uint32_t(row));
}

void TFindEngine::RowAppended(size_t row) {
    // While the tail runs, the scan reaches the new row itself.
    if (!active_ || phase_ == kTail) return;
    if (late_ != npos) return; // tested after the rows before it
    // A long row is tested as far as a slice would go; Work goes on with it.
    size_t units = arrivalUnits_;
    late_ = row;
    WorkLate(units); // after the anchor, like every new row
}

void TFindEngine::RowInserted(size_t row) {
    if (!active_) return;
    if (phase_ != kDone) {
        Restart();
        return;
    }
    auto pos = std::lower_bound(matches_.begin(), matches_.end(), uint32_t(row));
    for (auto it = pos; it != matches_.end(); ++it)
        ++*it;
    if (firstHit_ != npos && firstHit_ >= row) ++firstHit_;
    if (late_ != npos && row > late_) return; // among the rows still to test
    if (late_ != npos) ++late_;
    if (RowMatches(row)) matches_.insert(pos, uint32_t(row));
}

void TFindEngine::RowErased(size_t row) {
    if (!active_) return;
    if (phase_ != kDone) {
        if (anchor_ > row) --anchor_;
        Restart();
        return;
    }
    auto pos = std::lower_bound(matches_.begin(), matches_.end(), uint32_t(row));
    if (pos != matches_.end() && *pos == row) pos = matches_.erase(pos);
    for (auto it = pos; it != matches_.end(); ++it)
        --*it;
    if (late_ != npos && row == late_) lateScan_.Reset(); // the next row takes its place
    LateGone(late_ != npos && row < late_ ? 1 : 0);
    if (firstHit_ == row)
        firstHit_ = npos;
    else if (firstHit_ != npos && firstHit_ > row)
        --firstHit_;
}

void TFindEngine::RowsDropped(size_t count) {
    if (!active_) return;
    if (phase_ != kDone) {
        anchor_ = anchor_ > count ? anchor_ - count : 0;
        Restart();
        return;
    }
    auto keep = std::lower_bound(matches_.begin(), matches_.end(), uint32_t(count));
    matches_.erase(matches_.begin(), keep);
    for (uint32_t& m : matches_)
        m -= uint32_t(count);
    LateGone(count);
    if (firstHit_ != npos) firstHit_ = firstHit_ < count ? npos : firstHit_ - count;
}

void TFindEngine::RowEdited(size_t row) {
    if (!active_) return;
    if (phase_ != kDone) {
        Restart();
        return;
    }
    if (late_ != npos && row >= late_) {
        if (row == late_) lateScan_.Reset(); // tested anew
        return;
    }
    auto pos = std::lower_bound(matches_.begin(), matches_.end(), uint32_t(row));
    bool was = pos != matches_.end() && *pos == row;
    bool now = RowMatches(row);
    if (was && !now) matches_.erase(pos);
    if (!was && now) matches_.insert(pos, uint32_t(row));
}

void TFindEngine::RowsCleared() {
    names_.Forget();
    if (!active_) return;
    anchor_ = 0;
    Restart();
}

} // namespace vx
