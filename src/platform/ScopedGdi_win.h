// The basic owners of GDI and USER handles: each frees or restores what it
// holds when it goes out of scope, so no handle is paired with its release by
// hand. The widget layer adds its own (icons, menus, memory DCs) beside these
// in ui/Scoped_win.h, which also names these in vx::ui.
//
//   ScopedFont font(CreateFontA(...));
//   ScopedGetDC screen(nullptr);
//   ScopedSelectObject select(screen, font); // selected back on exit
//   ScopedPaint paint(hwnd);                 // WM_PAINT: EndPaint on exit
#pragma once

#include <windows.h>

#include <utility>

namespace vx {

// One handle and the call that frees it.
template <class H, class Traits> class ScopedHandle {
  public:
    ScopedHandle() = default;
    explicit ScopedHandle(H handle) : handle_(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    H Get() const { return handle_; }
    operator H() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Frees the handle held and takes `handle`.
    void Reset(H handle = nullptr) {
        if (handle_ && handle_ != handle) Traits::Free(handle_);
        handle_ = handle;
    }
    H Release() { return std::exchange(handle_, nullptr); }

  private:
    H handle_ = nullptr;
};

struct GdiObjectTraits {
    static void Free(HGDIOBJ h) { DeleteObject(h); }
};

// A font, brush, pen, bitmap or region of our own.
template <class H> using ScopedGdiObj = ScopedHandle<H, GdiObjectTraits>;
using ScopedFont = ScopedGdiObj<HFONT>;
using ScopedBrush = ScopedGdiObj<HBRUSH>;
using ScopedPen = ScopedGdiObj<HPEN>;
using ScopedBitmap = ScopedGdiObj<HBITMAP>;

// A window's DC (the screen's for a null window), released on exit; with
// kWholeWindow the DC of the whole window, frame and caption included.
class ScopedGetDC {
  public:
    enum TArea { kClient, kWholeWindow };
    explicit ScopedGetDC(HWND hwnd, TArea area = kClient)
        : hwnd_(hwnd), dc_(area == kWholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
    ~ScopedGetDC() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// An object selected into a DC; the one it replaced is selected back on exit.
class ScopedSelectObject {
  public:
    ScopedSelectObject(HDC dc, HGDIOBJ object)
        : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (old_) SelectObject(dc_, old_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint on construction, EndPaint on exit: a painter that throws still
// validates the window, or WM_PAINT would come again and again.
class ScopedPaint {
  public:
    explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd), dc_(BeginPaint(hwnd, &ps_)) {}
    ~ScopedPaint() { EndPaint(hwnd_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    HDC Get() const { return dc_; }
    operator HDC() const { return dc_; }
    const RECT& Area() const { return ps_.rcPaint; }

  private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

} // namespace vx
