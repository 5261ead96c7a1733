#include "forms/ArtImages_win.h"

#include "ui/ImageStrip_win.h"
#include "ui/Scoped_win.h"

#include "resource_ids.h"

namespace vx {

namespace {

HBITMAP LoadDib(HINSTANCE module, LPCSTR name) {
    return static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

} // namespace

HIMAGELIST LoadArtImageList(HINSTANCE module, int bitmapId, int size, int shown) {
    return ui::LoadStripImageList(module, bitmapId, size, false, shown);
}

HBITMAP LoadArtBitmap(HINSTANCE module, const char* name) {
    ui::ScopedBitmap bitmap(LoadDib(module, name));
    if (!bitmap) return nullptr;
    DIBSECTION dib{};
    if (GetObjectA(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 ||
        !dib.dsBm.bmBits)
        return nullptr;
    // AlphaBlend wants colours already multiplied by their alpha.
    auto* p = static_cast<BYTE*>(dib.dsBm.bmBits);
    const size_t n = size_t(dib.dsBm.bmWidthBytes) * dib.dsBm.bmHeight;
    for (size_t i = 0; i + 3 < n; i += 4) {
        const unsigned a = p[i + 3];
        for (int c = 0; c < 3; ++c)
            p[i + c] = BYTE(p[i + c] * a / 255);
    }
    return bitmap.Release();
}

HBITMAP LoadArtBitmap(HINSTANCE module, int id) {
    return LoadArtBitmap(module, MAKEINTRESOURCEA(id));
}

bool DrawArtBitmap(HDC dc, int x, int y, HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return false;
    ui::ScopedMemDC mem(dc);
    ui::ScopedSelectObject select(mem, bitmap);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return AlphaBlend(dc, x, y, bm.bmWidth, bm.bmHeight, mem, 0, 0, bm.bmWidth, bm.bmHeight, blend);
}

HICON LoadProgramIcon(HINSTANCE module, int size) {
    return static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(IDI_VXDEBUGGER), IMAGE_ICON, size, size, 0));
}

} // namespace vx
