// The program's pictures, as the windows load them from the resources.
#include "support/WinTest_win.h"
#include "forms/ArtImages_win.h"
#include "ui/GdiPlusImage_win.h"
#include "ui/ImageStrip_win.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace vx;

namespace {

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

// Draws on white with `draw` and returns the pixels (0x00RRGGBB).
template <class F> std::vector<unsigned> PixelsOnWhite(int size, F draw) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    RECT r{0, 0, size, size};
    FillRect(dc, &r, HBRUSH(GetStockObject(WHITE_BRUSH)));
    draw(dc);
    GdiFlush();
    std::vector<unsigned> px(static_cast<unsigned*>(bits),
                             static_cast<unsigned*>(bits) + size * size);
    for (unsigned& p : px)
        p &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    return px;
}

std::vector<unsigned> DrawOnWhite(HIMAGELIST list, int index, int size) {
    return PixelsOnWhite(size, [&](HDC dc) { ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL); });
}

} // namespace

TEST(Art, ImageListsHoldEveryImageWithTransparency) {
    struct {
        int Id, Size, Count;
    } lists[] = {{IDB_DEBUGIMAGES, 16, VX_DEBUGIMAGES_COUNT},
                 {IDB_SIDE_LARGE, 32, VX_SIDE_IMAGES_COUNT},
                 {IDB_SIDE_SMALL, 16, VX_SIDE_IMAGES_COUNT}};
    for (auto l : lists) {
        SCOPED_TRACE(l.Id);
        HIMAGELIST list = LoadArtImageList(Module(), l.Id, l.Size);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(ImageList_GetImageCount(list), l.Count);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(list, &cx, &cy);
        EXPECT_EQ(cx, l.Size);
        EXPECT_EQ(cy, l.Size);
        // Every image draws something, and leaves some of the white around it.
        for (int i = 0; i < l.Count; ++i) {
            const auto px = DrawOnWhite(list, i, l.Size);
            const auto white = std::count(px.begin(), px.end(), 0xFFFFFFu);
            EXPECT_GT(white, 0) << "image " << i;
            EXPECT_LT(white, long(px.size()) * 9 / 10) << "image " << i;
        }
        ImageList_Destroy(list);
    }
    // The error image (3) is a red disc, the warning image (2) a yellow triangle.
    HIMAGELIST debug = LoadArtImageList(Module(), IDB_DEBUGIMAGES, 16);
    auto count = [&](int index, auto test) {
        const auto px = DrawOnWhite(debug, index, 16);
        return std::count_if(px.begin(), px.end(), test);
    };
    auto red = [](unsigned p) { return (p >> 16) > 0xB0 && ((p >> 8) & 0xFF) < 0x60; };
    auto yellow = [](unsigned p) {
        return (p >> 16) > 0xC0 && ((p >> 8) & 0xFF) > 0xA0 && (p & 0xFF) < 0x80;
    };
    EXPECT_GT(count(3, red), 40);
    EXPECT_GT(count(2, yellow), 30);
    EXPECT_EQ(count(2, red), 0);
    ImageList_Destroy(debug);
    EXPECT_EQ(LoadArtImageList(Module(), 9999, 16), nullptr);
}

// The list's rows draw their pictures from a premultiplied strip: the same
// pixels as the image list gives, the right way up, at every size.
TEST(Art, AlphaStripDrawsWhatTheImageListDraws) {
    for (int shown : {16, 24}) {
        SCOPED_TRACE(shown);
        ui::TAlphaStrip strip;
        ASSERT_TRUE(strip.Load(Module(), IDB_DEBUGIMAGES, 16, shown));
        ASSERT_EQ(strip.Count(), VX_DEBUGIMAGES_COUNT);
        HIMAGELIST list = LoadArtImageList(Module(), IDB_DEBUGIMAGES, 16, shown);
        ASSERT_NE(list, nullptr);
        for (int i = 0; i < strip.Count(); ++i) {
            const auto want = DrawOnWhite(list, i, shown);
            const auto got = PixelsOnWhite(shown, [&](HDC dc) { strip.Draw(dc, i, 0, 0); });
            int worst = 0;
            for (size_t p = 0; p < want.size(); ++p)
                for (int shift : {0, 8, 16})
                    worst = std::max(worst, std::abs(int((want[p] >> shift) & 0xFF) -
                                                     int((got[p] >> shift) & 0xFF)));
            EXPECT_LE(worst, 2) << "image " << i;
        }
        ImageList_Destroy(list);
        EXPECT_FALSE(strip.Draw(nullptr, strip.Count(), 0, 0));
    }
    ui::TAlphaStrip missing;
    EXPECT_FALSE(missing.Load(Module(), 9999, 16));
}

TEST(Art, ExportTypeBitmapsAndProgramIcon) {
    for (const char* name : {"XTHTML", "XTEXCEL", "XTWORD", "XTTXT", "XTCSV", "XTTAB", "XTRTF",
                             "XTDIF", "XTSYLK", "XTCLIPBOARD"}) {
        SCOPED_TRACE(name);
        HBITMAP bitmap = LoadArtBitmap(Module(), name);
        ASSERT_NE(bitmap, nullptr);
        BITMAP bm{};
        GetObjectA(bitmap, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 32);
        EXPECT_EQ(bm.bmHeight, 32);
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP target = CreateBitmap(32, 32, 1, 32, nullptr);
        HGDIOBJ old = SelectObject(dc, target);
        EXPECT_TRUE(DrawArtBitmap(dc, 0, 0, bitmap));
        SelectObject(dc, old);
        DeleteObject(target);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    EXPECT_EQ(LoadArtBitmap(Module(), "XTNONE"), nullptr);

    for (int size : {16, 32, 48}) {
        HICON icon = LoadProgramIcon(Module(), size);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bm{};
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST(Art, SplashAndAnimationDecode) {
    TGdiPlusImage splash(Module(), IDR_SPLASH_JPEG);
    ASSERT_TRUE(splash.Loaded());
    EXPECT_EQ(splash.Width(), 499);
    EXPECT_EQ(splash.Height(), 350);
    EXPECT_EQ(splash.FrameCount(), 1);

    TGdiPlusImage gif(Module(), IDR_ABOUT_GIF);
    ASSERT_TRUE(gif.Loaded());
    EXPECT_EQ(gif.Width(), 114);
    EXPECT_EQ(gif.Height(), 41);
    EXPECT_GT(gif.FrameCount(), 1);
    EXPECT_EQ(gif.FrameDelay(0), 450);

    TGdiPlusImage missing(Module(), 9999);
    EXPECT_FALSE(missing.Loaded());
}
