#include "find/SectionFinder.h"
#include "find/TimeColumns.h"
#include "native/sections/SectionFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace vx;
using namespace vxtest;

namespace {

struct Rows {
    TDebugRowStore store;
    TSectionFinder finder{store};
    Rows() { store.SetListener(&finder); }
    ~Rows() { store.SetListener(nullptr); }
    size_t Add(const std::string& text, uint8_t group = dgGeneral, uint8_t kind = dkString,
               const std::string& unit = "", const std::string& data = "") {
        TDebugInfoRec r = Rec(text, group, kind);
        r.UnitName = unit;
        if (!data.empty()) Attach(r, data);
        return store.Append(r);
    }
    void Finish() {
        while (!finder.WorkRows(3)) {
        }
    }
    std::vector<size_t> Shown() const {
        std::vector<size_t> v;
        for (size_t i = 0; i < finder.VisibleCount(); ++i)
            v.push_back(finder.RowOfVisible(i));
        return v;
    }
};

TFindRule Rule(TRowField field, TMatchKind match, const std::string& pattern, TRuleAction action,
               TColor back = 0x00FFFF) {
    TFindRule r;
    r.Field = field;
    r.Match = match;
    r.Pattern = pattern;
    r.Action = action;
    r.BackColor = back;
    return r;
}

} // namespace

TEST(Find, FirstMatchFromTheFocusedRowThenNextAndPreviousGoRound) {
    Rows t;
    for (const char* s : {"error one", "fine", "ERROR two", "fine", "error three", "fine"})
        t.Add(s);
    std::string error;
    ASSERT_TRUE(t.finder.StartFind("error", {}, 3, error));
    // Before any work nothing is known; a small slice already finds row 4.
    EXPECT_TRUE(t.finder.FirstHit().Pending);
    t.finder.WorkRows(2);
    EXPECT_EQ(t.finder.FirstHit().Row, 4u);
    EXPECT_FALSE(t.finder.FirstHit().Wrapped);
    EXPECT_TRUE(t.finder.FindNext(4, true).Pending); // the scan has not gone round yet
    t.Finish();
    TFindHit next = t.finder.FindNext(4, true);
    EXPECT_EQ(next.Row, 0u);
    EXPECT_TRUE(next.Wrapped);
    EXPECT_EQ(t.finder.FindNext(0, true).Row, 2u);
    TFindHit back = t.finder.FindNext(0, false);
    EXPECT_EQ(back.Row, 4u);
    EXPECT_TRUE(back.Wrapped);
    EXPECT_EQ(t.finder.MatchCount(2).Index, 2u);
    EXPECT_EQ(t.finder.MatchCount(2).Total, 3u);
    EXPECT_EQ(t.finder.MatchCount(1).Index, 0u); // the focused row is no match

    // From the last match the first match is found by going round.
    ASSERT_TRUE(t.finder.StartFind("three", {}, 5, error));
    t.Finish();
    EXPECT_EQ(t.finder.FirstHit().Row, 4u);
    EXPECT_TRUE(t.finder.FirstHit().Wrapped);

    // A row that arrives while the scan goes round from the top is after the
    // starting row: found without going round.
    ASSERT_TRUE(t.finder.StartFind("late", {}, 5, error));
    t.finder.WorkRows(1); // row 5 tested; now from the top
    t.Add("late row");
    EXPECT_EQ(t.finder.FirstHit().Row, 6u);
    EXPECT_FALSE(t.finder.FirstHit().Wrapped);

    // A timed slice ends once the first match is known, however long it may run.
    for (int i = 0; i < 5000; ++i)
        t.Add("filler");
    ASSERT_TRUE(t.finder.StartFind("one", {}, 0, error));
    t.finder.Work(std::chrono::seconds(100));
    EXPECT_EQ(t.finder.FirstHit().Row, 0u);
    EXPECT_LT(t.finder.Find().RowsTested(), t.store.Count());

    // A bad regular expression: its error, and find is off.
    TFindOptions re;
    re.RegularExpression = true;
    EXPECT_FALSE(t.finder.StartFind("err(", re, 0, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(t.finder.Find().Active());
    EXPECT_FALSE(t.finder.IsMatch(0));
}

TEST(Find, LooksWhereItIsToldAndFollowsEveryChangeOfTheRows) {
    Rows t;
    t.Add("plain", dgGeneral, dkString, "Parser.pas");
    t.Add("plain", dgGeneral, dkString, "", std::string("head\0needle", 11));
    t.Add("plain", dgGeneral, dkString, "", "the needle");
    std::string error;
    TFindOptions o;
    o.Where = fwSource;
    ASSERT_TRUE(t.finder.StartFind("parser", o, 0, error));
    t.Finish();
    EXPECT_EQ(t.finder.Find().Matches(), (std::vector<uint32_t>{0}));
    o.Where = fwData;
    ASSERT_TRUE(t.finder.StartFind("needle", o, 0, error));
    t.Finish();
    EXPECT_EQ(t.finder.Find().Matches(), (std::vector<uint32_t>{2})); // not past a zero byte

    // Rows that arrive while the scan runs and after it are tested once each.
    o.Where = fwMessage;
    ASSERT_TRUE(t.finder.StartFind("hit", o, 1, error));
    t.finder.WorkRows(1);
    t.Add("hit 3");
    t.finder.WorkRows(1); // the scan has reached the end once and now goes round
    t.Add("hit 4");
    t.Finish();
    t.Add("hit 5");
    t.Add("miss");
    EXPECT_EQ(t.finder.Find().Matches(), (std::vector<uint32_t>{3, 4, 5}));

    // Inserting, editing and deleting rows keeps the marks on their rows.
    TDebugInfoRec note = Rec("hit note", dgGeneral, dkNote);
    t.store.Insert(1, note);
    EXPECT_EQ(t.finder.Find().Matches(), (std::vector<uint32_t>{1, 4, 5, 6}));
    t.store.SetText(4, "edited away");
    t.store.SetText(7, "now a hit");
    t.store.Erase(0);
    EXPECT_EQ(t.finder.Find().Matches(), (std::vector<uint32_t>{0, 4, 5, 6}));
    EXPECT_EQ(t.finder.MatchCount(4).Index, 2u);
    t.store.Clear();
    t.Finish();
    EXPECT_EQ(t.finder.MatchCount(TSectionFinder::npos).Total, 0u);
}

TEST(Rules, OrderCombinationWithTheGroupFilterAndNewRows) {
    Rows t;
    t.Add("open file", dgGeneral);                         // 0
    t.Add("open socket", dgError);                         // 1
    t.Add("heartbeat", dgGeneral);                         // 2
    t.Add("close file", dgWarning, dkString, "Files.pas"); // 3
    t.Add("open pipe", dgError, dkNote);                   // 4
    std::string error;
    ASSERT_TRUE(t.finder.SetRules(
        {
            Rule(rfMessage, mkStartsWith, "open", raInclude),
            Rule(rfUnitName, mkEquals, "files.pas", raInclude),
            Rule(rfKind, mkEquals, "Note", raExclude),
            Rule(rfGroup, mkEquals, "Error", raHighlight, 0x0000FF),
            Rule(rfMessage, mkContains, "socket", raHighlight, 0x00FF00), // later: loses
            Rule(rfMessage, mkRegularExpression, "file$", raBookmark),
        },
        error))
        << error;
    EXPECT_TRUE(t.finder.RulesPending());
    EXPECT_EQ(t.Shown().size(), 5u); // nothing changes until every row is done
    t.Finish();
    EXPECT_EQ(t.Shown(), (std::vector<size_t>{0, 1, 3}));
    ASSERT_TRUE(t.finder.Highlight(1));
    EXPECT_EQ(t.finder.Highlight(1)->BackColor, 0x0000FFu); // the first highlight rule wins
    EXPECT_FALSE(t.finder.Highlight(0));
    EXPECT_TRUE(t.finder.IsBookmarked(0));
    EXPECT_TRUE(t.finder.IsBookmarked(3));

    // Both the group filter and the rules must let a row through.
    t.store.ShowGroup(dgError);
    EXPECT_EQ(t.Shown(), (std::vector<size_t>{1}));
    EXPECT_EQ(t.finder.VisibleOfRow(1), 0u);
    EXPECT_EQ(t.finder.VisibleOfRow(0), TSectionFinder::npos);
    // A new row meets the rules at once (the group filter only when applied again).
    t.Add("open port", dgGeneral);   // 5: included
    t.Add("heartbeat 2", dgGeneral); // 6: not included
    EXPECT_EQ(t.Shown(), (std::vector<size_t>{1, 5}));
    t.store.ShowGroup(-1);
    EXPECT_EQ(t.Shown(), (std::vector<size_t>{0, 1, 3, 5}));

    // Find counts and steps over shown rows only.
    ASSERT_TRUE(t.finder.StartFind("open", {}, 0, error));
    t.Finish();
    EXPECT_EQ(t.finder.MatchCount(5).Index, 3u);
    EXPECT_EQ(t.finder.MatchCount(5).Total, 3u); // row 4 matches but is hidden
    EXPECT_EQ(t.finder.FindNext(1, true).Row, 5u);

    // Deleting a row moves the others up with their rule results.
    t.store.Erase(2);
    EXPECT_EQ(t.Shown(), (std::vector<size_t>{0, 1, 2, 4}));
    EXPECT_EQ(t.finder.Highlight(1)->BackColor, 0x0000FFu);
    // No rules: every row shows again, at once.
    ASSERT_TRUE(t.finder.SetRules({}, error));
    EXPECT_EQ(t.finder.VisibleCount(), t.store.Count());

    // A bad rule is refused with its number and the rules in effect stay.
    EXPECT_FALSE(t.finder.SetRules({Rule(rfMessage, mkContains, "x", raExclude),
                                    Rule(rfMessage, mkRegularExpression, "(", raExclude)},
                                   error));
    EXPECT_EQ(error.rfind("Rule 2: ", 0), 0u) << error;
    EXPECT_TRUE(t.finder.Rules().empty());
}

TEST(Rules, DisabledRulesDecideNothingButStayChecked) {
    Rows t;
    t.Add("open file"); // 0
    t.Add("heartbeat"); // 1
    t.Add("open port"); // 2
    auto off = [](TFindRule r) {
        r.Enabled = false;
        return r;
    };
    std::string error;
    ASSERT_TRUE(t.finder.SetRules({off(Rule(rfMessage, mkContains, "open", raExclude)),
                                   off(Rule(rfMessage, mkContains, "file", raHighlight, 0x111111)),
                                   Rule(rfMessage, mkContains, "open", raHighlight, 0x222222),
                                   off(Rule(rfMessage, mkContains, "beat", raBookmark))},
                                  error))
        << error;
    t.Finish();
    EXPECT_EQ(t.Shown(), (std::vector<size_t>{0, 1, 2}));
    // The colour is the enabled rule's, though a disabled one comes first.
    ASSERT_TRUE(t.finder.Highlight(0));
    EXPECT_EQ(t.finder.Highlight(0)->BackColor, 0x222222u);
    EXPECT_FALSE(t.finder.IsBookmarked(1));
    EXPECT_EQ(t.finder.Rules().size(), 4u); // kept, to be enabled again

    // Only disabled rules: nothing hidden, no colour.
    ASSERT_TRUE(t.finder.SetRules({off(Rule(rfMessage, mkContains, "open", raExclude))}, error));
    t.Finish();
    EXPECT_EQ(t.finder.VisibleCount(), 3u);
    EXPECT_FALSE(t.finder.Highlight(0));

    // A disabled rule must still be usable, and no pattern is no rule.
    EXPECT_FALSE(
        t.finder.SetRules({off(Rule(rfMessage, mkRegularExpression, "(", raExclude))}, error));
    EXPECT_EQ(error.rfind("Rule 1: ", 0), 0u) << error;
    EXPECT_FALSE(t.finder.SetRules(
        {Rule(rfMessage, mkContains, "x", raExclude), Rule(rfMessage, mkEquals, "", raExclude)},
        error));
    EXPECT_EQ(error, "Rule 2: the pattern is empty");
}

TEST(Bookmarks, ToggleAndStepOverShownRowsGoingRound) {
    Rows t;
    for (int i = 0; i < 6; ++i)
        t.Add(i == 4 ? "marked by rule" : "row", i == 2 ? dgError : dgGeneral);
    t.finder.ToggleBookmark(1);
    t.finder.ToggleBookmark(2);
    t.finder.ToggleBookmark(5);
    t.finder.ToggleBookmark(5); // off again
    EXPECT_EQ(t.finder.NextBookmark(1, true).Row, 2u);
    t.store.ShowGroup(dgGeneral); // row 2 hidden
    TFindHit h = t.finder.NextBookmark(1, true);
    EXPECT_EQ(h.Row, 1u);
    EXPECT_TRUE(h.Wrapped);
    // A bookmark rule marks rows too; the user can take a rule's mark off.
    std::string error;
    ASSERT_TRUE(t.finder.SetRules({Rule(rfMessage, mkContains, "rule", raBookmark)}, error));
    t.Finish();
    EXPECT_EQ(t.finder.NextBookmark(1, true).Row, 4u);
    EXPECT_EQ(t.finder.NextBookmark(1, false).Row, 4u);
    t.finder.ToggleBookmark(4);
    EXPECT_FALSE(t.finder.IsBookmarked(4));
    // Inserting a row before the bookmarks keeps them on their rows.
    TDebugInfoRec note = Rec("note", dgGeneral, dkNote);
    t.store.Insert(0, note);
    EXPECT_TRUE(t.finder.IsBookmarked(2));
    EXPECT_FALSE(t.finder.IsBookmarked(1));
    EXPECT_FALSE(t.finder.IsBookmarked(5));
}

TEST(TimeColumns, MillisecondsFromThePreviousAndTheFirstShownRow) {
    const double ms = 1.0 / 86400000.0;
    EXPECT_EQ(ElapsedMs(46000.0, 46000.0 + 1500 * ms), 1500);
    EXPECT_EQ(ElapsedMs(46000.0 + 2 * ms, 46000.0), -2); // the clock went back
    EXPECT_FALSE(ElapsedMs(46000.0, std::nan("")));
    EXPECT_FALSE(ElapsedMs(-1e300, 1e300));
    EXPECT_FALSE(ElapsedMs(46000.0, std::numeric_limits<double>::infinity()));

    Rows t;
    for (int i = 0; i < 4; ++i) {
        TDebugInfoRec r = Rec("row", i == 1 ? dgError : dgGeneral);
        r.Time = 46000.0 + i * 100 * ms;
        t.store.Append(r);
    }
    EXPECT_FALSE(t.finder.MsSincePrevious(0));
    EXPECT_EQ(t.finder.MsSincePrevious(2), 100);
    t.store.ShowGroup(dgGeneral);
    EXPECT_EQ(t.finder.MsSincePrevious(2), 200); // row 1 is hidden
    EXPECT_EQ(t.finder.MsSinceFirst(3), 300);
    EXPECT_FALSE(t.finder.MsSinceFirst(1));
}

namespace {

// Appends, inserts, edits, deletes, drops of the oldest rows and group
// filters come in any order, also while find and the rules are still
// scanning; once the work is done, everything derived must equal what a fresh
// scan of the rows gives. With `units`, find looks for a regular expression
// and every step of work (also the test of an arriving row) stops after that
// many units, so rows are left half tested while the rows change.
void RandomChanges(size_t units) {
    const std::vector<TFindRule> rules = {
        Rule(rfMessage, mkContains, "x", raExclude),
        Rule(rfMessage, mkRegularExpression, "a+b", raHighlight, 0x111111),
        Rule(rfGroup, mkEquals, "Error", raHighlight, 0x222222),
    };
    const std::vector<TFindRule> other = {Rule(rfMessage, mkStartsWith, "b", raInclude)};
    const char* texts[] = {"ab", "x", "aab", "b", "xab", "", "ba"};
    std::mt19937 rng(21);
    Rows t;
    if (units) t.finder.SetWorkUnits(units);
    std::string error;
    TFindOptions o;
    o.RegularExpression = units != 0;
    const std::string find = units ? "a+b" : "ab";
    bool first = true;
    for (int step = 0; step < 3000; ++step) {
        size_t n = t.store.Count();
        TDebugInfoRec r = Rec(texts[rng() % 7], uint8_t(rng() % 4));
        switch (rng() % 10) {
        case 0:
        case 1:
            t.store.Append(r);
            break;
        case 2:
            t.store.Insert(rng() % (n + 1), r);
            break;
        case 3:
            if (n) t.store.Erase(rng() % n);
            break;
        case 4:
            if (n) t.store.SetText(rng() % n, texts[rng() % 7]);
            break;
        case 5:
            t.store.ShowGroup(int(rng() % 5) - 1);
            break;
        case 6:
            t.finder.WorkRows(1 + rng() % 3);
            break;
        case 7:
            ASSERT_TRUE(t.finder.SetRules(rng() % 3 ? rules : other, error));
            break;
        case 8:
            ASSERT_TRUE(t.finder.StartFind(find, o, n ? rng() % n : 0, error));
            break;
        case 9: // the history limit
            if (n) t.store.DropFront(1 + rng() % (n / 4 + 1));
            break;
        }
        if (first) {
            ASSERT_TRUE(t.finder.SetRules(rules, error));
            ASSERT_TRUE(t.finder.StartFind(find, o, 0, error));
            first = false;
        }
        if (step % 50 != 49) continue;
        t.Finish();
        TSectionFinder fresh(t.store);
        ASSERT_TRUE(fresh.SetRules(t.finder.Rules(), error));
        ASSERT_TRUE(fresh.StartFind(find, o, 0, error));
        while (!fresh.WorkRows(1000)) {
        }
        ASSERT_EQ(t.finder.VisibleCount(), fresh.VisibleCount()) << "step " << step;
        for (size_t v = 0; v < fresh.VisibleCount(); ++v)
            ASSERT_EQ(t.finder.RowOfVisible(v), fresh.RowOfVisible(v)) << "step " << step;
        ASSERT_EQ(t.finder.Find().Matches(), fresh.Find().Matches()) << "step " << step;
        for (size_t row = 0; row < t.store.Count(); ++row) {
            auto a = t.finder.Highlight(row), b = fresh.Highlight(row);
            ASSERT_EQ(bool(a), bool(b)) << "row " << row << " step " << step;
            if (a) {
                ASSERT_EQ(a->BackColor, b->BackColor);
            }
        }
    }
}

} // namespace

TEST(Finder, FollowsRandomChangesOfTheRowsLikeAFreshScan) {
    RandomChanges(0);
}

TEST(Finder, RowsLeftHalfTestedFollowRandomChangesLikeAFreshScan) {
    for (size_t units : {1, 7, 40})
        RandomChanges(units);
}

TEST(Finder, ALongRowIsReadInBoundedStepsThatGoOnWhereTheyStopped) {
    // 4 MB of data that a regular expression with no fixed start reads byte
    // by byte: one call of WorkRows must not read it all (a slice would hold
    // the window for as long as the row takes), and the steps together give
    // what one full test of the row gives.
    std::string data(4 << 20, 'a');
    for (size_t i = 0; i < data.size(); i += 7)
        data[i] = 'b';
    Rows t;
    t.Add("first");
    t.Add("long miss", dgGeneral, dkString, "", data);
    data.back() = 'c';
    t.Add("long hit", dgGeneral, dkString, "", data);
    t.Add("last");
    TFindOptions o;
    o.RegularExpression = true;
    o.Where = fwData;
    std::string error;
    ASSERT_TRUE(t.finder.StartFind("[ab]+c", o, 0, error));
    size_t calls = 0;
    while (!t.finder.WorkRows(1))
        ++calls;
    // Each long row takes several calls.
    EXPECT_GE(calls, 2 * data.size() / TFindEngine::kWorkUnits);
    EXPECT_EQ(t.finder.Find().Matches(), (std::vector<uint32_t>{2}));

    // The rules too, and a change to the row being read starts its test anew.
    ASSERT_TRUE(
        t.finder.SetRules({Rule(rfDataText, mkRegularExpression, "[ab]+c", raExclude)}, error));
    t.finder.WorkRows(1);
    t.finder.WorkRows(1);
    EXPECT_TRUE(t.finder.RulesPending()); // inside row 1
    t.store.Erase(1);                     // row 2, the hit, is now being read from its start
    calls = 0;
    while (!t.finder.WorkRows(1))
        ++calls;
    EXPECT_GE(calls, data.size() / TFindEngine::kWorkUnits);
    EXPECT_EQ(t.Shown(), (std::vector<size_t>{0, 2}));
    EXPECT_EQ(t.finder.Find().Matches(), (std::vector<uint32_t>{1}));
    EXPECT_EQ(t.finder.FindNext(TSectionFinder::npos, true).Row, TFindHit::npos); // hidden

    // A long row that arrives is tested as far as one step goes, and Work
    // does the rest; until the rules have decided it, it stays hidden.
    data.back() = 'a';
    t.Add("arrives", dgGeneral, dkString, "", data);
    EXPECT_TRUE(t.finder.Busy());
    EXPECT_EQ(t.Shown(), (std::vector<size_t>{0, 2}));
    t.Finish();
    EXPECT_EQ(t.Shown(), (std::vector<size_t>{0, 2, 3}));
    EXPECT_EQ(t.finder.Find().Matches(), (std::vector<uint32_t>{1}));
}
