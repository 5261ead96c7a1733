// Owners of GDI and USER handles: each frees or restores what it holds when it
// goes out of scope, so no handle is paired with its release by hand. The
// basic ones (GDI objects, GetDC, selection, painting) are the platform
// layer's (platform/ScopedGdi_win.h), named here too.
//
//   ui::ScopedGdiObj<HBRUSH> brush(CreateSolidBrush(colour));
//   ui::ScopedGetDC screen(nullptr);
//   ui::ScopedSelectObject font(screen, brush.Get());   // selected back on exit
//   ui::ScopedPaint paint(hwnd);                         // WM_PAINT: EndPaint on exit
#pragma once

#include "platform/ScopedGdi_win.h"

#include <windows.h>
#include <commctrl.h>

namespace vx::ui {

// The basic owners, which the platform layer uses too, under the layer's names.
using vx::GdiObjectTraits;
using vx::ScopedBitmap;
using vx::ScopedBrush;
using vx::ScopedFont;
using vx::ScopedGdiObj;
using vx::ScopedGetDC;
using vx::ScopedHandle;
using vx::ScopedPaint;
using vx::ScopedPen;
using vx::ScopedSelectObject;

struct IconTraits {
    static void Free(HICON h) { DestroyIcon(h); }
};
struct CursorTraits {
    static void Free(HCURSOR h) { DestroyCursor(h); }
};
struct ImageListTraits {
    static void Free(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct MemoryDCTraits {
    static void Free(HDC h) { DeleteDC(h); }
};
struct MenuTraits {
    static void Free(HMENU h) { DestroyMenu(h); }
};

using ScopedIcon = ScopedHandle<HICON, IconTraits>;
using ScopedCursor = ScopedHandle<HCURSOR, CursorTraits>;
using ScopedImageList = ScopedHandle<HIMAGELIST, ImageListTraits>;
using ScopedMenu = ScopedHandle<HMENU, MenuTraits>;

// A memory DC compatible with `dc` (the screen's when null).
class ScopedMemDC : public ScopedHandle<HDC, MemoryDCTraits> {
  public:
    explicit ScopedMemDC(HDC dc) : ScopedHandle(CreateCompatibleDC(dc)) {}
};

// A bitmap of `width` x `height` compatible with `dc`, selected into a memory
// DC of its own: where a picture is drawn off screen before it is copied.
class ScopedOffscreen {
  public:
    ScopedOffscreen(HDC dc, int width, int height)
        : mem_(dc), bitmap_(CreateCompatibleBitmap(dc, width, height)), select_(mem_, bitmap_) {}
    HDC Get() const { return mem_; }
    operator HDC() const { return mem_; }

  private:
    ScopedMemDC mem_;
    ScopedBitmap bitmap_;
    ScopedSelectObject select_;
};

} // namespace vx::ui
