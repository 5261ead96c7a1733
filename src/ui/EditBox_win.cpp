#include "ui/EditBox_win.h"

namespace vx {

bool TEditBox::Create(ui::TWindow* parent, const TEditBoxStyle& s) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (s.MultiLine) style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (s.ScrollBars) style |= WS_HSCROLL | WS_VSCROLL;
    if (s.ReadOnly) style |= ES_READONLY;
    if (s.AutoHScroll) style |= ES_AUTOHSCROLL;
    if (s.TabStop) style |= WS_TABSTOP;
    if (!CreateControl("EDIT", parent, style, s.Border ? WS_EX_CLIENTEDGE : 0)) return false;
    SetBounds(s.Left, s.Top, s.Width, s.Height);
    if (s.MaxLength) SendMessageA(Handle(), EM_SETLIMITTEXT, WPARAM(s.MaxLength), 0);
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
