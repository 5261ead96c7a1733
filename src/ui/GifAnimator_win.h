// TGifAnimator: a child window that shows an animated GIF resource and plays
// it only while Animate is on (each frame for its own delay).
#pragma once

#include "ui/GdiPlusImage_win.h"
#include "ui/Window_win.h"

#include <windows.h>

namespace vx {

struct TGifAnimatorStyle {
    int Left = 0, Top = 0, Width = 32, Height = 32;
    HINSTANCE Module = nullptr; // where the picture is: an RCDATA resource
    int ResourceId = 0;
    bool Animate = false; // plays from the start
};

class TGifAnimator {
  public:
    TGifAnimator(HWND parent, const TGifAnimatorStyle& style);
    ~TGifAnimator();
    TGifAnimator(const TGifAnimator&) = delete;
    TGifAnimator& operator=(const TGifAnimator&) = delete;

    HWND Handle() const { return window_.Handle(); }
    bool Animate() const { return animate_; }
    void SetAnimate(bool value);
    int Frame() const { return frame_; }
    int FrameCount() const { return picture_.FrameCount(); }
    bool PictureLoaded() const { return picture_.Loaded(); }
    // Shows the next frame (what the animation timer does).
    void Step();

  private:
    LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void ScheduleNextFrame();

    TGdiPlusImage picture_;
    ui::TOwnedWindow window_;
    bool animate_ = false;
    int frame_ = 0;
};

} // namespace vx
