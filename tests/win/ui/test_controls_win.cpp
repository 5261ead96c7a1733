// Reflection, actions and menus, status bar, tray icon, timer, hints and the
// caption gradient of the widget layer.
#include "ui/Action.h"
#include "ui/CaptionGradient_win.h"
#include "ui/CatchSite_win.h"
#include "ui/HintTracker_win.h"
#include "ui/Menu_win.h"
#include "ui/StatusBar_win.h"
#include "ui/Timer_win.h"
#include "ui/ToolBar_win.h"
#include "ui/TrayIcon_win.h"
#include "win/ui/UiTestUtil.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace vx;
using namespace vx::ui;
using vxtest::THostWindow;
using vxtest::WaitFor;

namespace {

// A push button that counts its own clicks and notifications.
class TCountingButton : public TWindow {
  public:
    bool Create(TWindow* parent) {
        return CreateControl("BUTTON", parent, WS_CHILD | WS_VISIBLE, 0, "Go", 7);
    }
    int Clicks = 0, Notifies = 0;
    bool Throw = false;

  protected:
    bool OnCommand(WORD code, LRESULT&) override {
        if (code != BN_CLICKED) return false;
        ++Clicks;
        if (Throw) throw std::runtime_error("Range check error");
        return true;
    }
    bool OnNotify(NMHDR*, LRESULT& result) override {
        ++Notifies;
        result = 42;
        return true;
    }
};

} // namespace

TEST(UiControls, ChildNotificationsAreReflectedAndExceptionsHandled) {
    THostWindow host;
    TCountingButton button;
    ASSERT_TRUE(button.Create(&host));
    button.SetBounds(10, 10, 80, 24);
    ShowWindow(host.Handle(), SW_SHOW);
    EXPECT_EQ(TWindow::FromHandle(button.Handle()), &button);
    EXPECT_EQ(TWindow::FromHandle(GetDesktopWindow()), nullptr);
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(button.Clicks, 1);
    NMHDR hdr{button.Handle(), 7, NM_CLICK};
    EXPECT_EQ(SendMessageA(host.Handle(), WM_NOTIFY, 7, LPARAM(&hdr)), 42);
    EXPECT_EQ(button.Notifies, 1);

    // The application learns where the exception was caught, for its log.
    std::string caught, where;
    SetExceptionHandler([&](const std::exception& e, const std::string& site) {
        caught = e.what();
        where = site;
    });
    button.Throw = true;
    SendMessageA(button.Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(caught, "Range check error");
    EXPECT_EQ(where, "THostWindow WM_COMMAND from TCountingButton");
    EXPECT_EQ(button.Clicks, 2);
    SetExceptionHandler(nullptr);
    EXPECT_EQ(MessageName(RegisterWindowMessageA("vxClient2Debugger")), "vxClient2Debugger");
    EXPECT_EQ(MessageName(WM_USER + 5), "WM_USER+5");

    // A destroyed control forgets its handle; its object can go later.
    DestroyWindow(button.Handle());
    EXPECT_EQ(button.Handle(), nullptr);
}

TEST(UiControls, ActionsCheckGroupsShortcutsAndDisabling) {
    TActionList list;
    int runs = 0;
    TAction& a = list.Add("act_A", "View", "&A", "hint A", [&](TAction&) { ++runs; });
    TAction& b = list.Add("act_B", "View", "&B", "hint B", [&](TAction&) { ++runs; });
    TAction& c = list.Add("act_C", "View", "&C", "hint C");
    EXPECT_NE(a.Id, b.Id);
    EXPECT_EQ(list.Find("act_B"), &b);
    EXPECT_EQ(list.Find(a.Id), &a);

    a.GroupIndex = b.GroupIndex = 1;
    a.SetChecked(true);
    b.SetChecked(true);
    EXPECT_FALSE(a.Checked());
    EXPECT_TRUE(b.Checked());

    int changes = 0;
    c.Listen([&](TAction&) { ++changes; });
    c.AutoCheck = true;
    EXPECT_FALSE(c.Execute()); // no handler, but the check flips
    EXPECT_TRUE(c.Checked());
    c.SetChecked(true); // no change, no notice
    EXPECT_EQ(changes, 1);

    a.ShortCut = {'N', true};
    b.ShortCut = {0x2E};
    c.ShortCut = {0x71, false, true};
    EXPECT_EQ(a.ShortCut.Text(), "Ctrl+N");
    EXPECT_EQ(b.ShortCut.Text(), "Del");
    EXPECT_EQ(c.ShortCut.Text(), "Shift+F2");
    EXPECT_TRUE(list.ExecuteShortCut({'N', true}));
    EXPECT_EQ(runs, 1);
    a.SetEnabled(false);
    EXPECT_FALSE(list.ExecuteShortCut({'N', true}));
    EXPECT_FALSE(list.Execute(a.Id));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(changes, 1);
}

TEST(UiControls, PopupMenusFollowTheirActions) {
    TActionList list;
    int runs = 0, plain = 0, popups = 0;
    TAction& show =
        list.Add("act_Show", "File", "&Show...", "Show the window", [&](TAction&) { ++runs; });
    TAction& exit = list.Add("act_Exit", "File", "Exit", "Leave", [&](TAction&) { ++runs; });
    exit.ShortCut = {'Q', true};
    TPopupMenu menu;
    menu.AddAction(show);
    menu.AddSeparator();
    menu.AddAction(exit, "S&hutdown...", "pop_Shutdown");
    TMenuItem& item = menu.AddItem(
        "mnu_Plain", "&Plain", [&] { ++plain; }, "a plain entry");
    menu.OnPopup = [&](TPopupMenu& m) {
        ++popups;
        m.FindItem("mnu_Plain")->Enabled = popups < 2;
    };
    show.SetChecked(true);
    HMENU h = menu.Handle();
    EXPECT_EQ(GetMenuItemCount(h), 4);
    char text[64];
    GetMenuStringA(h, 2, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "S&hutdown...\tCtrl+Q");
    EXPECT_TRUE(GetMenuState(h, show.Id, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(h, 1, MF_BYPOSITION) & MF_SEPARATOR);
    exit.SetEnabled(false);
    menu.Update();
    EXPECT_EQ(menu.Handle(), h); // others may hold the handle: it stays
    EXPECT_TRUE(GetMenuState(h, exit.Id, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(h, item.Id, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(popups, 3);

    EXPECT_EQ(TPopupMenu::FromHandle(h), &menu);
    EXPECT_EQ(TPopupMenu::FromCommand(item.Id), &menu);
    EXPECT_EQ(menu.HintOf(show.Id), "Show the window");
    EXPECT_EQ(menu.HintOf(item.Id), "a plain entry");
    EXPECT_TRUE(menu.Click(show.Id));
    EXPECT_FALSE(menu.Click(exit.Id)); // disabled
    EXPECT_FALSE(menu.Click(item.Id)); // disabled by OnPopup
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(plain, 0);
}

TEST(UiControls, MenuToolBarDropsItsMenuDown) {
    THostWindow host;
    ShowWindow(host.Handle(), SW_SHOW);
    TActionList list;
    int runs = 0;
    TAction& first = list.Add("act_First", "View", "&First", "", [&](TAction&) { ++runs; });
    TPopupMenu file, view;
    file.AddAction(first);
    view.AddAction(first);
    TMenuToolBar bar;
    ASSERT_TRUE(bar.Create(&host));
    bar.AddMenu("&File", file);
    bar.AddMenu("&View", view);
    SIZE s = bar.IdealSize();
    bar.SetBounds(0, 0, s.cx, s.cy);
    EXPECT_EQ(bar.ButtonCount(), 2);
    EXPECT_EQ(bar.ButtonCaption(1), "&View");
    EXPECT_EQ(bar.FindAccelerator('v'), 1);
    EXPECT_EQ(bar.FindAccelerator('x'), -1);
    EXPECT_GT(s.cx, 0);

    // Choose the first entry of the dropped-down menu with the keyboard.
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (!menu) return;
        KillTimer(nullptr, id);
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    });
    bar.DropDown(1);
    EXPECT_EQ(runs, 1);
}

TEST(UiControls, StatusBarPanelsAlignTheirTexts) {
    THostWindow host;
    TStatusBar bar;
    ASSERT_TRUE(bar.Create(&host, {{400, TTextAlign::taLeft}, {60, TTextAlign::taCenter}, {50}}));
    host.Realign();
    EXPECT_EQ(bar.Height(), 19);
    EXPECT_EQ(bar.Bounds().bottom, host.Client().bottom);
    int edges[3] = {};
    EXPECT_EQ(SendMessageA(bar.Handle(), SB_GETPARTS, 3, LPARAM(edges)), 3);
    EXPECT_EQ(edges[0], 400);
    EXPECT_EQ(edges[1], 460);
    EXPECT_EQ(edges[2], -1);
    bar.SetPanelText(0, "hint");
    bar.SetPanelText(1, "12");
    bar.SetPanelText(7, "ignored");
    char text[64] = {};
    // The second text came within the refresh interval: the bar has it at
    // once, the control when the interval ends.
    EXPECT_EQ(bar.PanelText(1), "12");
    SendMessageA(bar.Handle(), SB_GETTEXTA, 1, LPARAM(text));
    EXPECT_STREQ(text, "");
    DWORD end = GetTickCount() + 3 * TStatusBar::kRefreshInterval;
    while (int32_t(end - GetTickCount()) > 0) {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
        Sleep(10);
    }
    SendMessageA(bar.Handle(), SB_GETTEXTA, 1, LPARAM(text));
    EXPECT_STREQ(text, "\t12");
    SendMessageA(bar.Handle(), SB_GETTEXTA, 0, LPARAM(text));
    EXPECT_STREQ(text, "hint");
    EXPECT_EQ(bar.PanelText(1), "12");
}

TEST(UiControls, TrayIconTimerAndHints) {
    TTrayIcon tray;
    int dbl = 0, popups = 0;
    tray.OnDblClick = [&](TTrayIcon&) { ++dbl; };
    tray.OnPopup = [&](TTrayIcon&, POINT) { ++popups; };
    EXPECT_TRUE(tray.Show(LoadIcon(nullptr, IDI_APPLICATION), "vxDebugger for Borland Delphi"));
    EXPECT_TRUE(tray.Active());
    SendMessageA(tray.Handle(), TTrayIcon::kCallbackMessage, TTrayIcon::kIconId, WM_LBUTTONDBLCLK);
    SendMessageA(tray.Handle(), TTrayIcon::kCallbackMessage, TTrayIcon::kIconId, WM_RBUTTONUP);
    SendMessageA(tray.Handle(), TTrayIcon::kCallbackMessage, TTrayIcon::kIconId, WM_MOUSEMOVE);
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(popups, 1);
    tray.Hide();
    EXPECT_FALSE(tray.Active());

    TTimer timer(30);
    int ticks = 0;
    timer.OnTimer = [&](TTimer& t) {
        if (++ticks == 2) t.SetEnabled(false);
    };
    EXPECT_TRUE(WaitFor([&] { return ticks == 2; }, 3000));
    Sleep(80);
    ProcessMessages();
    EXPECT_EQ(ticks, 2);

    // A window without a hint shows its nearest ancestor's.
    THostWindow host;
    host.Hint = "the window's hint";
    TCountingButton button;
    button.Create(&host);
    button.SetBounds(10, 10, 80, 24);
    THintTracker tracker;
    std::string shown;
    tracker.OnHint = [&](const std::string& h) { shown = h; };
    EXPECT_EQ(THintTracker::HintOf(button.Handle()), "the window's hint");
    // The tracker sees the mouse's own moves, made through the input system.
    ShowWindow(host.Handle(), SW_SHOW);
    ASSERT_TRUE(vxtest::MoveMouseOver(button.Handle()));
    WaitFor([&] { return shown == "the window's hint"; }, 3000);
    EXPECT_EQ(shown, "the window's hint");
    button.Hint = "the button's hint";
    ASSERT_TRUE(vxtest::MoveMouseOver(button.Handle()));
    WaitFor([&] { return shown == "the button's hint"; }, 3000);
    EXPECT_EQ(shown, "the button's hint");
}

TEST(UiControls, CaptionGradientPaintsActiveAndInactive) {
    THostWindow host(500, 200);
    TCaptionGradient caption;
    caption.Attach(host.Handle());
    if (!caption.Painting()) GTEST_SKIP() << "the desktop draws captions itself here";
    ShowWindow(host.Handle(), SW_SHOW);
    RECT r = caption.CaptionRect();
    ASSERT_GT(r.right - r.left, 100);
    LRESULT result;
    auto sample = [&](bool active) {
        caption.HandleMessage(WM_NCACTIVATE, active, 0, result);
        HDC dc = GetWindowDC(host.Handle());
        COLORREF left = GetPixel(dc, r.left + 1, r.bottom - 2);
        COLORREF right = GetPixel(dc, r.right - 2, r.bottom - 2);
        ReleaseDC(host.Handle(), dc);
        return std::pair{left, right};
    };
    auto [al, ar] = sample(true);
    EXPECT_EQ(al, caption.Colors.ActiveFrom);
    EXPECT_NE(ar, al);
    auto [il, ir] = sample(false);
    EXPECT_EQ(il, caption.Colors.InactiveFrom);
    EXPECT_NE(ir, il);
}
