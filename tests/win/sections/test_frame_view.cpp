// The section frame as a real window: its layout, the debug list's texts,
// icons, colours and separators, the detail panes and the labels.
#include "FrameRig.h"

#include "ui/HintTracker_win.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vxtest;

namespace {

RECT BoundsIn(HWND child, HWND parent) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string ColumnCaption(HWND list, int column) {
    char buf[64] = {};
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT;
    c.pszText = buf;
    c.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&c));
    return buf;
}

} // namespace

TEST(FrameLayout, ToolsPanelsAndListsAsDesigned) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    EXPECT_FALSE(IsWindowVisible(f.Handle())) << "hidden until ShowSection";
    rig.Core().ClientID = "4711 main";
    rig.Core().ShowSection();
    Pump();
    ASSERT_TRUE(IsWindowVisible(f.Handle()));
    RECT dock, frame;
    GetClientRect(rig.Dock->Handle(), &dock);
    GetWindowRect(f.Handle(), &frame);
    EXPECT_EQ(frame.right - frame.left, dock.right) << "the frame fills the dock";
    EXPECT_EQ(f.panel_tools.Height(), 49);
    EXPECT_EQ(f.Panel_Info.Height(), 56);
    EXPECT_FALSE(IsWindowEnabled(f.Panel_Info.Handle()));

    struct Button {
        TSpeedButton& B;
        int Left, Width;
        const char* Hint;
    } buttons[] = {{f.btn_Close, 8, 36, "Close this window"},
                   {f.btn_Delete, 48, 36, "Delete this frame"},
                   {f.btn_ShowMessage, 96, 36, "Shows or hides the messages"},
                   {f.btn_ShowData, 136, 36, "Shows or hides the received data"},
                   {f.btn_ShowInfoPad, 176, 36, "Shows or hides the info pad"},
                   {f.btn_ShowViewer, 216, 36, "Show the data viewer window"},
                   {f.btn_Pause, 264, 36, "Pause this section"},
                   {f.btn_Groups, 312, 50, ""}};
    for (auto& b : buttons) {
        RECT r = BoundsIn(b.B.Handle(), f.panel_tools.Handle());
        EXPECT_EQ(r.left, b.Left) << b.Hint;
        EXPECT_EQ(r.right - r.left, b.Width) << b.Hint;
        EXPECT_EQ(r.bottom - r.top, 36) << b.Hint;
        EXPECT_EQ(b.B.Hint, b.Hint);
    }
    EXPECT_EQ(f.btn_Close.ImageIndex(), 1);
    EXPECT_EQ(f.btn_Delete.ImageIndex(), 30);
    EXPECT_EQ(f.btn_ShowViewer.ImageIndex(), 32);
    EXPECT_EQ(f.btn_Groups.ImageIndex(), 33);
    // No stored settings: all three panels open, each in its proportion.
    RECT work;
    GetClientRect(f.Panel_WorkArea.Handle(), &work);
    EXPECT_EQ(f.Panel_Data_Base.Width(), work.right / 2);
    EXPECT_EQ(f.Panel_Memo_Base.Height(), work.bottom / 3);
    EXPECT_EQ(f.Panel_InfoPad.Height(), 106);
    EXPECT_EQ(SendMessageA(f.btn_ShowData.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(f.Splitter_1.Height(), 15);
    EXPECT_EQ(f.Splitter_2.Width(), 15);
    EXPECT_EQ(f.Panel_DataCaption.Caption(), "Data");
    EXPECT_EQ(f.Panel_MemoCaption.Caption(), "Billboard");
    EXPECT_EQ(f.Panel_ListCaption.Caption(), "Debug Information");
    EXPECT_EQ(f.Panel_InfoPadCaption.Caption(), "InfoPad");
    // Info-pad edits are as wide as the pad less 100.
    EXPECT_EQ(f.Edit_Info_2.Width(), f.Panel_InfoPad.Width() - 100);

    HWND list = f.lst_Debug.Handle();
    const char* captions[] = {"Group", "Type", "Message", "Time"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(ColumnCaption(list, c), captions[c]);
    EXPECT_EQ(f.lst_Debug.ColumnWidth(0), 40);
    EXPECT_EQ(f.lst_Debug.ColumnWidth(3), 80);
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(f.lst_Debug.ColumnWidth(2), client.right - 160) << "Message takes the spare width";
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & LVS_OWNERDATA);
    EXPECT_EQ(f.lst_Debug.Hint, "List of received messages");
    EXPECT_EQ(ColumnCaption(f.lst_Messages.Handle(), 0), "ID");
    EXPECT_EQ(ColumnCaption(f.lst_Messages.Handle(), 1), "Message");
    EXPECT_EQ(f.lst_Messages.ColumnWidth(0), 50);

    // Status-bar hints: a control's own, else its parent's; menu entries
    // report theirs as the mouse moves over them.
    EXPECT_EQ(ui::THintTracker::HintOf(f.btn_Pause.Handle()), "Pause this section");
    EXPECT_EQ(ui::THintTracker::HintOf(f.Edit_Info_2.Handle()), "Information Pad");
    EXPECT_EQ(ui::THintTracker::HintOf(f.Memo_Data.Handle()), "Click double to zoom...");
    EXPECT_EQ(ui::THintTracker::HintOf(f.Edit_LineNumber.Handle()), "Sender's line number");
    std::string menuHint;
    f.OnHint = [&](const std::string& h) { menuHint = h; };
    HMENU billboardMenu = f.PopupMenu_1.Handle();
    UINT hide = GetMenuItemID(billboardMenu, 7);
    SendMessageA(f.Handle(), WM_MENUSELECT, MAKEWPARAM(hide, MF_STRING),
                 reinterpret_cast<LPARAM>(billboardMenu));
    EXPECT_EQ(menuHint, "Shows or hides the messages");

    EXPECT_EQ(WindowText(f.lbl_ID.Handle()), "Client ID: 4711 []");
    EXPECT_EQ(rig.Host.Panels[2], "No message");
    EXPECT_EQ(rig.Host.Information, "Debugger section");
    EXPECT_EQ(WindowText(f.lbl_Info_1.Handle()), "1st Info Line");
}

TEST(FrameLayout, ConnectionLabelAndDeleteButton) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ApplicationName = "C:\\Apps\\Demo.exe";
    c.ShowSection();
    c.SetConnected(true);
    Pump();
    EXPECT_EQ(WindowText(f.lbl_Disconnected.Handle()), "CONNECTED");
    EXPECT_EQ(f.lbl_Disconnected.Color(), 0xFFFFFFu);
    EXPECT_FALSE(IsWindowEnabled(f.btn_Delete.Handle()));
    ASSERT_TRUE(IsWindowVisible(f.lbl_Disconnected.Handle()));
    RECT r = BoundsIn(f.lbl_Disconnected.Handle(), f.Panel_Info.Handle());
    EXPECT_EQ(r.right, f.Panel_Info.Width() - 10);

    c.SetConnected(false);
    Pump();
    EXPECT_EQ(WindowText(f.lbl_Disconnected.Handle()), "DISCONNECTED");
    EXPECT_EQ(f.lbl_Disconnected.Color(), 0x0000FFu);
    EXPECT_TRUE(IsWindowEnabled(f.btn_Delete.Handle()));
    // A long application name pushes the label away.
    c.ApplicationName = std::string(200, 'W');
    c.RefreshInfo();
    Pump();
    EXPECT_FALSE(IsWindowVisible(f.lbl_Disconnected.Handle()));
}

TEST(DebugList, RowsTextsIconsAndDetails) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    HWND list = f.lst_Debug.Handle();
    auto r1 = Rec(dgInformation, dkProcEnter, "entering", "first\0hidden", 42);
    r1.DataSize = 12; // the zero byte is part of the block
    std::copy_n("first\0hidden", 12, r1.Data.get());
    c.AddDebugInfo(r1, false);
    auto r2 = Rec(dgError, dkException, "boom");
    c.AddDebugInfo(r2, false);
    auto r3 = Rec(dgWarning, dkSeparator, "ignored");
    c.AddDebugInfo(r3, false);
    auto r4 = Rec(7, 99, "odd group and kind", "", 5);
    c.AddDebugInfo(r4, false);
    Pump();

    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 4);
    EXPECT_EQ(ItemText(list, 0, 2), "entering");
    EXPECT_EQ(ItemText(list, 0, 3), "12:00:00 PM");
    EXPECT_EQ(ItemText(list, 0, 0), "");
    EXPECT_EQ(ItemText(list, 2, 2), "") << "separators have no text";
    EXPECT_EQ(ItemImage(list, 0, 0), 1);
    EXPECT_EQ(ItemImage(list, 0, 1), 11);
    EXPECT_EQ(ItemImage(list, 1, 0), 3);
    EXPECT_EQ(ItemImage(list, 1, 1), 9);
    EXPECT_EQ(ItemImage(list, 2, 0), -1);
    EXPECT_EQ(ItemImage(list, 3, 0), -1);
    EXPECT_EQ(ItemImage(list, 3, 1), -1);
    EXPECT_EQ(ItemImage(list, 0, 2), -1);

    // The newest row has the focus and shows its details.
    EXPECT_TRUE(ItemState(list, 3, LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(WindowText(f.Edit_LineNumber.Handle()), "5");
    EXPECT_EQ(WindowText(f.Edit_UnitName.Handle()), "Main.pas");
    EXPECT_EQ(rig.Host.Panels[1], "#4");
    EXPECT_EQ(rig.Host.Panels[2], "4 messages");

    // The user moves the focus with the keyboard: the panes follow.
    SetFocus(list);
    for (int i = 0; i < 3; ++i)
        SendMessageA(list, WM_KEYDOWN, VK_UP, 0);
    Pump();
    EXPECT_EQ(c.FocusedRow(), 0u);
    EXPECT_EQ(WindowText(f.Memo_Data.Handle()), "first");
    EXPECT_EQ(rig.Viewer.Text(), "first");
    EXPECT_EQ(WindowText(f.Edit_Procedure.Handle()), "TForm1.Button1Click");
    EXPECT_EQ(WindowText(f.Edit_LineNumber.Handle()), "42");
    EXPECT_EQ(rig.Host.Panels[1], "#1");
    SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
    Pump();
    EXPECT_EQ(WindowText(f.Edit_UnitName.Handle()), "") << "line 0: no source position";
    EXPECT_EQ(WindowText(f.Memo_Data.Handle()), "");

    // Double-clicking the data panel opens the viewer with its text.
    SendMessageA(list, WM_KEYDOWN, VK_UP, 0);
    SendMessageA(f.Memo_Data.Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(rig.Viewer.ShowCount(), 1);
    EXPECT_EQ(rig.Viewer.Text(), "first");
}

TEST(DebugList, GroupColoursSeparatorsAndFocus) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    HWND list = f.lst_Debug.Handle();
    for (uint8_t g : {dgGeneral, dgInformation, dgWarning, dgError}) {
        auto r = Rec(g, dkString, "row");
        c.AddDebugInfo(r, false);
    }
    auto sep = Rec(dgGeneral, dkSeparator, "");
    c.AddDebugInfo(sep, false);
    auto last = Rec(dgError, dkString, "focused");
    c.AddDebugInfo(last, false);
    Pump();

    auto rowRect = [&](int item) {
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
        return r;
    };
    RECT r0 = rowRect(0);
    EXPECT_EQ(r0.bottom - r0.top, 20) << "rows are 20 high";
    // A point in the message column away from any text.
    int x =
        f.lst_Debug.ColumnWidth(0) + f.lst_Debug.ColumnWidth(1) + f.lst_Debug.ColumnWidth(2) - 4;
    auto sample = [&](int item, int dy = 2) {
        TPixels p = PrintList(list);
        return p.At(x, rowRect(item).top + dy);
    };
    EXPECT_EQ(sample(0), Rgb(255, 255, 255));
    EXPECT_EQ(sample(1), Rgb(255, 255, 0)) << "information is yellow";
    EXPECT_EQ(sample(2), Rgb(0, 255, 255)) << "warning is aqua";
    EXPECT_EQ(sample(3), Rgb(255, 0, 0)) << "error is red";
    EXPECT_NE(sample(5), Rgb(255, 0, 0)) << "the focused row shows the selection colours";
    COLORREF sel = GetSysColor(GetFocus() == list ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    EXPECT_EQ(sample(5), Rgb(GetRValue(sel), GetGValue(sel), GetBValue(sel)));

    // The separator: white with a navy line in its middle...
    RECT s = rowRect(4);
    int mid = SeparatorLineY(s.top, s.bottom) - s.top;
    EXPECT_EQ(sample(4, mid), Rgb(0, 0, 128));
    EXPECT_EQ(sample(4, 2), Rgb(255, 255, 255));
    TPixels p = PrintList(list);
    EXPECT_EQ(p.At(3, s.top + mid), Rgb(0, 0, 128)) << "the line spans the whole row";
    // ...and navy with a white line when it has the focus.
    c.FocusRow(4);
    Pump();
    EXPECT_EQ(sample(4, mid), Rgb(255, 255, 255));
    EXPECT_EQ(sample(4, 2), Rgb(0, 0, 128));
    EXPECT_EQ(sample(5), Rgb(255, 0, 0)) << "the old focused row gets its colour back";

    // "Use colors" off in another section turns the colours off here too.
    auto other = rig.NewFrame();
    Choose(other->PopupMenu_3, "mnu_Usecolors");
    EXPECT_FALSE(rig.Shared.UseColors);
    EXPECT_EQ(sample(3), Rgb(255, 255, 255));
    EXPECT_TRUE(MenuChecked(f.PopupMenu_3.Handle(), 10)) << "this section's check is its own";
}

TEST(DebugList, FloodPaintsOnceWhenTheQueueDrains) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    Pump();
    int paints = 0;
    auto draw = f.lst_Debug.OnCustomDraw;
    f.lst_Debug.OnCustomDraw = [&](NMLVCUSTOMDRAW& d) {
        if (d.nmcd.dwDrawStage == CDDS_PREPAINT) ++paints;
        return draw(d);
    };
    DWORD start = GetTickCount();
    for (int i = 0; i < 5000; ++i) {
        auto r = Rec(uint8_t(i % 4), dkString, "row " + std::to_string(i));
        c.AddDebugInfo(r, false);
    }
    DWORD took = GetTickCount() - start;
    EXPECT_EQ(paints, 0) << "no painting while the records arrive";
    Pump();
    EXPECT_GE(paints, 1);
    EXPECT_LE(paints, 2);
    HWND list = f.lst_Debug.Handle();
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 5000);
    EXPECT_TRUE(ItemState(list, 4999, LVIS_FOCUSED));
    int top = int(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    int page = int(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GE(top + page, 5000) << "the newest row is in view";
    std::printf("[ info ] 5000 rows appended in %lu ms\n", static_cast<unsigned long>(took));
}

// A flood whose queue never drains (records keep coming in slices, as from a
// client or a socket) still brings the list up to date at its pace: the
// update must not wait for a WM_TIMER that comes only when the queue is empty,
// nor stop at its first step (the row count) because more rows came meanwhile.
TEST(DebugList, FloodThatNeverDrainsTheQueueStillShowsRows) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    Pump();
    HWND list = f.lst_Debug.Handle();
    int shown = 0, sent = 0, focused = -1;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000 && focused <= 0;) {
        for (int i = 0; i < 20; ++i, ++sent) {
            auto r = Rec(0, dkString, "row " + std::to_string(sent));
            c.AddDebugInfo(r, false);
        }
        // The next slice is already posted when this one's messages are read.
        PostMessageA(rig.Window, WM_NULL, 0, 0);
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&m);
            if (m.hwnd == rig.Window && m.message == WM_NULL) break;
        }
        shown = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        focused = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    }
    EXPECT_GT(shown, 0) << "rows shown while the records still come (" << sent << " sent)";
    EXPECT_GT(focused, 0) << "the newest row focused while the records still come";
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), sent);
}

// A section under another one shows nothing of a flood into it, so it is not
// brought up to date on every turn; the moment it comes to the front it is.
TEST(DebugList, ACoveredSectionCatchesUpTheMomentItComesToTheFront) {
    TFrameRig rig;
    auto second = rig.NewFrame();
    rig.Core().ShowSection();
    Pump();
    second->Core().ShowSection();
    Pump();
    HWND list = rig.Frame->lst_Debug.Handle();
    int sent = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 600;) {
        for (int i = 0; i < 20; ++i, ++sent) {
            auto r = Rec(0, dkString, "row " + std::to_string(sent));
            rig.Core().AddDebugInfo(r, false);
        }
        DispatchWaiting();
        Sleep(5);
    }
    EXPECT_LT(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), sent);
    rig.Core().BringSectionToFront();
    DispatchWaiting();
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), sent);
    EXPECT_TRUE(ItemState(list, sent - 1, LVIS_FOCUSED));
}

// The last rows of a flood wait for a pause before they show; a client that
// stops (it disconnects, or its connection ends) shows them at once.
TEST(DebugList, AClientThatStopsShowsItsLastRowsAtOnce) {
    TFrameRig rig;
    TSectionCore& c = rig.Core();
    c.SetConnected(true);
    c.ShowSection();
    Pump();
    HWND list = rig.Frame->lst_Debug.Handle();
    int sent = 0;
    auto add = [&](int n) {
        for (int i = 0; i < n; ++i, ++sent) {
            auto r = Rec(0, dkString, "row " + std::to_string(sent));
            c.AddDebugInfo(r, false);
        }
    };
    for (bool disconnect : {false, true}) {
        add(1);
        Pump();
        ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), sent);
        add(100);  // just after an update: these wait for a pause
        Sleep(60); // the timer is due, but no pause yet: the stop comes first
        if (disconnect)
            c.SetConnected(false);
        else
            c.RecordsEnded();
        DispatchWaiting();
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), sent) << disconnect;
    }
}
