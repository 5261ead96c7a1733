// Alignment layout, splitters and panels of the widget layer.
#include "ui/Panel_win.h"
#include "ui/Splitter_win.h"
#include "win/ui/UiTestUtil.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::ui;
using vxtest::THostWindow;

namespace {

TPanelStyle Style(TAlign align, int width, int height) {
    TPanelStyle s;
    s.Align = align;
    s.Width = width;
    s.Height = height;
    return s;
}

bool Same(const RECT& r, int l, int t, int rr, int b) {
    return r.left == l && r.top == t && r.right == rr && r.bottom == b;
}

} // namespace

TEST(UiLayout, AlignsChildrenInOrderAndSkipsHiddenOnes) {
    THostWindow host;
    TPanel top, bottom, left, client, top2;
    top.Create(&host, Style(TAlign::alTop, 0, 30));
    bottom.Create(&host, Style(TAlign::alBottom, 0, 20));
    left.Create(&host, Style(TAlign::alLeft, 100, 0));
    client.Create(&host, Style(TAlign::alClient, 0, 0));
    top2.Create(&host, Style(TAlign::alTop, 0, 10)); // later tops stack below earlier ones
    host.Realign();
    RECT c = host.Client();
    EXPECT_TRUE(Same(top.Bounds(), 0, 0, c.right, 30));
    EXPECT_TRUE(Same(top2.Bounds(), 0, 30, c.right, 40));
    EXPECT_TRUE(Same(bottom.Bounds(), 0, c.bottom - 20, c.right, c.bottom));
    EXPECT_TRUE(Same(left.Bounds(), 0, 40, 100, c.bottom - 20));
    EXPECT_TRUE(Same(client.Bounds(), 100, 40, c.right, c.bottom - 20));

    left.SetVisible(false);
    top.SetVisible(false);
    EXPECT_TRUE(Same(client.Bounds(), 0, 10, c.right, c.bottom - 20));
    left.SetVisible(true);
    EXPECT_TRUE(Same(left.Bounds(), 0, 10, 100, c.bottom - 20));

    // Resizing the host lays out again.
    host.SetBounds(10, 10, 800, 500);
    RECT c2 = host.Client();
    EXPECT_EQ(client.Bounds().right, c2.right);
    EXPECT_EQ(bottom.Bounds().bottom, c2.bottom);
}

TEST(UiLayout, SplitterDragsClampsAndCollapses) {
    THostWindow host(700, 300);
    TPanel side, rest;
    TSplitter splitter;
    side.Create(&host, Style(TAlign::alLeft, 130, 0));
    splitter.Create(&host, &side, {TAlign::alLeft, 10, 0, 400, true});
    rest.Create(&host, Style(TAlign::alClient, 0, 0));
    host.Realign();
    EXPECT_EQ(splitter.Bounds().left, 130);
    EXPECT_EQ(rest.Bounds().left, 140);
    int moved = 0;
    splitter.OnMoved = [&](TSplitter&) { ++moved; };

    // Drag 50 pixels to the right, away from the collapse button.
    auto drag = [&](int from, int to, int y) {
        SendMessageA(splitter.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from, y));
        SendMessageA(splitter.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to, y));
        SendMessageA(splitter.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(to, y));
    };
    drag(5, 55, 5);
    EXPECT_EQ(side.Width(), 180);
    EXPECT_EQ(rest.Bounds().left, 190);
    EXPECT_EQ(moved, 1);

    // The rest keeps its minimum of 400 pixels.
    int clientWidth = host.Client().right;
    drag(5, 1000, 5);
    EXPECT_EQ(side.Width(), clientWidth - 10 - 400);

    // A click on the button in the middle folds the side away and back.
    splitter.MoveTo(150);
    RECT b = splitter.ButtonRect();
    int mid = (b.top + b.bottom) / 2;
    EXPECT_GT(b.bottom - b.top, 0);
    drag(5, 5, mid);
    EXPECT_TRUE(splitter.Collapsed());
    EXPECT_EQ(side.Width(), 0);
    EXPECT_EQ(splitter.Bounds().left, 0);
    drag(5, 5, mid);
    EXPECT_FALSE(splitter.Collapsed());
    EXPECT_EQ(side.Width(), 150);
    // Outside the button a click without movement changes nothing.
    drag(5, 5, 2);
    EXPECT_EQ(side.Width(), 150);
}

TEST(UiLayout, PanelCaptionColourAndDoubleClick) {
    THostWindow host;
    TPanel line;
    TPanelStyle s = Style(TAlign::alTop, 0, 41);
    s.Color = RGBColor(0, 0, 0);
    s.FontColor = RGBColor(255, 255, 255);
    s.Alignment = TTextAlign::taLeft;
    line.Create(&host, s);
    host.Realign();
    line.SetCaption(" Welcome");
    EXPECT_EQ(line.Caption(), " Welcome");
    EXPECT_EQ(ToColorRef(line.Color()), RGB(0, 0, 0));
    EXPECT_EQ(ToColorRef(clBtnFace), GetSysColor(COLOR_BTNFACE));

    // Painted black with white text.
    ShowWindow(host.Handle(), SW_SHOW);
    UpdateWindow(host.Handle());
    HDC dc = GetDC(line.Handle());
    EXPECT_EQ(GetPixel(dc, 300, 2), RGB(0, 0, 0));
    ReleaseDC(line.Handle(), dc);

    int clicks = 0;
    line.OnDblClick = [&](TPanel&, POINT pt) {
        ++clicks;
        EXPECT_EQ(pt.x, 7);
    };
    SendMessageA(line.Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(7, 8));
    EXPECT_EQ(clicks, 1);
}
