#include "find/RuleStore.h"
#include "settings/SettingsBackend.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

const std::string kKey = std::string(kRegistryRoot) + "Debugger\\client 1";

TFindRule Rule(TRowField field, TMatchKind match, bool matchCase, const std::string& pattern,
               TRuleAction action, TColor text, TColor back) {
    TFindRule r;
    r.Field = field;
    r.Match = match;
    r.MatchCase = matchCase;
    r.Pattern = pattern;
    r.Action = action;
    r.TextColor = text;
    r.BackColor = back;
    return r;
}

} // namespace

TEST(RuleStore, RulesComeBackAsTheyWereSaved) {
    TMemorySettings settings;
    TRegistryHandler registry(settings);
    std::vector<TFindRule> rules = {
        Rule(rfMessage, mkContains, false, "a;b\\c", raHighlight, 0x000000, 0x00FFFF),
        Rule(rfUnitName, mkEquals, true, "Main.pas", raInclude, 0, 0xFFFFFF),
        Rule(rfProcName, mkStartsWith, false, "T\xC4", raExclude, 0, 0xFFFFFF),
        Rule(rfDataText, mkRegularExpression, true, "x\\d+;$", raBookmark, 0, 0xFFFFFF),
        Rule(rfGroup, mkEquals, false, "Error", raHighlight, 0xFFFFFF, 0x80000005),
        Rule(rfKind, mkContains, false, std::string("tab\there\0nul\x7F", 13), raExclude, 0, 0),
    };
    ASSERT_TRUE(SaveRules(registry, "client 1", rules));
    // The stored text is one line of printable bytes: control bytes and NUL are escaped.
    const TMemorySettings::Value* v = settings.Find(kKey, "Rule 6");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->Data, "1;kind;contains;0;exclude;000000;000000;tab\\x09here\\x00nul\\x7F");
    EXPECT_EQ(settings.Find(kKey, "Rule 1")->Data,
              "1;message;contains;0;highlight;000000;00FFFF;a\\;b\\\\c");
    std::vector<std::string> notes;
    EXPECT_EQ(LoadRules(registry, "client 1", notes), rules);
    EXPECT_TRUE(notes.empty());
    // A deleted section's rules are never written.
    EXPECT_TRUE(SaveRules(registry, "DEL_client 1", rules));
    EXPECT_FALSE(settings.KeyExists(std::string(kRegistryRoot) + "Debugger\\DEL_client 1"));
}

TEST(RuleStore, HostileStoredValuesAreDroppedWithANoteEach) {
    TMemorySettings settings;
    TRegistryHandler registry(settings);
    const std::string good = "1;message;contains;0;exclude;0;FFFFFF;noise";
    const char* bad[] = {
        "",                                             // missing
        "3;message;contains;0;exclude;0;0;0;x",         // a later version
        "1;message;contains;0;exclude;0;0",             // a field short
        "1;message;contains;0;exclude;0;0;x;extra",     // a field too many
        "1;title;contains;0;exclude;0;0;x",             // unknown field
        "1;message;like;0;exclude;0;0;x",               // unknown match
        "1;message;contains;yes;exclude;0;0;x",         // bad case flag
        "1;message;contains;0;hide;0;0;x",              // unknown action
        "1;message;contains;0;highlight;1FFFFFFFF;0;x", // colour beyond 32 bits
        "1;message;contains;0;highlight;red;0;x",       // colour no number
        "1;message;contains;0;exclude;0;0;x\\",         // lone backslash
        "1;message;contains;0;exclude;0;0;\\x4",        // short \x escape
        "1;message;contains;0;exclude;0;0;\\n",         // unknown escape
        "1;message;regex;0;exclude;0;0;(unclosed",      // the pattern does not compile
    };
    int n = 0;
    registry.RegWriteString("Debugger\\c", "Rule " + std::to_string(++n), good);
    for (const char* b : bad)
        registry.RegWriteString("Debugger\\c", "Rule " + std::to_string(++n), b);
    registry.RegWriteString("Debugger\\c", "Rule " + std::to_string(++n),
                            "1;message;contains;0;exclude;0;0;" + std::string(5000, 'a'));
    registry.RegWriteString("Debugger\\c", "Rule " + std::to_string(++n), good);
    registry.RegWriteInteger("Debugger\\c", "Rule Count", n);
    std::vector<std::string> notes;
    std::vector<TFindRule> rules = LoadRules(registry, "c", notes);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].Pattern, "noise");
    ASSERT_EQ(notes.size(), std::size(bad) + 1);
    EXPECT_EQ(notes[0], "Rule 2 of client 'c' dropped: missing");
    EXPECT_NE(notes[1].find("unknown version"), std::string::npos) << notes[1];

    // A count beyond the limit reads no more than the limit; a negative one nothing.
    registry.RegWriteInteger("Debugger\\c", "Rule Count", 2000000000);
    notes.clear();
    EXPECT_EQ(LoadRules(registry, "c", notes).size(), 2u);
    EXPECT_EQ(notes.front().rfind("Rule Count of client 'c' is 2000000000", 0), 0u) << notes[0];
    registry.RegWriteInteger("Debugger\\c", "Rule Count", -3);
    notes.clear();
    EXPECT_TRUE(LoadRules(registry, "c", notes).empty());
    EXPECT_EQ(notes.size(), 1u);
    // No rules saved at all: none, and nothing to note.
    notes.clear();
    EXPECT_TRUE(LoadRules(registry, "never seen", notes).empty());
    EXPECT_TRUE(notes.empty());
}

TEST(RuleStore, DisabledRulesKeepTheirFlagAndEarlierRulesReadAsEnabled) {
    TMemorySettings settings;
    TRegistryHandler registry(settings);
    TFindRule on = Rule(rfMessage, mkContains, false, "on", raExclude, 0, 0xFFFFFF);
    TFindRule off = Rule(rfUnitName, mkEquals, true, "a;b", raHighlight, 0x0000FF, 0x00FFFF);
    off.Enabled = false;
    ASSERT_TRUE(SaveRules(registry, "c", {on, off}));
    // An enabled rule keeps the first form, which every earlier build reads.
    const std::string key = std::string(kRegistryRoot) + "Debugger\\c";
    EXPECT_EQ(settings.Find(key, "Rule 1")->Data, "1;message;contains;0;exclude;000000;FFFFFF;on");
    EXPECT_EQ(settings.Find(key, "Rule 2")->Data,
              "2;unit;equals;1;highlight;0000FF;00FFFF;0;a\\;b");
    std::vector<std::string> notes;
    EXPECT_EQ(LoadRules(registry, "c", notes), (std::vector<TFindRule>{on, off}));
    EXPECT_TRUE(notes.empty());

    TFindRule r;
    std::string why;
    ASSERT_TRUE(DecodeRule("2;message;contains;0;exclude;0;0;1;x", r, why)) << why;
    EXPECT_TRUE(r.Enabled);
    EXPECT_FALSE(DecodeRule("2;message;contains;0;exclude;0;0;x", r, why)); // no flag
    EXPECT_FALSE(DecodeRule("2;message;contains;0;exclude;0;0;yes;x", r, why));
    EXPECT_EQ(why, "bad enabled flag");
    // A rule without a pattern would stop every other rule from taking effect.
    EXPECT_FALSE(DecodeRule("1;message;contains;0;exclude;0;0;", r, why));
    EXPECT_EQ(why, "the pattern is empty");
}
