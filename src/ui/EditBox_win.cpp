#include "ui/EditBox_win.h"

namespace vx {

bool TEditBox::Create(ui::TWindow* parent, DWORD style, DWORD exStyle, int left, int top, int width,
                      int height) {
    if (!CreateControl("EDIT", parent, WS_CHILD | WS_VISIBLE | style, exStyle)) return false;
    SetBounds(left, top, width, height);
    return true;
}

LRESULT TEditBox::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN) {
        // A key that is taken here (Tab, a section's shortcut) must not reach
        // the edit as a character either.
        eatChar_ = OnKey && OnKey(WORD(wParam), HeldModifiers());
        if (eatChar_) return 0;
    }
    if (msg == WM_CHAR && eatChar_) {
        eatChar_ = false;
        return 0;
    }
    if (msg == WM_LBUTTONDBLCLK && OnDblClick) {
        LRESULT r = Default(msg, wParam, lParam);
        OnDblClick(*this);
        return r;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx
