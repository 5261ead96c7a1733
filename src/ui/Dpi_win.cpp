#include "ui/Dpi_win.h"

#include "ui/Scoped_win.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vx::ui {
namespace {

// user32 has these from Windows 10 1607 on; older systems (and older Wine)
// do without, so they are looked up rather than linked.
using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TGetDpiForSystem = UINT(WINAPI*)();

template <class F> F User32(const char* name) {
    static HMODULE user32 = GetModuleHandleA("user32.dll");
    return user32 ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                  : nullptr;
}

bool Valid(UINT dpi) {
    return dpi >= 48 && dpi <= 960;
}

} // namespace

UINT SystemDpi() {
    static const UINT dpi = [] {
        if (auto get = User32<TGetDpiForSystem>("GetDpiForSystem"))
            if (UINT d = get(); Valid(d)) return d;
        int d = GetDeviceCaps(ScopedGetDC(nullptr), LOGPIXELSY);
        return Valid(UINT(d)) ? UINT(d) : kBaseDpi;
    }();
    return dpi;
}

namespace {
// Top-level windows of the UI thread and the pixels per inch they were told.
struct TNotedDpi {
    HWND Window;
    UINT Dpi;
};
std::vector<TNotedDpi>& Noted() {
    static std::vector<TNotedDpi> noted;
    return noted;
}
} // namespace

void NoteWindowDpi(HWND topLevel, UINT dpi) {
    ForgetWindowDpi(topLevel);
    if (topLevel && Valid(dpi)) Noted().push_back({topLevel, dpi});
}

void ForgetWindowDpi(HWND topLevel) {
    auto& noted = Noted();
    noted.erase(std::remove_if(noted.begin(), noted.end(),
                               [&](const TNotedDpi& n) { return n.Window == topLevel; }),
                noted.end());
}

UINT WindowDpi(HWND hwnd) {
    static const auto get = User32<TGetDpiForWindow>("GetDpiForWindow");
    if (hwnd && !Noted().empty()) {
        HWND root = GetAncestor(hwnd, GA_ROOT);
        for (const TNotedDpi& n : Noted())
            if (n.Window == root || n.Window == hwnd) return n.Dpi;
    }
    if (hwnd && get)
        if (UINT d = get(hwnd); Valid(d)) return d;
    return SystemDpi();
}

LOGFONTA GuiLogFont(UINT dpi, int height96, int weight, const char* face) {
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    lf.lfHeight = height96 ? Scale(height96, dpi) : Rescale(lf.lfHeight, SystemDpi(), dpi);
    lf.lfWidth = 0;
    if (weight) lf.lfWeight = weight;
    if (face) lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return lf;
}

HFONT CreateGuiFont(UINT dpi, int height96, int weight, const char* face) {
    LOGFONTA lf = GuiLogFont(dpi, height96, weight, face);
    return CreateFontIndirectA(&lf);
}

HFONT CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    // The metrics are the system's pixels per inch; scaled from there.
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0)) return nullptr;
    ncm.lfMessageFont.lfHeight = Rescale(ncm.lfMessageFont.lfHeight, SystemDpi(), dpi);
    ncm.lfMessageFont.lfWidth = 0;
    return CreateFontIndirectA(&ncm.lfMessageFont);
}

int FontHeight(HFONT font) {
    ScopedGetDC dc(nullptr);
    ScopedSelectObject select(dc, font ? HGDIOBJ(font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    return int(tm.tmHeight);
}

void RescaleChildren(HWND root, UINT from, UINT to) {
    if (!root || from == to || !from || !to) return;
    // Parents before children: each child's place is relative to its parent.
    struct TChild {
        HWND Window;
        RECT Rect;
    };
    std::vector<TChild> children;
    EnumChildWindows(
        root,
        [](HWND child, LPARAM param) -> BOOL {
            RECT r;
            GetWindowRect(child, &r);
            MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
            reinterpret_cast<std::vector<TChild>*>(param)->push_back({child, r});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    for (const TChild& c : children) {
        const RECT& r = c.Rect;
        SetWindowPos(c.Window, nullptr, Rescale(r.left, from, to), Rescale(r.top, from, to),
                     Rescale(r.right - r.left, from, to), Rescale(r.bottom - r.top, from, to),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void ReplaceFont(HWND root, HFONT from, HFONT to) {
    if (!root || !from || !to || from == to) return;
    std::vector<HWND> users;
    EnumChildWindows(
        root,
        [](HWND child, LPARAM param) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&users));
    for (HWND w : users)
        if (reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)) == from)
            SendMessageA(w, WM_SETFONT, WPARAM(to), TRUE);
}

ScopedFont ScaleDialog(HWND dialog, UINT dpi) {
    ScopedFont font;
    if (!dialog || dpi == kBaseDpi || dpi == 0) return font;
    RescaleChildren(dialog, kBaseDpi, dpi);
    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const int frameW = (window.right - window.left) - client.right;
    const int frameH = (window.bottom - window.top) - client.bottom;
    const int w = Scale(client.right, dpi) + frameW, h = Scale(client.bottom, dpi) + frameH;
    // About the old centre, and on the screen.
    int left = (window.left + window.right - w) / 2, top = (window.top + window.bottom - h) / 2;
    left = std::max(0, std::min(left, GetSystemMetrics(SM_CXSCREEN) - w));
    top = std::max(0, std::min(top, GetSystemMetrics(SM_CYSCREEN) - h));
    SetWindowPos(dialog, nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    if (dpi != SystemDpi()) {
        font.Reset(CreateGuiFont(dpi));
        ReplaceFont(dialog, HFONT(GetStockObject(DEFAULT_GUI_FONT)), font);
    }
    return font;
}

int IconSize(int size, UINT dpi) {
    const int half = std::max(1, size / 2);
    return std::max(half, (Scale(size, dpi) + half / 2) / half * half);
}

HBITMAP ResampleStrip(HBITMAP strip, int size, int shown) {
    DIBSECTION dib{};
    if (!strip || size <= 0 || shown <= 0 || GetObjectA(strip, sizeof dib, &dib) != sizeof dib ||
        dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits)
        return nullptr;
    const int w = dib.dsBm.bmWidth, h = dib.dsBm.bmHeight, stride = dib.dsBm.bmWidthBytes;
    const bool bottomUp = dib.dsBmih.biHeight > 0;
    const int count = w / size;
    if (count <= 0 || h < size) return nullptr;
    const int outW = count * shown, outH = shown;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = outW;
    bi.bmiHeader.biHeight = -outH;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP out = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!out || !bits) return out;
    const auto* src = static_cast<const uint8_t*>(dib.dsBm.bmBits);
    auto* dst = static_cast<uint8_t*>(bits);
    auto pixel = [&](int x, int y) {
        return src + size_t(bottomUp ? h - 1 - y : y) * stride + size_t(x) * 4;
    };
    // Box filter in fixed point: output pixel (ox, oy) of a picture covers
    // source [ox * size / shown, (ox + 1) * size / shown) in each direction.
    for (int pic = 0; pic < count; ++pic)
        for (int oy = 0; oy < shown; ++oy)
            for (int ox = 0; ox < shown; ++ox) {
                const double x0 = double(ox) * size / shown, x1 = double(ox + 1) * size / shown;
                const double y0 = double(oy) * size / shown, y1 = double(oy + 1) * size / shown;
                double acc[4] = {0, 0, 0, 0}, area = 0;
                for (int sy = int(y0); sy < size && sy < y1; ++sy) {
                    const double wy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
                    for (int sx = int(x0); sx < size && sx < x1; ++sx) {
                        const double wx = std::min<double>(sx + 1, x1) - std::max<double>(sx, x0);
                        const uint8_t* p = pixel(pic * size + sx, sy);
                        const double wgt = wx * wy, a = p[3] * wgt;
                        for (int c = 0; c < 3; ++c)
                            acc[c] += p[c] * a;
                        acc[3] += a;
                        area += wgt;
                    }
                }
                uint8_t* q = dst + (size_t(oy) * outW + size_t(pic) * shown + ox) * 4;
                for (int c = 0; c < 3; ++c)
                    q[c] = acc[3] > 0 ? uint8_t(std::clamp(acc[c] / acc[3], 0.0, 255.0)) : 0;
                q[3] = area > 0 ? uint8_t(std::clamp(acc[3] / area + 0.5, 0.0, 255.0)) : 0;
            }
    return out;
}

} // namespace vx::ui
