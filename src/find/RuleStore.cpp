#include "RuleStore.h"

#include "sections/PanelLayout.h"

#include <algorithm>
#include <cstdio>

namespace vx {

namespace {

constexpr const char* kRuleCount = "Rule Count";
const char* const kFields[kRowFieldCount] = {"message", "unit",  "procedure",
                                             "data",    "group", "kind"};
const char* const kMatches[4] = {"contains", "equals", "starts", "regex"};
const char* const kActions[4] = {"include", "exclude", "highlight", "bookmark"};

std::string RuleName(int index) {
    return "Rule " + std::to_string(index + 1);
}

template <size_t N> int IndexOf(const char* const (&names)[N], std::string_view s) {
    for (size_t i = 0; i < N; ++i)
        if (s == names[i]) return int(i);
    return -1;
}

bool ParseColor(std::string_view s, TColor& c) {
    if (s.empty() || s.size() > 8) return false;
    uint32_t v = 0;
    for (char ch : s) {
        int d = ch >= '0' && ch <= '9'   ? ch - '0'
                : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
                                         : -1;
        if (d < 0) return false;
        v = v * 16 + uint32_t(d);
    }
    c = v;
    return true;
}

std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", unsigned(v));
    return buf;
}

void Escape(std::string_view s, std::string& out) {
    for (char ch : s) {
        uint8_t c = uint8_t(ch);
        if (ch == '\\' || ch == ';') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", unsigned(c));
            out += buf;
        } else {
            out += ch;
        }
    }
}

// Splits at the semicolons that are not escaped; false past `max` fields.
bool Split(std::string_view text, std::vector<std::string_view>& fields, size_t max) {
    fields.clear();
    size_t from = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == ';') {
            if (fields.size() == max) return false;
            fields.push_back(text.substr(from, i - from));
            from = i + 1;
        }
    }
    if (fields.size() == max) return false;
    fields.push_back(text.substr(from));
    return true;
}

bool Unescape(std::string_view s, std::string& out, std::string& why) {
    out.clear();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (i + 1 >= s.size()) {
            why = "pattern ends with a lone backslash";
            return false;
        }
        char e = s[++i];
        if (e == '\\' || e == ';') {
            out += e;
        } else if (e == 'x') {
            TColor v;
            if (i + 2 >= s.size() || !ParseColor(s.substr(i + 1, 2), v)) {
                why = "bad \\x escape in the pattern";
                return false;
            }
            out += char(v);
            i += 2;
        } else {
            why = "unknown escape in the pattern";
            return false;
        }
    }
    return true;
}

} // namespace

std::string EncodeRule(const TFindRule& rule) {
    std::string out =
        std::to_string(rule.Enabled ? kRuleFormatVersion : kDisabledRuleFormatVersion);
    auto field = [&](std::string_view s) {
        out += ';';
        out += s;
    };
    field(rule.Field < kRowFieldCount ? kFields[rule.Field] : "?");
    field(rule.Match <= mkRegularExpression ? kMatches[rule.Match] : "?");
    field(rule.MatchCase ? "1" : "0");
    field(rule.Action <= raBookmark ? kActions[rule.Action] : "?");
    field(Hex(rule.TextColor));
    field(Hex(rule.BackColor));
    if (!rule.Enabled) field("0");
    out += ';';
    Escape(rule.Pattern, out);
    return out;
}

bool DecodeRule(std::string_view text, TFindRule& rule, std::string& why) {
    why.clear(); // the checks below go by it
    if (text.size() > kMaxRuleText) {
        why = "longer than " + std::to_string(kMaxRuleText) + " characters";
        return false;
    }
    std::vector<std::string_view> f;
    bool fits = Split(text, f, 9);
    const bool v1 = !f.empty() && f[0] == std::to_string(kRuleFormatVersion);
    const bool v2 = !f.empty() && f[0] == std::to_string(kDisabledRuleFormatVersion);
    if (!v1 && !v2) {
        // A later version may add fields; this one cannot know what they mean.
        why = f.empty() || f[0].empty()
                  ? "no version"
                  : "unknown version '" + std::string(f[0].substr(0, 8)) + "'";
        return false;
    }
    const size_t count = v1 ? 8 : 9;
    if (!fits || f.size() != count) {
        why = "expected " + std::to_string(count) + " fields";
        return false;
    }
    if (v2 && f[7] != "0" && f[7] != "1") {
        why = "bad enabled flag";
        return false;
    }
    TFindRule r;
    int field = IndexOf(kFields, f[1]), match = IndexOf(kMatches, f[2]),
        action = IndexOf(kActions, f[4]);
    if (field < 0)
        why = "unknown field '" + std::string(f[1].substr(0, 20)) + "'";
    else if (match < 0)
        why = "unknown match '" + std::string(f[2].substr(0, 20)) + "'";
    else if (f[3] != "0" && f[3] != "1")
        why = "bad case flag";
    else if (action < 0)
        why = "unknown action '" + std::string(f[4].substr(0, 20)) + "'";
    else if (!ParseColor(f[5], r.TextColor) || !ParseColor(f[6], r.BackColor))
        why = "bad colour";
    if (!why.empty()) return false;
    if (!Unescape(f[count - 1], r.Pattern, why)) return false;
    r.Enabled = v1 || f[7] == "1";
    r.Field = TRowField(field);
    r.Match = TMatchKind(match);
    r.MatchCase = f[3] == "1";
    r.Action = TRuleAction(action);
    // The pattern must be usable too: the rules are taken as a whole, so one
    // bad rule would keep every other from taking effect.
    why = RuleProblem(r);
    if (!why.empty()) return false;
    rule = std::move(r);
    return true;
}

bool SaveRules(TRegistryHandler& registry, const std::string& clientID,
               const std::vector<TFindRule>& rules) {
    if (IsDeletedClientID(clientID)) return true;
    std::string section = PanelSettingsSection(clientID);
    size_t n = std::min(rules.size(), TRuleSet::kMaxRules);
    bool ok = true;
    for (size_t i = 0; i < n; ++i)
        ok = registry.RegWriteString(section, RuleName(int(i)), EncodeRule(rules[i])) && ok;
    // The count goes last: a reader never counts a rule that was not written.
    return registry.RegWriteInteger(section, kRuleCount, int(n)) && ok;
}

std::vector<TFindRule> LoadRules(TRegistryHandler& registry, const std::string& clientID,
                                 std::vector<std::string>& notes) {
    std::vector<TFindRule> rules;
    std::string section = PanelSettingsSection(clientID);
    int count = registry.RegReadInteger(section, kRuleCount, 0);
    std::string where = " of client '" + clientID + "'";
    if (count < 0 || size_t(count) > TRuleSet::kMaxRules) {
        notes.push_back("Rule Count" + where + " is " + std::to_string(count) + "; at most " +
                        std::to_string(TRuleSet::kMaxRules) + " rules are read");
        count = count < 0 ? 0 : int(TRuleSet::kMaxRules);
    }
    std::string text, why;
    for (int i = 0; i < count; ++i) {
        registry.RegReadString(section, RuleName(i), "", text);
        TFindRule r;
        why.clear();
        if (text.empty()) {
            why = "missing";
        } else if (DecodeRule(text, r, why)) {
            rules.push_back(std::move(r));
            continue;
        }
        notes.push_back(RuleName(i) + where + " dropped: " + why);
    }
    return rules;
}

} // namespace vx
