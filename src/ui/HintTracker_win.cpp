#include "ui/HintTracker_win.h"

namespace vx::ui {
namespace {
THintTracker* g_tracker = nullptr; // the hook has no context argument
}

THintTracker::THintTracker() {
    g_tracker = this;
    hook_ = SetWindowsHookExA(WH_GETMESSAGE, &THintTracker::Hook, nullptr, GetCurrentThreadId());
}

THintTracker::~THintTracker() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (g_tracker == this) g_tracker = nullptr;
}

std::string THintTracker::HintOf(HWND hwnd) {
    for (HWND h = hwnd; h; h = GetAncestor(h, GA_PARENT)) {
        if (TWindow* w = TWindow::FromHandle(h); w && !w->Hint.empty()) return w->Hint;
        if (!(GetWindowLongA(h, GWL_STYLE) & WS_CHILD)) break;
    }
    return {};
}

void THintTracker::SetHint(const std::string& hint) {
    if (hint == hint_) return;
    hint_ = hint;
    if (OnHint) OnHint(hint_);
}

LRESULT CALLBACK THintTracker::Hook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && g_tracker) {
        auto* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg->message == WM_MOUSEMOVE || msg->message == WM_NCMOUSEMOVE) {
            std::string hint = HintOf(msg->hwnd);
            if (!hint.empty()) g_tracker->SetHint(hint);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace vx::ui
