// What the program's hand-built windows share: a modal message loop like a
// modal form's, painting on WM_PAINT and WM_PRINTCLIENT, and finding a
// window's object from its handle.
#pragma once

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

// WM_PAINT (between BeginPaint and EndPaint) and WM_PRINTCLIENT (on the DC
// it brings) drawn by paint(HDC); true when msg was one of them (the window
// procedure then returns 0).
template <class F>
bool PaintMessage(HWND hwnd, UINT msg, WPARAM wParam, F&& paint) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        paint(dc);
        EndPaint(hwnd, &ps);
        return true;
    }
    if (msg == WM_PRINTCLIENT) {
        paint(reinterpret_cast<HDC>(wParam));
        return true;
    }
    return false;
}

// The object stored with a window at WM_NCCREATE (its creation parameter).
template <class T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return self;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// The same, keeping the object's window-handle member up to date: set at
// WM_NCCREATE; cleared, with the link to the object, at WM_NCDESTROY (the
// object is still returned for that last message).
template <class T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lParam, HWND T::*handle) {
    T* self = WindowObject<T>(hwnd, msg, lParam);
    if (!self) return nullptr;
    if (msg == WM_NCCREATE) {
        self->*handle = hwnd;
    } else if (msg == WM_NCDESTROY) {
        self->*handle = nullptr;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    }
    return self;
}

}  // namespace vx
