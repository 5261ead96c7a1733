#include "ui/Timer_win.h"

namespace vx::ui {

TTimer::TTimer(UINT interval, bool enabled) : interval_(interval) {
    CreateOwn(nullptr, WS_POPUP, 0, "", HWND_MESSAGE);
    SetEnabled(enabled);
}

TTimer::~TTimer() {
    SetEnabled(false);
}

void TTimer::SetInterval(UINT interval) {
    if (interval == interval_) return;
    interval_ = interval;
    if (enabled_) SetTimer(Handle(), kTimerId, interval_, nullptr);
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_ || !Handle()) return;
    enabled_ = enabled;
    if (enabled)
        SetTimer(Handle(), kTimerId, interval_, nullptr);
    else
        KillTimer(Handle(), kTimerId);
}

LRESULT TTimer::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == kTimerId) {
        if (enabled_ && OnTimer) OnTimer(*this);
        return 0;
    }
    return TWindow::WndProc(msg, wParam, lParam);
}

} // namespace vx::ui
