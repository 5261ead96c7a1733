#include "platform/Errors.h"
#include "sidebar/vxOutlookBar.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::sbar;

namespace {

// Stands in for a window: counts repaints and keeps the focus flag.
struct TFakeView : IControlView {
    int Invalidates = 0;
    bool HasFocus = false;
    void Invalidate() override { ++Invalidates; }
    void BoundsChanged() override {}
    bool Focused() const override { return HasFocus; }
    void SetFocus() override { HasFocus = true; }
    void ChildAdded(TOutlookControl&) override {}
    void* Handle() const override { return nullptr; }
};

TFakeView* Attach(TOutlookControl& c) {
    auto v = std::make_unique<TFakeView>();
    TFakeView* raw = v.get();
    c.SetView(std::move(v));
    return raw;
}

} // namespace

TEST(SideBarModel, NewBarAndReadOnlyValues) {
    TvxOutlookBar bar;
    EXPECT_EQ(bar.HeaderCount(), 0);
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
    EXPECT_EQ(bar.Headers(0), nullptr);
    bar.SetVersion("9.9");
    EXPECT_EQ(bar.Version(), "1.40");
    EXPECT_FALSE(bar.CanFocus());
    EXPECT_EQ(bar.AlignInfo(), "alLeft");
    bar.SetAlignInfo("alClient");
    bar.SetAlignInfo("alSideways"); // unknown texts change nothing
    EXPECT_EQ(bar.Align(), TAlign::alClient);
    EXPECT_EQ(bar.HeaderSettings().Size(4), -1);
    EXPECT_THROW(bar.HeaderSettings().SetSize(0, 5), ERangeError);
}

TEST(SideBarModel, AddingAndDeletingHeaders) {
    TvxOutlookBar bar;
    std::vector<std::pair<int, int>> changes;
    bar.OnChange = [&](TObject*, int o, int n) { changes.push_back({o, n}); };
    bar.HeaderSettings().SetHeaderColor(RGBColor(1, 2, 3));

    TvxOutlookBarHeader* a = bar.AddHeader("a.exe");
    int aChanges = 0;
    a->OnChange = [&](TObject*) { ++aChanges; };
    TvxOutlookBarHeader* b = bar.AddHeader("b.exe");
    EXPECT_EQ(bar.HeaderCount(), 2);
    EXPECT_EQ(bar.Headers(1), b);
    EXPECT_EQ(bar.ActiveHeader(), b);
    EXPECT_EQ(b->HeaderSettings().HeaderColor(), RGBColor(1, 2, 3));
    EXPECT_EQ(aChanges, 1); // every header hears of every switch
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0], std::make_pair(-1, 0));
    EXPECT_EQ(changes[1], std::make_pair(0, 1));

    TvxOutlookBarHeader* c = bar.AddHeader("c.exe");
    bar.SetHotHeader(c);
    bar.DeleteHeader(2); // the active and hot header
    EXPECT_EQ(bar.ActiveHeader(), a);
    EXPECT_EQ(bar.HotHeader(), nullptr);
    bar.SetActiveHeader(b);
    bar.DeleteHeader(0); // not the active one: still the first header opens
    EXPECT_EQ(bar.ActiveHeader(), b);
    EXPECT_EQ(b->HeaderIndex(), 0);
    bar.DeleteHeader(5);
    bar.DeleteHeader(-1);
    EXPECT_EQ(bar.HeaderCount(), 1);
    bar.DeleteHeader(0);
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
}

TEST(SideBarModel, ChangeHeaderRules) {
    TvxOutlookBar bar;
    TvxOutlookBarHeader* a = bar.AddHeader("a");
    TvxOutlookBarHeader* b = bar.AddHeader("b");
    int changes = 0;
    bool allow = false;
    TvxOutlookBarHeader* asked = nullptr;
    bar.OnChange = [&](TObject*, int, int) { ++changes; };
    bar.OnCanChange = [&](TObject*, TvxOutlookBarHeader* h, bool& can) {
        asked = h;
        can = allow;
    };
    bar.ChangeHeader(a);
    EXPECT_EQ(asked, a);
    EXPECT_EQ(bar.ActiveHeader(), b); // vetoed: nothing changes
    EXPECT_EQ(changes, 0);
    allow = true;
    bar.SetHotHeader(b);
    bar.ChangeHeader(a);
    EXPECT_EQ(bar.ActiveHeader(), a);
    EXPECT_EQ(bar.HotHeader(), nullptr);
    EXPECT_EQ(changes, 1);

    b->SetVisible(false);
    bar.ChangeHeader(b); // an invisible header leaves none open
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
    bar.ChangeHeader(nullptr);
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
}

TEST(SideBarModel, PrevNextAndPageKeys) {
    TvxOutlookBar bar;
    TvxOutlookBarHeader* h[4];
    for (int i = 0; i < 4; ++i)
        h[i] = bar.AddHeader(std::string(1, char('a' + i)));
    h[2]->SetVisible(false);
    EXPECT_EQ(bar.PrevHeader(nullptr), nullptr);
    EXPECT_EQ(bar.NextHeader(nullptr), nullptr);
    EXPECT_EQ(bar.PrevHeader(h[0]), h[0]);
    EXPECT_EQ(bar.PrevHeader(h[3]), h[1]); // skips the hidden one
    EXPECT_EQ(bar.NextHeader(h[1]), h[3]);
    EXPECT_EQ(bar.NextHeader(h[3]), h[3]);

    int changes = 0;
    bar.OnChange = [&](TObject*, int, int) { ++changes; };
    EXPECT_TRUE(h[0]->KeyDown(kKeyPageDown)); // the last is active: it stays
    EXPECT_EQ(bar.ActiveHeader(), h[3]);
    EXPECT_EQ(changes, 1); // the events still run
    h[0]->KeyDown(kKeyPageUp);
    EXPECT_EQ(bar.ActiveHeader(), h[1]);
    h[0]->KeyDown(kKeyReturn);
    EXPECT_EQ(bar.ActiveHeader(), h[0]);
    h[0]->SetVisible(false);
    bar.ChangeHeader(h[1]);
    h[1]->KeyDown(kKeyPageUp); // ends on the hidden first header: none open
    EXPECT_EQ(bar.ActiveHeader(), nullptr);
}

TEST(SideBarModel, IndexesFollowTabOrder) {
    TvxOutlookBar bar;
    TvxOutlookBarHeader* a = bar.AddHeader("a");
    TvxOutlookBarHeader* b = bar.AddHeader("b");
    b->SetHeaderIndex(0);
    EXPECT_EQ(bar.Headers(0), b);
    EXPECT_EQ(a->HeaderIndex(), 1);
    a->SetHeaderIndex(-1); // clamps to the front
    EXPECT_EQ(bar.Headers(0), a);
    EXPECT_THROW(a->SetHeaderIndex(32768), ERangeError);
    EXPECT_THROW(a->SetHeaderIndex(-2), ERangeError);

    TOutlookButton* x = a->AddButton("x");
    TOutlookButton* y = a->AddButton("y");
    EXPECT_EQ(a->ButtonCount(), 2); // the arrow buttons are not counted
    y->SetButtonIndex(0);
    EXPECT_EQ(a->Buttons(0), y);
    EXPECT_EQ(x->Top(), 89); // re-stacked in the new order
    EXPECT_THROW(x->SetButtonIndex(40000), ERangeError);
    EXPECT_EQ(a->Buttons(2), nullptr);
    a->DeleteButton(7);
    a->DeleteButton(0);
    EXPECT_EQ(a->Buttons(0), x);
    EXPECT_EQ(x->Top(), 27);
}

TEST(SideBarModel, CaptionMouseOpensHeaders) {
    TvxOutlookBar bar;
    bar.SetBounds(0, 0, 120, 500);
    TvxOutlookBarHeader* a = bar.AddHeader("a");
    TvxOutlookBarHeader* b = bar.AddHeader("b");
    TFakeView* av = Attach(*a);

    a->MouseEnter(10, 5);
    EXPECT_TRUE(a->CaptionHot());
    EXPECT_EQ(bar.HotHeader(), a);
    a->MouseMove(10, 40); // a is closed: 22 high, but the test moves below the strip
    EXPECT_EQ(bar.HotHeader(), nullptr);
    a->MouseMove(10, 5);
    EXPECT_EQ(bar.HotHeader(), a);

    a->MouseDown(TMouseButton::mbLeft, 10, 5);
    EXPECT_TRUE(a->Pressed());
    EXPECT_FALSE(av->HasFocus);               // no KeySupport: no focus
    a->MouseUp(TMouseButton::mbLeft, 10, 30); // released off the strip
    EXPECT_FALSE(a->Pressed());
    EXPECT_EQ(bar.ActiveHeader(), b);
    a->MouseDown(TMouseButton::mbLeft, 10, 5);
    a->MouseUp(TMouseButton::mbLeft, 0, 5); // x must be at least 1
    EXPECT_EQ(bar.ActiveHeader(), b);
    a->MouseDown(TMouseButton::mbLeft, 10, 5);
    a->MouseUp(TMouseButton::mbLeft, 10, 5);
    EXPECT_EQ(bar.ActiveHeader(), a);
    // A click on the open header opens nothing, but its pressed look must go.
    a->MouseDown(TMouseButton::mbLeft, 10, 5);
    const int repaints = av->Invalidates;
    a->MouseUp(TMouseButton::mbLeft, 10, 5);
    EXPECT_FALSE(a->Pressed());
    EXPECT_EQ(bar.ActiveHeader(), a);
    EXPECT_GT(av->Invalidates, repaints);

    // Leaving the header clears its hot state, so no strip stays lit.
    a->MouseMove(10, 5);
    a->MouseDown(TMouseButton::mbLeft, 10, 5);
    a->MouseLeave();
    EXPECT_FALSE(a->Pressed());
    EXPECT_EQ(bar.HotHeader(), nullptr);
    b->MouseEnter(5, 5);
    EXPECT_EQ(bar.HotHeader(), b);
    bar.MouseLeave();
    EXPECT_EQ(bar.HotHeader(), nullptr);
    b->MouseEnter(5, 5);
    bar.SetEnabled(false);
    EXPECT_EQ(bar.HotHeader(), nullptr);
    b->MouseMove(5, 5);
    EXPECT_EQ(bar.HotHeader(), nullptr);
}

TEST(SideBarModel, ButtonMouseAndClicks) {
    TvxOutlookBar bar;
    TvxOutlookBarHeader* h = bar.AddHeader("a");
    TOutlookButton* b = h->AddButton("one");
    int clicks = 0;
    b->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, b);
        ++clicks;
    };
    b->MouseEnter(1, 1);
    EXPECT_TRUE(b->Hot());
    b->MouseDown(TMouseButton::mbLeft, 5, 5);
    EXPECT_TRUE(b->Pressed());
    b->MouseUp(TMouseButton::mbLeft, 5, 5);
    EXPECT_FALSE(b->Pressed());
    EXPECT_EQ(clicks, 1);
    b->MouseDown(TMouseButton::mbLeft, 5, 5);
    b->MouseLeave();
    EXPECT_FALSE(b->Hot());
    EXPECT_FALSE(b->Pressed());
    b->MouseUp(TMouseButton::mbLeft, 80, 5); // released outside: no click
    EXPECT_EQ(clicks, 1);
    b->KeyDown(kKeyReturn);
    EXPECT_EQ(clicks, 2);

    // A click handler may delete its own button.
    b->OnClick = [&](TObject*) { h->DeleteButton(0); };
    b->MouseDown(TMouseButton::mbLeft, 5, 5);
    b->MouseUp(TMouseButton::mbLeft, 5, 5);
    EXPECT_EQ(h->ButtonCount(), 0);
}

TEST(SideBarModel, KeySupportFocusAndAccelerators) {
    TvxOutlookBar bar;
    TvxOutlookBarHeader* a = bar.AddHeader("&Alpha");
    TvxOutlookBarHeader* b = bar.AddHeader("&Beta");
    TOutlookButton* inA = a->AddButton("&Go");
    TOutlookButton* inB = b->AddButton("&Run");
    int clicksA = 0, clicksB = 0;
    inA->OnClick = [&](TObject*) { ++clicksA; };
    inB->OnClick = [&](TObject*) { ++clicksB; };

    EXPECT_FALSE(a->CanFocus());
    EXPECT_FALSE(bar.DialogChar('a', true)); // no KeySupport: the character goes on
    bar.HeaderSettings().SetKeySupport(true);
    EXPECT_TRUE(a->CanFocus());
    EXPECT_FALSE(inA->CanFocus()); // only buttons of the open header
    EXPECT_TRUE(inB->CanFocus());

    EXPECT_FALSE(bar.DialogChar('a', false)); // neither Alt nor the focus
    TFakeView* av = Attach(*a);
    av->HasFocus = true;
    EXPECT_TRUE(bar.DialogChar('A', false));
    EXPECT_EQ(bar.ActiveHeader(), a);
    EXPECT_TRUE(bar.DialogChar('g', true));
    EXPECT_EQ(clicksA, 1);
    EXPECT_FALSE(bar.DialogChar('r', true)); // b is closed now
    EXPECT_EQ(clicksB, 0);
    EXPECT_TRUE(bar.DialogChar('b', true));
    EXPECT_EQ(bar.ActiveHeader(), b);

    // A header pressed while it can take the focus takes it.
    av->HasFocus = false;
    a->MouseDown(TMouseButton::mbLeft, 5, 5);
    EXPECT_TRUE(av->HasFocus);
    // With CommonStyle off, the header's own KeySupport decides.
    bar.SetCommonStyle(false);
    EXPECT_FALSE(a->CanFocus());
}

TEST(SideBarModel, SettingsObjects) {
    THeaderSettings a, b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.HeaderFont().Bold = true; // in place: no notice
    b.SetHeaderFont(TFont{"Arial", 10});
    EXPECT_EQ(changes, 1);

    a.SetAlignment(TAlignment::taLeftJustify);
    a.SetHeaderColor(RGBColor(9, 9, 9));
    a.SetKeySupport(true);
    a.SetLargeWidth(80);
    a.SetButtonStyle(TButtonStyle::bsSmall);
    b.Assign(a);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(b.Alignment(), TAlignment::taLeftJustify);
    EXPECT_EQ(b.HeaderColor(), RGBColor(9, 9, 9));
    EXPECT_EQ(b.HeaderFont(), TFont{});
    EXPECT_FALSE(b.KeySupport()); // behaviour and sizes are not part of the look
    EXPECT_EQ(b.LargeWidth(), 60);
    EXPECT_EQ(b.ButtonStyle(), TButtonStyle::bsLarge);

    TGradient g;
    int gChanges = 0;
    g.OnChange = [&](TObject*) { ++gChanges; };
    EXPECT_EQ(g.GradientType(), TGradientType::gtt2b);
    EXPECT_EQ(g.EndColor(), 0xFF0000u);
    g.SetStartColor(g.StartColor()); // the colours report even an equal value
    g.SetGradientType(TGradientType::gtt2b);
    EXPECT_EQ(gChanges, 1);

    TvxOutlookBar bar;
    TvxOutlookBarHeader* h = bar.AddHeader("a");
    TOutlookButton* btn = h->AddButton("b");
    {
        TSideBarImages images(1, 16, 16);
        bar.SetImages(&images);
        btn->SetLargeImages(&images);
    }
    EXPECT_EQ(bar.Images(), nullptr); // a freed list is dropped by its users
    EXPECT_EQ(btn->LargeImages(), nullptr);
}
