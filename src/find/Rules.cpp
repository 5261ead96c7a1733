#include "Rules.h"

#include <algorithm>

namespace vx {

namespace {

// Checks the rule and compiles its pattern into m; the problem, or empty.
std::string Prepare(const TFindRule& r, TTextMatcher& m) {
    if (r.Field >= kRowFieldCount) return "unknown field";
    if (r.Action > raBookmark) return "unknown action";
    // An empty text would match every row (or, for equals, only empty ones,
    // which a regular expression says plainly): almost surely a slip.
    if (r.Pattern.empty()) return "the pattern is empty";
    std::string why;
    m.Compile(TMatchQuery{r.Pattern, r.Match, r.MatchCase, false}, why);
    return why;
}

} // namespace

std::string RuleProblem(const TFindRule& rule) {
    TTextMatcher m;
    return Prepare(rule, m);
}

bool TRuleSet::Assign(const std::vector<TFindRule>& rules, std::string& error) {
    error.clear();
    if (rules.size() > kMaxRules) {
        error = "At most " + std::to_string(kMaxRules) + " rules";
        return false;
    }
    std::vector<TCompiled> compiled(rules.size());
    for (size_t i = 0; i < rules.size(); ++i) {
        const TFindRule& r = rules[i];
        std::string why = Prepare(r, compiled[i].Matcher);
        if (!why.empty()) {
            error = "Rule " + std::to_string(i + 1) + ": " + why;
            return false;
        }
        if (r.Field == rfGroup || r.Field == rfKind)
            for (int v = 0; v < 256; ++v)
                compiled[i].ByValue[size_t(v)] = compiled[i].Matcher.Matches(
                    r.Field == rfGroup ? GroupText(uint8_t(v)) : KindText(uint8_t(v)));
    }
    rules_ = rules;
    compiled_ = std::move(compiled);
    excludes_.clear();
    includes_.clear();
    marks_.clear();
    highlights_.clear();
    active_ = false;
    for (size_t i = 0; i < rules_.size(); ++i) {
        if (!rules_[i].Enabled) continue;
        active_ = true;
        switch (rules_[i].Action) {
        case raInclude:
            includes_.push_back(uint8_t(i));
            break;
        case raExclude:
            excludes_.push_back(uint8_t(i));
            break;
        case raHighlight:
            highlights_.push_back(uint8_t(i));
            break;
        case raBookmark:
            marks_.push_back(uint8_t(i));
            break;
        }
    }
    // Any match decides an include, exclude or bookmark, so those are tried
    // cheapest first; highlights keep their order, since the first one wins.
    auto cost = [&](uint8_t i) {
        const TFindRule& r = rules_[i];
        if (r.Field == rfGroup || r.Field == rfKind) return 0;
        if (r.Field == rfUnitName || r.Field == rfProcName) return 1;
        if (r.Match == mkEquals || r.Match == mkStartsWith) return 2;
        return r.Match == mkRegularExpression ? 4 : 3;
    };
    auto byCost = [&](uint8_t a, uint8_t b) { return cost(a) < cost(b); };
    std::stable_sort(excludes_.begin(), excludes_.end(), byCost);
    std::stable_sort(includes_.begin(), includes_.end(), byCost);
    std::stable_sort(marks_.begin(), marks_.end(), byCost);
    filters_ = !includes_.empty() || !excludes_.empty();
    return true;
}

TMatchResult TRuleSet::Test(size_t i, const TDebugRowStore& rows, size_t row, TRegexScan& scan,
                            size_t& units) {
    TCompiled& c = compiled_[i];
    const TRowRecord& r = rows.Record(row);
    auto answer = [](bool yes) { return yes ? mrYes : mrNo; };
    switch (rules_[i].Field) {
    case rfMessage:
        return c.Matcher.Matches(rows.Text(row), scan, units);
    case rfUnitName:
        return answer(c.Names.Matches(c.Matcher, r.UnitName, rows.UnitName(row), units));
    case rfProcName:
        return answer(c.Names.Matches(c.Matcher, r.ProcName, rows.ProcName(row), units));
    case rfDataText:
        return c.Matcher.Matches(RowDataText(r), scan, units);
    case rfGroup:
        return answer(c.ByValue[r.Group]);
    case rfKind:
        return answer(c.ByValue[r.Kind]);
    }
    return mrNo;
}

TRuleOutcome TRuleSet::Evaluate(const TDebugRowStore& rows, size_t row) {
    TRuleProgress progress;
    size_t units = size_t(-1);
    TRuleOutcome out = 0;
    Evaluate(rows, row, progress, units, out);
    return out;
}

bool TRuleSet::Evaluate(const TDebugRowStore& rows, size_t row, TRuleProgress& p, size_t& units,
                        TRuleOutcome& out) {
    // Excludes hide at their first match; an include lets the row on to the
    // highlights at its first match, and none hides it. A hidden row needs no
    // colour nor mark, so those are only decided after. The first matching
    // highlight wins; any bookmark rule marks.
    const std::vector<uint8_t>* stages[4] = {&excludes_, &includes_, &highlights_, &marks_};
    auto finish = [&](TRuleOutcome o) {
        out = o;
        p.Reset();
        return true;
    };
    while (p.Stage < 4) {
        const std::vector<uint8_t>& list = *stages[p.Stage];
        if (p.Index >= list.size()) {
            if (p.Stage == 1 && !includes_.empty()) return finish(kRuleHidden);
            ++p.Stage;
            p.Index = 0;
            continue;
        }
        uint8_t i = list[p.Index];
        TMatchResult m = Test(i, rows, row, p.Scan, units);
        if (m == mrMore) return false;
        p.Scan.Reset();
        if (m == mrNo) {
            ++p.Index;
            continue;
        }
        switch (p.Stage) {
        case 0:
            return finish(kRuleHidden);
        case 2:
            p.Out = TRuleOutcome(i + 1);
            break;
        case 3:
            p.Out |= kRuleBookmark;
            break;
        default:
            break;
        }
        ++p.Stage;
        p.Index = 0;
    }
    return finish(p.Out);
}

const TFindRule* TRuleSet::Highlight(TRuleOutcome outcome) const {
    size_t i = outcome & kRuleHighlightMask;
    return i > 0 && i <= rules_.size() ? &rules_[i - 1] : nullptr;
}

void TRuleSet::ForgetNames() {
    for (TCompiled& c : compiled_)
        c.Names.Forget();
}

} // namespace vx
