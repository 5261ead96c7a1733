#include "ui/ImageStrip_win.h"

#include "ui/Dpi_win.h"
#include "ui/Scoped_win.h"

#include <cstdint>
#include <vector>

namespace vx::ui {

namespace {

// Monochrome mask, set where a pixel is (mostly) transparent; rows are
// WORD aligned. Draws without alpha support still get clean edges.
HBITMAP MaskFromAlpha(const uint8_t* pixels, int w, int h, int stride, bool bottomUp) {
    const int maskStride = ((w + 15) / 16) * 2;
    std::vector<uint8_t> bits(size_t(maskStride) * h, 0);
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = pixels + size_t(bottomUp ? h - 1 - y : y) * stride;
        for (int x = 0; x < w; ++x)
            if (row[x * 4 + 3] < 128)
                bits[size_t(y) * maskStride + x / 8] |= uint8_t(0x80 >> (x % 8));
    }
    return CreateBitmap(w, h, 1, 1, bits.data());
}

// Grey, lighter and half transparent: how a disabled tool button looks.
void Grey(uint8_t* pixels, size_t bytes) {
    for (size_t i = 0; i + 3 < bytes; i += 4) {
        unsigned luma = (pixels[i] * 29u + pixels[i + 1] * 150u + pixels[i + 2] * 77u) >> 8;
        uint8_t g = uint8_t(128 + luma / 2);
        pixels[i] = pixels[i + 1] = pixels[i + 2] = g;
        pixels[i + 3] = uint8_t(pixels[i + 3] / 2);
    }
}

// A strip loaded as a 32-bit DIB section and resampled to `shown`; null when
// missing or not 32-bit.
HBITMAP LoadStrip(HINSTANCE module, int bitmapId, int& size, int shown, DIBSECTION& dib) {
    ScopedBitmap strip(static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip) return nullptr;
    if (shown > 0 && shown != size) {
        strip.Reset(ResampleStrip(strip, size, shown));
        if (!strip) return nullptr;
        size = shown;
    }
    dib = DIBSECTION{};
    if (GetObjectA(strip, sizeof dib, &dib) != sizeof dib || dib.dsBm.bmBitsPixel != 32 ||
        !dib.dsBm.bmBits)
        return nullptr;
    return strip.Release();
}

} // namespace

HIMAGELIST LoadStripImageList(HINSTANCE module, int bitmapId, int size, bool greyed, int shown) {
    if (size <= 0) return nullptr;
    DIBSECTION dib;
    ScopedBitmap strip(LoadStrip(module, bitmapId, size, shown, dib));
    if (!strip) return nullptr;
    const int w = dib.dsBm.bmWidth, h = dib.dsBm.bmHeight;
    auto* pixels = static_cast<uint8_t*>(dib.dsBm.bmBits);
    if (greyed) Grey(pixels, size_t(dib.dsBm.bmWidthBytes) * h);
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, w / size, 4);
    ScopedBitmap mask(MaskFromAlpha(pixels, w, h, dib.dsBm.bmWidthBytes, dib.dsBmih.biHeight > 0));
    if (list) ImageList_Add(list, strip, mask);
    return list;
}

TAlphaStrip::~TAlphaStrip() {
    if (dc_) {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
}

bool TAlphaStrip::Load(HINSTANCE module, int bitmapId, int size, int shown) {
    if (dc_ || size <= 0) return false;
    DIBSECTION dib;
    ScopedBitmap strip(LoadStrip(module, bitmapId, size, shown, dib));
    if (!strip) return false;
    // As an image list does when it draws: straight alpha premultiplied, and
    // a strip without any alpha taken as opaque.
    auto* pixels = static_cast<uint8_t*>(dib.dsBm.bmBits);
    const size_t bytes = size_t(dib.dsBm.bmWidthBytes) * size_t(dib.dsBm.bmHeight);
    bool alpha = false;
    for (size_t i = 3; i < bytes && !alpha; i += 4)
        alpha = pixels[i] != 0;
    for (size_t i = 0; i + 3 < bytes; i += 4) {
        const unsigned a = alpha ? pixels[i + 3] : 255u;
        pixels[i + 3] = uint8_t(a);
        for (int c = 0; c < 3; ++c)
            pixels[i + c] = uint8_t((pixels[i + c] * a + 127) / 255);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return false;
    old_ = SelectObject(dc, strip);
    dc_ = dc;
    bitmap_ = strip.Release();
    size_ = size;
    count_ = dib.dsBm.bmWidth / size;
    return true;
}

bool TAlphaStrip::Draw(HDC dc, int index, int x, int y) const {
    if (!dc_ || index < 0 || index >= count_) return false;
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    return GdiAlphaBlend(dc, x, y, size_, size_, dc_, index * size_, 0, size_, size_, blend) !=
           FALSE;
}

} // namespace vx::ui
