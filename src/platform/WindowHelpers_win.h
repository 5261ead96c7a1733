// What the program's windows share: a modal message loop like a modal
// form's, and painting on WM_PAINT and WM_PRINTCLIENT.
#pragma once

#include "platform/ScopedGdi_win.h"

#include <windows.h>

#include <functional>

namespace vx {

// Shows `dialog` and runs its messages until `done` answers true. Meanwhile
// the thread's other visible windows, and `owner` (which may belong to
// another thread), are disabled; keys go through IsDialogMessage (Tab, Enter,
// Escape); a WM_QUIT ends the loop and is posted again for the program's own
// loop. The windows are enabled again before the function returns, while the
// dialog still stands, so activation goes back to them when it closes.
void RunModalLoop(HWND dialog, HWND owner, HWND focus, const std::function<bool()>& done);

// What a dialog's procedure does with WM_NEXTDLGCTL, for the program's
// windows that IsDialogMessage serves: the accelerator of a label or group
// box moves the focus through it.
void NextDialogControl(HWND dialog, WPARAM wParam, LPARAM lParam);

// WM_PAINT (between BeginPaint and EndPaint) and WM_PRINTCLIENT (on the DC
// it brings) drawn by paint(HDC); true when msg was one of them (the window
// procedure then returns 0).
template <class F> bool PaintMessage(HWND hwnd, UINT msg, WPARAM wParam, F&& paint) {
    if (msg == WM_PAINT) {
        ScopedPaint dc(hwnd);
        paint(dc.Get());
        return true;
    }
    if (msg == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wParam));
        return true;
    }
    return false;
}

} // namespace vx
