// A regular-expression search over bytes that never backtracks: the pattern
// becomes a Thompson NFA, and the search runs a DFA built lazily from it, one
// state per set of NFA positions met, so the time is linear in the text and
// the stack depth does not depend on it. The search only answers whether a
// match lies anywhere in the text, which is what find and the rules ask.
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
    bool AcceptsAtEnd(int32_t state) const;
    void Closure(const std::vector<int32_t>& kernel, bool atStart, bool prevWord, bool nextWord,
                 bool atEnd) const;
    void FlushCache() const;

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
    // Scratch of the closure.
    mutable std::vector<uint32_t> mark_;
    mutable uint32_t stamp_ = 0;
    mutable std::vector<int32_t> closure_, stack_, next_;
    mutable std::string key_;
};

} // namespace vx
