#include "PrintRect.h"
#include "sidebar/SideBarGeometry.h"

#include <gtest/gtest.h>

#include <map>

using namespace vx;
using namespace vx::sbar;

TEST(SideBarGeometry, HeaderRectsStackAroundTheActiveHeader) {
    TRect inner = BarInnerRect({0, 0, 120, 500}, 1, TBevelCut::bvLowered, TBevelCut::bvNone, 1);
    EXPECT_EQ(inner, (TRect{2, 2, 118, 498}));
    EXPECT_EQ(BarInnerRect({0, 0, 120, 500}, 1, TBevelCut::bvRaised, TBevelCut::bvLowered, 3),
              (TRect{7, 7, 113, 493}));

    std::vector<bool> all(3, true);
    EXPECT_EQ(HeaderRect(inner, 0, all, 1, 22), (TRect{2, 2, 118, 24}));
    EXPECT_EQ(HeaderRect(inner, 1, all, 1, 22), (TRect{2, 24, 118, 476}));
    EXPECT_EQ(HeaderRect(inner, 2, all, 1, 22), (TRect{2, 476, 118, 498}));
    EXPECT_EQ(HeaderRect(inner, 3, all, 1, 22), TRect{});
    EXPECT_EQ(HeaderRect(inner, -1, all, 1, 22), TRect{});
    // No open header: every strip at its place at the top.
    EXPECT_EQ(HeaderRect(inner, 2, all, -1, 22), (TRect{2, 46, 118, 68}));
    // One header fills the inner rectangle.
    EXPECT_EQ(HeaderRect(inner, 0, {true}, 0, 22), inner);
    // Hidden headers take no room: header 1 hidden, header 0 open.
    std::vector<bool> hidden{true, false, true};
    EXPECT_EQ(HeaderRect(inner, 0, hidden, 0, 22), (TRect{2, 2, 118, 476}));
    EXPECT_EQ(HeaderRect(inner, 2, hidden, 0, 22), (TRect{2, 476, 118, 498}));
    // Header 0 hidden, header 2 open: it starts right under header 1's strip.
    EXPECT_EQ(HeaderRect(inner, 2, {false, true, true}, 2, 22), (TRect{2, 24, 118, 498}));
}

TEST(SideBarGeometry, ButtonsStackFromTopIndex) {
    std::vector<TStackItem> large(3, TStackItem{true, TButtonStyle::bsLarge, 60, 60});
    auto at = StackButtons(large, 116, 22, 5, 0);
    EXPECT_EQ(at[0], (TPoint{28, 27}));
    EXPECT_EQ(at[1], (TPoint{28, 89}));
    EXPECT_EQ(at[2], (TPoint{28, 151}));

    std::vector<TStackItem> small(4, TStackItem{true, TButtonStyle::bsSmall, 95, 20});
    small[2].Visible = false;
    at = StackButtons(small, 116, 22, 5, 1);
    EXPECT_FALSE(at[0]); // above the scroll position: left where it was
    EXPECT_EQ(at[1], (TPoint{2, 27}));
    EXPECT_FALSE(at[2]); // hidden buttons take no room
    EXPECT_EQ(at[3], (TPoint{2, 49}));
}

TEST(SideBarGeometry, ScrollArrowsAndSteps) {
    // Open header 116 x 452: arrows at the body's right edge.
    TScrollPlacement p = PlaceScrollButtons({0, 22, 116, 452}, 22, 17, 17, 17);
    EXPECT_EQ(p.Up, (TPoint{98, 23}));
    EXPECT_EQ(p.Down, (TPoint{98, 434}));
    // A closed header has an empty body: both arrows out of sight.
    p = PlaceScrollButtons({0, 22, 116, 22}, 22, 17, 17, 17);
    EXPECT_EQ(p.Up.Y, 122);
    EXPECT_EQ(p.Down.Y, 122);
    // A body too low for the down arrow hides both as well.
    EXPECT_EQ(PlaceScrollButtons({0, 22, 116, 40}, 22, 17, 17, 17).Up.Y, 122);

    EXPECT_EQ(ScrollStep(0, 5, false), 0);
    EXPECT_EQ(ScrollStep(0, 5, true), 1);
    EXPECT_EQ(ScrollStep(4, 5, true), 4); // the last button stays in the column
    EXPECT_EQ(ScrollStep(0, 0, true), 0);

    EXPECT_FALSE(ScrollNeeds(0, 200, 452).Up);
    EXPECT_TRUE(ScrollNeeds(1, 200, 452).Up);
    EXPECT_TRUE(ScrollNeeds(0, 453, 452).Down);
    EXPECT_FALSE(ScrollNeeds(0, 452, 452).Down);
    EXPECT_FALSE(ScrollNeeds(0, std::nullopt, 452).Down);
}

TEST(SideBarGeometry, BevelsPaintTopLeftAndBottomRight) {
    std::map<std::pair<int, int>, TColor> px;
    for (const TFill& f : BevelFills(MakeBevel({0, 0, 10, 8}, 2, TBevelCut::bvLowered)))
        for (int y = f.Rect.Top; y < f.Rect.Bottom; ++y)
            for (int x = f.Rect.Left; x < f.Rect.Right; ++x)
                px[{x, y}] = f.Color;
    EXPECT_EQ(px[std::make_pair(0, 0)], clBtnShadow);    // lowered: shadow on top and left
    EXPECT_EQ(px[std::make_pair(0, 7)], clBtnHighlight); // bottom-left belongs to the bottom edge
    EXPECT_EQ(px[std::make_pair(9, 0)], clBtnHighlight); // so does top-right
    EXPECT_EQ(px[std::make_pair(1, 1)], clBtnShadow);    // second ring
    EXPECT_EQ(px[std::make_pair(8, 6)], clBtnHighlight);
    EXPECT_EQ(px.count(std::make_pair(2, 2)), 0u); // the inside is untouched

    auto frame =
        BarFrame({0, 0, 120, 500}, clBtnFace, 1, TBevelCut::bvLowered, TBevelCut::bvNone, 1);
    ASSERT_EQ(frame.size(), 2u);
    EXPECT_EQ(frame[0].TopColor, clBtnShadow);
    EXPECT_EQ(frame[1].Rect, (TRect{1, 1, 119, 499}));
    EXPECT_EQ(frame[1].TopColor, clBtnFace);
}

TEST(SideBarGeometry, CaptionStripLayout) {
    TCaptionInput in;
    in.Strip = {0, 0, 116, 22};
    in.TextHeight = 13;
    TCaptionLayout l = LayoutCaption(in);
    ASSERT_EQ(l.Frame.size(), 1u); // raised outer bevel only
    EXPECT_EQ(l.Face, (TRect{1, 1, 115, 21}));
    EXPECT_EQ(l.Text, (TRect{1, 4, 115, 17}));
    EXPECT_EQ(l.Offset, 1);

    in.PressedLook = true;
    l = LayoutCaption(in);
    EXPECT_EQ(l.Offset, 2);
    EXPECT_EQ(l.Frame[1].TopColor, clBtnShadow); // raised then lowered ring
    EXPECT_EQ(l.Face, (TRect{2, 2, 114, 20}));
    EXPECT_EQ(l.Text.Left, 3); // moved right by offset div 2

    in.PressedLook = false;
    in.Flat = true;
    l = LayoutCaption(in);
    EXPECT_TRUE(l.Frame.empty());
    EXPECT_EQ(l.FlatLine, (TRect{0, 21, 116, 22}));
    EXPECT_EQ(l.Face, (TRect{0, 0, 116, 21}));

    in.Flat = false;
    in.HasImage = true;
    in.ImageWidth = in.ImageHeight = 16;
    in.Alignment = TAlignment::taLeftJustify;
    in.Focused = true;
    l = LayoutCaption(in);
    EXPECT_EQ(l.Image, (TPoint{3, 3}));
    EXPECT_EQ(l.Focus, (TRect{2, 2, 114, 20}));
    EXPECT_EQ(l.Text.Left, 2 + 19);
    in.Layout = TGlyphLayout::glGlyphCenter;
    EXPECT_EQ(LayoutCaption(in).Image, (TPoint{50, 3}));
    in.Layout = TGlyphLayout::glGlyphRight;
    in.Alignment = TAlignment::taRightJustify;
    l = LayoutCaption(in);
    EXPECT_EQ(l.Image, (TPoint{97, 3}));
    EXPECT_EQ(l.Text.Right, 114 - 20);
}

TEST(SideBarGeometry, ButtonLayoutInBothStyles) {
    TButtonInput in{60, 60, TButtonStyle::bsLarge, true, 32, 32, 13, false};
    TButtonLayout l = LayoutButton(in);
    EXPECT_EQ(l.Icon, (TPoint{14, 6})); // centred in the height less t + 2
    EXPECT_EQ(l.Edge, TEdge::None);
    EXPECT_EQ(l.Text, (TRect{0, 45, 60, 60}));
    in.CaptionEmpty = true;
    EXPECT_EQ(LayoutButton(in).Icon, (TPoint{14, 14}));
    in.Pressed = true;
    l = LayoutButton(in);
    EXPECT_EQ(l.Icon, (TPoint{15, 15}));
    EXPECT_EQ(l.Edge, TEdge::Sunken);
    EXPECT_EQ(l.Text, (TRect{1, 46, 60, 60}));
    in.HasIcon = false;
    in.Pressed = false;
    in.Hot = true;
    EXPECT_EQ(LayoutButton(in).Edge, TEdge::Raised); // the edge shows without an icon too

    TButtonInput small{95, 20, TButtonStyle::bsSmall, true, 16, 16, 13, false};
    small.Hot = true;
    l = LayoutButton(small);
    EXPECT_EQ(l.Icon, (TPoint{2, 2}));
    EXPECT_EQ(l.Edge, TEdge::Raised);
    EXPECT_EQ(l.Text, (TRect{20, 3, 95, 20}));
    EXPECT_FALSE(l.Centered);
    small.HasIcon = false;
    l = LayoutButton(small);
    EXPECT_EQ(l.Edge, TEdge::None); // no hover edge without an icon
    EXPECT_EQ(l.Text.Left, 0);
    small.Hot = false;
    small.Focused = true;
    EXPECT_EQ(LayoutButton(small).Focus, (TRect{1, 1, 94, 19}));
}

TEST(SideBarGeometry, GradientBands) {
    std::vector<std::pair<TRect, TColor>> bands;
    auto collect = [&](const TRect& r, TColor c) { bands.push_back({r, c}); };

    GradientBands(TGradientType::gtt2b, 0x000000, 0xFF0000, {0, 22, 100, 23}, collect);
    ASSERT_EQ(bands.size(), 256u); // all bands, most of them empty, on a 1-pixel body
    EXPECT_EQ(bands.front().second, 0x000000u);
    EXPECT_EQ(bands.back().second, 0xFF0000u);
    EXPECT_EQ(bands[128].second, 0x800000u); // MulDiv(128, 255, 255)

    bands.clear();
    GradientBands(TGradientType::gtl2r, RGBColor(255, 0, 0), RGBColor(0, 0, 255), {10, 0, 522, 5},
                  collect);
    int x = 10;
    for (auto& [r, c] : bands) { // contiguous, 2 pixels each
        EXPECT_EQ(r.Left, x);
        x = r.Right;
    }
    EXPECT_EQ(x, 522);
    EXPECT_EQ(bands[1].second, RGBColor(254, 0, 1));

    bands.clear();
    GradientBands(TGradientType::gts2c, 0x000000, 0x0000FF, {0, 0, 10, 4}, collect);
    ASSERT_EQ(bands.size(), 12u); // (width div 2 + 1) twice
    EXPECT_EQ(bands[0].first, (TRect{0, 0, 1, 4}));
    EXPECT_EQ(bands[1].first, (TRect{9, 0, 10, 4}));
    EXPECT_EQ(bands[0].second, 0u);
    EXPECT_EQ(bands[10].second, 0xFFu); // the centre gets the end colour

    bands.clear();
    GradientBands(TGradientType::gttb2c, clBtnFace, 0x00FF00, {0, 0, 8, 1}, collect);
    ASSERT_EQ(bands.size(), 2u); // height 1: m = 0, the start colour as plain bytes
    EXPECT_EQ(bands[0].second, 0x0Fu);
    bands.clear();
    GradientBands(TGradientType::gtl2r, 0, 0, {0, 5, 10, 5}, collect);
    EXPECT_TRUE(bands.empty());
}

TEST(SideBarGeometry, SmallHelpers) {
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(5, 4, 0), -1);
    EXPECT_EQ(VersionText(0x0128), "1.40");

    EXPECT_TRUE(IsAccel('f', "&File"));
    EXPECT_TRUE(IsAccel('B', "a&b.exe"));
    EXPECT_FALSE(IsAccel('b', "a&&b"));
    EXPECT_FALSE(IsAccel('x', "x&"));
    EXPECT_FALSE(IsAccel('a', "abc"));

    auto up = ArrowGlyphRows(TArrowStyle::asUp);
    ASSERT_EQ(up.size(), 5u);
    EXPECT_EQ(up[0], (TRect{6, 5, 8, 6}));
    EXPECT_EQ(up[4], (TRect{2, 9, 12, 10}));
    EXPECT_EQ(ArrowGlyphRows(TArrowStyle::asDown)[0], (TRect{6, 9, 8, 10}));

    auto tiles = TileOrigins({0, 22, 116, 100}, 50, 40, 116, 100);
    ASSERT_EQ(tiles.size(), 6u); // 3 columns x 2 rows
    EXPECT_EQ(tiles[5], (TPoint{100, 62}));
}
