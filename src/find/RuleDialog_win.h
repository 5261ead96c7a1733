// The rule editor of the window program: a modal dialog that edits a
// section's ordered list of rules.
//
//   TRuleDialog rules(mainWindow);
//   if (rules.EditRules(section.Caption, list)) finder.SetRules(list, error);
//
// A rule is enabled or disabled with its check box in the list. OK closes
// the dialog only when every rule can be used; what is wrong is shown in
// the dialog, and the rule in question is selected.
#pragma once

#include "find/RuleEditor.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace vx {

// Control ids of the rule dialog.
inline constexpr int kRuleListId = 100;
inline constexpr int kRuleAddId = 101;
inline constexpr int kRuleDeleteId = 102;
inline constexpr int kRuleUpId = 103;
inline constexpr int kRuleDownId = 104;
inline constexpr int kRuleGroupId = 105;
inline constexpr int kRuleFieldId = 110;
inline constexpr int kRuleMatchId = 111;
inline constexpr int kRulePatternId = 112;
inline constexpr int kRuleCaseId = 113;
inline constexpr int kRuleActionId = 114;
inline constexpr int kRuleTextColourId = 115;
inline constexpr int kRuleBackColourId = 116;
inline constexpr int kRuleSampleId = 117;
inline constexpr int kRuleErrorId = 120;

// What the dialog's lists call the parts of a rule ("Message", "Starts with",
// "Highlight"), in the order of their enumerations.
const char* RuleFieldName(TRowField field);
const char* RuleMatchName(TMatchKind match);
const char* RuleActionName(TRuleAction action);

class TRuleDialog : public IRuleEditor {
  public:
    // owner: the window disabled while the dialog runs (may be null).
    explicit TRuleDialog(HWND owner = nullptr) : owner_(owner) {}

    HWND Owner() const { return owner_; }
    void SetOwner(HWND owner) { owner_ = owner; }

    bool EditRules(const std::string& caption, std::vector<TFindRule>& rules) override;

    // The dialog while EditRules runs, otherwise null.
    HWND Dialog() const { return dialog_; }

    // Asks for a highlight colour, starting from `colour`; false when the user
    // cancelled. The standard colour dialog unless replaced.
    std::function<bool(HWND parent, TColor& colour)> ChooseColour;

  private:
    bool StandardColour(HWND parent, TColor& colour);

    HWND owner_;
    HWND dialog_ = nullptr;
    // The colour dialog's custom colours, kept from one use to the next.
    std::array<COLORREF, 16> custom_{};
};

} // namespace vx
