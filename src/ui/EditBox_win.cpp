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
    if (keys_.Take(OnKey, msg, wParam)) return 0;
    if (msg == WM_LBUTTONDBLCLK && OnDblClick) {
        LRESULT r = Default(msg, wParam, lParam);
        OnDblClick(*this);
        return r;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx
