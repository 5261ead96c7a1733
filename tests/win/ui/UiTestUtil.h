// A top-level host window for widget tests, and a pump that waits for a
// condition while messages run.
#pragma once

#include "ui/Window_win.h"

#include <chrono>
#include <functional>

namespace vxtest {

using namespace vx;

class THostWindow : public ui::TWindow {
  public:
    explicit THostWindow(int width = 600, int height = 400) {
        CreateOwn(nullptr, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, "host");
        SetBounds(10, 10, width, height);
    }
    RECT Client() const {
        RECT r;
        GetClientRect(Handle(), &r);
        return r;
    }
};

// Runs messages until `done` or the timeout; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int milliseconds = 3000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        ui::ProcessMessages();
        Sleep(5);
    }
    return true;
}

} // namespace vxtest
