#include "forms/ArtImages_win.h"

#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"

#include "resource_ids.h"

#include <vector>

namespace vx {

namespace {

HBITMAP LoadDib(HINSTANCE module, LPCSTR name) {
    return static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

// Monochrome mask, set where a pixel is (mostly) transparent.
HBITMAP MaskFromAlpha(const DIBSECTION& dib) {
    const int w = dib.dsBm.bmWidth, h = dib.dsBm.bmHeight;
    const int stride = ((w + 15) / 16) * 2; // monochrome rows are WORD aligned
    std::vector<BYTE> bits(size_t(stride) * h, 0);
    const auto* pixels = static_cast<const BYTE*>(dib.dsBm.bmBits);
    const bool bottomUp = dib.dsBmih.biHeight > 0;
    for (int y = 0; y < h; ++y) {
        const BYTE* row = pixels + size_t(bottomUp ? h - 1 - y : y) * dib.dsBm.bmWidthBytes;
        for (int x = 0; x < w; ++x)
            if (row[x * 4 + 3] < 128) bits[size_t(y) * stride + x / 8] |= BYTE(0x80 >> (x % 8));
    }
    return CreateBitmap(w, h, 1, 1, bits.data());
}

} // namespace

HIMAGELIST LoadArtImageList(HINSTANCE module, int bitmapId, int size, int shown) {
    ui::ScopedBitmap strip(LoadDib(module, MAKEINTRESOURCEA(bitmapId)));
    if (!strip) return nullptr;
    if (shown > 0 && shown != size) {
        strip.Reset(ui::ResampleStrip(strip, size, shown));
        if (!strip) return nullptr;
        size = shown;
    }
    DIBSECTION dib{};
    if (GetObjectA(strip, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32)
        return nullptr;
    const int count = dib.dsBm.bmWidth / size;
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, count, 4);
    ui::ScopedBitmap mask(MaskFromAlpha(dib));
    if (list) ImageList_Add(list, strip, mask);
    return list;
}

HBITMAP LoadArtBitmap(HINSTANCE module, const char* name) {
    ui::ScopedBitmap bitmap(LoadDib(module, name));
    if (!bitmap) return nullptr;
    DIBSECTION dib{};
    if (GetObjectA(bitmap, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32)
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
