#include "ui/TrayIcon_win.h"

#include <shellapi.h>

#include <cstring>

namespace vx::ui {

TTrayIcon::TTrayIcon() {
    taskbarCreated_ = RegisterWindowMessageA("TaskbarCreated");
    // A hidden top-level window: message-only windows miss the taskbar's broadcast.
    CreateOwn(nullptr, WS_POPUP, WS_EX_TOOLWINDOW, "vxTrayIcon");
}

TTrayIcon::~TTrayIcon() {
    Hide();
}

bool TTrayIcon::Notify(DWORD message) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = sizeof nid;
    nid.hWnd = Handle();
    nid.uID = kIconId;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = kCallbackMessage;
    nid.hIcon = icon_;
    std::strncpy(nid.szTip, hint_.c_str(), sizeof nid.szTip - 1);
    return Shell_NotifyIconA(message, &nid) != FALSE;
}

bool TTrayIcon::Show(HICON icon, const std::string& hint) {
    icon_ = icon;
    hint_ = hint;
    if (active_) return Notify(NIM_MODIFY);
    // Without a notification area the icon is still kept as shown, so it
    // comes up when the taskbar starts.
    Notify(NIM_ADD);
    active_ = true;
    return true;
}

void TTrayIcon::Hide() {
    if (!active_) return;
    Notify(NIM_DELETE);
    active_ = false;
}

LRESULT TTrayIcon::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kCallbackMessage) {
        switch (LOWORD(lParam)) {
        case WM_LBUTTONDBLCLK:
            if (OnDblClick) OnDblClick(*this);
            break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            if (OnPopup) {
                POINT pt;
                GetCursorPos(&pt);
                OnPopup(*this, pt);
            }
            break;
        }
        return 0;
    }
    if (msg == taskbarCreated_ && taskbarCreated_ && active_) {
        Notify(NIM_ADD);
        return 0;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx::ui
