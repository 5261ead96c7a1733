#include "forms/form_Splash_win.h"

#include "forms/Gdi_win.h"
#include "resource_ids.h"

namespace vx {

namespace {
constexpr const char* kClassName = "Tfrm_SplashScreen";
constexpr COLORREF kSilver = RGB(192, 192, 192);
}  // namespace

Tfrm_SplashScreen::Tfrm_SplashScreen(HINSTANCE module) : picture_(module, IDR_SPLASH_JPEG) {
    RegisterFormClass(kClassName, &WndProc, nullptr);
    // Centred on the primary screen; a popup window's client area is its
    // whole area, so the size is the picture's.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kSplashWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kSplashHeight) / 2;
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, "Splash", WS_POPUP, left,
                            top, kSplashWidth, kSplashHeight, nullptr, nullptr, ThisModule(), this);
}

Tfrm_SplashScreen::~Tfrm_SplashScreen() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Tfrm_SplashScreen::Show() {
    if (!hwnd_) return;
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    // Painted now: the message loop does not run until the main window is made.
    UpdateWindow(hwnd_);
}

void Tfrm_SplashScreen::Paint(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    HBRUSH silver = CreateSolidBrush(kSilver);
    FillRect(dc, &client, silver);
    DeleteObject(silver);
    picture_.Draw(dc, 0, 0, kSplashWidth, kSplashHeight);
}

LRESULT CALLBACK Tfrm_SplashScreen::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowObject<Tfrm_SplashScreen>(hwnd, msg, lParam, &Tfrm_SplashScreen::hwnd_);
    if (!self || msg == WM_NCDESTROY) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (PaintMessage(hwnd, msg, wParam, [self](HDC dc) { self->Paint(dc); })) return 0;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;  // a click on the picture must not steal the focus
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool SplashTimerTick(std::unique_ptr<Tfrm_SplashScreen>& splash, HWND timerWindow,
                     UINT_PTR timerId) {
    if (!splash) return false;
    KillTimer(timerWindow, timerId);
    splash.reset();
    return true;
}

}  // namespace vx
