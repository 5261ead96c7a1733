// Shows three side bars for looking at: large buttons, small buttons, and a
// flat bar with a gradient and a tiled background. In each, the middle header
// holds more buttons than fit and is scrolled down by one button.
// Usage: sidebar_demo [seconds]   (closes itself after that many seconds)
#include "sidebar/vxOutlookBar_win.h"

#include "TestImages.h"

#include <cstdlib>
#include <string>

using namespace vx;

namespace {

LRESULT CALLBACK FrameProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_TIMER) PostQuitMessage(0);
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(h, m, w, l);
}

void Fill(TvxOutlookBar& bar, TSideBarImages* large, TSideBarImages* small, int x, HWND frame) {
    bar.SetBounds(x, 10, 130, 420);
    CreateOutlookBarWindow(bar, frame);
    const char* apps[] = {"alpha.exe", "beta.exe", "gamma.exe"};
    int counts[] = {2, 24, 3};
    TvxOutlookBarHeader* middle = nullptr;
    for (int i = 0; i < 3; ++i) {
        TvxOutlookBarHeader* h = bar.AddHeader(apps[i]);
        h->SetImageIndex(i);
        if (i == 1) middle = h;
        for (int k = 0; k < counts[i]; ++k) {
            TOutlookButton* b = h->AddButton("Section " + std::to_string(k + 1));
            b->SetLargeImages(large);
            b->SetSmallImages(small);
            b->SetImageIndex(k % 4);
        }
    }
    bar.ChangeHeader(middle);
    // Paint once so the arrows are decided, then one click on the down arrow.
    RedrawWindow(OutlookWindow(bar), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    HWND down = OutlookWindow(middle->ScrollDownButton());
    SendMessageA(down, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(down, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
}

} // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR cmd, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = inst;
    wc.lpszClassName = "vxSideBarDemo";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, wc.lpszClassName, "Side bar demo",
                                 WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 20, 20, 450,
                                 480, nullptr, nullptr, inst, nullptr);

    std::initializer_list<COLORREF> colours = {RGB(220, 40, 40), RGB(40, 170, 60), RGB(50, 90, 220),
                                               RGB(230, 180, 30)};
    HIMAGELIST l32 = vxtest::SquareImages(32, colours), l16 = vxtest::SquareImages(16, colours);
    auto large = MakeSideBarImages(l32), small = MakeSideBarImages(l16);

    TvxOutlookBar largeBar, smallBar, flatBar;
    for (TvxOutlookBar* b : {&largeBar, &smallBar, &flatBar})
        b->SetImages(small.get());
    Fill(largeBar, large.get(), small.get(), 10, frame);
    smallBar.HeaderSettings().SetButtonStyle(TButtonStyle::bsSmall);
    Fill(smallBar, large.get(), small.get(), 150, frame);

    flatBar.SetFlat(true);
    flatBar.HeaderSettings().SetAlignment(sbar::TAlignment::taLeftJustify);
    flatBar.HeaderSettings().HighlightFont().Bold = true;
    Fill(flatBar, large.get(), small.get(), 290, frame);
    flatBar.Headers(1)->Gradient().SetGradientType(TGradientType::gts2c);
    flatBar.Headers(1)->Gradient().SetStartColor(RGBColor(20, 40, 120));
    flatBar.Headers(1)->Gradient().SetEndColor(RGBColor(150, 190, 250));
    flatBar.Headers(1)->Gradient().SetBackStyle(TBackStyle::bsGradient);
    TSideBarBitmap tile;
    std::vector<TColor> px(64);
    for (int i = 0; i < 64; ++i)
        px[i] = ((i / 8 + i % 8) % 2) ? RGBColor(200, 200, 200) : RGBColor(160, 160, 160);
    tile.SetPixels(8, 8, px);
    flatBar.Headers(0)->SetBitmap(tile);

    int seconds = std::atoi(cmd);
    if (seconds > 0) SetTimer(frame, 1, seconds * 1000, nullptr);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    ImageList_Destroy(l32);
    ImageList_Destroy(l16);
    return 0;
}
