// Speed of find and the rules over a section of 1,000,000 rows of log-like
// texts (40 to 120 characters). Each figure is processor time of this
// process, so other programs on a busy machine do not count; one per line.
#include "find/Regex.h"
#include "find/SectionFinder.h"
#include "platform/Fakes.h"
#include "sections/SectionCore.h"
#include "settings/SettingsBackend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>
#include <regex>
#include <string>
#include <vector>

using namespace vx;

namespace {

double CpuMs() {
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) * 1e-6;
}

void Print(const char* name, double value, const char* unit) {
    std::printf("%s: %.3f %s\n", name, value, unit);
}

const char* const kWords[] = {"request", "client",  "buffer",  "socket", "record",  "session",
                              "cache",   "index",   "thread",  "worker", "payload", "handle",
                              "stream",  "channel", "message", "query",  "table",   "window"};
const char* const kTemplates[] = {
    "Connected to %s server at 10.0.%d.%d port %d",
    "Processing %s %d of batch %d for customer account %d",
    "Loaded %d entries into the %s from disk in %d ms",
    "Timeout waiting for %s reply after %d ms, retry %d of %d",
    "error %d while writing %s block %d to the journal file",
    "Heartbeat from %s %d, queue length %d, load %d percent",
    "User %d opened the %s dialog and chose option %d of %d",
    "Query on table %s returned %d rows in %d ms using index %d",
    "Error  %d: the %s could not be parsed at offset %d (line %d)",
    "Freed %d bytes of %s memory, %d blocks still held by pool %d",
};

// A message of 40 to 120 characters built from the templates above.
std::string Message(std::mt19937& rng) {
    char buf[256];
    const char* t = kTemplates[rng() % 10];
    const char* w = kWords[rng() % 18];
    // The word stands first or second in a template.
    const char* first = std::strchr(t, '%');
    if (first && first[1] == 's')
        std::snprintf(buf, sizeof buf, t, w, int(rng() % 256), int(rng() % 256),
                      int(rng() % 65536));
    else
        std::snprintf(buf, sizeof buf, t, int(rng() % 1000), w, int(rng() % 1000),
                      int(rng() % 100000));
    std::string s;
    s = buf;
    size_t want = 40 + rng() % 81;
    while (s.size() < want) {
        s += ' ';
        s += kWords[rng() % 18];
    }
    if (s.size() > 120) s.resize(120);
    return s;
}

struct TSection {
    TFakePlatform fakes;
    TMemorySettings settings;
    TRegistryHandler registry{settings};
    TSectionShared shared;
    std::unique_ptr<TSectionCore> core;
    std::unique_ptr<TSectionFinder> finder;
    TSection() {
        TSectionContext ctx{fakes.Services(), &registry, nullptr, nullptr, &shared};
        core = std::make_unique<TSectionCore>(ctx);
        finder = std::make_unique<TSectionFinder>(core->Rows());
        core->SetRowListener(finder.get());
    }
    ~TSection() { core->SetRowListener(nullptr); }
};

const char* const kUnits[] = {"Main.pas",   "Network.pas", "Database.pas",
                              "Parser.pas", "Forms.pas",   "Journal.pas"};
const char* const kProcs[] = {"TMainForm.FormCreate", "TClient.Send", "TTimer.OnTick",
                              "TQuery.Open",          "TParser.Next", "TJournal.Write"};

TDebugInfoRec MakeRec(std::mt19937& rng, size_t i) {
    TDebugInfoRec r;
    r.Group = uint8_t(rng() % 4);
    r.Kind = uint8_t(dkString + rng() % 19);
    r.Text = Message(rng);
    r.Time = 46000.0 + double(i) / 86400000.0 * 3;
    r.UnitName = kUnits[rng() % 6];
    r.ProcName = kProcs[rng() % 6];
    r.LineNumber = int32_t(rng() % 5000);
    return r;
}

void Fill(TSection& s, size_t rows, uint32_t seed) {
    std::mt19937 rng(seed);
    for (size_t i = 0; i < rows; ++i) {
        TDebugInfoRec r = MakeRec(rng, i);
        s.core->AddDebugInfo(r, false);
    }
}

double g_longestSlice = 0; // processor ms of the longest Work() call seen

bool TimedWork(TSection& s) {
    double t = CpuMs();
    bool done = s.finder->Work();
    g_longestSlice = std::max(g_longestSlice, CpuMs() - t);
    return done;
}

double FindAll(TSection& s, const std::string& text, bool regex, size_t& count) {
    TFindOptions o;
    o.RegularExpression = regex;
    std::string error;
    double t = CpuMs();
    s.finder->StartFind(text, o, 0, error);
    while (!TimedWork(s)) {
    }
    double ms = CpuMs() - t;
    count = s.finder->MatchCount(TSectionFinder::npos).Total;
    if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
    return ms;
}

std::vector<TFindRule> TenRules() {
    auto rule = [](TRowField f, TMatchKind m, const char* p, TRuleAction a) {
        TFindRule r;
        r.Field = f;
        r.Match = m;
        r.Pattern = p;
        r.Action = a;
        return r;
    };
    return {
        rule(rfMessage, mkContains, "heartbeat", raExclude),
        rule(rfKind, mkEquals, "Separator", raExclude),
        rule(rfProcName, mkStartsWith, "TTimer", raExclude),
        rule(rfGroup, mkEquals, "Error", raHighlight),
        rule(rfMessage, mkRegularExpression, "err(or)?\\s+\\d{3}", raHighlight),
        rule(rfMessage, mkContains, "timeout", raHighlight),
        rule(rfUnitName, mkEquals, "Database.pas", raHighlight),
        rule(rfDataText, mkContains, "SELECT", raHighlight),
        rule(rfMessage, mkStartsWith, "Connected", raBookmark),
        rule(rfMessage, mkRegularExpression, "\\bparsed\\b", raBookmark),
    };
}

// Microseconds per appended row while the rules and find are active, on a
// section that already holds `base` rows.
double AppendWithRules(size_t base, size_t extra) {
    TSection s;
    Fill(s, base, 5);
    std::string error;
    s.finder->SetRules(TenRules(), error);
    TFindOptions o;
    s.finder->StartFind("error", o, 0, error);
    while (!s.finder->Work()) {
    }
    std::mt19937 rng(9);
    std::vector<TDebugInfoRec> recs;
    recs.reserve(extra);
    for (size_t i = 0; i < extra; ++i)
        recs.push_back(MakeRec(rng, base + i));
    double t = CpuMs();
    for (TDebugInfoRec& r : recs)
        s.core->AddDebugInfo(r, false);
    return (CpuMs() - t) * 1000.0 / double(extra);
}

double AppendBare(size_t base, size_t extra) {
    TSection s;
    s.core->SetRowListener(nullptr);
    Fill(s, base, 5);
    std::mt19937 rng(9);
    std::vector<TDebugInfoRec> recs;
    for (size_t i = 0; i < extra; ++i)
        recs.push_back(MakeRec(rng, base + i));
    double t = CpuMs();
    for (TDebugInfoRec& r : recs)
        s.core->AddDebugInfo(r, false);
    return (CpuMs() - t) * 1000.0 / double(extra);
}

// Random a and b: every byte of it needs a new DFA state of kWorstPattern.
std::string AbText(size_t bytes, uint32_t seed) {
    std::mt19937 rng(seed);
    std::string t(bytes, 'a');
    for (char& c : t)
        c = "ab"[rng() & 1];
    return t;
}
const char* const kWorstPattern = "[ab]*a[ab]{990}c";

// The regular expression's worst case, and the longest slice of find and of
// the rules over a section with one row of 1 MB such data.
void Worst() {
    std::string error;
    {
        TRegex re;
        re.Compile(kWorstPattern, true, false, error);
        std::string text = AbText(64 * 1024, 11);
        std::vector<double> us;
        for (int run = 0; run < 3; ++run) {
            double t = CpuMs();
            if (re.Search(text)) std::fprintf(stderr, "a match that is none\n");
            us.push_back((CpuMs() - t) * 1000.0 / 64.0);
        }
        std::sort(us.begin(), us.end());
        Print("find_regex_worst_us_per_kb", us[1], "us");
    }
    TSection s;
    std::mt19937 rng(3);
    for (size_t i = 0; i < 1000; ++i) {
        TDebugInfoRec r = MakeRec(rng, i);
        if (i == 500) {
            std::string data = AbText(1 << 20, 12);
            r.DataSize = int32_t(data.size());
            r.Data.reset(new uint8_t[data.size()]);
            std::memcpy(r.Data.get(), data.data(), data.size());
        }
        s.core->AddDebugInfo(r, false);
    }
    TFindOptions o;
    o.RegularExpression = true;
    o.Where = fwMessage | fwData;
    g_longestSlice = 0;
    s.finder->StartFind(kWorstPattern, o, 0, error);
    double t = CpuMs();
    while (!TimedWork(s)) {
    }
    Print("find_slice_max_ms", g_longestSlice, "ms");
    Print("find_pathological_row_ms", CpuMs() - t, "ms");
    s.finder->StopFind();
    TFindRule rule;
    rule.Field = rfDataText;
    rule.Match = mkRegularExpression;
    rule.Pattern = kWorstPattern;
    rule.Action = raHighlight;
    g_longestSlice = 0;
    s.finder->SetRules({rule}, error);
    while (!TimedWork(s)) {
    }
    Print("rules_slice_max_ms", g_longestSlice, "ms");
}

} // namespace

int main(int argc, char** argv) {
    const size_t rows = argc > 1 ? std::stoul(argv[1]) : 1000000;
    // A second argument names the one figure to measure: find, rules, append or
    // worst (a pattern that needs a new DFA state at every byte).
    const std::string only = argc > 2 ? argv[2] : "";
    if (only.empty() || only == "worst") Worst();
    if (only == "worst") return 0;
    TSection s;
    Fill(s, rows, 1);
    const TDebugRowStore& store = s.core->Rows();

    // One row in the middle holds a word no other row has.
    {
        TDebugInfoRec r;
        r.Text = "Checksum mismatch in Zanzibar segment 7";
        // Replace the text of the row half a section away from the top.
        const_cast<TDebugRowStore&>(store).SetText(rows / 2, r.Text);
    }
    std::string error;
    TFindOptions o;
    double t = CpuMs();
    if (only.empty() || only == "find") {
        s.finder->StartFind("zanzibar", o, 0, error);
        while (s.finder->FirstHit().Pending)
            s.finder->Work();
        double nextMs = CpuMs() - t;
        if (s.finder->FirstHit().Row != rows / 2) std::fprintf(stderr, "wrong first hit\n");
        Print("find_next_plain_ms", nextMs, "ms");

        size_t count = 0;
        Print("find_all_plain_ms", FindAll(s, "timeout", false, count), "ms");
        Print("find_all_plain_matches", double(count), "rows");
        Print("find_all_regex_ms", FindAll(s, "err(or)?\\s+\\d{3}", true, count), "ms");
        Print("find_all_regex_matches", double(count), "rows");
        // A pattern that begins with no fixed text: the DFA reads every byte.
        Print("find_all_regex_unprefixed_ms", FindAll(s, "\\d{3}\\s+(ms|rows)", true, count), "ms");
        Print("find_all_regex_unprefixed_matches", double(count), "rows");

        // The standard library's engine on a tenth of the rows, scaled up.
        {
            std::regex re("err(or)?\\s+\\d{3}", std::regex::ECMAScript | std::regex::icase);
            size_t n = rows / 10, hits = 0;
            double t0 = CpuMs();
            for (size_t i = 0; i < n; ++i) {
                std::string_view v = store.Text(i);
                hits += std::regex_search(v.begin(), v.end(), re);
            }
            Print("find_all_std_regex_ms", (CpuMs() - t0) * double(rows) / double(n), "ms");
            // Both engines must agree on those rows.
            TTextMatcher own;
            own.Compile({"err(or)?\\s+\\d{3}", mkRegularExpression, false, false}, error);
            size_t ownHits = 0;
            for (size_t i = 0; i < n; ++i)
                ownHits += own.Matches(store.Text(i));
            if (ownHits != hits)
                std::fprintf(stderr, "the engines disagree: %zu and %zu\n", ownHits, hits);
        }
        s.finder->StopFind();
    }

    if (only.empty() || only == "rules") {
        t = CpuMs();
        s.finder->SetRules(TenRules(), error);
        while (!TimedWork(s)) {
        }
        Print("rules_apply_ms", CpuMs() - t, "ms");
        Print("work_slice_longest_ms", g_longestSlice, "ms");
        Print("rules_rows_shown", double(s.finder->VisibleCount()), "rows");
        s.finder->SetRules({}, error);
    }

    if (only.empty() || only == "append") {
        // AddDebugInfo with the rules and find on a full section and on a small
        // one, and without them on a full one.
        Print("append_with_rules_us", AppendWithRules(rows, 200000), "us");
        Print("append_with_rules_small_section_us", AppendWithRules(rows / 100, 200000), "us");
        Print("append_bare_us", AppendBare(rows, 200000), "us");
    }
    return 0;
}
