// A top-level window of the widget layer to hold the widgets under test (the
// waiting, texts and pixels of every window test are in support/WinTest_win.h).
#pragma once

#include "support/WinTest_win.h"
#include "ui/Window_win.h"

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

} // namespace vxtest
