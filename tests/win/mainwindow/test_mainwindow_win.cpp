// The main window's layout, settings, view toggles, tray and handshake.
#include "mainwindow/SectionManager.h"
#include "win/mainwindow/MainWindowFixture.h"
#include "sections/frame_Sections_win.h"
#include "support/DialogRobot_win.h"

#include <commctrl.h>

using namespace vx;
using namespace vxtest;

TEST_F(MainWindowTest, FirstStartComesUpWithTheDesignLayout) {
    auto w = Make();
    RECT r = WindowRect(*w);
    EXPECT_EQ(r.left, 361);
    EXPECT_EQ(r.top, 255);
    EXPECT_EQ(r.right - r.left, 799);
    EXPECT_EQ(r.bottom - r.top, 604);
    EXPECT_EQ(w->Text(), "vxDebugger");
    EXPECT_TRUE(KeyExists("Display")); // reads create the key
    EXPECT_EQ(RegValue("Display", "Main Left"), "<absent>");

    EXPECT_TRUE(w->Panel_InformationLine.Visible());
    EXPECT_TRUE(w->SideBarDock.Visible());
    EXPECT_TRUE(w->Splitter.Visible());
    EXPECT_TRUE(w->StatusBar.Visible());
    EXPECT_TRUE(w->act_LargeIcons->Checked());
    EXPECT_FALSE(w->act_SmallIcons->Checked());
    EXPECT_EQ(w->vxOutlookBar->HeaderSettings().ButtonStyle(), TButtonStyle::bsLarge);
    EXPECT_EQ(w->Panel_InformationLine.Caption(), " Welcome to vxDebugger");
    EXPECT_EQ(w->WindowHint(), "vxDebugger v1.25 - The debugging tool for Borland Delphi");
    EXPECT_TRUE(w->Sections.empty());
    EXPECT_TRUE(w->LMDTrayIcon.Active());
    EXPECT_EQ(w->LMDTrayIcon.Hint(), "vxDebugger for Borland Delphi");
    EXPECT_NE(w->Image_Side_Large, nullptr);
    EXPECT_NE(w->ProgramIconSmall, nullptr);
    EXPECT_EQ(GetMenu(w->Handle()), nullptr); // the tool bar is the menu

    // Left to right: side bar 130, splitter 10, then the client panel.
    EXPECT_EQ(w->SideBarDock.Width(), 130);
    EXPECT_EQ(w->Splitter.Bounds().left, 130);
    EXPECT_EQ(w->Panel_Client.Bounds().left, 140);
    EXPECT_EQ(w->ControlBar.Height(), 34);
    EXPECT_EQ(w->Panel_InformationLine.Height(), 41);
    EXPECT_EQ(w->StatusBar.Height(), 19);
    EXPECT_EQ(w->vxOutlookBar->Width(), 130);
    EXPECT_EQ(w->PANEL_PLUGIN_DOCK.Bounds().top, 41);
    ASSERT_EQ(w->ToolBar_MainMenu.ButtonCount(), 3);
    EXPECT_EQ(w->ToolBar_MainMenu.ButtonCaption(0), "&File");
    EXPECT_EQ(w->ToolBar_MainMenu.ButtonCaption(1), "&View");
    EXPECT_EQ(w->ToolBar_MainMenu.ButtonCaption(2), "&Help");
    int parts[8];
    EXPECT_EQ(SendMessageA(w->StatusBar.Handle(), SB_GETPARTS, 8, LPARAM(parts)), 5);
    EXPECT_EQ(parts[0], 400);
    EXPECT_EQ(parts[3], 620);

    // Menus as the form lists them.
    char text[64];
    HMENU file = w->mnu_File.Handle();
    // The session commands come first; shutting down stays the last item.
    ASSERT_EQ(GetMenuItemCount(file), 4);
    GetMenuStringA(file, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Open session...");
    GetMenuStringA(file, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Save section &as...");
    GetMenuStringA(file, 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Shutdown...");
    HMENU tray = w->PopupMenu_3.Handle();
    EXPECT_EQ(GetMenuItemCount(tray), 4);
    GetMenuStringA(tray, 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "S&hutdown...");
    EXPECT_EQ(GetMenuItemCount(w->PopupMenu_1.Handle()), 6);
    EXPECT_EQ(GetMenuItemCount(w->PopupMenu_2.Handle()), 3);
    EXPECT_EQ(w->act_Exit->Hint, "Close debugger section and exit to windows");
}

TEST_F(MainWindowTest, StoredSettingsAreClampedAndWrittenBack) {
    RegPut("Display", "Main Left", "-20");
    RegPut("Display", "Main Top", "40");
    RegPut("Display", "Main Width", "5000");
    RegPut("Display", "Main Height", "600");
    RegPut("Display", "Main Information Line", "2");
    RegPut("Display", "Icon Style", "BSLARGE");
    RegPut("Display", "Main StatusBar", "0");
    RegPut("Display", "Main SideBar", "no number");
    auto w = Make();
    RECT r = WindowRect(*w);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(r.right - r.left, 1024); // the fake screen's width
    EXPECT_EQ(r.bottom - r.top, 600);
    EXPECT_TRUE(w->act_InformationLine->Checked());
    EXPECT_TRUE(w->Panel_InformationLine.Visible());
    EXPECT_TRUE(w->act_SmallIcons->Checked());
    EXPECT_FALSE(w->act_LargeIcons->Checked());
    EXPECT_EQ(w->vxOutlookBar->HeaderSettings().ButtonStyle(), TButtonStyle::bsSmall);
    EXPECT_FALSE(w->StatusBar.Visible());
    EXPECT_TRUE(w->SideBarDock.Visible()); // not a number: the current visibility

    w->SetBounds(50, 60, 700, 500);
    w->act_SideBar->Execute();
    w->act_StatusBar->Execute();
    w->SaveSettings();
    EXPECT_EQ(RegValue("Display", "Main Left"), "50");
    EXPECT_EQ(RegValue("Display", "Main Top"), "60");
    EXPECT_EQ(RegValue("Display", "Main Width"), "700");
    EXPECT_EQ(RegValue("Display", "Main Height"), "500");
    EXPECT_EQ(RegValue("Display", "Main Information Line"), "1");
    EXPECT_EQ(RegValue("Display", "Main SideBar"), "0");
    EXPECT_EQ(RegValue("Display", "Main StatusBar"), "1");
    EXPECT_EQ(RegValue("Display", "Icon Style"), "bsSmall");
    EXPECT_EQ(RegValue("Display", "OutlookBar Width"), "130");
    w.reset();

    auto again = Make();
    EXPECT_EQ(WindowRect(*again).left, 50);
    EXPECT_FALSE(again->SideBarDock.Visible());
    EXPECT_FALSE(again->Splitter.Visible());
    EXPECT_TRUE(again->StatusBar.Visible());
    EXPECT_TRUE(again->act_SmallIcons->Checked());
}

TEST_F(MainWindowTest, ViewTogglesAndIconStyle) {
    auto w = Make();
    w->act_SideBar->Execute();
    EXPECT_FALSE(w->act_SideBar->Checked());
    EXPECT_FALSE(w->SideBarDock.Visible());
    EXPECT_FALSE(w->Splitter.Visible());
    EXPECT_EQ(w->Panel_Client.Bounds().left, 0);
    w->act_SideBar->Execute();
    EXPECT_TRUE(w->SideBarDock.Visible());
    EXPECT_TRUE(w->Splitter.Visible());
    EXPECT_EQ(w->Splitter.Bounds().left, 130); // still right of the bar

    int dockBottom = w->PANEL_PLUGIN_DOCK.Bounds().bottom;
    w->act_InformationLine->Execute();
    EXPECT_FALSE(w->Panel_InformationLine.Visible());
    EXPECT_EQ(w->PANEL_PLUGIN_DOCK.Bounds().top, 0);
    w->act_StatusBar->Execute();
    EXPECT_FALSE(w->StatusBar.Visible());
    EXPECT_EQ(w->PANEL_PLUGIN_DOCK.Bounds().bottom, dockBottom + 19);

    w->act_SmallIcons->Execute();
    w->act_SmallIcons->Execute(); // again: stays small
    EXPECT_TRUE(w->act_SmallIcons->Checked());
    EXPECT_FALSE(w->act_LargeIcons->Checked());
    EXPECT_EQ(w->vxOutlookBar->HeaderSettings().ButtonStyle(), TButtonStyle::bsSmall);
    w->act_LargeIcons->Execute();
    EXPECT_TRUE(w->act_LargeIcons->Checked());
    EXPECT_FALSE(w->act_SmallIcons->Checked());
    EXPECT_EQ(w->vxOutlookBar->HeaderSettings().ButtonStyle(), TButtonStyle::bsLarge);

    // The same through the View menu of the tool bar: its first entry.
    w->act_ShowExecute();
    SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        if (HWND menu = FindWindowA("#32768", nullptr)) {
            KillTimer(nullptr, id);
            PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        }
    });
    SendMessageA(w->Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'v');
    EXPECT_TRUE(w->StatusBar.Visible());
    EXPECT_TRUE(w->act_StatusBar->Checked());
}

TEST_F(MainWindowTest, TrayHidesAndShowsTheWindowAndClientsHearOfIt) {
    auto w = Make();
    w->act_ShowExecute();
    ui::ProcessMessages();
    EXPECT_TRUE(IsWindowVisible(w->Handle()));
    ASSERT_EQ(listener->Count(vnShown), 1);
    EXPECT_EQ(HWND(listener->Notices[0].Viewer), w->Handle());

    SendMessageA(w->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(w->Handle()));
    EXPECT_TRUE(w->LMDTrayIcon.Active());
    SendMessageA(w->LMDTrayIcon.Handle(), ui::TTrayIcon::kCallbackMessage, 1, WM_LBUTTONDBLCLK);
    ui::ProcessMessages();
    EXPECT_TRUE(IsWindowVisible(w->Handle()));
    EXPECT_FALSE(IsIconic(w->Handle()));
    EXPECT_EQ(listener->Count(vnShown), 2);

    // The close box hides as well; the window lives on.
    SendMessageA(w->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(w->Handle()));
    EXPECT_TRUE(IsWindow(w->Handle()));
    EXPECT_TRUE(w->Sections.empty());
    // Minimised by others (the taskbar's "minimise all"): hidden as well.
    w->act_ShowExecute();
    ui::ProcessMessages();
    EXPECT_EQ(listener->Count(vnShown), 3);
    ShowWindow(w->Handle(), SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(w->Handle()));
    w->act_Show->Execute();
    ui::ProcessMessages();
    EXPECT_TRUE(IsWindowVisible(w->Handle()));
    EXPECT_FALSE(IsIconic(w->Handle()));
    EXPECT_EQ(listener->Count(vnShown), 4);

    // Showing a visible window only brings it forward.
    w->act_ShowExecute();
    ui::ProcessMessages();
    EXPECT_EQ(listener->Count(vnShown), 4);
    EXPECT_EQ(listener->Count(vnClosing), 0);
    EXPECT_TRUE(fakes.Dialogs.Confirmations.empty());
}

TEST_F(MainWindowTest, HandshakeIsAnsweredAndBadRequestsReported) {
    auto w = Make();
    PostMessageA(w->Handle(), WM_CLIENT2DEBUGGER, 0x101, LPARAM(listener->Handle()));
    ui::ProcessMessages();
    ASSERT_EQ(listener->Count(vnAnswer), 1);
    EXPECT_EQ(HWND(listener->Notices.back().Viewer), w->Handle());

    SendMessageA(w->Handle(), WM_CLIENT2DEBUGGER, 2, LPARAM(listener->Handle()));
    ui::ProcessMessages();
    EXPECT_EQ(listener->Count(vnAnswer), 1);
    ASSERT_EQ(fakes.Dialogs.Errors.size(), 1u);
    EXPECT_EQ(fakes.Dialogs.Errors[0], "Unknown Message in Debugger WndProc [2],");

    // Records go to the dispatcher with their wParam and block.
    struct TRecorder : IClientDispatcher {
        uint32_t WParam = 0;
        size_t Size = 0;
        void DispatchRecord(uint32_t wParam, const void*, size_t size) override {
            WParam = wParam;
            Size = size;
        }
    } recorder;
    w->Dispatcher = &recorder;
    std::string block(900, 'x');
    COPYDATASTRUCT cds{0, DWORD(block.size()), block.data()};
    EXPECT_EQ(SendMessageA(w->Handle(), WM_COPYDATA, 0x108, LPARAM(&cds)), 0);
    EXPECT_EQ(recorder.WParam, 0x108u);
    EXPECT_EQ(recorder.Size, 900u);
}

TEST_F(MainWindowTest, HintsGoToStatusPanelZero) {
    auto w = Make();
    w->act_ShowExecute();
    // The tracker sees the mouse's own messages only.
    w->StatusBar.SetPanelText(0, "");
    ASSERT_TRUE(vxtest::MoveMouseOver(w->Panel_InformationLine.Handle()));
    vxtest::WaitFor([&] { return w->StatusBar.PanelText(0) == w->WindowHint(); }, 3000);
    EXPECT_EQ(w->StatusBar.PanelText(0), w->WindowHint());
    // A menu entry under the mouse shows its action's hint.
    w->PopupMenu_2.Handle();
    SendMessageA(w->Handle(), WM_MENUSELECT, MAKEWPARAM(w->act_SideBar->Id, 0),
                 LPARAM(w->PopupMenu_2.Handle()));
    EXPECT_EQ(w->StatusBar.PanelText(0), "Shows or hides the sidebar");
    // Sections write panels 1 to 3, nothing else.
    w->SetStatusPanel(1, "7");
    w->SetStatusPanel(0, "no");
    w->SetStatusPanel(4, "no");
    EXPECT_EQ(w->StatusBar.PanelText(1), "7");
    EXPECT_EQ(w->StatusBar.PanelText(0), "Shows or hides the sidebar");
    EXPECT_EQ(w->StatusBar.PanelText(4), "");
}

// The time columns are one View option for every section, remembered under
// "Display"; the count of shown rows has the last status panel.
TEST_F(MainWindowTest, TimeColumnsAreAViewOptionOfEverySection) {
    registry.RegWriteString("Display", "TimeColumns", "1");
    auto w = Make();
    EXPECT_TRUE(w->act_TimeColumns->Checked());
    auto columns = [&](ISectionFrame* s) {
        return Header_GetItemCount(
            ListView_GetHeader(Tfrm_VexelDebugWindow::FrameOf(*s)->lst_Debug.Handle()));
    };
    ISectionFrame* first = w->Manager->ConnectLocal("T 1", "Times", "C:\\T.exe", "One");
    ASSERT_TRUE(first);
    EXPECT_EQ(columns(first), 6);
    w->act_TimeColumns->Execute();
    EXPECT_FALSE(w->act_TimeColumns->Checked());
    EXPECT_EQ(columns(first), 4);
    EXPECT_EQ(registry.RegReadString("Display", "TimeColumns", ""), "0");
    ISectionFrame* second = w->Manager->ConnectLocal("T 2", "Times", "C:\\T.exe", "Two");
    ASSERT_TRUE(second);
    EXPECT_EQ(columns(second), 4);

    w->SetShownRows("3 of 5 rows shown");
    EXPECT_EQ(w->StatusBar.PanelText(4), "3 of 5 rows shown");
}

// For looking at the window: run with --gtest_also_run_disabled_tests and
// take a screenshot of the display meanwhile. Two sections of one client
// application, the second in front, filled with rows of every kind.
TEST_F(MainWindowTest, DISABLED_ShowForScreenshot) {
    auto w = Make();
    w->SetBounds(40, 30, 1000, 720);
    TvxOutlookBarHeader* demo = w->vxOutlookBar->AddHeader("Demo.exe");
    demo->Hint = "C:\\Projects\\Demo\\Demo.exe";
    w->vxOutlookBar->AddHeader("Service.exe");
    w->vxOutlookBar->ChangeHeader(demo);
    const char* texts[] = {"Application started", "Loading configuration from Demo.ini",
                           "Cache is almost full", "Access violation at address 0040A1F2"};
    for (const char* caption : {"Main", "Worker"}) {
        std::unique_ptr<ISectionFrame> s = w->CreateSectionFrame();
        TSectionCore& c = s->Core();
        c.ClientID = std::string("4711 ") + caption;
        c.Caption = caption;
        c.ApplicationName = "C:\\Projects\\Demo\\Demo.exe";
        c.LevelText = "High";
        c.SectionNumber = int(w->Sections.size()) + 1;
        TOutlookButton* b = demo->AddButton(caption);
        b->SetLargeImages(w->SideLargeImages.get());
        b->SetSmallImages(w->SideSmallImages.get());
        b->SetImageIndex(1);
        b->Tag = c.SectionNumber;
        c.ShowSection();
        c.SetConnected(true);
        int n = 0;
        for (uint8_t kind = dkString; kind <= dkUnknown; ++kind, ++n) {
            TDebugInfoRec r;
            r.Group = uint8_t(n % 4);
            r.Kind = kind;
            if (kind != dkSeparator)
                r.Text = std::string(texts[r.Group]) + " (" + KindName(kind) + ")";
            r.Time = 46000.5 + n / 86400.0;
            r.UnitName = "Main.pas";
            r.ProcName = "TForm1.Button1Click";
            r.LineNumber = 100 + n;
            std::string data = "Data of row " + std::to_string(n) + "\r\nsecond line";
            r.DataSize = int32_t(data.size());
            r.Data = std::make_unique<uint8_t[]>(data.size());
            std::copy(data.begin(), data.end(), r.Data.get());
            c.AddDebugInfo(r, false);
        }
        c.AddMessage("Server started on port 8080");
        c.AddMessage("3 clients connected");
        c.SetInfoLine(1, "Users|12");
        c.SetInfoLine(2, "Memory|48 MB");
        c.SetInfoLine(3, "Queue length|3");
        c.FocusRow(2);
        w->Sections.push_back(std::move(s));
    }
    w->act_ShowExecute();
    w->Hints.SetHint(ui::THintTracker::HintOf(w->Panel_InformationLine.Handle()));
    DWORD end = GetTickCount() + 8000;
    while (GetTickCount() < end) {
        ui::ProcessMessages();
        Sleep(20);
    }
}
