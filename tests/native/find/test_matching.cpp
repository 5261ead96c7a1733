#include "find/Regex.h"
#include "find/TextMatcher.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>

using namespace vx;

namespace {

bool Match(const std::string& pattern, const std::string& text, TMatchKind kind,
           bool matchCase = false, bool wholeWord = false) {
    TTextMatcher m;
    std::string error;
    EXPECT_TRUE(m.Compile({pattern, kind, matchCase, wholeWord}, error))
        << pattern << ": " << error;
    return m.Matches(text);
}

bool Re(const std::string& pattern, const std::string& text, bool matchCase = true,
        bool wholeWord = false) {
    return Match(pattern, text, mkRegularExpression, matchCase, wholeWord);
}

} // namespace

TEST(TextMatcher, PlainKindsCaseAndWholeWord) {
    // Case folds in ASCII only; bytes from 0x80 compare exactly ("\xC4" is not "\xE4").
    EXPECT_TRUE(Match("ERROR", "an error here", mkContains));
    EXPECT_FALSE(Match("ERROR", "an error here", mkContains, true));
    EXPECT_TRUE(Match("gr\xC4"
                      "f",
                      "x GR\xC4"
                      "F y",
                      mkContains));
    EXPECT_FALSE(Match("gr\xC4"
                       "f",
                       "x GR\xE4"
                       "F y",
                       mkContains));
    EXPECT_TRUE(Match("Open", "open file", mkStartsWith));
    EXPECT_FALSE(Match("file", "open file", mkStartsWith));
    EXPECT_TRUE(Match("open file", "OPEN FILE", mkEquals));
    EXPECT_FALSE(Match("open", "open file", mkEquals));
    EXPECT_TRUE(Match("", "", mkEquals));
    // Whole word: the first occurrence is inside a word, the second stands alone.
    EXPECT_TRUE(Match("cat", "concat cat.", mkContains, false, true));
    EXPECT_FALSE(Match("cat", "concat cats", mkContains, false, true));
    EXPECT_FALSE(Match("cat", "cat_id", mkContains, false, true));
    EXPECT_FALSE(
        Match("caf", "caf\xE9", mkContains, false, true)); // an accented letter is part of the word
    EXPECT_TRUE(Match("open", "open: x", mkStartsWith, false, true));
    EXPECT_FALSE(Match("open", "opened", mkStartsWith, false, true));
}

TEST(TextMatcher, ContainsAgreesWithANaiveSearchAcrossBlockEdges) {
    // The scan reads sixteen bytes at a time: needles at every offset, near
    // both ends and over the block edges, in texts of every length up to 80.
    std::mt19937 rng(7);
    const std::string alphabet = "abAB;\xE4\xC4";
    for (int round = 0; round < 4000; ++round) {
        std::string text, needle;
        size_t tn = rng() % 80, nn = 1 + rng() % 4;
        for (size_t i = 0; i < tn; ++i)
            text += alphabet[rng() % alphabet.size()];
        for (size_t i = 0; i < nn; ++i)
            needle += alphabet[rng() % alphabet.size()];
        bool matchCase = rng() % 2, wholeWord = rng() % 2;
        auto fold = [&](std::string s) {
            if (!matchCase)
                for (char& c : s)
                    if (c >= 'A' && c <= 'Z') c = char(c + 32);
            return s;
        };
        auto word = [](char c) { return c != ';'; }; // every other byte here is a word byte
        std::string ft = fold(text), fn = fold(needle);
        bool expected = false;
        for (size_t p = ft.find(fn); p != std::string::npos && !expected; p = ft.find(fn, p + 1))
            expected = !wholeWord || ((p == 0 || !word(ft[p - 1])) &&
                                      (p + fn.size() == ft.size() || !word(ft[p + fn.size()])));
        ASSERT_EQ(Match(needle, text, mkContains, matchCase, wholeWord), expected)
            << "needle '" << needle << "' text '" << text << "' case " << matchCase << " word "
            << wholeWord;
    }
}

TEST(Regex, Syntax) {
    struct Case {
        const char* pattern;
        const char* text;
        bool expected;
    } cases[] = {
        {"err(or)?\\s+\\d{3}", "got error  404 back", true},
        {"err(or)?\\s+\\d{3}", "error 40 and err 7", false},
        {"err(or)?\\s+\\d{3}", "err err 123", true}, // the first "err" leads nowhere
        {"^abc", "abcd", true},
        {"^abc", "xabc", false},
        {"abc$", "xabc", true},
        {"abc$", "abcx", false},
        {"a.c", "a\nc", false},
        {"a.c", "a-c", true},
        {"[a-c]+x", "zzbcax", true},
        {"[^a-c]x", "ax", false},
        {"[]a]", "]", true},
        {"[a\\-z]", "-", true},
        {"[\\d.]+%", "load 99.5%", true},
        {"x{2,3}y", "xy", false},
        {"x{2,3}y", "xxxy", true},
        {"^x{2,3}y", "xxxxy", false},
        {"x{2,}y", "xxxxxy", true},
        {"a{,2}", "a{,2}", true}, // not a quantifier: taken literally
        {"cat|dog", "hotdog", true},
        {"^(cat|dog)$", "dogs", false},
        {"\\bword\\b", "a word.", true},
        {"\\bword\\b", "swordfish", false},
        {"\\Bord", "word", true},
        {"\\x41\\x42", "xAB", true},
        {"\\.\\*", "a.*b", true},
        {"(?:ab)+c", "ababc", true},
        {"a+?b", "aaab", true},
        {"", "anything", true},
        {"^$", "", true},
        {"\xE4+", "x\xE4\xE4", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Re(c.pattern, c.text), c.expected) << c.pattern << " on " << c.text;
    // Case and whole word.
    EXPECT_TRUE(Re("ERR[a-z]+", "an Error", false));
    EXPECT_FALSE(Re("ERR[a-z]+", "an Error", true));
    EXPECT_FALSE(Re("[^e]rror", "ERROR", false)); // the class leaves out both cases
    EXPECT_FALSE(Re("\xC4", "\xE4", false));
    EXPECT_TRUE(Re("id\\d+", "is id42 ok", true, true));
    EXPECT_FALSE(Re("id\\d+", "is xid42 ok", true, true));
    EXPECT_FALSE(Re("id\\d", "is id42 ok", true, true));
}

TEST(Regex, AgreesWithTheStandardLibraryOnRandomPatterns) {
    std::mt19937 rng(11);
    const char* atoms[] = {"a",   "b",   ".",     "[ab]",   "[^a]",
                           "\\w", "\\s", "(a|b)", "(ab|b)", "(?:a*)"};
    const char* quants[] = {"", "", "", "*", "+", "?", "{1,2}", "{2}"};
    const char* anchors[] = {"", "", "", "^", "$", "\\b"};
    int checked = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string p;
        int items = 1 + int(rng() % 4);
        for (int i = 0; i < items; ++i) {
            p += anchors[rng() % 6];
            p += atoms[rng() % 10];
            p += quants[rng() % 8];
            if (rng() % 7 == 0) p += "|";
        }
        std::string text;
        size_t n = rng() % 10;
        for (size_t i = 0; i < n; ++i)
            text += "abB _"[rng() % 5];
        bool icase = rng() % 2;
        auto flags = std::regex::ECMAScript | (icase ? std::regex::icase : std::regex::flag_type{});
        bool expected = std::regex_search(text, std::regex(p, flags));
        ASSERT_EQ(Re(p, text, !icase), expected) << "'" << p << "' on '" << text << "'";
        ++checked;
    }
    EXPECT_EQ(checked, 3000);
}

TEST(Regex, BadPatternsGiveAnErrorAndMatchNothing) {
    const char* bad[] = {"(abc",  "abc)", "[abc",  "*a",      "a{3,1}", "\\",      "\\1",
                         "(?=a)", "\\q",  "[z-a]", "a{1001}", "\\x4",   "a++++++", "[a-\\d]"};
    for (const char* p : bad) {
        TRegex re;
        std::string error;
        EXPECT_FALSE(re.Compile(p, true, false, error)) << p;
        EXPECT_NE(error.find("position"), std::string::npos) << p << ": " << error;
        EXPECT_FALSE(re.Search("abc(a{3,1})"));
    }
    // Too big once expanded, nested too deeply, or too long: refused, not built.
    TRegex re;
    std::string error;
    EXPECT_FALSE(re.Compile("(a{1000}){1000}", true, false, error));
    EXPECT_EQ(error, "The regular expression is too large");
    EXPECT_FALSE(re.Compile(std::string(150, '(') + std::string(150, ')'), true, false, error));
    EXPECT_FALSE(re.Compile(std::string(1001, 'a'), true, false, error));
    // Whatever bytes a pattern holds, compiling and searching neither throw nor
    // read out of bounds (the sanitizer build checks the second).
    std::mt19937 rng(5);
    const std::string meta = "()[]{}|*+?.^$\\-,:=!dwsbBx0129aZä";
    for (int round = 0; round < 20000; ++round) {
        std::string p;
        size_t n = rng() % 12;
        for (size_t i = 0; i < n; ++i)
            p += meta[rng() % meta.size()];
        TRegex r;
        std::string why;
        ASSERT_NO_THROW({
            if (r.Compile(p, rng() % 2, rng() % 2, why)) {
                r.Search("a0 Z9ä-x");
                r.Search("");
            } else {
                EXPECT_FALSE(why.empty()) << p;
            }
        }) << p;
    }
    // A good pattern after a bad one works.
    EXPECT_TRUE(re.Compile("b+", true, false, error));
    EXPECT_TRUE(re.Search("abbc"));
}

TEST(Regex, LongTextsAndAStateHungryPatternStayCorrect) {
    // Linear time and a flat stack on a long text (a backtracking engine
    // recurses per character here).
    std::string big(4 << 20, 'a');
    TRegex re;
    std::string error;
    ASSERT_TRUE(re.Compile("(a|aa)*b", true, false, error));
    EXPECT_FALSE(re.Search(big));
    big.back() = 'b';
    EXPECT_TRUE(re.Search(big));
    // "an a 12 bytes before the end" needs 2^13 DFA states, more than the
    // cache keeps, so the cache starts anew while a search runs.
    ASSERT_TRUE(re.Compile("a[ab]{12}$", true, false, error));
    std::mt19937 rng(3);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        size_t n = 10 + rng() % 300;
        for (size_t i = 0; i < n; ++i)
            text += "ab"[rng() % 2];
        bool expected = n >= 13 && text[n - 13] == 'a';
        ASSERT_EQ(re.Search(text), expected) << text;
    }
    EXPECT_LE(re.DfaStates(), TRegex::kMaxDfaStates);
}

TEST(Regex, ASearchInStepsGoesOnWhereItStoppedAndAgreesWithOneGo) {
    // "an a 13 bytes before a c" needs far more DFA states than the cache
    // keeps, so the cache is flushed again and again and the search reads
    // with the NFA alone for stretches; between the steps another text is
    // searched, so the step that goes on finds a cache that has changed.
    TRegex re;
    std::string error;
    ASSERT_TRUE(re.Compile("a[ab]{12}c", true, false, error));
    std::mt19937 rng(5);
    for (int round = 0; round < 12; ++round) {
        std::string text;
        size_t n = 3000 + rng() % 6000;
        for (size_t i = 0; i < n; ++i)
            text += "ab"[rng() % 2];
        size_t c = 13 + rng() % (n - 13);
        text[c] = 'c';
        bool expected = text[c - 13] == 'a' && text.find('c', c - 12) == c;
        if (round % 3 == 0) text[c] = 'b', expected = false;
        ASSERT_EQ(re.Search(text), expected) << round;
        TRegexScan scan;
        TRegex::TSearchResult r = TRegex::srMore;
        size_t steps = 0;
        for (; r == TRegex::srMore; ++steps) {
            size_t work = 1 + rng() % 20000;
            r = re.Search(text, scan, work);
            EXPECT_TRUE(r != TRegex::srMore || work == 0);
            re.Search(text.substr(rng() % n, 200));
        }
        EXPECT_EQ(r == TRegex::srMatch, expected) << round;
        EXPECT_GT(steps, 2u);
    }
    EXPECT_GT(re.Flushes(), 0u);

    // A fixed start: the skip to it stops and goes on too.
    ASSERT_TRUE(re.Compile("needle\\d", true, false, error));
    std::string hay(1 << 20, '.');
    hay.replace(hay.size() - 20, 7, "needle7");
    TRegexScan scan;
    size_t steps = 0, work = 0;
    TRegex::TSearchResult r;
    do {
        work = 1000;
        r = re.Search(hay, scan, work);
        ++steps;
    } while (r == TRegex::srMore);
    EXPECT_EQ(r, TRegex::srMatch);
    EXPECT_GT(steps, 10u);
}
