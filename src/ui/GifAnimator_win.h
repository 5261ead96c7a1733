// TGifAnimator: a child window that shows an animated GIF resource and plays
// it only while Animate is on (each frame for its own delay).
#pragma once

#include "ui/GdiPlusImage_win.h"
#include "ui/Window_win.h"

#include <windows.h>

namespace vx {

class TGifAnimator {
  public:
    TGifAnimator(HWND parent, int left, int top, int width, int height, HINSTANCE module,
                 int resourceId);
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
