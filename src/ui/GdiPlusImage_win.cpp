#include "ui/GdiPlusImage_win.h"

#include <objidl.h>
#include <propidl.h>
#include <gdiplus.h>

namespace vx {

namespace {

using namespace Gdiplus;

// GDI+ stays started while any picture lives.
int gdiplusUsers = 0;
ULONG_PTR gdiplusToken = 0;

void AddGdiPlusUser() {
    if (gdiplusUsers++ == 0) {
        GdiplusStartupInput input;
        if (GdiplusStartup(&gdiplusToken, &input, nullptr) != Ok) gdiplusToken = 0;
    }
}

void ReleaseGdiPlusUser() {
    if (--gdiplusUsers == 0 && gdiplusToken) {
        GdiplusShutdown(gdiplusToken);
        gdiplusToken = 0;
    }
}

// FrameDimensionTime, spelled out so no GUID library is needed.
const GUID kFrameDimensionTime = {
    0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
constexpr PROPID kPropertyTagFrameDelay = 0x5100;
constexpr int kDefaultDelay = 100;

IStream* ResourceStream(HINSTANCE module, int id) {
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!info) return nullptr;
    HGLOBAL res = LoadResource(module, info);
    const DWORD size = SizeofResource(module, info);
    const void* data = res ? LockResource(res) : nullptr;
    if (!data || size == 0) return nullptr;
    // GDI+ decodes lazily from the stream, so it gets a copy of its own.
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return nullptr;
    memcpy(GlobalLock(copy), data, size);
    GlobalUnlock(copy);
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(copy, TRUE, &stream) != S_OK) {
        GlobalFree(copy);
        return nullptr;
    }
    return stream;
}

} // namespace

TGdiPlusImage::TGdiPlusImage(HINSTANCE module, int resourceId) {
    AddGdiPlusUser();
    IStream* stream = ResourceStream(module, resourceId);
    if (!stream) return;
    GpImage* image = nullptr;
    if (DllExports::GdipLoadImageFromStream(stream, &image) != Ok || !image) {
        stream->Release();
        return;
    }
    stream_ = stream;
    image_ = image;
    UINT w = 0, h = 0;
    DllExports::GdipGetImageWidth(image, &w);
    DllExports::GdipGetImageHeight(image, &h);
    width_ = int(w);
    height_ = int(h);

    UINT frames = 1;
    if (DllExports::GdipImageGetFrameCount(image, &kFrameDimensionTime, &frames) != Ok ||
        frames < 1)
        frames = 1;
    animated_ = frames > 1;
    delays_.assign(frames, kDefaultDelay);
    UINT size = 0;
    if (animated_ &&
        DllExports::GdipGetPropertyItemSize(image, kPropertyTagFrameDelay, &size) == Ok && size) {
        std::vector<BYTE> buffer(size);
        auto* item = reinterpret_cast<PropertyItem*>(buffer.data());
        if (DllExports::GdipGetPropertyItem(image, kPropertyTagFrameDelay, size, item) == Ok) {
            const auto* centis = static_cast<const LONG*>(item->value);
            const size_t n = item->length / sizeof(LONG);
            for (size_t i = 0; i < n && i < delays_.size(); ++i)
                if (centis[i] > 0) delays_[i] = int(centis[i]) * 10;
        }
    }
}

TGdiPlusImage::~TGdiPlusImage() {
    if (image_) DllExports::GdipDisposeImage(static_cast<GpImage*>(image_));
    if (stream_) static_cast<IStream*>(stream_)->Release();
    ReleaseGdiPlusUser();
}

int TGdiPlusImage::FrameDelay(int frame) const {
    if (frame < 0 || frame >= FrameCount()) return kDefaultDelay;
    return delays_[size_t(frame)];
}

void TGdiPlusImage::SelectFrame(int frame) {
    if (image_ && animated_ && frame >= 0 && frame < FrameCount())
        DllExports::GdipImageSelectActiveFrame(static_cast<GpImage*>(image_), &kFrameDimensionTime,
                                               UINT(frame));
}

void TGdiPlusImage::Draw(HDC dc, int x, int y, int width, int height) const {
    if (!image_) return;
    GpGraphics* graphics = nullptr;
    if (DllExports::GdipCreateFromHDC(dc, &graphics) != Ok) return;
    DllExports::GdipDrawImageRectI(graphics, static_cast<GpImage*>(image_), x, y, width, height);
    DllExports::GdipDeleteGraphics(graphics);
}

} // namespace vx
