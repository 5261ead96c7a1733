// Answers the next modal dialog of this thread from a timer that runs inside
// the dialog's own message loop, so a test can drive a real message box,
// input box or save dialog without anyone at the keyboard.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vxtest {

class TDialogRobot {
  public:
    // `act` gets the dialog once a visible "#32770" window of this thread is up.
    static void AnswerNext(std::function<void(HWND)> act) {
        Pending() = std::move(act);
        SetTimer(nullptr, 0, 30, &TDialogRobot::Tick);
    }

    static std::string Text(HWND w) {
        std::vector<char> buf(GetWindowTextLengthA(w) + 1, '\0');
        GetWindowTextA(w, buf.data(), int(buf.size()));
        return buf.data();
    }

    // The texts of every child control, in Z order.
    static std::vector<std::string> ChildTexts(HWND dlg) {
        std::vector<std::string> texts;
        EnumChildWindows(
            dlg,
            [](HWND child, LPARAM lp) -> BOOL {
                reinterpret_cast<std::vector<std::string>*>(lp)->push_back(Text(child));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&texts));
        return texts;
    }

    static void Press(HWND dlg, int id) {
        PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }

  private:
    static std::function<void(HWND)>& Pending() {
        static std::function<void(HWND)> act;
        return act;
    }

    static BOOL CALLBACK FindDialog(HWND w, LPARAM lp) {
        char cls[16] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (IsWindowVisible(w) && std::string(cls) == "#32770") {
            *reinterpret_cast<HWND*>(lp) = w;
            return FALSE;
        }
        return TRUE;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dlg = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &TDialogRobot::FindDialog,
                          reinterpret_cast<LPARAM>(&dlg));
        if (!dlg || !Pending()) return;
        KillTimer(nullptr, id);
        auto act = std::move(Pending());
        Pending() = nullptr;
        act(dlg);
    }
};

} // namespace vxtest
