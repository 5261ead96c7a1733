// Pieces shared by the export component's two windows.
#pragma once

#include <windows.h>

namespace vx::export_ui {

// Registers a window class of the program once, on the dialog face colour.
void RegisterWindowClass(const char* name, WNDPROC proc);
// The top-left corner of a width x height window centred on the screen.
POINT CentredOnScreen(int width, int height);
// The standard GUI font, on one control.
void SetGuiFont(HWND control);
// The window object of a window whose creation parameter was its object.
template <typename T>
T* WindowObject(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* object = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        return object;
    }
    return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

}  // namespace vx::export_ui
