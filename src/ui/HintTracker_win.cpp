#include "ui/HintTracker_win.h"

namespace vx::ui {
namespace {
THintTracker* g_tracker = nullptr; // the hook has no context argument
}

THintTracker::THintTracker() {
    g_tracker = this;
    // A mouse hook rather than one on every message: under Wine a message hook
    // costs three calls to the server for each message the thread takes, a
    // mouse hook only for the mouse's own.
    hook_ = SetWindowsHookExA(WH_MOUSE, &THintTracker::Hook, nullptr, GetCurrentThreadId());
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
    if (code == HC_ACTION && g_tracker && (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE)) {
        auto* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
        std::string hint = HintOf(mouse->hwnd);
        if (!hint.empty()) g_tracker->SetHint(hint);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace vx::ui
