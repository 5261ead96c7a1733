// The widgets made from their style structs: the owner-data report list, the
// edit box, the label, the speed button and the GIF animator, each a real
// window driven with messages.
#include "resource_ids.h"
#include "support/WinTest_win.h"
#include "ui/EditBox_win.h"
#include "ui/GifAnimator_win.h"
#include "ui/Keys_win.h"
#include "ui/Label_win.h"
#include "ui/Panel_win.h"
#include "ui/ReportList_win.h"
#include "ui/SpeedButton_win.h"
#include "ui/vxLinkLabel_win.h"
#include "win/ui/UiTestUtil.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace vx;

namespace vxtest {

namespace {

std::string ItemText(HWND list, int item, int column) {
    char buf[64] = {};
    LVITEMA lvi{};
    lvi.iSubItem = column;
    lvi.pszText = buf;
    lvi.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(item), reinterpret_cast<LPARAM>(&lvi));
    return buf;
}

bool Has(const TPixels& p, unsigned rgb) {
    for (unsigned px : p.Data)
        if (px == rgb) return true;
    return false;
}

struct ReportListTest : ::testing::Test {
    THostWindow host{500, 300};
    TReportList list;
    std::vector<int> focusMoves;

    void Make(bool multiSelect) {
        TReportListStyle s;
        s.Columns = {{"A", 60}, {"B", 100}, {"C", 60}};
        s.StretchColumn = 1;
        s.MultiSelect = multiSelect;
        ASSERT_TRUE(list.Create(&host, s));
        list.SetBounds(0, 0, 480, 260);
        list.OnGetText = [](int item, int column) {
            return "r" + std::to_string(item) + "c" + std::to_string(column);
        };
        list.OnFocusChanged = [this](int item) { focusMoves.push_back(item); };
        ShowWindow(host.Handle(), SW_SHOW);
    }
    void Key(WORD key) {
        SendMessageA(list.Handle(), WM_KEYDOWN, key, 1);
        SendMessageA(list.Handle(), WM_KEYUP, key, 1);
    }
};

} // namespace

// The list holds no rows: its count is what SetCount said, its texts come from
// OnGetText, and custom draw reaches OnCustomDraw for each item and column.
TEST_F(ReportListTest, OwnerDataCountTextsAndCustomDraw) {
    Make(false);
    // The stretched column takes what the fixed ones leave.
    RECT client;
    GetClientRect(list.Handle(), &client);
    EXPECT_EQ(list.ColumnWidth(0) + list.ColumnWidth(1) + list.ColumnWidth(2), client.right);
    list.SetCount(100000);
    EXPECT_EQ(SendMessageA(list.Handle(), LVM_GETITEMCOUNT, 0, 0), 100000);
    EXPECT_EQ(ItemText(list.Handle(), 76543, 2), "r76543c2");

    std::set<std::pair<int, int>> drawn;
    list.OnCustomDraw = [&](NMLVCUSTOMDRAW& d) -> LRESULT {
        if (d.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (d.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) return CDRF_NOTIFYSUBITEMDRAW;
        if (d.nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM))
            drawn.insert({int(d.nmcd.dwItemSpec), d.iSubItem});
        return CDRF_DODEFAULT;
    };
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(drawn.count({0, 0}) && drawn.count({0, 2}) && drawn.count({3, 1}));
    EXPECT_FALSE(drawn.count({5000, 0})); // far out of view: not asked

    // New rows repaint the rows, not the header above them.
    HWND header = ListView_GetHeader(list.Handle());
    UpdateWindow(list.Handle());
    list.InvalidateAll();
    EXPECT_TRUE(GetUpdateRect(list.Handle(), nullptr, FALSE));
    EXPECT_FALSE(GetUpdateRect(header, nullptr, FALSE));
}

// Down, End and Home move the focus and the one selection and tell
// OnFocusChanged; SetCurrentItem does the same quietly; a key that OnKey takes
// never reaches the list.
TEST_F(ReportListTest, KeyboardAndSetCurrentItemMoveFocusAndSelection) {
    Make(false);
    list.SetCount(50);
    list.SetCurrentItem(5, true);
    EXPECT_EQ(list.FocusedItem(), 5);
    EXPECT_TRUE(list.IsSelected(5));
    EXPECT_TRUE(focusMoves.empty());

    SetFocus(list.Handle());
    Key(VK_DOWN);
    EXPECT_EQ(list.FocusedItem(), 6);
    EXPECT_EQ(list.SelectedItems(), std::vector<int>{6});
    Key(VK_END);
    EXPECT_EQ(list.FocusedItem(), 49);
    EXPECT_TRUE(list.IsSelected(49));
    Key(VK_HOME);
    EXPECT_EQ(list.FocusedItem(), 0);
    EXPECT_EQ(list.SelectedCount(), 1);
    EXPECT_EQ(focusMoves, (std::vector<int>{6, 49, 0}));

    list.OnKey = [](WORD key, unsigned) { return key == VK_END; };
    Key(VK_END);
    EXPECT_EQ(list.FocusedItem(), 0);
    Key(VK_DOWN);
    EXPECT_EQ(list.FocusedItem(), 1);
}

// A selection of several does not survive a change of the count (the rows it
// meant may have moved): only the current item stays selected.
TEST_F(ReportListTest, MultiSelectionShrinksToTheCurrentItemWhenTheCountChanges) {
    Make(true);
    EXPECT_TRUE(list.MultiSelect());
    EXPECT_FALSE(GetWindowLongA(list.Handle(), GWL_STYLE) & LVS_SINGLESEL);
    list.SetCount(20);
    list.SetCurrentItem(3, false);
    list.SelectAll();
    EXPECT_EQ(list.SelectedCount(), 20);
    list.SetCount(20); // no change, no loss
    EXPECT_EQ(list.SelectedCount(), 20);
    list.SetCount(25);
    EXPECT_EQ(list.SelectedItems(), std::vector<int>{3});
}

// Rows that come while a list's drawing is held (the count, the focus, the
// scroll to the newest) end up on the screen exactly as when each change draws
// itself: the scroll bar that came with them, the header laid out again for
// the narrower rows, and a count step released without a repaint of its own.
TEST(UiWidgets, RowsAddedWhileAListsDrawingIsHeldShowAsWhenDrawnEachTime) {
    // Side by side in one window, so that focus and activation look the same.
    THostWindow host{1000, 300};
    TReportList list, plain;
    TReportListStyle s;
    s.Columns = {{"A", 60}, {"B", 100}, {"C", 60}};
    s.StretchColumn = 1;
    int left = 0;
    for (TReportList* l : {&list, &plain}) {
        ASSERT_TRUE(l->Create(&host, s));
        l->SetBounds(left, 0, 480, 260);
        left += 490;
        l->OnGetText = [](int item, int column) {
            return "r" + std::to_string(item) + "c" + std::to_string(column);
        };
        l->SetCount(3);
    }
    ShowWindow(host.Handle(), SW_SHOW);
    // No hot-tracked part under the mouse in either list.
    RECT below;
    GetWindowRect(host.Handle(), &below);
    SetCursorPos(below.left + 5, below.bottom + 20);
    DispatchWaiting();
    const auto paint = [&] {
        RedrawWindow(host.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    paint();

    // Up to many rows and a scroll bar, then back to few and none.
    for (int count : {9, 5000, 120000, 6, 2}) {
        plain.SetCount(size_t(count));
        plain.SetCurrentItem(count - 1, true);
        plain.InvalidateAll();
        {
            TReportList::THold countStep(list);
            countStep.SkipRepaint();
            list.SetCount(size_t(count) + 1);
        }
        const TPixels before = Shown(list.Handle());
        TReportList::THold hold(list);
        list.SetCount(size_t(count));
        list.SetCurrentItem(count - 1, true);
        EXPECT_TRUE(Shown(list.Handle()).Data == before.Data) << "drawn while held, " << count;
    }
    EXPECT_TRUE(IsWindowVisible(list.Handle()));
    paint();
    const TPixels held = Shown(list.Handle()), drawn = Shown(plain.Handle());
    ASSERT_EQ(held.Width, drawn.Width);
    ASSERT_EQ(held.Height, drawn.Height);
    int differ = 0;
    for (size_t i = 0; i < held.Data.size(); ++i)
        differ += held.Data[i] != drawn.Data[i];
    EXPECT_EQ(differ, 0) << "pixels that differ from the list that drew each change";
}

// The style's fields become the edit's window styles and limit; a key that
// OnKey takes does not type its character.
TEST(UiWidgets, EditBoxFromItsStyle) {
    THostWindow host;
    TEditBox memo, line;
    TEditBoxStyle m;
    m.MultiLine = m.ScrollBars = m.ReadOnly = true;
    m.MaxLength = 12345;
    ASSERT_TRUE(memo.Create(&host, m));
    const LONG ms = GetWindowLongA(memo.Handle(), GWL_STYLE);
    EXPECT_TRUE((ms & ES_MULTILINE) && (ms & ES_READONLY) && (ms & WS_VSCROLL) &&
                (ms & WS_HSCROLL) && (ms & ES_AUTOVSCROLL));
    EXPECT_FALSE(ms & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongA(memo.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendMessageA(memo.Handle(), EM_GETLIMITTEXT, 0, 0), 12345);

    TEditBoxStyle l;
    l.Left = 5;
    l.Top = 40;
    l.Width = 150;
    l.TabStop = true;
    l.Border = false;
    ASSERT_TRUE(line.Create(&host, l));
    const RECT r = line.Bounds();
    EXPECT_TRUE(r.left == 5 && r.top == 40 && r.right == 155 && r.bottom == 61);
    const LONG ls = GetWindowLongA(line.Handle(), GWL_STYLE);
    EXPECT_TRUE((ls & WS_TABSTOP) && (ls & ES_AUTOHSCROLL));
    EXPECT_FALSE(ls & (ES_MULTILINE | ES_READONLY));
    EXPECT_FALSE(GetWindowLongA(line.Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    int clicks = 0;
    line.OnKey = [](WORD key, unsigned) { return key == 'Q'; };
    line.OnDblClick = [&](TEditBox&) { ++clicks; };
    for (char c : {'Q', 'W'}) {
        SendMessageA(line.Handle(), WM_KEYDOWN, WPARAM(c), 1);
        SendMessageA(line.Handle(), WM_CHAR, WPARAM(c), 1);
    }
    EXPECT_EQ(line.Text(), "W");
    SendMessageA(line.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(clicks, 1);
}

// A key the handler takes swallows its own character and no other: a taken
// key that makes none (F3) leaves the next typed key alone; without a handler
// nothing is taken.
TEST(UiWidgets, KeyFilterSwallowsOnlyTheCharacterOfATakenKey) {
    TKeyFilter keys;
    EXPECT_FALSE(keys.Take(TKeyEvent(), WM_KEYDOWN, 'A'));
    EXPECT_FALSE(keys.Take(TKeyEvent(), WM_CHAR, 'a'));
    const TKeyEvent onKey = [](WORD key, unsigned) { return key == VK_TAB || key == VK_F3; };
    EXPECT_TRUE(keys.Take(onKey, WM_KEYDOWN, VK_TAB));
    EXPECT_TRUE(keys.Take(onKey, WM_CHAR, '\t'));
    EXPECT_TRUE(keys.Take(onKey, WM_KEYDOWN, VK_F3));
    EXPECT_FALSE(keys.Take(onKey, WM_KEYUP, VK_F3));
    EXPECT_FALSE(keys.Take(onKey, WM_KEYDOWN, 'A'));
    EXPECT_FALSE(keys.Take(onKey, WM_CHAR, 'a'));
}

// A label is as wide as its text and paints it in its colours.
TEST(UiWidgets, LabelSizesToItsTextAndPaintsInItsColours) {
    THostWindow host;
    ShowWindow(host.Handle(), SW_SHOW);
    TLabel label;
    TLabelStyle s;
    s.Caption = "Client ID:";
    s.Left = 8;
    s.Top = 6;
    s.Font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    s.Color = 0x0000FF;      // red
    s.Background = 0x00FF00; // green, not a system colour: a brush of its own
    ASSERT_TRUE(label.Create(&host, s));
    const RECT before = label.Bounds();
    EXPECT_EQ(before.left, 8);
    EXPECT_EQ(before.top, 6);
    label.SetCaption("Client ID: and a much longer text");
    EXPECT_GT(label.Bounds().right - label.Bounds().left, 2 * (before.right - before.left));

    TPixels p = PrintClient(label.Handle(), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_EQ(p.At(0, 0), Rgb(0, 255, 0));
    EXPECT_TRUE(Has(p, Rgb(255, 0, 0)));
    label.SetColor(0xFF0000); // blue
    EXPECT_EQ(label.Color(), 0xFF0000u);
    p = PrintClient(label.Handle(), PRF_CLIENT | PRF_ERASEBKGND);
    EXPECT_TRUE(Has(p, Rgb(0, 0, 255)));
    EXPECT_FALSE(Has(p, Rgb(255, 0, 0)));
}

// A click is a press and a release on the main part; a button of a group
// stays down until clicked again; the arrow part opens the menu instead; it
// never takes the keyboard focus, and BM_* messages drive it like a check box.
TEST(UiWidgets, SpeedButtonClicksDownStateAndFocus) {
    THostWindow host;
    ShowWindow(host.Handle(), SW_SHOW);
    TEditBox edit;
    ASSERT_TRUE(edit.Create(&host, TEditBoxStyle{}));
    TSpeedButton button;
    TSpeedButtonStyle s;
    s.Left = 200;
    s.Width = 50;
    s.GroupIndex = 1;
    s.DropDown = true;
    s.Hint = "Pause this section";
    ASSERT_TRUE(button.Create(&host, s));
    EXPECT_EQ(button.Text(), "Pause this section");
    EXPECT_FALSE(GetWindowLongA(button.Handle(), GWL_STYLE) & WS_TABSTOP);
    int clicks = 0, drops = 0;
    button.OnClick = [&](TSpeedButton&) { ++clicks; };
    button.OnDropDown = [&](TSpeedButton&) { ++drops; };
    SetFocus(edit.Handle());

    auto press = [&](int downX, int upX) {
        SendMessageA(button.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(downX, 10));
        SendMessageA(button.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(upX, 10));
        SendMessageA(button.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(upX, 10));
    };
    press(10, 12);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(button.Down());
    EXPECT_EQ(SendMessageA(button.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(GetFocus(), edit.Handle());
    press(10, 300); // released away from it: no click
    EXPECT_EQ(clicks, 1);
    press(45, 45); // on the arrow
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(clicks, 1);
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_FALSE(button.Down());
    SendMessageA(button.Handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(button.Down());
    EXPECT_EQ(clicks, 2); // setting the state is no click

    button.SetEnabled(false);
    press(10, 10);
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(GetFocus(), edit.Handle());
}

// The animator shows the program's GIF and steps its frames on its timer only
// while Animate is on.
TEST(UiWidgets, GifAnimatorStepsFramesOnItsTimerWhileAnimating) {
    THostWindow host;
    ShowWindow(host.Handle(), SW_SHOW);
    TGifAnimatorStyle s;
    s.Left = 16;
    s.Top = 16;
    s.Width = 114;
    s.Height = 41;
    s.Module = GetModuleHandleA(nullptr);
    s.ResourceId = IDR_ABOUT_GIF;
    TGifAnimator gif(host.Handle(), s);
    ASSERT_TRUE(gif.PictureLoaded());
    ASSERT_GT(gif.FrameCount(), 2);
    PumpFor(300);
    EXPECT_EQ(gif.Frame(), 0);

    gif.SetAnimate(true);
    EXPECT_TRUE(WaitFor([&] { return gif.Frame() >= 2; }, 10000));
    gif.SetAnimate(false);
    const int stopped = gif.Frame();
    PumpFor(500);
    EXPECT_EQ(gif.Frame(), stopped);

    TGifAnimatorStyle playing = s;
    playing.Animate = true;
    TGifAnimator started(host.Handle(), playing);
    EXPECT_TRUE(started.Animate());
    EXPECT_TRUE(WaitFor([&] { return started.Frame() >= 1; }, 10000));
}

// The link label and the animator stand on their parent's background: what
// they do not draw takes the brush the parent answers WM_CTLCOLORSTATIC with.
// A section's labels are made in a later step than the updates that set
// their captions; a label without its window must not touch others (a null
// window to InvalidateRect is every window on the screen).
TEST(UiWidgets, ALabelNotMadeYetLeavesOtherWindowsAlone) {
    THostWindow host;
    ShowWindow(host.Handle(), SW_SHOW);
    UpdateWindow(host.Handle());
    vxtest::PumpFor(50);
    ValidateRect(host.Handle(), nullptr);
    TLabel label;
    label.SetCaption("Client ID: 7 [Main]");
    RECT dirty{};
    EXPECT_FALSE(GetUpdateRect(host.Handle(), &dirty, FALSE));
}

TEST(UiWidgets, LinkLabelAndGifAnimatorShowTheirParentsBackground) {
    THostWindow host;
    ui::TPanel panel;
    ui::TPanelStyle ps;
    ps.Color = 0x00FF00; // green
    ps.Width = 300;
    ps.Height = 120;
    ASSERT_TRUE(panel.Create(&host, ps));
    TLinkLabelStyle ls;
    ls.Caption = "Label";
    TvxLinkLabel label(panel.Handle(), ls, nullptr);
    TGifAnimatorStyle gs;
    gs.Top = 40;
    gs.Width = 200;
    gs.Height = 60; // larger than the picture
    gs.Module = GetModuleHandleA(nullptr);
    gs.ResourceId = IDR_ABOUT_GIF;
    TGifAnimator gif(panel.Handle(), gs);
    ASSERT_TRUE(gif.PictureLoaded());
    for (HWND hwnd : {label.Handle(), gif.Handle()}) {
        const TPixels p = PrintClient(hwnd);
        ASSERT_GT(p.Width, 0);
        EXPECT_EQ(p.At(p.Width - 1, p.Height - 1), Rgb(0, 255, 0));
    }
}

} // namespace vxtest
