// The hyperlink label as a real child window, driven with mouse messages.
#include "support/WinTest_win.h"
#include "ui/vxLinkLabel_win.h"
#include "platform/Fakes.h"
#include "ui/Window_win.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <stdexcept>
#include <string>

using namespace vx;

namespace {

struct LinkLabelTest : ::testing::Test {
    TFakeShell shell;
    vxtest::TPlainHost hostWindow;
    HWND host = hostWindow.Handle();

    std::unique_ptr<TvxLinkLabel> Make(const char* caption, TvxLinkLabelStyle style,
                                       const char* link = "") {
        auto label = std::make_unique<TvxLinkLabel>(host, 10, 10, caption, &shell);
        label->SetLabelStyle(style);
        label->SetLink(link);
        return label;
    }
    void Enter(TvxLinkLabel& l) { SendMessageA(l.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)); }
    void Leave(TvxLinkLabel& l) { SendMessageA(l.Handle(), WM_MOUSELEAVE, 0, 0); }
    void ClickAt(TvxLinkLabel& l, int x, int y) {
        SendMessageA(l.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageA(l.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    SIZE Size(TvxLinkLabel& l) {
        RECT r = l.BoundsRect();
        return {r.right - r.left, r.bottom - r.top};
    }
};

// Bounding box of the pixels of one colour.
struct TBox {
    int Left = INT_MAX, Top = INT_MAX, Right = -1, Bottom = -1;
    bool Empty() const { return Right < 0; }
};
TBox BoxOf(const vxtest::TPixels& p, unsigned rgb) {
    TBox b;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            if (p.At(x, y) == rgb) {
                b.Left = std::min(b.Left, x);
                b.Top = std::min(b.Top, y);
                b.Right = std::max(b.Right, x);
                b.Bottom = std::max(b.Bottom, y);
            }
    return b;
}

} // namespace

TEST_F(LinkLabelTest, DefaultsAndShadowSizeRange) {
    auto l = Make("Label", TvxLinkLabelStyle::lsStandard);
    EXPECT_EQ(l->ShadowLayout(), TvxShadowLayout::slBottomRight);
    EXPECT_EQ(l->ShadowColor(), clBtnShadow);
    EXPECT_EQ(l->ShadowSize(), 0);
    EXPECT_EQ(l->LinkFont().Color, clBlue);
    EXPECT_TRUE(l->LinkFont().Underline);
    EXPECT_EQ(l->Version(), "1.1");
    char text[32];
    GetWindowTextA(l->Handle(), text, sizeof text);
    EXPECT_STREQ(text, "Label");

    l->SetShadowSize(9);
    EXPECT_EQ(l->ShadowSize(), 5);
    l->SetShadowSize(-1);
    EXPECT_EQ(l->ShadowSize(), 5);
    l->SetShadowSize(2);
    EXPECT_EQ(l->ShadowSize(), 2);
}

TEST_F(LinkLabelTest, AutoSizeMakesRoomForTheShadowOnEveryLayout) {
    // Upright capitals: no ink beyond their advance widths to be clipped.
    auto l = Make("HIH", TvxLinkLabelStyle::lsStandard);
    const SIZE plain = Size(*l);
    ASSERT_GT(plain.cx, 0);
    l->SetShadowSize(3);
    const SIZE shadowed = Size(*l);
    EXPECT_EQ(shadowed.cx, plain.cx + 3);
    EXPECT_EQ(shadowed.cy, plain.cy + 3);
    // Back to no shadow: the label shrinks to its text again.
    l->SetShadowSize(0);
    EXPECT_EQ(Size(*l).cx, plain.cx);

    // Painted: the shadow lies S pixels beside the text on its own side, and
    // nothing of either is cut off by the label's edges.
    const unsigned red = 0xFF0000, black = 0x000000;
    l->SetShadowColor(RGBColor(255, 0, 0));
    TFont font = l->Font();
    font.Color = RGBColor(0, 0, 0);
    l->SetFont(font);
    l->SetShadowSize(3);
    for (auto layout : {TvxShadowLayout::slTopLeft, TvxShadowLayout::slTopRight,
                        TvxShadowLayout::slBottomLeft, TvxShadowLayout::slBottomRight}) {
        SCOPED_TRACE(int(layout));
        l->SetShadowLayout(layout);
        EXPECT_EQ(Size(*l).cx, plain.cx + 3);
        const vxtest::TPixels p = vxtest::PrintClient(l->Handle());
        const TBox text = BoxOf(p, black), shadow = BoxOf(p, red);
        ASSERT_FALSE(text.Empty());
        ASSERT_FALSE(shadow.Empty());
        int dx, dy;
        TvxLinkLabelBase::ShadowOffset(layout, 3, dx, dy);
        if (dx > 0)
            EXPECT_EQ(shadow.Right, text.Right + 3);
        else
            EXPECT_EQ(shadow.Left, text.Left - 3);
        if (dy > 0)
            EXPECT_EQ(shadow.Bottom, text.Bottom + 3);
        else
            EXPECT_EQ(shadow.Top, text.Top - 3);
        EXPECT_GE(std::min(shadow.Left, text.Left), 0);
        EXPECT_GE(std::min(shadow.Top, text.Top), 0);
        EXPECT_LT(std::max(shadow.Right, text.Right), p.Width);
        EXPECT_LT(std::max(shadow.Bottom, text.Bottom), p.Height);
    }
}

TEST_F(LinkLabelTest, HoverOverALinkShowsLinkFontAndHandCursor) {
    auto l = Make("Click here", TvxLinkLabelStyle::lsInternetLink, "https://x.example/");
    EXPECT_EQ(&l->TextFont(), &l->Font());
    Enter(*l);
    EXPECT_TRUE(l->MouseOver());
    EXPECT_EQ(&l->TextFont(), &l->LinkFont());
    EXPECT_EQ(l->Cursor(), crHandPoint);
    SendMessageA(l->Handle(), WM_SETCURSOR, WPARAM(l->Handle()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
    Leave(*l);
    EXPECT_FALSE(l->MouseOver());
    EXPECT_EQ(&l->TextFont(), &l->Font());
    EXPECT_EQ(l->Cursor(), crDefault);

    // A label disabled under the mouse leaves the hover look at once, and a
    // disabled label does not take it.
    Enter(*l);
    l->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(l->Handle()));
    EXPECT_FALSE(l->MouseOver());
    EXPECT_EQ(l->Cursor(), crDefault);
    l->MouseEnter();
    EXPECT_FALSE(l->MouseOver());
}

TEST_F(LinkLabelTest, PlainLabelKeepsFontAndItsOwnCursor) {
    auto l = Make("Plain", TvxLinkLabelStyle::lsStandard);
    l->SetCursor(crArrow); // set after construction: hovering must not undo it
    Enter(*l);
    EXPECT_TRUE(l->MouseOver());
    EXPECT_EQ(&l->TextFont(), &l->Font());
    EXPECT_EQ(l->Cursor(), crArrow);
    Leave(*l);
    EXPECT_EQ(l->Cursor(), crArrow);

    // Automatic dragging keeps the hover state off.
    l->SetDragAutomatic(true);
    Enter(*l);
    EXPECT_FALSE(l->MouseOver());
}

TEST_F(LinkLabelTest, ClicksOpenTheirLinkThroughTheShell) {
    int clicks = 0;
    auto web = Make("Web", TvxLinkLabelStyle::lsInternetLink, "https://www.vexel.example/");
    web->OnClick = [&](TvxLinkLabelBase&) { ++clicks; };
    ClickAt(*web, 2, 2);
    ASSERT_EQ(shell.Calls.size(), 1u);
    EXPECT_EQ(shell.Calls[0].Target, "https://www.vexel.example/");
    EXPECT_EQ(shell.Calls[0].Folder, "");
    EXPECT_EQ(shell.Calls[0].ShowCmd, 4);
    EXPECT_EQ(clicks, 1);

    // Released outside the label: no click.
    ClickAt(*web, -5, 300);
    EXPECT_EQ(shell.Calls.size(), 1u);
    EXPECT_EQ(clicks, 1);

    auto mail = Make("Mail", TvxLinkLabelStyle::lsMailTo, "support@vexel.example");
    ClickAt(*mail, 1, 1);
    ASSERT_EQ(shell.Calls.size(), 2u);
    EXPECT_EQ(shell.Calls[1].Target, "mailto:support@vexel.example");
    EXPECT_EQ(shell.Calls[1].ShowCmd, 4);

    // A plain label and a link without an address only raise their own click.
    auto plain = Make("Plain", TvxLinkLabelStyle::lsStandard, "https://www.vexel.example/");
    auto empty = Make("Empty", TvxLinkLabelStyle::lsInternetLink, "");
    empty->OnClick = [&](TvxLinkLabelBase&) { ++clicks; };
    ClickAt(*plain, 1, 1);
    ClickAt(*empty, 1, 1);
    EXPECT_EQ(shell.Calls.size(), 2u);
    EXPECT_EQ(clicks, 2);
}

// What a click handler throws is caught at the label's window and reported
// with where it happened; it does not unwind through the system's frames.
TEST_F(LinkLabelTest, ClickHandlerExceptionIsReportedAtTheWindow) {
    std::string what, where;
    ui::SetExceptionHandler([&](const std::exception& e, const std::string& site) {
        what = e.what();
        where = site;
    });
    auto label = Make("Plain", TvxLinkLabelStyle::lsStandard);
    label->OnClick = [](TvxLinkLabelBase&) { throw std::runtime_error("handler failed"); };
    ClickAt(*label, 1, 1);
    ui::SetExceptionHandler(nullptr);
    EXPECT_EQ(what, "handler failed");
    EXPECT_EQ(where, "TvxLinkLabel WM_LBUTTONUP");
    EXPECT_TRUE(IsWindow(label->Handle()));
}
