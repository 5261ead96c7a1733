// Answers the next modal dialog of this thread from a timer that runs inside
// the dialog's own message loop, so a test can drive a real message box,
// input box or save dialog without anyone at the keyboard.
#pragma once

#include "support/WinTest_win.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vxtest {

class TDialogRobot {
  public:
    // `act` gets the dialog once a visible "#32770" window of this thread is up.
    static void AnswerNext(std::function<void(HWND)> act) {
        RunDialogSteps(ThreadDialog, {std::move(act)}, 30);
    }

    // The texts of every child control, in Z order.
    static std::vector<std::string> ChildTexts(HWND dlg) {
        std::vector<std::string> texts;
        EnumChildWindows(
            dlg,
            [](HWND child, LPARAM lp) -> BOOL {
                reinterpret_cast<std::vector<std::string>*>(lp)->push_back(WindowText(child));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&texts));
        return texts;
    }

    static void Press(HWND dlg, int id) {
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
};

} // namespace vxtest
