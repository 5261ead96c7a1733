#include "forms/form_Splash_win.h"

#include "ui/Gdi_win.h"
#include "ui/Scoped_win.h"
#include "resource_ids.h"

namespace vx {

namespace {
constexpr const char* kClassName = "Tfrm_SplashScreen";
constexpr COLORREF kSilver = RGB(192, 192, 192);
} // namespace

Tfrm_SplashScreen::Tfrm_SplashScreen(HINSTANCE module) : picture_(module, IDR_SPLASH_JPEG) {
    // Centred on the primary screen; a popup window's client area is its
    // whole area, so the size is the picture's.
    const int left = (GetSystemMetrics(SM_CXSCREEN) - kSplashWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kSplashHeight) / 2;
    ui::TCreateParams params;
    params.Class.Name = kClassName;
    params.Class.Style = 0;
    params.Style = WS_POPUP;
    params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    params.Text = "Splash";
    params.Left = left;
    params.Top = top;
    params.Width = kSplashWidth;
    params.Height = kSplashHeight;
    window_.Handler = [this](UINT msg, WPARAM wParam, LPARAM lParam) {
        return Message(msg, wParam, lParam);
    };
    window_.Create(params, typeid(*this));
}

Tfrm_SplashScreen::~Tfrm_SplashScreen() {
    window_.Destroy();
}

void Tfrm_SplashScreen::Show() {
    if (!Handle()) return;
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    // Painted now: the message loop does not run until the main window is made.
    UpdateWindow(Handle());
}

void Tfrm_SplashScreen::Paint(HDC dc) {
    RECT client;
    GetClientRect(Handle(), &client);
    ui::ScopedBrush silver(CreateSolidBrush(kSilver));
    FillRect(dc, &client, silver);
    picture_.Draw(dc, 0, 0, kSplashWidth, kSplashHeight);
}

LRESULT Tfrm_SplashScreen::Message(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (PaintMessage(Handle(), msg, wParam, [this](HDC dc) { Paint(dc); })) return 0;
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE; // a click on the picture must not steal the focus
    }
    return window_.Default(msg, wParam, lParam);
}

bool SplashTimerTick(std::unique_ptr<Tfrm_SplashScreen>& splash, HWND timerWindow,
                     UINT_PTR timerId) {
    if (!splash) return false;
    KillTimer(timerWindow, timerId);
    splash.reset();
    return true;
}

} // namespace vx
