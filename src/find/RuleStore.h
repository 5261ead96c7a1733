// Rules saved with a client's other settings, under "Debugger\" + ClientID,
// so a client gets its rules back when it connects again. The values are
// "Rule Count" and "Rule 1", "Rule 2", ...: one text per rule of the form
//   1;field;match;case;action;text colour;back colour;pattern
// where 1 is the version of the form, field is message, unit, procedure,
// data, group or kind; match is contains, equals, starts or regex; case is 1
// to match the case and 0 not; action is include, exclude, highlight or
// bookmark; the colours are hexadecimal; and in the pattern a backslash,
// a semicolon and every control byte are escaped as \\, \; and \xHH.
// A disabled rule is written in version 2, which adds its enabled flag:
//   2;field;match;case;action;text colour;back colour;0;pattern
// An enabled rule keeps version 1, so that a build that knows only that
// form still reads every rule in effect.
// Stored values are read as hostile: counts and lengths are bounded, and a
// rule that cannot be read is dropped with a note.
#pragma once

#include "Rules.h"
#include "settings/RegistryHandler.h"

#include <string>
#include <string_view>
#include <vector>

namespace vx {

inline constexpr int kRuleFormatVersion = 1;
inline constexpr int kDisabledRuleFormatVersion = 2;
// A pattern escaped in full takes four bytes per byte.
inline constexpr size_t kMaxRuleText = 64 + 4 * TTextMatcher::kMaxPattern;

std::string EncodeRule(const TFindRule& rule);
// False with the reason when the text is no rule this program can use.
bool DecodeRule(std::string_view text, TFindRule& rule, std::string& why);

// Writes the rules (nothing for a deleted section's "DEL_" ID). Returns false
// when a value could not be written.
bool SaveRules(TRegistryHandler& registry, const std::string& clientID,
               const std::vector<TFindRule>& rules);
// Reads the rules back. Each rule that is dropped, and a count out of range,
// adds one note for the exception log.
std::vector<TFindRule> LoadRules(TRegistryHandler& registry, const std::string& clientID,
                                 std::vector<std::string>& notes);

} // namespace vx
