#include "Regex.h"

#include "ByteText.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace vx {

namespace {

constexpr int32_t kUnknown = -1;
constexpr int32_t kMatched = -2;
constexpr int32_t kDead = -3;
constexpr int kMaxNesting = 100;   // groups inside groups
constexpr int kMaxRepeat = 1000;   // n and m of {n,m}
constexpr int kMaxQuantifiers = 4; // quantifiers on one atom, as in a+?{2}

// The cost of a search in units of about one byte read through the DFA cache.
constexpr size_t kSkipBytesPerUnit = 8; // bytes the prefix search passes over per unit
// What going through n NFA positions costs (building a state or one byte by
// the NFA alone).
constexpr size_t KernelCost(size_t positions) {
    return 16 + 4 * positions;
}
// The DFA gives way to the NFA alone when kWindowMisses new transitions come
// within kWindowBytes bytes and the cache was flushed meanwhile; the NFA then
// reads kNfaStretch bytes before the DFA is tried again.
constexpr uint32_t kWindowMisses = 256;
constexpr size_t kWindowBytes = 512;
constexpr uint32_t kNfaStretch = 1 << 16;

using TByteSet = TRegex::TByteSet;

void Add(TByteSet& s, uint8_t c) {
    s[c >> 6] |= uint64_t(1) << (c & 63);
}
bool Has(const TByteSet& s, uint8_t c) {
    return (s[c >> 6] >> (c & 63)) & 1;
}
void AddRange(TByteSet& s, int lo, int hi) {
    for (int w = lo >> 6; w <= hi >> 6; ++w) {
        int from = std::max(lo, w * 64) - w * 64, to = std::min(hi, w * 64 + 63) - w * 64;
        uint64_t bits = (to == 63 ? ~uint64_t(0) : (uint64_t(1) << (to + 1)) - 1) &
                        ~((uint64_t(1) << from) - 1);
        s[size_t(w)] |= bits;
    }
}
void AddIf(TByteSet& s, bool (*pred)(uint8_t), bool negate) {
    for (int c = 0; c < 256; ++c)
        if (pred(uint8_t(c)) != negate) Add(s, uint8_t(c));
}
bool IsDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}
bool IsSpace(uint8_t c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
bool IsWord(uint8_t c) {
    return IsWordByte(c);
}
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct TAst {
    enum TKind : uint8_t { akEmpty, akSet, akConcat, akAlt, akRepeat, akAssert };
    TKind Kind = akEmpty;
    uint8_t Assert = 0;
    int Set = -1;
    int Min = 0, Max = 0; // Max -1: no limit
    std::vector<int> Kids;
};

} // namespace

// Parses a pattern into a small syntax tree, then builds the NFA from it.
class TRegexCompiler {
  public:
    TRegexCompiler(TRegex& re, std::string_view pattern, bool matchCase)
        : re_(re), p_(pattern), matchCase_(matchCase) {}

    bool Run(bool wholeWord, std::string& error) {
        int root = ParseAlt();
        if (ok_ && pos_ < p_.size()) Fail("Unmatched )");
        if (!ok_) {
            error = error_;
            return false;
        }
        re_.anchored_ = StartsWithBeginText(root);
        FindPrefix(root);
        if (wholeWord) {
            int before = NewAssert(TRegex::asNoWordBefore);
            int after = NewAssert(TRegex::asNoWordAfter);
            int wrap = NewNode(TAst::akConcat);
            ast_[size_t(wrap)].Kids = {before, root, after};
            root = wrap;
        }
        re_.nfa_.clear();
        int32_t match = NewState(TRegex::TNfaState::nsMatch);
        re_.start_ = Emit(root, match);
        if (overflow_) {
            error = "The regular expression is too large";
            return false;
        }
        return true;
    }

  private:
    // --- Parsing ---
    void Fail(const char* what) {
        if (!ok_) return;
        ok_ = false;
        error_ = std::string(what) + " at position " + std::to_string(pos_ + 1);
    }
    bool More() const { return pos_ < p_.size(); }
    char Peek() const { return p_[pos_]; }

    int NewNode(TAst::TKind kind) {
        ast_.emplace_back();
        ast_.back().Kind = kind;
        return int(ast_.size() - 1);
    }
    int NewSet(const TByteSet& s) {
        re_.sets_.push_back(s);
        int n = NewNode(TAst::akSet);
        ast_[size_t(n)].Set = int(re_.sets_.size() - 1);
        return n;
    }
    int NewAssert(uint8_t a) {
        int n = NewNode(TAst::akAssert);
        ast_[size_t(n)].Assert = a;
        return n;
    }
    void FoldSet(TByteSet& s) const {
        if (matchCase_) return;
        for (int c = 'a'; c <= 'z'; ++c) {
            if (Has(s, uint8_t(c))) Add(s, uint8_t(c - 32));
            if (Has(s, uint8_t(c - 32))) Add(s, uint8_t(c));
        }
    }
    int Literal(uint8_t c) {
        TByteSet s{};
        Add(s, c);
        FoldSet(s);
        return NewSet(s);
    }

    int ParseAlt() {
        if (++depth_ > kMaxNesting) {
            Fail("The groups nest too deeply");
            return 0;
        }
        std::vector<int> alts{ParseSeq()};
        while (ok_ && More() && Peek() == '|') {
            ++pos_;
            alts.push_back(ParseSeq());
        }
        --depth_;
        if (alts.size() == 1) return alts[0];
        int n = NewNode(TAst::akAlt);
        ast_[size_t(n)].Kids = std::move(alts);
        return n;
    }

    int ParseSeq() {
        std::vector<int> items;
        while (ok_ && More() && Peek() != '|' && Peek() != ')') {
            int atom = ParseAtom();
            if (!ok_) break;
            items.push_back(ParseQuantifiers(atom));
        }
        if (items.empty()) return NewNode(TAst::akEmpty);
        if (items.size() == 1) return items[0];
        int n = NewNode(TAst::akConcat);
        ast_[size_t(n)].Kids = std::move(items);
        return n;
    }

    // Reads {n}, {n,} or {n,m} at pos_ without moving; false when the brace
    // does not start one (it is then a literal "{").
    bool ReadBraces(int& min, int& max, size_t& end) const {
        size_t i = pos_ + 1;
        auto number = [&](int& v) {
            size_t from = i;
            long long x = 0;
            while (i < p_.size() && IsDigit(uint8_t(p_[i]))) {
                x = std::min<long long>(x * 10 + (p_[i] - '0'), 1000000);
                ++i;
            }
            v = int(x);
            return i > from;
        };
        if (!number(min)) return false;
        max = min;
        if (i < p_.size() && p_[i] == ',') {
            ++i;
            if (!number(max)) max = -1;
        }
        if (i >= p_.size() || p_[i] != '}') return false;
        end = i + 1;
        return true;
    }

    int ParseQuantifiers(int atom) {
        for (int count = 0; ok_ && More(); ++count) {
            int min, max;
            char c = Peek();
            size_t end = pos_ + 1;
            if (c == '*')
                min = 0, max = -1;
            else if (c == '+')
                min = 1, max = -1;
            else if (c == '?')
                min = 0, max = 1;
            else if (c != '{' || !ReadBraces(min, max, end))
                break;
            if (count == kMaxQuantifiers) {
                Fail("Too many quantifiers in a row");
                break;
            }
            if (min > kMaxRepeat || max > kMaxRepeat) {
                Fail("Repetition count above 1000");
                break;
            }
            if (max != -1 && max < min) {
                Fail("Repetition range out of order");
                break;
            }
            pos_ = end;
            if (More() && Peek() == '?') ++pos_; // lazy: the same for a yes-or-no search
            int n = NewNode(TAst::akRepeat);
            ast_[size_t(n)].Kids = {atom};
            ast_[size_t(n)].Min = min;
            ast_[size_t(n)].Max = max;
            atom = n;
        }
        return atom;
    }

    int ParseAtom() {
        char c = Peek();
        switch (c) {
        case '(': {
            ++pos_;
            if (More() && Peek() == '?') {
                if (pos_ + 1 < p_.size() && p_[pos_ + 1] == ':') {
                    pos_ += 2;
                } else {
                    Fail("Look-around and group options are not supported");
                    return 0;
                }
            }
            int inner = ParseAlt();
            if (!ok_) return 0;
            if (!More() || Peek() != ')') {
                Fail("Missing )");
                return 0;
            }
            ++pos_;
            return inner;
        }
        case '[':
            return ParseClass();
        case '.': {
            ++pos_;
            TByteSet s{};
            AddRange(s, 0, 255);
            s['\n' >> 6] &= ~(uint64_t(1) << ('\n' & 63));
            return NewSet(s);
        }
        case '^':
            ++pos_;
            return NewAssert(TRegex::asBeginText);
        case '$':
            ++pos_;
            return NewAssert(TRegex::asEndText);
        case '*':
        case '+':
        case '?':
            Fail("Nothing to repeat");
            return 0;
        case '{': {
            int min, max;
            size_t end;
            if (ReadBraces(min, max, end)) {
                Fail("Nothing to repeat");
                return 0;
            }
            ++pos_;
            return Literal('{');
        }
        case '\\':
            return ParseEscape();
        default:
            ++pos_;
            return Literal(uint8_t(c));
        }
    }

    // A class escape (\d \w \s and their negations) into s; false when c is none.
    static bool ClassEscape(char c, TByteSet& s) {
        switch (c) {
        case 'd':
            AddIf(s, IsDigit, false);
            return true;
        case 'D':
            AddIf(s, IsDigit, true);
            return true;
        case 'w':
            AddIf(s, IsWord, false);
            return true;
        case 'W':
            AddIf(s, IsWord, true);
            return true;
        case 's':
            AddIf(s, IsSpace, false);
            return true;
        case 'S':
            AddIf(s, IsSpace, true);
            return true;
        default:
            return false;
        }
    }

    // The byte of a single-byte escape after the backslash (pos_ on the
    // letter), or -1 with the error set.
    int EscapedByte(bool inClass) {
        char c = Peek();
        ++pos_;
        switch (c) {
        case 't':
            return '\t';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 'f':
            return '\f';
        case 'v':
            return '\v';
        case '0':
            return 0;
        case 'b':
            if (inClass) return '\b';
            break;
        case 'x': {
            int hi = More() ? HexValue(Peek()) : -1;
            int lo = pos_ + 1 < p_.size() ? HexValue(p_[pos_ + 1]) : -1;
            if (hi < 0 || lo < 0) {
                Fail("\\x needs two hexadecimal digits");
                return -1;
            }
            pos_ += 2;
            return hi * 16 + lo;
        }
        default:
            break;
        }
        if (IsDigit(uint8_t(c))) {
            --pos_;
            Fail("Back references are not supported");
            return -1;
        }
        if (IsAsciiLetter(uint8_t(c)) || c == '_') {
            --pos_;
            Fail("Unknown escape");
            return -1;
        }
        return uint8_t(c); // escaped punctuation or an 8-bit byte stands for itself
    }

    int ParseEscape() {
        ++pos_;
        if (!More()) {
            --pos_;
            Fail("The pattern ends with a backslash");
            return 0;
        }
        char c = Peek();
        TByteSet s{};
        if (ClassEscape(c, s)) {
            ++pos_;
            return NewSet(s);
        }
        if (c == 'b' || c == 'B') {
            ++pos_;
            return NewAssert(c == 'b' ? TRegex::asWordBoundary : TRegex::asNotWordBoundary);
        }
        int b = EscapedByte(false);
        return b < 0 ? 0 : Literal(uint8_t(b));
    }

    int ParseClass() {
        size_t open = pos_;
        ++pos_;
        bool negate = More() && Peek() == '^';
        if (negate) ++pos_;
        TByteSet s{};
        bool first = true;
        while (ok_) {
            if (!More()) {
                pos_ = open;
                Fail("Missing ]");
                return 0;
            }
            char c = Peek();
            if (c == ']' && !first) {
                ++pos_;
                break;
            }
            first = false;
            int lo;
            if (c == '\\') {
                ++pos_;
                if (!More()) {
                    pos_ = open;
                    Fail("Missing ]");
                    return 0;
                }
                if (ClassEscape(Peek(), s)) {
                    ++pos_;
                    continue;
                }
                lo = EscapedByte(true);
                if (lo < 0) return 0;
            } else {
                ++pos_;
                lo = uint8_t(c);
            }
            int hi = lo;
            if (pos_ + 1 < p_.size() && Peek() == '-' && p_[pos_ + 1] != ']') {
                ++pos_;
                char d = Peek();
                if (d == '\\') {
                    ++pos_;
                    if (!More()) {
                        pos_ = open;
                        Fail("Missing ]");
                        return 0;
                    }
                    TByteSet unused{};
                    if (ClassEscape(Peek(), unused)) {
                        Fail("A range cannot end in a class");
                        return 0;
                    }
                    hi = EscapedByte(true);
                    if (hi < 0) return 0;
                } else {
                    ++pos_;
                    hi = uint8_t(d);
                }
                if (hi < lo) {
                    Fail("Range out of order in class");
                    return 0;
                }
            }
            AddRange(s, lo, hi);
        }
        FoldSet(s);
        if (negate)
            for (uint64_t& w : s)
                w = ~w;
        return NewSet(s);
    }

    // --- What the search can use before it runs the DFA ---
    const std::vector<int>& Items(int node, std::vector<int>& one) const {
        if (ast_[size_t(node)].Kind == TAst::akConcat) return ast_[size_t(node)].Kids;
        one = {node};
        return one;
    }

    bool StartsWithBeginText(int root) const {
        std::vector<int> one;
        for (int n : Items(root, one)) {
            const TAst& a = ast_[size_t(n)];
            if (a.Kind != TAst::akAssert) return false;
            if (a.Assert == TRegex::asBeginText) return true;
        }
        return false;
    }

    // The single byte a set stands for, the case aside; -1 when it is more.
    int LiteralOf(const TByteSet& s) const {
        int found = -1, count = 0;
        for (int w = 0; w < 4; ++w) {
            count += std::popcount(s[size_t(w)]);
            if (found < 0 && s[size_t(w)]) found = w * 64 + std::countr_zero(s[size_t(w)]);
        }
        if (count == 1) return found;
        if (count == 2 && !matchCase_ && found >= 'A' && found <= 'Z' &&
            Has(s, uint8_t(found + 32)))
            return found;
        return -1;
    }

    // Literal bytes every match begins with (after zero-width assertions).
    void FindPrefix(int root) {
        std::string prefix;
        std::vector<int> one;
        bool bytes = false;
        for (int n : Items(root, one)) {
            const TAst& a = ast_[size_t(n)];
            if (a.Kind == TAst::akAssert && !bytes) continue;
            if (a.Kind != TAst::akSet) break;
            int c = LiteralOf(re_.sets_[size_t(a.Set)]);
            if (c < 0) break;
            prefix.push_back(char(c));
            bytes = true;
        }
        re_.hasPrefix_ = !prefix.empty();
        if (re_.hasPrefix_) re_.prefix_.Reset(prefix, matchCase_);
    }

    // --- Building the NFA, from the end backwards ---
    int32_t NewState(TRegex::TNfaState::TType type) {
        if (re_.nfa_.size() >= TRegex::kMaxNfaStates) {
            overflow_ = true;
            return 0;
        }
        re_.nfa_.push_back(TRegex::TNfaState{type});
        return int32_t(re_.nfa_.size() - 1);
    }

    // Emits node so that it continues to `next`; returns its entry state.
    int32_t Emit(int node, int32_t next) {
        if (overflow_) return 0;
        const TAst& a = ast_[size_t(node)];
        switch (a.Kind) {
        case TAst::akEmpty:
            return next;
        case TAst::akSet: {
            int32_t s = NewState(TRegex::TNfaState::nsByte);
            if (overflow_) return 0;
            re_.nfa_[size_t(s)].Set = a.Set;
            re_.nfa_[size_t(s)].Out = next;
            return s;
        }
        case TAst::akAssert: {
            int32_t s = NewState(TRegex::TNfaState::nsAssert);
            if (overflow_) return 0;
            re_.nfa_[size_t(s)].Assert = a.Assert;
            re_.nfa_[size_t(s)].Out = next;
            return s;
        }
        case TAst::akConcat: {
            int32_t entry = next;
            for (size_t i = a.Kids.size(); i-- > 0;)
                entry = Emit(a.Kids[i], entry);
            return entry;
        }
        case TAst::akAlt: {
            int32_t entry = Emit(a.Kids.back(), next);
            for (size_t i = a.Kids.size() - 1; i-- > 0;) {
                int32_t e = Emit(a.Kids[i], next);
                int32_t s = NewState(TRegex::TNfaState::nsSplit);
                if (overflow_) return 0;
                re_.nfa_[size_t(s)].Out = e;
                re_.nfa_[size_t(s)].Out2 = entry;
                entry = s;
            }
            return entry;
        }
        case TAst::akRepeat: {
            int kid = a.Kids[0];
            int min = a.Min, max = a.Max;
            int32_t entry = next;
            if (max == -1) {
                int32_t loop = NewState(TRegex::TNfaState::nsSplit);
                int32_t body = Emit(kid, loop);
                if (overflow_) return 0;
                re_.nfa_[size_t(loop)].Out = body;
                re_.nfa_[size_t(loop)].Out2 = next;
                entry = loop;
            } else {
                for (int i = 0; i < max - min && !overflow_; ++i) {
                    int32_t body = Emit(kid, entry);
                    int32_t s = NewState(TRegex::TNfaState::nsSplit);
                    if (overflow_) return 0;
                    re_.nfa_[size_t(s)].Out = body;
                    re_.nfa_[size_t(s)].Out2 = next;
                    entry = s;
                }
            }
            for (int i = 0; i < min && !overflow_; ++i)
                entry = Emit(kid, entry);
            return entry;
        }
        }
        return next;
    }

    TRegex& re_;
    std::string_view p_;
    bool matchCase_;
    size_t pos_ = 0;
    int depth_ = 0;
    bool ok_ = true;
    bool overflow_ = false;
    std::string error_;
    std::vector<TAst> ast_;
};

bool TRegex::Compile(std::string_view pattern, bool matchCase, bool wholeWord, std::string& error) {
    valid_ = false;
    nfa_.clear();
    sets_.clear();
    hasPrefix_ = false;
    anchored_ = false;
    FlushCache();
    error.clear();
    if (pattern.size() > kMaxPattern) {
        error = "The regular expression is longer than 1000 characters";
        return false;
    }
    try {
        TRegexCompiler compiler(*this, pattern, matchCase);
        valid_ = compiler.Run(wholeWord, error);
    } catch (const std::exception&) {
        // Only memory can run out here; the user hears of it like any bad pattern.
        error = "The regular expression is too large";
        valid_ = false;
    }
    if (!valid_) {
        nfa_.clear();
        sets_.clear();
        hasPrefix_ = false;
        return false;
    }
    mark_.assign(nfa_.size(), 0);
    stamp_ = 0;
    return true;
}

void TRegex::FlushCache() const {
    if (!states_.empty()) ++flushes_;
    states_.clear();
    trans_.clear();
    idle_.clear();
    ids_.clear();
    starts_ = {-1, -1, -1, -1};
}

void TRegex::Closure(const std::vector<int32_t>& kernel, bool atStart, bool prevWord, bool nextWord,
                     bool atEnd) const {
    if (++stamp_ == 0) {
        std::fill(mark_.begin(), mark_.end(), 0);
        stamp_ = 1;
    }
    closure_.clear();
    stack_.assign(kernel.begin(), kernel.end());
    while (!stack_.empty()) {
        int32_t s = stack_.back();
        stack_.pop_back();
        if (mark_[size_t(s)] == stamp_) continue;
        mark_[size_t(s)] = stamp_;
        closure_.push_back(s);
        const TNfaState& n = nfa_[size_t(s)];
        switch (n.Type) {
        case TNfaState::nsSplit:
            stack_.push_back(n.Out2);
            stack_.push_back(n.Out);
            break;
        case TNfaState::nsAssert: {
            bool holds = false;
            switch (n.Assert) {
            case asBeginText:
                holds = atStart;
                break;
            case asEndText:
                holds = atEnd;
                break;
            case asWordBoundary:
                holds = prevWord != nextWord;
                break;
            case asNotWordBoundary:
                holds = prevWord == nextWord;
                break;
            case asNoWordBefore:
                holds = !prevWord;
                break;
            case asNoWordAfter:
                holds = !nextWord;
                break;
            }
            if (holds) stack_.push_back(n.Out);
            break;
        }
        default:
            break;
        }
    }
}

int32_t TRegex::Intern(std::vector<int32_t>& kernel, bool atStart, bool prevWord) const {
    key_.assign(1, char((atStart ? 1 : 0) | (prevWord ? 2 : 0)));
    key_.append(reinterpret_cast<const char*>(kernel.data()), kernel.size() * sizeof(int32_t));
    auto it = ids_.find(key_);
    if (it != ids_.end()) return it->second;
    if (states_.size() >= kMaxDfaStates) FlushCache();
    TDfaState st;
    st.Kernel = kernel;
    st.AtStart = atStart;
    st.PrevWord = prevWord;
    st.Idle = !anchored_ && kernel.size() == 1 && kernel[0] == start_;
    idle_.push_back(st.Idle ? 1 : 0);
    states_.push_back(std::move(st));
    trans_.resize(states_.size() * 256, kUnknown);
    int32_t id = int32_t(states_.size() - 1);
    ids_.emplace(key_, id);
    return id;
}

int32_t TRegex::StartState(bool atStart, bool prevWord) const {
    int32_t& s = starts_[(atStart ? 1 : 0) | (prevWord ? 2 : 0)];
    if (s < 0) {
        next_.assign(1, start_);
        int32_t id = Intern(next_, atStart, prevWord);
        starts_[(atStart ? 1 : 0) | (prevWord ? 2 : 0)] = id; // after a possible flush
    }
    return starts_[(atStart ? 1 : 0) | (prevWord ? 2 : 0)];
}

int32_t TRegex::Step(int32_t state, uint8_t byte) const {
    bool nextWord = IsWordByte(byte);
    {
        const TDfaState& st = states_[size_t(state)];
        Closure(st.Kernel, st.AtStart, st.PrevWord, nextWord, false);
    }
    int32_t result = kDead;
    for (int32_t s : closure_)
        if (nfa_[size_t(s)].Type == TNfaState::nsMatch) result = kMatched;
    if (result != kMatched) {
        Follow(byte);
        if (!next_.empty()) {
            std::sort(next_.begin(), next_.end());
            size_t before = states_.size();
            result = Intern(next_, false, nextWord);
            // A flush forgot `state`; its transition is learnt again later.
            if (states_.size() < before || (result == 0 && before >= kMaxDfaStates)) return result;
        }
    }
    trans_[size_t(state) * 256 + byte] = result;
    return result;
}

// The states the closure reaches over `byte`, each once, into next_ (with
// the start again when the search is not anchored).
void TRegex::Follow(uint8_t byte) const {
    if (++stamp_ == 0) {
        std::fill(mark_.begin(), mark_.end(), 0);
        stamp_ = 1;
    }
    next_.clear();
    for (int32_t s : closure_) {
        const TNfaState& n = nfa_[size_t(s)];
        if (n.Type != TNfaState::nsByte || !Has(sets_[size_t(n.Set)], byte)) continue;
        if (mark_[size_t(n.Out)] == stamp_) continue;
        mark_[size_t(n.Out)] = stamp_;
        next_.push_back(n.Out);
    }
    if (!anchored_ && mark_[size_t(start_)] != stamp_) next_.push_back(start_);
}

bool TRegex::AcceptsAtEnd(int32_t state) const {
    TDfaState& st = states_[size_t(state)];
    if (st.EndAccept < 0) {
        Closure(st.Kernel, st.AtStart, st.PrevWord, false, true);
        bool accept = false;
        for (int32_t s : closure_)
            if (nfa_[size_t(s)].Type == TNfaState::nsMatch) accept = true;
        states_[size_t(state)].EndAccept = accept ? 1 : 0;
    }
    return states_[size_t(state)].EndAccept == 1;
}

int32_t TRegex::NfaStep(TRegexScan& scan, uint8_t byte, size_t& cost) const {
    // As Step, without the DFA state.
    bool nextWord = IsWordByte(byte);
    Closure(scan.Kernel, scan.AtStart, scan.PrevWord, nextWord, false);
    cost += KernelCost(scan.Kernel.size() + closure_.size());
    for (int32_t s : closure_)
        if (nfa_[size_t(s)].Type == TNfaState::nsMatch) return kMatched;
    Follow(byte);
    if (next_.empty()) return kDead;
    scan.Kernel.swap(next_);
    scan.AtStart = false;
    scan.PrevWord = nextWord;
    return 0;
}

bool TRegex::NfaAcceptsAtEnd(const TRegexScan& scan) const {
    Closure(scan.Kernel, scan.AtStart, scan.PrevWord, false, true);
    for (int32_t s : closure_)
        if (nfa_[size_t(s)].Type == TNfaState::nsMatch) return true;
    return false;
}

bool TRegex::Search(std::string_view text) const {
    TRegexScan scan;
    size_t work = size_t(-1);
    return Search(text, scan, work) == srMatch;
}

TRegex::TSearchResult TRegex::Search(std::string_view text, TRegexScan& scan, size_t& work) const {
    if (!valid_) return srNoMatch;
    const uint8_t* t = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    size_t left = work; // units
    auto charge = [&](size_t cost) { left = cost < left ? left - cost : 0; };
    auto done = [&](TSearchResult r) {
        work = left;
        return r;
    };

    // Skips idle bytes up to where the prefix next stands, at most as far as
    // the work left allows; false when it is found nowhere.
    size_t i = scan.Pos;
    bool stopped = false; // the skip ran out of work before it found the prefix
    auto skip = [&]() {
        // Some bytes at least, so that every call gets on.
        size_t units = std::max<size_t>(left, 1);
        size_t reach = units > (n - i) / kSkipBytesPerUnit ? n : i + units * kSkipBytesPerUnit;
        size_t window = std::min(n, reach + prefix_.Size() - 1);
        size_t p = prefix_.Find(text.substr(0, window), i);
        if (p == TPlainSearch::npos) {
            if (window == n) return false;
            charge(left);
            i = reach;
            stopped = true;
            return true;
        }
        charge((p - i) / kSkipBytesPerUnit);
        i = p;
        return true;
    };

    // Every call reads one byte at least, whatever going on has cost.
    const size_t first = scan.Begun ? scan.Pos : 0;
    auto spent = [&]() { return left == 0 && i != first; };
    int32_t s;
    if (!scan.Begun) {
        scan.Begun = true;
        i = 0;
        if (hasPrefix_ && !skip()) return done(srNoMatch);
        s = StartState(i == 0, i > 0 && IsWordByte(t[i - 1]));
    } else if (scan.NfaLeft > 0) {
        s = -1;
    } else {
        s = Intern(scan.Kernel, scan.AtStart, scan.PrevWord);
        charge(KernelCost(scan.Kernel.size()));
    }

    // Leaves the state of the scan in `scan` to go on from i later.
    auto suspend = [&]() {
        scan.Pos = i;
        if (scan.NfaLeft == 0) {
            const TDfaState& st = states_[size_t(s)];
            scan.Kernel = st.Kernel;
            scan.AtStart = st.AtStart;
            scan.PrevWord = st.PrevWord;
        }
        return done(srMore);
    };
    if (stopped) return suspend();

    const int32_t* trans = trans_.data();
    while (i < n) {
        if (scan.NfaLeft > 0) {
            // The NFA alone, until its stretch ends or nothing is under way
            // (then the DFA skips to the prefix).
            bool idle = !anchored_ && scan.Kernel.size() == 1 && scan.Kernel[0] == start_;
            if (hasPrefix_ && idle) {
                scan.NfaLeft = 0;
            } else {
                if (spent()) return suspend();
                size_t cost = 0;
                int32_t r = NfaStep(scan, t[i], cost);
                charge(cost);
                if (r == kMatched) return done(srMatch);
                if (r == kDead) return done(srNoMatch);
                ++i;
                --scan.NfaLeft;
            }
            if (scan.NfaLeft == 0) {
                std::sort(scan.Kernel.begin(), scan.Kernel.end());
                s = Intern(scan.Kernel, scan.AtStart, scan.PrevWord);
                trans = trans_.data();
                charge(KernelCost(scan.Kernel.size()));
                scan.WindowStart = i;
                scan.WindowMisses = 0;
                scan.WindowFlushes = flushes_;
            }
            continue;
        }
        if (hasPrefix_ && idle_[size_t(s)]) {
            // Nothing under way: skip to where the next match could begin.
            size_t from = i;
            if (!skip()) return done(srNoMatch);
            if (stopped) {
                if (i != from) s = StartState(false, IsWordByte(t[i - 1]));
                return suspend();
            }
            if (i != from) {
                s = StartState(false, IsWordByte(t[i - 1]));
                trans = trans_.data();
            }
        }
        // A run of bytes through the DFA at a unit each, as far as the units
        // go; a new state costs more and shortens the run.
        size_t room = left > 0 ? left : i == first ? 1 : 0;
        if (room == 0) return suspend();
        size_t end = room >= n - i ? n : i + room;
        size_t from = i, extra = 0;
        do {
            int32_t next = trans[size_t(s) * 256 + t[i]];
            if (next < 0) {
                if (next == kUnknown) {
                    next = Step(s, t[i]);
                    trans = trans_.data(); // the table may have grown or been flushed
                    size_t cost = KernelCost(closure_.size() + next_.size());
                    extra += cost;
                    end = cost >= end - i - 1 ? i + 1 : end - cost;
                    if (i - scan.WindowStart >= kWindowBytes) {
                        scan.WindowStart = i;
                        scan.WindowMisses = 0;
                        scan.WindowFlushes = flushes_;
                    }
                    if (++scan.WindowMisses >= kWindowMisses) {
                        // Almost every byte builds a state and the cache was
                        // flushed meanwhile: the NFA alone is cheaper for a while.
                        if (flushes_ != scan.WindowFlushes && next >= 0) {
                            const TDfaState& st = states_[size_t(next)];
                            scan.Kernel = st.Kernel;
                            scan.AtStart = st.AtStart;
                            scan.PrevWord = st.PrevWord;
                            scan.NfaLeft = kNfaStretch;
                        }
                        scan.WindowStart = i;
                        scan.WindowMisses = 0;
                        scan.WindowFlushes = flushes_;
                    }
                }
                if (next < 0) {
                    charge(i + 1 - from + extra);
                    if (next == kMatched) return done(srMatch);
                    return done(srNoMatch);
                }
            }
            s = next;
            ++i;
            if (scan.NfaLeft > 0) break;
        } while (i < end && !(hasPrefix_ && idle_[size_t(s)]));
        charge(i - from + extra);
    }
    scan.Pos = i;
    bool accept = scan.NfaLeft > 0 ? NfaAcceptsAtEnd(scan) : AcceptsAtEnd(s);
    return done(accept ? srMatch : srNoMatch);
}

} // namespace vx
