#include "WinTest_win.h"

#include <algorithm>

namespace vxtest {

namespace {

constexpr UINT kTimeout = 5000; // for one message to another process

} // namespace

void DispatchWaiting() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

void PumpFor(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        DispatchWaiting();
        int32_t left = int32_t(end - GetTickCount());
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left), QS_ALLINPUT);
    }
}

bool WaitFor(const std::function<bool()>& cond, DWORD ms) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        if (cond()) {
            DispatchWaiting();
            return true;
        }
        int32_t left = int32_t(end - GetTickCount());
        if (left <= 0) return cond();
        // Another thread or process may make it true without a message.
        PumpFor(DWORD(std::min<int32_t>(left, 10)));
    }
}

std::string WindowText(HWND w) {
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTimeout, &n) ||
        LRESULT(n) <= 0)
        return {};
    std::vector<char> buf(size_t(n) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, kTimeout, &copied))
        return {};
    return std::string(buf.data(), std::min<size_t>(copied, n));
}

TPixels PrintClient(HWND hwnd, UINT flags) {
    TPixels p;
    RECT r;
    GetClientRect(hwnd, &r);
    p.Width = r.right;
    p.Height = r.bottom;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), p.Width, -p.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
    GdiFlush();
    const auto* px = static_cast<const unsigned*>(bits);
    p.Data.assign(px, px + size_t(p.Width) * p.Height);
    for (unsigned& v : p.Data)
        v &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return p;
}

TPlainHost::TPlainHost(const TPlace& place) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "vxTestHost";
        RegisterClassA(&wc);
        registered = true;
    }
    hwnd_ = CreateWindowExA(0, "vxTestHost", place.Caption,
                            WS_OVERLAPPEDWINDOW | (place.Visible ? WS_VISIBLE : 0), place.Left,
                            place.Top, place.Width, place.Height, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TPlainHost::~TPlainHost() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

RECT TPlainHost::Client() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r;
}

LRESULT CALLBACK TPlainHost::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* host = reinterpret_cast<TPlainHost*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CTLCOLORSTATIC:
        return LRESULT(GetStockObject(WHITE_BRUSH));
    case WM_PAINT:
        if (host) ++host->Paints;
        break;
    case WM_APP:
        if (!host) break;
        ++host->Apps;
        return 0;
    case WM_SIZE:
        if (host && host->OnSize) host->OnSize(LOWORD(lParam), HIWORD(lParam));
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace vxtest
