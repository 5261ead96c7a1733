// The rule dialog, driven with the keyboard from a timer while it is modal,
// as a user would: keys go through the dialog's own message loop.
#include "find/RuleDialog_win.h"
#include "support/WinTest_win.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vx;
using vxtest::WindowText;

namespace {

using TStep = vxtest::TDialogStep;

// Runs EditRules with the steps; every step must have run.
bool Edit(TRuleDialog& dialog, std::vector<TFindRule>& rules, std::vector<TStep> steps) {
    vxtest::RunDialogSteps([&dialog] { return dialog.Dialog(); }, std::move(steps), 30);
    const bool ok = dialog.EditRules("Client 1", rules);
    vxtest::StopDialogSteps();
    EXPECT_EQ(vxtest::DialogStepsLeft(), 0u) << "steps did not run";
    EXPECT_EQ(dialog.Dialog(), nullptr);
    return ok;
}

void Key(UINT vk) {
    PostMessageA(GetFocus(), WM_KEYDOWN, vk, 1);
    PostMessageA(GetFocus(), WM_KEYUP, vk, 0xC0000001);
}
// Alt with a key that is no letter (Alt+Up).
void AltKey(UINT vk) {
    PostMessageA(GetFocus(), WM_SYSKEYDOWN, vk, 0x20000001);
    PostMessageA(GetFocus(), WM_SYSKEYUP, vk, 0xE0000001);
}
// Alt with a letter: the accelerator of a label or button.
void Alt(char letter) {
    PostMessageA(GetFocus(), WM_SYSCHAR, WPARAM(letter), 0x20000001);
}
void Type(const std::string& text) {
    for (char c : text)
        PostMessageA(GetFocus(), WM_CHAR, WPARAM(uint8_t(c)), 1);
}

int Count(HWND d) {
    return int(SendMessageA(GetDlgItem(d, kRuleListId), LVM_GETITEMCOUNT, 0, 0));
}
int Selected(HWND d) {
    return int(
        SendMessageA(GetDlgItem(d, kRuleListId), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}
bool CheckedRow(HWND d, int row) {
    return (SendMessageA(GetDlgItem(d, kRuleListId), LVM_GETITEMSTATE, WPARAM(row),
                         LVIS_STATEIMAGEMASK) >>
            12) == 2;
}
std::string Cell(HWND d, int row, int column) {
    char buf[256] = "";
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    SendMessageA(GetDlgItem(d, kRuleListId), LVM_GETITEMTEXTA, WPARAM(row), LPARAM(&item));
    return buf;
}

TFindRule Rule(TRowField field, TMatchKind match, const std::string& pattern, TRuleAction action) {
    TFindRule r;
    r.Field = field;
    r.Match = match;
    r.Pattern = pattern;
    r.Action = action;
    return r;
}

class RuleDialog : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
    }
};

} // namespace

TEST_F(RuleDialog, KeyboardAddsEditsMovesAndDisablesRulesThenOkReturnsThem) {
    const TFindRule old = Rule(rfUnitName, mkEquals, "Main.pas", raExclude);
    std::vector<TFindRule> rules = {old};
    TRuleDialog dialog;
    std::vector<TColor> asked;
    dialog.ChooseColour = [&](HWND parent, TColor& colour) {
        EXPECT_EQ(parent, dialog.Dialog());
        asked.push_back(colour);
        colour = 0x0000FF;
        return true;
    };
    HWND list = nullptr, pattern = nullptr;
    const bool ok = Edit(
        dialog, rules,
        {
            [&](HWND d) {
                list = GetDlgItem(d, kRuleListId);
                pattern = GetDlgItem(d, kRulePatternId);
                EXPECT_EQ(WindowText(d), "Rules - Client 1");
                EXPECT_EQ(GetFocus(), list);
                ASSERT_EQ(Count(d), 1);
                EXPECT_EQ(Cell(d, 0, 0), "Unit");
                EXPECT_EQ(Cell(d, 0, 2), "Main.pas");
                EXPECT_TRUE(CheckedRow(d, 0));
                EXPECT_EQ(WindowText(pattern), "Main.pas"); // the editors show the selected rule
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kRuleUpId)));
                EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kRuleTextColourId))); // no highlight
                Alt('a');
            },
            [&](HWND d) {
                // A new rule after the selected one; the pattern is typed next.
                EXPECT_EQ(Count(d), 2);
                EXPECT_EQ(Selected(d), 1);
                EXPECT_EQ(GetFocus(), pattern);
                Type("first");
                Alt('t');
            },
            [&](HWND d) {
                EXPECT_EQ(Cell(d, 1, 2), "first");
                EXPECT_EQ(GetFocus(), GetDlgItem(d, kRuleActionId));
                Key(VK_HOME); // Include
                Alt('a');
            },
            [&](HWND d) {
                EXPECT_EQ(Cell(d, 1, 3), "Include");
                EXPECT_EQ(Count(d), 3);
                EXPECT_EQ(Selected(d), 2);
                Type("sec(ond");
                Alt('m');
            },
            [&](HWND) {
                Key(VK_END); // Regular expression
                Alt('c');    // Match case
                Alt('x');    // the text colour of the highlight
            },
            [&](HWND d) {
                EXPECT_EQ(Cell(d, 2, 1), "Regular expression, case");
                EXPECT_EQ(asked, std::vector<TColor>{0x000000});
                // Enter is OK: the bad pattern is reported, the dialog stays and
                // the rule is selected with its pattern ready to be typed over.
                PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
            },
            [&](HWND d) {
                EXPECT_TRUE(IsWindowVisible(d));
                EXPECT_EQ(WindowText(GetDlgItem(d, kRuleErrorId)).rfind("Rule 3: ", 0), 0u)
                    << WindowText(GetDlgItem(d, kRuleErrorId));
                EXPECT_EQ(Selected(d), 2);
                EXPECT_EQ(GetFocus(), pattern);
                Type("sec(ond)");
            },
            [&](HWND d) {
                EXPECT_EQ(WindowText(GetDlgItem(d, kRuleErrorId)), ""); // mended: the report goes
                Alt('r');                                               // to the list
            },
            [&](HWND) {
                EXPECT_EQ(GetFocus(), list);
                AltKey(VK_UP); // the new regex rule moves above "first"
            },
            [&](HWND d) {
                EXPECT_EQ(Selected(d), 1);
                EXPECT_EQ(Cell(d, 1, 2), "sec(ond)");
                EXPECT_EQ(Cell(d, 2, 2), "first");
                Key(VK_SPACE); // disabled
            },
            [&](HWND d) {
                EXPECT_FALSE(CheckedRow(d, 1));
                EXPECT_TRUE(CheckedRow(d, 2));
                Key(VK_RETURN);
            },
        });
    ASSERT_TRUE(ok);
    TFindRule second = Rule(rfMessage, mkRegularExpression, "sec(ond)", raHighlight);
    second.MatchCase = true;
    second.Enabled = false;
    second.TextColor = 0x0000FF;
    const TFindRule first = Rule(rfMessage, mkContains, "first", raInclude);
    EXPECT_EQ(rules, (std::vector<TFindRule>{old, second, first}));
}

TEST_F(RuleDialog, EscapeAndCancelLeaveTheRulesAsTheyWere) {
    const std::vector<TFindRule> before = {Rule(rfMessage, mkContains, "a", raExclude),
                                           Rule(rfKind, mkEquals, "Note", raBookmark)};
    std::vector<TFindRule> rules = before;
    TRuleDialog dialog;
    EXPECT_FALSE(Edit(dialog, rules,
                      {
                          [&](HWND) { Key(VK_DELETE); }, // the first rule goes
                          [&](HWND d) {
                              EXPECT_EQ(Count(d), 1);
                              EXPECT_EQ(Cell(d, 0, 0), "Kind");
                              EXPECT_EQ(Selected(d), 0);
                              Key(VK_SPACE);
                              Alt('a');
                          },
                          [&](HWND d) {
                              EXPECT_EQ(Count(d), 2);
                              Key(VK_ESCAPE);
                          },
                      }));
    EXPECT_EQ(rules, before);

    // Every rule deleted with the button, then Cancel.
    EXPECT_FALSE(Edit(dialog, rules,
                      {
                          [&](HWND) {
                              Alt('d');
                              Alt('d');
                          },
                          [&](HWND d) {
                              EXPECT_EQ(Count(d), 0);
                              // Nothing selected: nothing to edit, delete or move.
                              EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kRulePatternId)));
                              EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, kRuleDeleteId)));
                              EXPECT_EQ(GetFocus(),
                                        GetDlgItem(d, kRuleListId)); // not a disabled button
                              SendMessageA(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0);
                          },
                      }));
    EXPECT_EQ(rules, before);
}

TEST_F(RuleDialog, LayoutFollowsTheFontAndNoTextIsCut) {
    std::vector<TFindRule> rules = {Rule(rfMessage, mkContains, "x", raHighlight)};
    TRuleDialog dialog;
    EXPECT_FALSE(Edit(
        dialog, rules, {[&](HWND d) {
            RECT client;
            GetClientRect(d, &client);
            // Every control with a text has room for it in its own font, and
            // every control lies inside the dialog without overlapping another.
            std::vector<HWND> controls;
            for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
                controls.push_back(c);
            ASSERT_GT(controls.size(), 20u);
            HWND group = GetDlgItem(d, kRuleGroupId);
            for (HWND c : controls) {
                RECT r;
                GetWindowRect(c, &r);
                MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r), 2);
                EXPECT_GE(r.left, 0);
                EXPECT_GE(r.top, 0);
                EXPECT_LE(r.right, client.right);
                EXPECT_LE(r.bottom, client.bottom);
                char cls[32] = "";
                GetClassNameA(c, cls, sizeof cls);
                std::string text = WindowText(c);
                if (text.empty() || c == group) continue;
                std::string plain;
                for (size_t i = 0; i < text.size(); ++i)
                    if (text[i] != '&') plain += text[i];
                HDC dc = GetDC(c);
                HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageA(c, WM_GETFONT, 0, 0)));
                SIZE size{};
                GetTextExtentPoint32A(dc, plain.c_str(), int(plain.size()), &size);
                SelectObject(dc, old);
                ReleaseDC(c, dc);
                const int extra = std::string(cls) == "Button" &&
                                          (GetWindowLongA(c, GWL_STYLE) & 0xF) == BS_AUTOCHECKBOX
                                      ? GetSystemMetrics(SM_CXMENUCHECK) + 4
                                      : 4;
                EXPECT_LE(size.cx + extra, r.right - r.left) << text;
                EXPECT_LE(size.cy, r.bottom - r.top) << text;
                for (HWND o : controls) {
                    if (o == c || o == group) continue;
                    RECT q, both;
                    GetWindowRect(o, &q);
                    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&q), 2);
                    EXPECT_FALSE(IntersectRect(&both, &r, &q)) << text << " / " << WindowText(o);
                }
            }
            Key(VK_ESCAPE);
        }}));
}

TEST_F(RuleDialog, HighlightColoursComeFromTheStandardColourDialog) {
    TFindRule rule = Rule(rfMessage, mkContains, "x", raHighlight);
    rule.TextColor = 0x80000000 | COLOR_WINDOW; // a system colour: stored as it is shown
    std::vector<TFindRule> rules = {rule};
    TRuleDialog dialog;
    HWND colours = nullptr;
    EXPECT_TRUE(Edit(dialog, rules,
                     {
                         [&](HWND d) {
                             PostMessageA(d, WM_COMMAND, MAKEWPARAM(kRuleTextColourId, BN_CLICKED),
                                          LPARAM(GetDlgItem(d, kRuleTextColourId)));
                         },
                         [&](HWND d) {
                             // Modal over the rule dialog.
                             colours = GetLastActivePopup(d) != d ? GetLastActivePopup(d) : nullptr;
                             if (!colours) colours = FindWindowA("#32770", nullptr);
                             ASSERT_TRUE(colours);
                             EXPECT_EQ(GetWindow(colours, GW_OWNER), d);
                             EXPECT_FALSE(IsWindowEnabled(d));
                             PostMessageA(colours, WM_COMMAND, IDOK, 0);
                         },
                         [&](HWND d) {
                             EXPECT_FALSE(IsWindow(colours));
                             EXPECT_TRUE(IsWindowEnabled(d));
                             Key(VK_RETURN);
                         },
                     }));
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].TextColor, TColor(GetSysColor(COLOR_WINDOW)));
}
