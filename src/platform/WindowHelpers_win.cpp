#include "platform/WindowHelpers_win.h"

#include <vector>

namespace vx {
namespace {

struct TDisabled {
    HWND Except;
    std::vector<HWND> Windows;
};

BOOL CALLBACK DisableThreadWindow(HWND hwnd, LPARAM param) {
    auto* state = reinterpret_cast<TDisabled*>(param);
    if (hwnd != state->Except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        state->Windows.push_back(hwnd);
    }
    return TRUE;
}

// How often input, paint and timers go before what is posted.
constexpr ULONGLONG kFairTurnMs = 15;

} // namespace

BOOL NextMessage(MSG& msg) {
    static ULONGLONG lastTurn = 0;
    const ULONGLONG now = GetTickCount64();
    if (now - lastTurn >= kFairTurnMs) {
        // One message a call, until none of the three kinds waits.
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT) ||
            PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT) ||
            PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
            return msg.message == WM_QUIT ? 0 : 1;
        lastTurn = now;
    }
    return GetMessageA(&msg, nullptr, 0, 0);
}

void RunModalLoop(HWND dialog, HWND owner, HWND focus, const std::function<bool()>& done) {
    TDisabled disabled{dialog, {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableThreadWindow, LPARAM(&disabled));
    if (owner && IsWindowEnabled(owner)) { // an owner of another thread
        EnableWindow(owner, FALSE);
        disabled.Windows.push_back(owner);
    }
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    if (focus) SetFocus(focus);
    MSG msg;
    while (!done()) {
        const BOOL got = NextMessage(msg);
        if (got == 0) {
            PostQuitMessage(int(msg.wParam)); // the application's loop must see it too
            break;
        }
        if (got == -1) break;
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    for (HWND h : disabled.Windows)
        if (IsWindow(h)) EnableWindow(h, TRUE);
}

void NextDialogControl(HWND dialog, WPARAM wParam, LPARAM lParam) {
    HWND target = nullptr;
    if (LOWORD(lParam))
        target = reinterpret_cast<HWND>(wParam);
    else
        target = GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
    if (target && IsWindow(target)) SetFocus(target);
}

} // namespace vx
