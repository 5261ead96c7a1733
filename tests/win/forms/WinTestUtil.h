// Helpers of the forms' window tests: message pumping and pixel capture.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace vxtest {

// Dispatches waiting messages until done() or the time is up; true if done.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void Pump(DWORD ms);

// A window's client area as painted by WM_PRINTCLIENT, 0x00RRGGBB per pixel.
struct TPixels {
    int Width = 0, Height = 0;
    std::vector<unsigned> Data;
    unsigned At(int x, int y) const { return Data[size_t(y) * Width + x]; }
};
TPixels PrintClient(HWND hwnd);

// A plain top-level window with a white background, to hold child controls.
HWND CreateHostWindow(int width = 400, int height = 200);

} // namespace vxtest
