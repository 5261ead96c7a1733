#include "forms/GifAnimator_win.h"

#include "forms/Gdi_win.h"

namespace vx {

namespace {
constexpr const char* kClassName = "TGifAnimator";
constexpr UINT_PTR kFrameTimer = 1;
}  // namespace

TGifAnimator::TGifAnimator(HWND parent, int left, int top, int width, int height,
                           HINSTANCE module, int resourceId)
    : picture_(module, resourceId) {
    RegisterFormClass(kClassName, &WndProc, nullptr);
    hwnd_ = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE, left, top, width, height,
                            parent, nullptr, ThisModule(), this);
}

TGifAnimator::~TGifAnimator() {
    if (hwnd_) {
        KillTimer(hwnd_, kFrameTimer);
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void TGifAnimator::SetAnimate(bool value) {
    if (value == animate_) return;
    animate_ = value && FrameCount() > 1;
    if (!hwnd_) return;
    if (animate_) ScheduleNextFrame();
    else KillTimer(hwnd_, kFrameTimer);
}

void TGifAnimator::ScheduleNextFrame() {
    SetTimer(hwnd_, kFrameTimer, UINT(picture_.FrameDelay(frame_)), nullptr);
}

void TGifAnimator::Step() {
    if (FrameCount() < 2) return;
    frame_ = (frame_ + 1) % FrameCount();
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void TGifAnimator::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    const int w = client.right, h = client.bottom;
    // Drawn off screen first: no flicker between background and frame.
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(hwnd_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(mem),
                     reinterpret_cast<LPARAM>(hwnd_)));
    FillRect(mem, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
    picture_.SelectFrame(frame_);
    picture_.Draw(mem, 0, 0, picture_.Width(), picture_.Height());
    BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bitmap);
    DeleteDC(mem);
}

LRESULT CALLBACK TGifAnimator::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowObject<TGifAnimator>(hwnd, msg, lParam, &TGifAnimator::hwnd_);
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (PaintMessage(hwnd, msg, wParam, [self](HDC dc) { self->Paint(dc); })) return 0;
    switch (msg) {
    case WM_NCDESTROY:
        KillTimer(hwnd, kFrameTimer);
        break;
    case WM_TIMER:
        if (wParam == kFrameTimer && self->animate_) {
            self->Step();
            self->ScheduleNextFrame();
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace vx
