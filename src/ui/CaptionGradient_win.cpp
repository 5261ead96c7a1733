#include "ui/CaptionGradient_win.h"

#include "ui/Scoped_win.h"

#include <string>
#include <vector>

namespace vx::ui {
namespace {

// dwmapi.dll is loaded at run time: it is missing before Vista and under
// some Wine setups.
bool CompositionEnabled() {
    HMODULE dwm = LoadLibraryA("dwmapi.dll");
    if (!dwm) return false;
    BOOL on = FALSE;
    using Fn = HRESULT(WINAPI*)(BOOL*);
    auto fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(dwm, "DwmIsCompositionEnabled")));
    bool enabled = fn && SUCCEEDED(fn(&on)) && on;
    FreeLibrary(dwm);
    return enabled;
}

void SetDwmCaptionColor(HWND hwnd, COLORREF color) {
    HMODULE dwm = LoadLibraryA("dwmapi.dll");
    if (!dwm) return;
    using Fn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    auto fn =
        reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")));
    const DWORD kCaptionColor = 35; // DWMWA_CAPTION_COLOR, Windows 11; ignored elsewhere
    if (fn) fn(hwnd, kCaptionColor, &color, sizeof color);
    FreeLibrary(dwm);
}

BYTE Mix(BYTE a, BYTE b, int i, int n) {
    return BYTE(a + (int(b) - int(a)) * i / (n > 1 ? n - 1 : 1));
}

} // namespace

void FillHorizontalGradient(HDC dc, const RECT& r, COLORREF from, COLORREF to) {
    int n = r.right - r.left;
    for (int i = 0; i < n; ++i) {
        COLORREF c = RGB(Mix(GetRValue(from), GetRValue(to), i, n),
                         Mix(GetGValue(from), GetGValue(to), i, n),
                         Mix(GetBValue(from), GetBValue(to), i, n));
        RECT band{r.left + i, r.top, r.left + i + 1, r.bottom};
        SetBkColor(dc, c);
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &band, nullptr, 0, nullptr);
    }
}

void TCaptionGradient::Attach(HWND hwnd) {
    hwnd_ = hwnd;
    composited_ = CompositionEnabled();
    active_ = GetActiveWindow() == hwnd;
    if (composited_) SetDwmCaptionColor(hwnd, Colors.ActiveFrom);
}

RECT TCaptionGradient::CaptionRect() const {
    RECT r{};
    TITLEBARINFO info{};
    info.cbSize = sizeof info;
    if (!GetTitleBarInfo(hwnd_, &info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) return r;
    RECT window;
    GetWindowRect(hwnd_, &window);
    r = info.rcTitleBar;
    OffsetRect(&r, -window.left, -window.top);
    // The title bar leaves room for the window menu's icon; a window without
    // one (a dialog box) has its caption text there, which the gradient
    // covers too: it reaches from the frame's inner edge.
    if (!(GetWindowLongA(hwnd_, GWL_STYLE) & WS_SYSMENU)) {
        POINT client{0, 0};
        ClientToScreen(hwnd_, &client);
        if (client.x - window.left < r.left) r.left = client.x - window.left;
    }
    // The close, maximise and minimise buttons stay the system's.
    int buttons = 0;
    for (int i = 2; i <= 5; ++i)
        if (!(info.rgstate[i] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN))) ++buttons;
    if (buttons) r.right -= buttons * GetSystemMetrics(SM_CXSIZE) + 4;
    return r;
}

void TCaptionGradient::Paint(bool active) {
    if (!Painting() || IsIconic(hwnd_)) return;
    RECT r = CaptionRect();
    if (r.right <= r.left || r.bottom <= r.top) return;
    ScopedGetDC dc(hwnd_, ScopedGetDC::kWholeWindow);
    FillHorizontalGradient(dc, r, active ? Colors.ActiveFrom : Colors.InactiveFrom,
                           active ? Colors.ActiveTo : Colors.InactiveTo);
    int x = r.left + 4; // the window menu icon stays left of the title bar
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    ncm.lfCaptionFont.lfWeight = FW_BOLD;
    ScopedFont font(CreateFontIndirectA(&ncm.lfCaptionFont));
    ScopedSelectObject select(dc, font);
    std::vector<char> text(GetWindowTextLengthA(hwnd_) + 1, '\0');
    GetWindowTextA(hwnd_, text.data(), int(text.size()));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, active ? Colors.ActiveText : Colors.InactiveText);
    RECT t{x, r.top, r.right - 2, r.bottom};
    DrawTextA(dc, text.data(), -1, &t,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

bool TCaptionGradient::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (!Painting()) {
        if (hwnd_ && msg == WM_DWMCOMPOSITIONCHANGED) composited_ = CompositionEnabled();
        return false;
    }
    switch (msg) {
    case WM_NCPAINT:
        result = DefWindowProcA(hwnd_, msg, wParam, lParam);
        Paint(active_);
        return true;
    case WM_NCACTIVATE:
        active_ = wParam != FALSE;
        result = DefWindowProcA(hwnd_, msg, wParam, lParam);
        Paint(active_);
        return true;
    case WM_SETTEXT:
    case WM_SETICON:
        result = DefWindowProcA(hwnd_, msg, wParam, lParam);
        Paint(active_);
        return true;
    case WM_DWMCOMPOSITIONCHANGED:
        composited_ = CompositionEnabled();
        return false;
    }
    return false;
}

} // namespace vx::ui
