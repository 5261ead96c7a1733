// The regular-expression compiler and search, fed any pattern a user can type
// and any text a client can send. Any pattern compiles or is refused with a
// reason; a search answers the same however often it is asked, and in steps
// as in one go; a group around a pattern changes nothing; and a literal,
// escaped, is found exactly where a plain search finds it.
#include "FuzzSupport.h"
#include "find/Regex.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>

using namespace vx;
using vxfuzz::Check;

namespace {

// Punctuation escaped, letters, digits and '_' as they are (a backslash before
// a word character would make a class or an assertion of it).
std::string Escaped(const std::string& literal) {
    std::string p;
    for (unsigned char c : literal) {
        if (std::isalnum(c) || c == '_' || c >= 0x80) {
            p += char(c);
        } else if (c >= 0x21 && c < 0x7F) {
            p += '\\';
            p += char(c);
        } else {
            static const char hex[] = "0123456789abcdef";
            p += "\\x";
            p += hex[c >> 4];
            p += hex[c & 15];
        }
    }
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool matchCase = in.ConsumeBool(), wholeWord = in.ConsumeBool();
    std::string pattern = in.ConsumeRandomLengthString(TRegex::kMaxPattern + 8);
    std::string literal = in.ConsumeRandomLengthString(16);
    std::string text = in.ConsumeRemainingBytesAsString();

    TRegex re;
    std::string error;
    bool ok = re.Compile(pattern, matchCase, wholeWord, error);
    Check(ok == re.Valid(), "Valid tells how the compile went");
    Check(ok == error.empty(), "a refused pattern has a reason and a good one none");
    if (pattern.size() > TRegex::kMaxPattern) Check(!ok, "an overlong pattern is refused");
    bool found = re.Search(text);
    if (!ok) Check(!found, "a refused pattern matches nothing");
    Check(re.Search(text) == found, "a search answers the same the second time");
    Check(re.DfaStates() <= TRegex::kMaxDfaStates + 1, "the DFA cache stays bounded");
    {
        // In steps of a few units, with another search between them.
        TRegexScan scan;
        TRegex::TSearchResult r;
        size_t units = 1 + pattern.size() % 64, calls = 0;
        do {
            size_t work = units;
            r = re.Search(text, scan, work);
            if (r == TRegex::srMore) re.Search(literal);
            ++calls;
        } while (r == TRegex::srMore && calls <= text.size() + 1);
        Check(r != TRegex::srMore, "a search in steps reads a byte at least each time");
        Check((r == TRegex::srMatch) == found, "a search in steps answers as one in one go");
    }

    if (ok && pattern.size() + 4 <= TRegex::kMaxPattern) {
        TRegex grouped;
        if (grouped.Compile("(?:" + pattern + ")", matchCase, wholeWord, error))
            Check(grouped.Search(text) == found, "a group around a pattern changes nothing");
    }

    TRegex lit;
    std::string escaped = Escaped(literal);
    if (escaped.size() <= TRegex::kMaxPattern) {
        if (!lit.Compile(escaped, true, false, error))
            std::fprintf(stderr, "%s: %s\n", escaped.c_str(), error.c_str());
        Check(lit.Valid(), "an escaped literal compiles");
        Check(lit.Search(text) == (text.find(literal) != std::string::npos),
              "an escaped literal is found where a plain search finds it");
        Check(lit.Search(text + literal), "an escaped literal finds itself");
    }
    return 0;
}
