// A regular-expression search over bytes that never backtracks: the pattern
// becomes a Thompson NFA, and the search runs a DFA built lazily from it, one
// state per set of NFA positions met, so the time is linear in the text and
// the stack depth does not depend on it. The search only answers whether a
// match lies anywhere in the text, which is what find and the rules ask.
//
// When the text needs a new DFA state at almost every byte the cache keeps
// being started anew, and building states costs far more than the bytes; the
// search then reads the bytes with the NFA alone for a while (the same sets of
// positions, neither sorted nor stored). A search can also stop after a given
// amount of work and go on later from where it stopped (TRegexScan), so one
// long text need not be read in one go.
//
// Syntax: literals, ".", classes "[a-z]" "[^...]", escapes \d \D \w \W \s \S
// \b \B \t \n \r \f \v \xHH and escaped punctuation, groups "(...)" "(?:...)",
// alternation "|", the quantifiers * + ? {n} {n,} {n,m} (a trailing "?" for
// the lazy form is accepted and means the same here), the anchors ^ and $
// (start and end of the text). Back references and look-around are refused
// with an error text.
#pragma once

#include "PlainSearch.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vx {

// Where a search that stopped early stands; the next call with the same text
// goes on from there. Holds no reference into the DFA cache, so the cache may
// start anew between calls (and other texts may be searched meanwhile).
struct TRegexScan {
    size_t Pos = 0;     // next byte to read
    bool Begun = false; // false: the search starts at the top
    bool AtStart = false;
    bool PrevWord = false;
    // The NFA positions under way (sorted, unless the NFA alone reads).
    std::vector<int32_t> Kernel;
    // The choice between the DFA and the NFA alone.
    uint32_t NfaLeft = 0;       // bytes still to read with the NFA alone
    size_t WindowStart = 0;     // where the DFA began to count its misses
    uint32_t WindowMisses = 0;  // new DFA transitions since
    uint64_t WindowFlushes = 0; // cache flushes when the window began
    void Reset() {
        if (!Begun) return; // as new
        Pos = 0;
        Begun = AtStart = PrevWord = false;
        Kernel.clear(); // keeps the memory for the next text
        NfaLeft = WindowMisses = 0;
        WindowStart = 0;
        WindowFlushes = 0;
    }
};

class TRegex {
  public:
    static constexpr size_t kMaxPattern = 1000; // bytes of a pattern
    static constexpr size_t kMaxNfaStates = 20000;
    static constexpr size_t kMaxDfaStates = 500; // 1 KB each; the cache starts anew beyond this

    // Compiles the pattern; on failure returns false, sets error to a text for
    // the user and leaves the object matching nothing. Never throws for any
    // pattern. wholeWord requires the match to have no word character right
    // before or after it.
    bool Compile(std::string_view pattern, bool matchCase, bool wholeWord, std::string& error);
    bool Valid() const { return valid_; }
    // Whether a match lies anywhere in text. Not thread-safe: the DFA cache grows.
    bool Search(std::string_view text) const;

    enum TSearchResult : uint8_t { srNoMatch, srMatch, srMore };
    // Searches text from where `scan` stands (a reset scan: from the top) and
    // stops with srMore once about `work` units are spent, `scan` then saying
    // where to go on; `work` is lowered by what was spent. A unit is about one
    // byte read through the DFA cache; building a DFA state or reading a byte
    // with the NFA alone costs more, as the NFA positions it goes through.
    TSearchResult Search(std::string_view text, TRegexScan& scan, size_t& work) const;
    // Cache flushes so far (a figure for tests and benchmarks).
    uint64_t Flushes() const { return flushes_; }
    size_t DfaStates() const { return states_.size(); }

    using TByteSet = std::array<uint64_t, 4>;
    enum TAssert : uint8_t {
        asBeginText,
        asEndText,
        asWordBoundary,
        asNotWordBoundary,
        asNoWordBefore,
        asNoWordAfter
    };

  private:
    struct TNfaState {
        enum TType : uint8_t { nsByte, nsSplit, nsAssert, nsMatch };
        TType Type = nsMatch;
        uint8_t Assert = 0;
        int32_t Out = -1;
        int32_t Out2 = -1;
        int32_t Set = -1; // into sets_, for nsByte
    };
    struct TDfaState {
        std::vector<int32_t> Kernel;
        bool AtStart = false;
        bool PrevWord = false;
        bool Idle = false;     // holds nothing but the start: no match under way
        int8_t EndAccept = -1; // unknown until asked
    };
    friend class TRegexCompiler;

    int32_t StartState(bool atStart, bool prevWord) const;
    int32_t Intern(std::vector<int32_t>& kernel, bool atStart, bool prevWord) const;
    int32_t Step(int32_t state, uint8_t byte) const;
    void Follow(uint8_t byte) const;
    bool AcceptsAtEnd(int32_t state) const;
    void Closure(const std::vector<int32_t>& kernel, bool atStart, bool prevWord, bool nextWord,
                 bool atEnd) const;
    void FlushCache() const;
    // One byte read by the NFA alone from the positions in scan.Kernel; the
    // positions after it, or kMatched / kDead. Adds its cost to cost.
    int32_t NfaStep(TRegexScan& scan, uint8_t byte, size_t& cost) const;
    bool NfaAcceptsAtEnd(const TRegexScan& scan) const;

    bool valid_ = false;
    bool anchored_ = false;
    std::vector<TNfaState> nfa_;
    std::vector<TByteSet> sets_;
    int32_t start_ = -1;
    TPlainSearch prefix_; // bytes every match begins with, when known
    bool hasPrefix_ = false;

    // The lazily built DFA.
    mutable std::vector<TDfaState> states_;
    mutable std::vector<int32_t>
        trans_; // 256 per state: -1 unknown, else kMatched, kDead or a state
    mutable std::vector<uint8_t> idle_; // per state, as TDfaState::Idle, read once per byte
    mutable std::unordered_map<std::string, int32_t> ids_;
    mutable std::array<int32_t, 4> starts_{-1, -1, -1, -1};
    mutable uint64_t flushes_ = 0;
    // Scratch of the closure.
    mutable std::vector<uint32_t> mark_;
    mutable uint32_t stamp_ = 0;
    mutable std::vector<int32_t> closure_, stack_, next_;
    mutable std::string key_;
};

} // namespace vx
