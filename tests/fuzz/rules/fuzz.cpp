// Saved rules, read back as hostile text: any text decodes to a rule or is
// refused with a reason; a decoded rule encodes to a text that decodes to the
// same rule; and the rules stored under a client's key load, compile and
// judge a row whatever the stored count and texts say.
#include "FuzzSupport.h"
#include "find/RuleStore.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace vx;
using vxfuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);

    std::string text = in.ConsumeRandomLengthString(kMaxRuleText + 16);
    TFindRule rule;
    std::string why;
    if (DecodeRule(text, rule, why)) {
        Check(why.empty(), "a decoded rule has no complaint");
        std::string again = EncodeRule(rule);
        Check(again.size() <= kMaxRuleText, "an encoded rule fits the bound a reader holds it to");
        TFindRule back;
        Check(DecodeRule(again, back, why), "an encoded rule decodes");
        Check(back == rule, "a decoded rule encodes back to itself");
    } else {
        Check(!why.empty(), "a refused rule has a reason");
    }

    // Any rule the program could make survives its store.
    TFindRule made;
    made.Field = TRowField(in.ConsumeIntegralInRange<int>(0, kRowFieldCount - 1));
    made.Match = TMatchKind(in.ConsumeIntegralInRange<int>(0, 3));
    made.MatchCase = in.ConsumeBool();
    made.Action = TRuleAction(in.ConsumeIntegralInRange<int>(0, 3));
    made.TextColor = in.ConsumeIntegral<uint32_t>() & 0xFFFFFF;
    made.BackColor = in.ConsumeIntegral<uint32_t>() & 0xFFFFFF;
    made.Pattern = in.ConsumeRandomLengthString(TTextMatcher::kMaxPattern);
    made.Enabled = in.ConsumeBool();
    TTextMatcher matcher;
    // A rule of an empty pattern would match every row: the program never makes one.
    if (!made.Pattern.empty() &&
        matcher.Compile(TMatchQuery{made.Pattern, made.Match, made.MatchCase, false}, why)) {
        TFindRule back;
        Check(DecodeRule(EncodeRule(made), back, why), "a made rule decodes");
        Check(back == made, "a made rule comes back as it was");
    }

    TMemorySettings memory;
    TRegistryHandler registry(memory);
    const std::string id = "Fuzz";
    const std::string section = std::string("Debugger\\") + id;
    registry.RegWriteString(section, "Rule Count", in.ConsumeRandomLengthString(12));
    int stored = in.ConsumeIntegralInRange<int>(0, 8);
    for (int i = 1; i <= stored; ++i)
        registry.RegWriteString(section, "Rule " + std::to_string(i),
                                in.ConsumeRandomLengthString(200));
    std::vector<std::string> notes;
    std::vector<TFindRule> rules = LoadRules(registry, id, notes);
    Check(rules.size() <= TRuleSet::kMaxRules, "no more rules load than a set holds");

    TRuleSet set;
    std::string error;
    if (set.Assign(rules, error)) {
        TDebugRowStore rows;
        TDebugInfoRec rec;
        rec.Group = in.ConsumeIntegral<uint8_t>();
        rec.Kind = in.ConsumeIntegral<uint8_t>();
        rec.Text = in.ConsumeRandomLengthString(100);
        rec.UnitName = in.ConsumeRandomLengthString(20);
        rec.ProcName = in.ConsumeRandomLengthString(20);
        std::string attached = in.ConsumeRemainingBytesAsString();
        if (!attached.empty()) {
            rec.DataSize = int32_t(attached.size());
            rec.Data = std::make_unique<uint8_t[]>(attached.size());
            std::memcpy(rec.Data.get(), attached.data(), attached.size());
        }
        size_t row = rows.Append(rec);
        TRuleOutcome outcome = set.Evaluate(rows, row);
        const TFindRule* highlight = set.Highlight(outcome);
        if (highlight)
            Check(highlight->Action == raHighlight, "a highlight names a highlight rule");
    }
    return 0;
}
