#include "ui/GifAnimator_win.h"

#include "ui/Scoped_win.h"
#include "ui/Gdi_win.h"

namespace vx {

namespace {
constexpr const char* kClassName = "TGifAnimator";
constexpr UINT_PTR kFrameTimer = 1;
} // namespace

TGifAnimator::TGifAnimator(HWND parent, const TGifAnimatorStyle& style)
    : picture_(style.Module, style.ResourceId) {
    window_.CreateChild(
        parent, kClassName, style.Left, style.Top, style.Width, style.Height, "",
        [this](UINT msg, WPARAM wParam, LPARAM lParam) { return Message(msg, wParam, lParam); },
        typeid(*this));
    SetAnimate(style.Animate);
}

TGifAnimator::~TGifAnimator() {
    if (Handle()) KillTimer(Handle(), kFrameTimer);
    window_.Destroy();
}

void TGifAnimator::SetAnimate(bool value) {
    if (value == animate_) return;
    animate_ = value && FrameCount() > 1;
    if (!Handle()) return;
    if (animate_)
        ScheduleNextFrame();
    else
        KillTimer(Handle(), kFrameTimer);
}

void TGifAnimator::ScheduleNextFrame() {
    SetTimer(Handle(), kFrameTimer, UINT(picture_.FrameDelay(frame_)), nullptr);
}

void TGifAnimator::Step() {
    if (FrameCount() < 2) return;
    frame_ = (frame_ + 1) % FrameCount();
    if (Handle()) InvalidateRect(Handle(), nullptr, FALSE);
}

void TGifAnimator::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    const int w = client.right, h = client.bottom;
    // Drawn off screen first: no flicker between background and frame.
    ui::ScopedOffscreen mem(dc, w, h);
    FillParentBackground(Handle(), mem, client);
    picture_.SelectFrame(frame_);
    picture_.Draw(mem, 0, 0, picture_.Width(), picture_.Height());
    BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
}

LRESULT TGifAnimator::Message(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (PaintMessage(Handle(), msg, wParam, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_DESTROY:
        KillTimer(Handle(), kFrameTimer);
        break;
    case WM_TIMER:
        if (wParam == kFrameTimer && animate_) {
            Step();
            ScheduleNextFrame();
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    }
    return window_.Default(msg, wParam, lParam);
}

} // namespace vx
