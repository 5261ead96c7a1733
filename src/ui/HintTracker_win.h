// The application's current hint: that of the window under the mouse or,
// when it has none, of its nearest ancestor that has one. A mouse hook of
// the user-interface thread watches every mouse move, also inside modal loops.
#pragma once

#include "ui/Window_win.h"

namespace vx::ui {

class THintTracker {
  public:
    THintTracker();
    ~THintTracker();
    THintTracker(const THintTracker&) = delete;
    THintTracker& operator=(const THintTracker&) = delete;

    const std::string& Hint() const { return hint_; }
    // Sets the current hint (menus set their entries' hints this way).
    void SetHint(const std::string& hint);
    // The hint that belongs to a window by the rule above.
    static std::string HintOf(HWND hwnd);

    std::function<void(const std::string& hint)> OnHint;

  private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
    std::string hint_;
};

} // namespace vx::ui
