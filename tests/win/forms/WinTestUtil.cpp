#include "WinTestUtil.h"

namespace vxtest {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    return true;
}

void Pump(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

TPixels PrintClient(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    TPixels p;
    p.Width = r.right;
    p.Height = r.bottom;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), p.Width, -p.Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    SendMessageA(hwnd, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
    GdiFlush();
    const auto* src = static_cast<const unsigned*>(bits);
    p.Data.assign(src, src + size_t(p.Width) * p.Height);
    for (unsigned& px : p.Data)
        px &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return p;
}

namespace {
LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CTLCOLORSTATIC) return LRESULT(GetStockObject(WHITE_BRUSH));
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
} // namespace

HWND CreateHostWindow(int width, int height) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = "vxTestHost";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowExA(0, "vxTestHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

} // namespace vxtest
