// Shows the rule dialog with a few rules, for a look at it (screenshots);
// it closes itself after the seconds given on the command line (10 without).
#include "find/RuleDialog_win.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

namespace {

vx::TFindRule Rule(vx::TRowField field, vx::TMatchKind match, const char* pattern,
                   vx::TRuleAction action, bool enabled = true) {
    vx::TFindRule r;
    r.Field = field;
    r.Match = match;
    r.Pattern = pattern;
    r.Action = action;
    r.Enabled = enabled;
    r.TextColor = 0x000080;
    r.BackColor = 0xC0FFFF;
    return r;
}

vx::TRuleDialog* g_dialog = nullptr;

void CALLBACK Close(HWND, UINT, UINT_PTR, DWORD) {
    if (g_dialog && g_dialog->Dialog()) PostMessageA(g_dialog->Dialog(), WM_CLOSE, 0, 0);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    std::vector<vx::TFindRule> rules = {
        Rule(vx::rfMessage, vx::mkContains, "timeout", vx::raHighlight),
        Rule(vx::rfUnitName, vx::mkEquals, "Network.pas", vx::raInclude),
        Rule(vx::rfKind, vx::mkEquals, "Note", vx::raExclude, false),
        Rule(vx::rfMessage, vx::mkRegularExpression, "^conn(ect|ection) [0-9]+$", vx::raBookmark),
    };
    vx::TRuleDialog dialog;
    g_dialog = &dialog;
    const int seconds = command && *command ? std::atoi(command) : 10;
    SetTimer(nullptr, 0, UINT(seconds * 1000), &Close);
    dialog.EditRules("Demo client", rules);
    return 0;
}
