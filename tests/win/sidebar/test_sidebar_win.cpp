// The side bar as real windows: built in-process, driven with mouse and key
// messages, checked by state, window positions and painted pixels.
#include "sidebar/vxOutlookBar_win.h"

#include "TestImages.h"
#include "platform/Errors.h"
#include "ui/Window_win.h"

#include <gtest/gtest.h>

#include <string>

using namespace vx;
using namespace vx::sbar;

namespace {

LRESULT CALLBACK HostProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}

// One shown top-level window for the whole program (under Wine, hiding or
// destroying a shown top-level window waits about two seconds); each test
// works in a child panel of it.
HWND TopLevel() {
    static HWND top = nullptr;
    if (top) return top;
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "vxSideBarTestHost";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    top = CreateWindowExA(0, wc.lpszClassName, "side bar test",
                          WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 440, 620,
                          nullptr, nullptr, wc.hInstance, nullptr);
    return top;
}

HWND MakeHost() {
    return CreateWindowExA(0, "vxSideBarTestHost", "", WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0,
                           0, 420, 580, TopLevel(), nullptr, GetModuleHandleA(nullptr), nullptr);
}

// A window and its visible descendants painted with WM_PRINTCLIENT into one
// memory bitmap, each at its place and clipped to its parents.
class TShot {
  public:
    explicit TShot(HWND root) : root_(root) {
        RedrawWindow(root, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT r;
        GetClientRect(root, &r);
        w_ = r.right;
        h_ = r.bottom;
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w_;
        bi.bmiHeader.biHeight = -h_;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr,
                                0);
        old_ = SelectObject(dc_, bmp_);
        PatBlt(dc_, 0, 0, w_, h_, WHITENESS);
        PaintTree(root);
    }
    ~TShot() {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= w_ || y >= h_) return CLR_INVALID;
        uint32_t p = bits_[size_t(y) * w_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

  private:
    void PaintTree(HWND w) {
        POINT o{0, 0};
        MapWindowPoints(w, root_, &o, 1);
        RECT c;
        GetClientRect(w, &c);
        int saved = SaveDC(dc_);
        SetViewportOrgEx(dc_, o.x, o.y, nullptr);
        IntersectClipRect(dc_, 0, 0, c.right, c.bottom);
        SendMessageA(w, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
        // Children from the bottom of the z-order up.
        for (HWND k = GetWindow(GetWindow(w, GW_CHILD), GW_HWNDLAST); k;
             k = GetWindow(k, GW_HWNDPREV))
            if (IsWindowVisible(k)) PaintTree(k);
        RestoreDC(dc_, saved);
    }

    HWND root_;
    int w_ = 0, h_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bmp_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;
};

RECT RectIn(const TOutlookControl& c, HWND parent) {
    RECT r;
    GetWindowRect(OutlookWindow(c), &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Same(RECT a, RECT b) {
    return EqualRect(&a, &b);
}

void Click(HWND w, int x, int y) {
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

std::string ClassOf(HWND w) {
    char buf[64] = {};
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

const COLORREF kGray = RGB(128, 128, 128);

struct SideBarWin : ::testing::Test {
    HWND host = nullptr, barWnd = nullptr;
    std::unique_ptr<TvxOutlookBar> bar = std::make_unique<TvxOutlookBar>();
    int sw = GetSystemMetrics(SM_CXVSCROLL), sh = GetSystemMetrics(SM_CYVSCROLL);
    void SetUp() override {
        host = MakeHost();
        bar->SetBounds(0, 0, 120, 500);
        barWnd = CreateOutlookBarWindow(*bar, host);
        ASSERT_TRUE(barWnd);
    }
    void TearDown() override {
        bar.reset();
        if (host) DestroyWindow(host);
    }
};

} // namespace

TEST_F(SideBarWin, WindowsFollowTheModel) {
    EXPECT_EQ(ClassOf(barWnd), "vxOutlookBar");
    TvxOutlookBarHeader* h0 = bar->AddHeader("alpha.exe");
    TvxOutlookBarHeader* h1 = bar->AddHeader("beta.exe");
    TvxOutlookBarHeader* h2 = bar->AddHeader("gamma.exe");
    bar->ChangeHeader(h1);
    HWND w1 = OutlookWindow(*h1);
    ASSERT_TRUE(w1);
    EXPECT_EQ(GetParent(w1), barWnd);
    EXPECT_EQ(ClassOf(w1), "vxOutlookBarHeader");
    EXPECT_TRUE(Same(RectIn(*h0, barWnd), {2, 2, 118, 24}));
    EXPECT_TRUE(Same(RectIn(*h1, barWnd), {2, 24, 118, 476}));
    EXPECT_TRUE(Same(RectIn(*h2, barWnd), {2, 476, 118, 498}));
    h1->SetCaption("renamed.exe");
    char text[32] = {};
    GetWindowTextA(w1, text, sizeof text);
    EXPECT_STREQ(text, "renamed.exe");

    TOutlookButton* b = h1->AddButton("one");
    EXPECT_EQ(GetParent(OutlookWindow(*b)), w1);
    EXPECT_TRUE(Same(RectIn(*b, w1), {28, 27, 88, 87}));
    HWND up = OutlookWindow(h1->ScrollUpButton());
    EXPECT_EQ(ClassOf(up), "vxOutlookScrollButton");
    EXPECT_FALSE(IsWindowVisible(up));

    // The window moved from outside: the model and its layout follow.
    MoveWindow(barWnd, 0, 0, 150, 400, TRUE);
    EXPECT_EQ(bar->Width(), 150);
    EXPECT_TRUE(Same(RectIn(*h2, barWnd), {2, 376, 148, 398}));
    bar->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(barWnd));
    ShowWindow(barWnd, SW_SHOW);
    EXPECT_TRUE(bar->Visible());

    bar->SetBorderStyle(TBorderStyle::bsSingle);
    EXPECT_TRUE(GetWindowLongPtrA(barWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT client;
    GetClientRect(barWnd, &client);
    EXPECT_EQ(client.right, bar->ClientWidth());
    bar->SetBorderStyle(TBorderStyle::bsNone);

    HWND w2 = OutlookWindow(*h2);
    bar->DeleteHeader(2);
    EXPECT_FALSE(IsWindow(w2));

    // A bar filled before it gets its window gets windows for everything.
    TvxOutlookBar filled;
    filled.AddHeader("pre.exe")->AddButton("pre");
    HWND fw = CreateOutlookBarWindow(filled, host);
    HWND bw = OutlookWindow(*filled.Headers(0)->Buttons(0));
    ASSERT_TRUE(bw);
    EXPECT_EQ(GetParent(GetParent(bw)), fw);

    // The host window may go first; freeing the model afterwards is safe.
    DestroyWindow(host);
    host = nullptr;
    EXPECT_EQ(OutlookWindow(*bar), nullptr);
}

TEST_F(SideBarWin, CaptionClicksOpenHeaders) {
    TvxOutlookBarHeader* h0 = bar->AddHeader("alpha.exe");
    TvxOutlookBarHeader* h1 = bar->AddHeader("beta.exe");
    std::vector<std::pair<int, int>> changes;
    bar->OnChange = [&](TObject*, int o, int n) { changes.push_back({o, n}); };
    HWND w0 = OutlookWindow(*h0), w1 = OutlookWindow(*h1);

    SendMessageA(w0, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    EXPECT_TRUE(h0->Pressed());
    EXPECT_EQ(GetCapture(), w0);
    SendMessageA(w0, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(bar->ActiveHeader(), h0);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(1, 0));
    EXPECT_TRUE(Same(RectIn(*h0, barWnd), {2, 2, 118, 476}));
    EXPECT_TRUE(Same(RectIn(*h1, barWnd), {2, 476, 118, 498}));

    // Held down: the pressed look, a raised then a lowered ring.
    SendMessageA(w1, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    {
        TShot s(barWnd);
        EXPECT_EQ(s.At(2, 476), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(s.At(3, 477), GetSysColor(COLOR_BTNSHADOW));
    }
    // Released below the strip (outside the closed header): nothing opens.
    SendMessageA(w1, WM_LBUTTONUP, 0, MAKELPARAM(10, 30));
    EXPECT_FALSE(h1->Pressed());
    EXPECT_EQ(bar->ActiveHeader(), h0);
    {
        TShot s(barWnd);
        EXPECT_EQ(s.At(3, 477), GetSysColor(COLOR_BTNFACE));
    }

    // The pointer over a strip makes its header hot (and drawn in its highlight font).
    SendMessageA(w1, WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
    EXPECT_EQ(bar->HotHeader(), h1);
    SendMessageA(w1, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(bar->HotHeader(), nullptr);
}

TEST_F(SideBarWin, ScrollArrowsStepTheColumn) {
    TvxOutlookBarHeader* h = bar->AddHeader("many.exe");
    for (int i = 0; i < 12; ++i)
        h->AddButton("Section " + std::to_string(i + 1));
    int scrolls = 0;
    h->OnScroll = [&](TObject*) { ++scrolls; };
    HWND hw = OutlookWindow(*h);
    HWND up = OutlookWindow(h->ScrollUpButton()), down = OutlookWindow(h->ScrollDownButton());
    RedrawWindow(barWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_FALSE(IsWindowVisible(up));
    EXPECT_TRUE(IsWindowVisible(down));
    int headerHeight = 496;
    EXPECT_TRUE(Same(RectIn(h->ScrollDownButton(), hw),
                     {116 - sw - 1, headerHeight - sh - 1, 116 - 1, headerHeight - 1}));
    {
        // The down arrow: its widest row is the first, 10 pixels from column 2.
        TShot s(hw);
        int x0 = 116 - sw - 1 + (sw - 15) / 2, y0 = headerHeight - sh - 1 + (sh - 15) / 2;
        EXPECT_EQ(s.At(x0 + 2, y0 + 5), RGB(0, 0, 0));
        EXPECT_EQ(s.At(x0 + 11, y0 + 5), RGB(0, 0, 0));
        EXPECT_EQ(s.At(x0 + 1, y0 + 5), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(s.At(x0 + 5, y0 + 9), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(s.At(x0 + 6, y0 + 9), RGB(0, 0, 0));
    }

    Click(down, 3, 3);
    EXPECT_EQ(h->TopIndex(), 1);
    EXPECT_EQ(scrolls, 1);
    EXPECT_FALSE(IsWindowVisible(OutlookWindow(*h->Buttons(0))));
    EXPECT_EQ(RectIn(*h->Buttons(1), hw).top, 27);
    RedrawWindow(barWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(IsWindowVisible(up));

    SendMessageA(down, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(down, WM_LBUTTONUP, 0, MAKELPARAM(3, 60)); // released off the arrow
    EXPECT_EQ(h->TopIndex(), 1);

    Click(up, 3, 3);
    EXPECT_EQ(h->TopIndex(), 0);
    EXPECT_TRUE(IsWindowVisible(OutlookWindow(*h->Buttons(0))));
    RedrawWindow(barWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_FALSE(IsWindowVisible(up));

    // Closed, the header hides its arrows below its strip.
    TvxOutlookBarHeader* other = bar->AddHeader("other.exe");
    RedrawWindow(barWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(bar->ActiveHeader(), other);
    EXPECT_EQ(RectIn(h->ScrollDownButton(), hw).top, 22 + 100);
}

TEST_F(SideBarWin, PaintsFrameBodyAndButtons) {
    {
        TShot s(barWnd); // no header: frame and face only
        EXPECT_EQ(s.At(0, 0), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(s.At(119, 499), GetSysColor(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(s.At(60, 250), GetSysColor(COLOR_BTNFACE));
    }
    HIMAGELIST large32 = vxtest::SquareImages(32, {RGB(255, 0, 0), RGB(0, 255, 0)});
    HIMAGELIST small16 = vxtest::SquareImages(16, {RGB(255, 0, 0), RGB(0, 0, 255)});
    auto large = MakeSideBarImages(large32);
    auto small = MakeSideBarImages(small16);
    EXPECT_EQ(large->Width(), 32);
    TvxOutlookBarHeader* h = bar->AddHeader("paint.exe");
    TOutlookButton* b = h->AddButton("Sec");
    b->SetLargeImages(large.get());
    b->SetSmallImages(small.get());
    b->SetImageIndex(1);
    HWND bw = OutlookWindow(*b);
    // Bar coordinates of a point in the button: header at (2, 2), button at (28, 27).
    auto at = [&](int x, int y) { return std::make_pair(2 + b->Left() + x, 2 + b->Top() + y); };
    {
        TShot s(barWnd);
        EXPECT_EQ(s.At(1, 1), GetSysColor(COLOR_BTNFACE));      // the border in Color
        EXPECT_EQ(s.At(2, 2), GetSysColor(COLOR_BTNHIGHLIGHT)); // the strip's raised bevel
        EXPECT_EQ(s.At(117, 23), GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(s.At(5, 5), GetSysColor(COLOR_BTNFACE)); // the strip's face
        EXPECT_EQ(s.At(5, 300), kGray);                    // the body
        auto [ix, iy] = at(30, 20);
        EXPECT_EQ(s.At(ix, iy), RGB(0, 255, 0)); // the large icon
        auto [tx, ty] = at(2, 2);
        EXPECT_EQ(s.At(tx, ty), kGray); // transparent: the body shows
    }
    SendMessageA(bw, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(b->Hot());
    {
        TShot s(barWnd);
        auto [x0, y0] = at(0, 0);
        auto [x1, y1] = at(59, 59);
        EXPECT_EQ(s.At(x0, y0), GetSysColor(COLOR_3DLIGHT)); // raised outer edge
        EXPECT_EQ(s.At(x1, y1), GetSysColor(COLOR_3DDKSHADOW));
    }
    SendMessageA(bw, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    {
        TShot s(barWnd);
        auto [x0, y0] = at(0, 0);
        auto [ix, iy] = at(14 + 1, 20); // the icon moved one pixel right and down
        EXPECT_EQ(s.At(x0, y0), GetSysColor(COLOR_3DDKSHADOW)); // sunken inner edge
        EXPECT_EQ(s.At(ix, iy), RGB(0, 0, 0));
    }
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(bw, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(clicks, 1);
    SendMessageA(bw, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(b->Hot());

    b->SetTransparent(false);
    b->SetColor(RGB(255, 255, 0));
    {
        TShot s(barWnd);
        auto [tx, ty] = at(2, 2);
        EXPECT_EQ(s.At(tx, ty), RGB(255, 255, 0));
    }
    bar->HeaderSettings().SetButtonStyle(TButtonStyle::bsSmall);
    EXPECT_TRUE(Same(RectIn(*b, OutlookWindow(*h)), {2, 27, 2 + 116 - sw - 4, 47}));
    {
        TShot s(barWnd);
        auto [ix, iy] = at(9, 9);
        EXPECT_EQ(s.At(ix, iy), RGB(0, 0, 255)); // the small icon at (2, 2)
    }
    bar->HeaderSettings().SetButtonStyle(TButtonStyle::bsLarge);
    EXPECT_EQ(b->Width(), 60);
    bar.reset(); // before the image lists go
    ImageList_Destroy(large32);
    ImageList_Destroy(small16);
}

TEST_F(SideBarWin, WhatAClickHandlerThrowsReachesTheApplication) {
    TvxOutlookBarHeader* h = bar->AddHeader("a");
    TOutlookButton* b = h->AddButton("one");
    std::string caught, where;
    ui::SetExceptionHandler([&](const std::exception& e, const std::string& site) {
        caught = e.what();
        where = site;
    });
    b->OnClick = [](TObject*) { throw ERangeError(); };
    Click(OutlookWindow(*b), 5, 5);
    ui::SetExceptionHandler(nullptr);
    EXPECT_EQ(caught, "Range check error");
    EXPECT_EQ(where, "TOutlookButton WM_LBUTTONUP");
    EXPECT_FALSE(b->Pressed());
}

TEST_F(SideBarWin, GradientFlatLookAndTiles) {
    TvxOutlookBarHeader* h0 = bar->AddHeader("a.exe");
    TvxOutlookBarHeader* h1 = bar->AddHeader("b.exe");
    h1->Gradient().SetGradientType(TGradientType::gtl2r);
    h1->Gradient().SetStartColor(RGBColor(0, 0, 0));
    h1->Gradient().SetEndColor(RGBColor(0, 0, 255));
    h1->Gradient().SetBackStyle(TBackStyle::bsGradient);
    {
        TShot s(barWnd);
        // 256 bands over 116 columns: column x shows the last band starting
        // at or before it (band i starts at MulDiv(i, 116, 256)).
        EXPECT_EQ(s.At(2, 300), RGB(0, 0, 1));
        EXPECT_EQ(s.At(60, 300), RGB(0, 0, 129));
        EXPECT_EQ(s.At(117, 300), RGB(0, 0, 254));
    }

    bar->SetFlat(true);
    {
        TShot s(barWnd);
        EXPECT_EQ(s.At(2, 2), GetSysColor(COLOR_BTNFACE)); // no bevel on a cold strip
        EXPECT_EQ(s.At(50, 23), RGB(0, 0, 0));             // but a line under it
    }
    SendMessageA(OutlookWindow(*h0), WM_MOUSEMOVE, 0, MAKELPARAM(10, 5));
    {
        TShot s(barWnd);
        EXPECT_EQ(s.At(2, 2), GetSysColor(COLOR_BTNHIGHLIGHT)); // the hot strip is raised
    }
    SendMessageA(OutlookWindow(*h0), WM_MOUSELEAVE, 0, 0);
    bar->SetFlat(false);

    h1->Gradient().SetBackStyle(TBackStyle::bsNormal);
    TSideBarBitmap tile;
    tile.SetPixels(4, 4, std::vector<TColor>(16, RGBColor(255, 0, 0)));
    h1->SetBitmap(tile);
    {
        TShot s(barWnd);
        EXPECT_EQ(s.At(60, 300), RGB(255, 0, 0));
    }
    h1->SetBitmapCopy(TBitmapCopy::bcMergeCopy); // the bitmap AND the header's colour
    {
        TShot s(barWnd);
        EXPECT_EQ(s.At(60, 300), RGB(128, 0, 0));
    }
    // A GDI bitmap loads into the model's pixels.
    HBITMAP sq = vxtest::SquareBitmap(6, RGB(10, 20, 30));
    LoadSideBarBitmap(h1->Bitmap(), sq);
    DeleteObject(sq);
    EXPECT_EQ(h1->Bitmap().Width(), 6);
    EXPECT_EQ(h1->Bitmap().Pixels()[7], RGBColor(10, 20, 30));
}

TEST_F(SideBarWin, KeyboardAndAccelerators) {
    bar->HeaderSettings().SetKeySupport(true);
    TvxOutlookBarHeader* h0 = bar->AddHeader("&Alpha");
    TvxOutlookBarHeader* h1 = bar->AddHeader("&Beta");
    TvxOutlookBarHeader* h2 = bar->AddHeader("&Gamma");
    TOutlookButton* run = h2->AddButton("&Run");
    int runs = 0;
    run->OnClick = [&](TObject*) { ++runs; };
    HWND w0 = OutlookWindow(*h0);
    SetFocus(w0);
    EXPECT_TRUE(h0->Focused());

    SendMessageA(w0, WM_KEYDOWN, VK_PRIOR, 0); // Page Up from the open last header
    EXPECT_EQ(bar->ActiveHeader(), h1);
    SendMessageA(w0, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(bar->ActiveHeader(), h0);
    SendMessageA(w0, WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(bar->ActiveHeader(), h1);
    SendMessageA(w0, WM_CHAR, 'g', 0); // no Alt and not focused: goes on
    EXPECT_EQ(bar->ActiveHeader(), h1);
    SendMessageA(w0, WM_SYSCHAR, 'g', 0);
    EXPECT_EQ(bar->ActiveHeader(), h2);
    SendMessageA(w0, WM_SYSCHAR, 'r', 0);
    EXPECT_EQ(runs, 1);

    // A released button of the open header takes the focus; Enter clicks it.
    HWND rw = OutlookWindow(*run);
    Click(rw, 5, 5);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(GetFocus(), rw);
    SendMessageA(rw, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(runs, 3);
}
