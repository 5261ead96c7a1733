#include "PrintRect.h"
#include "sidebar/vxOutlookBar.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::sbar;

namespace {

// The main window's bar: 120 x 500, three headers, the middle one open.
struct ThreeHeaders : ::testing::Test {
    TvxOutlookBar bar;
    TvxOutlookBarHeader* h[3];
    void SetUp() override {
        bar.SetBounds(0, 0, 120, 500);
        for (int i = 0; i < 3; ++i)
            h[i] = bar.AddHeader("app" + std::to_string(i));
        bar.ChangeHeader(h[1]);
    }
};

TRect Bounds(const TOutlookControl& c) {
    return c.BoundsRect();
}

} // namespace

TEST_F(ThreeHeaders, HeadersTakeTheirPlaces) {
    EXPECT_EQ(Bounds(*h[0]), (TRect{2, 2, 118, 24}));
    EXPECT_EQ(Bounds(*h[1]), (TRect{2, 24, 118, 476}));
    EXPECT_EQ(Bounds(*h[2]), (TRect{2, 476, 118, 498}));

    bar.SetBorderStyle(TBorderStyle::bsSingle); // a sunken edge of 2 pixels
    EXPECT_EQ(bar.InnerRect(), (TRect{2, 2, 114, 494}));
    EXPECT_EQ(Bounds(*h[2]), (TRect{2, 472, 114, 494}));
    bar.SetBorderStyle(TBorderStyle::bsNone);

    bar.SetHeaderHeight(30);
    EXPECT_EQ(Bounds(*h[1]), (TRect{2, 32, 118, 468}));
    bar.SetHeaderHeight(22);
    h[0]->SetVisible(false);
    EXPECT_EQ(Bounds(*h[1]), (TRect{2, 2, 118, 476}));
    h[0]->SetVisible(true);
    bar.SetBounds(0, 0, 130, 400);
    EXPECT_EQ(Bounds(*h[2]), (TRect{2, 376, 128, 398}));
}

TEST_F(ThreeHeaders, ButtonSizesFollowTheSharedSettings) {
    TOutlookButton* b0 = h[1]->AddButton("one");
    TOutlookButton* b1 = h[1]->AddButton("two");
    TOutlookButton* fixed = h[0]->AddButton("fixed");
    fixed->SetAutoSize(false);
    fixed->SetBounds(0, 0, 40, 33);
    b1->SetWidth(10); // auto-sized buttons refuse other sizes
    EXPECT_EQ(b1->Width(), 60);
    EXPECT_EQ(Bounds(*b0), (TRect{28, 27, 88, 87}));
    EXPECT_EQ(Bounds(*b1), (TRect{28, 89, 88, 149}));

    bar.HeaderSettings().SetButtonStyle(TButtonStyle::bsSmall);
    EXPECT_EQ(b0->ButtonStyle(), TButtonStyle::bsSmall);
    EXPECT_EQ(Bounds(*b0), (TRect{2, 27, 2 + 116 - 17 - 4, 47}));
    EXPECT_EQ(b1->Top(), 49);
    EXPECT_EQ(fixed->Width(), 40); // AutoSize off keeps its size
    EXPECT_EQ(fixed->Height(), 33);

    // The bar grows (the splitter): small buttons follow the header's width.
    bar.SetBounds(0, 0, 200, 500);
    EXPECT_EQ(b0->Width(), 196 - 17 - 4);
    // A header added later sizes its buttons for its real width at once.
    TOutlookButton* late = bar.AddHeader("late")->AddButton("x");
    EXPECT_EQ(late->Width(), 196 - 17 - 4);
    EXPECT_EQ(late->Height(), 20);

    bar.HeaderSettings().SetButtonStyle(TButtonStyle::bsLarge);
    EXPECT_EQ(Bounds(*b0), (TRect{68, 27, 128, 87}));

    // Under CommonStyle a header's own settings change nothing visible...
    h[1]->HeaderSettings().SetButtonStyle(TButtonStyle::bsSmall);
    EXPECT_EQ(b0->Height(), 60);
    // ...until CommonStyle is switched off.
    bar.SetCommonStyle(false);
    EXPECT_EQ(b0->Height(), 20);
    EXPECT_EQ(late->Height(), 60);
    bar.SetCommonStyle(true);
    EXPECT_EQ(b0->Height(), 60);

    // Switching AutoSize back on sizes the button from the settings in use.
    fixed->SetAutoSize(true);
    EXPECT_EQ(fixed->Width(), 60);
}

// At 144 pixels per inch every measure of the 96 layout is half as big
// again: strips, buttons, the gaps between them, the arrows; back at 96 the
// bar is exactly as it was.
TEST_F(ThreeHeaders, PixelsPerInchScaleTheWholeLayout) {
    TOutlookButton* b0 = h[1]->AddButton("one");
    TOutlookButton* b1 = h[1]->AddButton("two");
    bar.SetScrollButtonSize(17, 17);
    bar.SetPixelsPerInch(144);
    bar.SetBounds(0, 0, 180, 750);
    EXPECT_EQ(bar.HeaderHeight(), 33);
    EXPECT_EQ(Bounds(*h[0]), (TRect{2, 2, 178, 35}));
    EXPECT_EQ(Bounds(*h[1]), (TRect{2, 35, 178, 715}));
    EXPECT_EQ(b0->Width(), 90);
    EXPECT_EQ(b0->Height(), 90);
    // Under the strip by 5 pixels of 96 (8), 2 of 96 (3) between buttons.
    EXPECT_EQ(Bounds(*b0), (TRect{43, 33 + 8, 133, 33 + 8 + 90}));
    EXPECT_EQ(b1->Top(), b0->Top() + 90 + 3);
    EXPECT_EQ(bar.ScrollButtonWidth(), 26);
    // A header added now is made for the new pixels per inch too.
    TvxOutlookBarHeader* late = bar.AddHeader("late");
    EXPECT_EQ(late->FirstButtonTop(), 8);

    bar.HeaderSettings().SetButtonStyle(TButtonStyle::bsSmall);
    EXPECT_EQ(b0->Height(), 30);
    EXPECT_EQ(b0->Left(), 3);
    bar.HeaderSettings().SetButtonStyle(TButtonStyle::bsLarge);

    bar.SetPixelsPerInch(96);
    bar.SetBounds(0, 0, 120, 500);
    bar.ChangeHeader(h[1]);
    EXPECT_EQ(bar.HeaderHeight(), 22);
    EXPECT_EQ(Bounds(*b0), (TRect{28, 27, 88, 87}));
    EXPECT_EQ(Bounds(*b1), (TRect{28, 89, 88, 149}));
    EXPECT_EQ(bar.ScrollButtonWidth(), 17);
}

TEST_F(ThreeHeaders, ScrollingAColumn) {
    std::vector<TOutlookButton*> b;
    for (int i = 0; i < 9; ++i)
        b.push_back(h[1]->AddButton("b" + std::to_string(i)));
    int scrolls = 0;
    h[1]->OnScroll = [&](TObject*) { ++scrolls; };
    TScrollButton& up = h[1]->ScrollUpButton();
    TScrollButton& down = h[1]->ScrollDownButton();
    EXPECT_FALSE(up.Visible());
    EXPECT_FALSE(down.Visible());
    h[1]->UpdateLayout(); // what the header's paint does
    EXPECT_FALSE(up.Visible());
    EXPECT_TRUE(down.Visible()); // 9 x 62 does not fit in 452
    EXPECT_EQ(Bounds(up), (TRect{98, 23, 115, 40}));
    EXPECT_EQ(Bounds(down), (TRect{98, 434, 115, 451}));

    down.MouseDown(TMouseButton::mbLeft, 3, 3);
    EXPECT_TRUE(down.Down());
    down.MouseUp(TMouseButton::mbLeft, 3, 3);
    EXPECT_EQ(h[1]->TopIndex(), 1);
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(b[1]->Top(), 27);
    EXPECT_TRUE(b[0]->ScrolledOut());
    EXPECT_FALSE(b[0]->Showing());
    h[1]->UpdateLayout();
    EXPECT_TRUE(up.Visible());

    down.MouseDown(TMouseButton::mbLeft, 3, 3);
    down.MouseUp(TMouseButton::mbLeft, 40, 3); // released elsewhere: no step
    EXPECT_EQ(h[1]->TopIndex(), 1);
    for (int i = 0; i < 20; ++i)
        h[1]->Change(down);
    EXPECT_EQ(h[1]->TopIndex(), 8); // the last button stays in the column
    h[1]->UpdateLayout();
    EXPECT_FALSE(down.Visible());
    up.MouseDown(TMouseButton::mbLeft, 1, 1);
    up.MouseUp(TMouseButton::mbLeft, 1, 1);
    EXPECT_EQ(h[1]->TopIndex(), 7);
    EXPECT_FALSE(b[7]->ScrolledOut());

    // Deleting buttons keeps the position inside the shorter column.
    for (int i = 0; i < 6; ++i)
        h[1]->DeleteButton(0);
    EXPECT_EQ(h[1]->TopIndex(), 2);
    EXPECT_EQ(h[1]->Buttons(2)->Top(), 27);

    // A closed header puts both arrows out of sight.
    bar.ChangeHeader(h[0]);
    h[1]->UpdateLayout();
    EXPECT_EQ(h[1]->Height(), 22);
    EXPECT_EQ(up.Top(), 122);
    EXPECT_EQ(down.Top(), 122);
}

TEST_F(ThreeHeaders, ScrollChecksAndSortVetoes) {
    for (int i = 0; i < 9; ++i)
        h[1]->AddButton("b");
    bool automatic = false;
    h[1]->OnCheckScroll = [&](TObject*, bool& up, bool& down, bool& a) {
        up = true;
        down = false;
        a = automatic;
    };
    h[1]->UpdateLayout(); // AutoScroll on: the handler is not asked
    EXPECT_FALSE(h[1]->ScrollUpButton().Visible());
    bar.HeaderSettings().SetAutoScroll(false);
    h[1]->UpdateLayout();
    EXPECT_TRUE(h[1]->ScrollUpButton().Visible());
    EXPECT_FALSE(h[1]->ScrollDownButton().Visible());
    automatic = true; // the handler hands the decision back
    h[1]->UpdateLayout();
    EXPECT_FALSE(h[1]->ScrollUpButton().Visible());
    EXPECT_TRUE(h[1]->ScrollDownButton().Visible());

    int sorts = 0;
    h[1]->OnSort = [&](TObject*) { ++sorts; };
    h[1]->OnCanSort = [](TObject*, bool& can) { can = false; };
    h[1]->SetFirstButtonTop(50);
    EXPECT_EQ(sorts, 1);
    EXPECT_EQ(h[1]->Buttons(0)->Top(), 27); // vetoed
    h[1]->OnCanSort = nullptr;
    h[1]->SetAutoSort(false);
    h[1]->SetFirstButtonTop(10);
    EXPECT_EQ(h[1]->Buttons(0)->Top(), 27); // AutoSort off: nothing stacks
    h[1]->SetAutoSort(true);
    EXPECT_EQ(h[1]->Buttons(0)->Top(), 32);

    // A header outside a bar stacks nothing and uses 22-pixel strips.
    TvxOutlookBarHeader loose(nullptr);
    TOutlookButton* b = loose.AddButton("x");
    b->SetAllowResize(true);
    EXPECT_EQ(loose.CaptionHeight(), 22);
    EXPECT_EQ(b->Top(), 0);
}
