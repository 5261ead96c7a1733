// The caption bar painted with a colour gradient, active and inactive.
//
// With desktop composition (Windows Vista and later with Aero, every Windows
// 10 and 11) the system draws the caption itself and ignores non-client
// painting; there the caption keeps the system's look, and Windows 11 gets
// the active gradient's dark end as its caption colour. Without composition
// (classic theme, Wine) the caption is painted here after the system's own
// painting: gradient and bold caption text; window menu icon and buttons
// stay the system's.
#pragma once

#include <windows.h>

namespace vx::ui {

struct TCaptionColors {
    COLORREF ActiveFrom = RGB(0, 0, 128), ActiveTo = RGB(58, 138, 224);
    COLORREF InactiveFrom = RGB(112, 112, 112), InactiveTo = RGB(200, 200, 200);
    COLORREF ActiveText = RGB(255, 255, 255), InactiveText = RGB(232, 232, 232);
};

class TCaptionGradient {
  public:
    void Attach(HWND hwnd);
    // Call first from the window procedure; true when the message was handled.
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Whether this window's caption is painted here (no desktop composition).
    bool Painting() const { return hwnd_ && !composited_; }
    // The caption area in window coordinates, without the buttons.
    RECT CaptionRect() const;

    TCaptionColors Colors;

  private:
    void Paint(bool active);
    HWND hwnd_ = nullptr;
    bool composited_ = false;
    bool active_ = false;
};

// Fills a rectangle with a horizontal gradient.
void FillHorizontalGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to);

} // namespace vx::ui
