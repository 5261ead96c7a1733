// The section frame's commands through its real controls: filter, notes,
// billboard, info pad, pause, close and delete, panels and their settings.
#include "FrameRig.h"

#include "settings/RegistrySettings_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

using namespace vx;
using namespace vxtest;

namespace {

int Count(HWND list) {
    return int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string TempFile(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Fill(TSectionCore& c) {
    const uint8_t groups[] = {dgGeneral, dgWarning, dgError, dgWarning, dgInformation};
    for (uint8_t g : groups) {
        auto r = Rec(g, dkString, "group " + std::to_string(g));
        c.AddDebugInfo(r, false);
    }
}

} // namespace

TEST(FrameCommands, FilterMenuAndGroupsButton) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    Fill(c);
    Pump();
    HWND list = f.lst_Debug.Handle();
    HMENU groups = f.Popup_Groups.Handle();
    const char* names[] = {"General", "Information", "Warning", "Error", "Show all"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(MenuText(groups, i), names[i]);

    Choose(f.Popup_Groups, "act_ShowWarning");
    EXPECT_EQ(f.btn_Groups.ImageIndex(), 36);
    ASSERT_EQ(Count(list), 2);
    EXPECT_EQ(ItemText(list, 1, 2), "group 2");
    // A row that arrives now is shown until the filter runs again.
    auto r = Rec(dgError, dkString, "late error");
    c.AddDebugInfo(r, false);
    Pump();
    EXPECT_EQ(Count(list), 3);
    EXPECT_TRUE(ItemState(list, 2, LVIS_FOCUSED));
    Click(f.btn_Groups);
    EXPECT_EQ(Count(list), 2);
    EXPECT_EQ(rig.Host.Panels[2], "6 messages") << "hidden rows still count";

    Choose(f.Popup_Groups, "act_ShowAll");
    EXPECT_EQ(f.btn_Groups.ImageIndex(), 33);
    EXPECT_EQ(Count(list), 6);
}

TEST(FrameCommands, NotesEditsAndDeletesOnTheDebugList) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    auto& dialogs = rig.Platform.Dialogs;
    c.ShowSection();
    HWND list = f.lst_Debug.Handle();
    HMENU m = f.PopupMenu_3.Handle();
    const char* captions[] = {"&Add Note",
                              "&Insert note\tIns",
                              "",
                              "&Edit debug info\tEnter",
                              "&Delete debug info\tDel",
                              "",
                              "Clear all items\tCtrl+Del",
                              "",
                              "&Export...",
                              "",
                              "&Use colors"};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(MenuSeparator(m, i), captions[i][0] == 0) << i;
        if (captions[i][0]) {
            EXPECT_EQ(MenuText(m, i), captions[i]);
        }
    }
    EXPECT_TRUE(MenuEnabled(m, 0));
    EXPECT_FALSE(MenuEnabled(m, 1)) << "no focused row";
    EXPECT_FALSE(MenuEnabled(m, 6)) << "no rows";
    EXPECT_TRUE(MenuChecked(m, 10));

    dialogs.InputAnswers = {"first note"};
    Choose(f.PopupMenu_3, "mnu_AddNote");
    ASSERT_EQ(Count(list), 1);
    EXPECT_EQ(dialogs.Inputs.back().Caption, "Add new note");
    EXPECT_EQ(dialogs.Inputs.back().Prompt, "Text: ");
    EXPECT_EQ(ItemText(list, 0, 2), "first note");
    EXPECT_EQ(ItemImage(list, 0, 1), 5);

    // The list's keys: Insert puts a note before the focused row.
    dialogs.InputAnswers = {"inserted"};
    Key(list, VK_INSERT);
    EXPECT_EQ(dialogs.Inputs.back().Caption, "Insert note");
    ASSERT_EQ(Count(list), 2);
    EXPECT_EQ(ItemText(list, 0, 2), "inserted");
    EXPECT_TRUE(ItemState(list, 1, LVIS_FOCUSED)) << "the focus stays on its row";

    // Enter and a double click edit the focused row.
    dialogs.InputAnswers = {"edited"};
    Key(list, VK_RETURN);
    EXPECT_EQ(dialogs.Inputs.back().Default, "first note");
    EXPECT_EQ(ItemText(list, 1, 2), "edited");
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
    dialogs.InputAnswers = {""}; // an empty answer changes nothing
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, row.top + 5));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(200, row.top + 5));
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(200, row.top + 5));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(200, row.top + 5));
    Pump();
    EXPECT_EQ(c.FocusedRow(), 0u);
    EXPECT_EQ(dialogs.Inputs.back().Default, "inserted");
    EXPECT_EQ(ItemText(list, 0, 2), "inserted");

    // The list's export command writes its rows (no dialogs in this rig).
    vx::TvxVirtualTreeExport& listExport = f.Exports.vxDebugListExport;
    listExport.ExportStyle = vx::xsFile;
    listExport.SetExportType(vx::xtCSV);
    listExport.FileName = TempFile("frame-list.csv");
    Choose(f.PopupMenu_3, "mnu_ExportItems");
    std::string csv = ReadAll(listExport.FileName);
    EXPECT_NE(csv.find("edited"), std::string::npos) << csv;
    EXPECT_NE(csv.find("inserted"), std::string::npos) << csv;
    EXPECT_EQ(listExport.VirtualTree(), &c.DebugTree());

    // Delete removes the focused row; Ctrl+Del clears all, not while paused.
    Key(list, VK_DELETE);
    ASSERT_EQ(Count(list), 1);
    EXPECT_EQ(ItemText(list, 0, 2), "edited");
    EXPECT_EQ(rig.Host.Panels[1], "");
    Click(f.btn_Pause);
    KeyWith(list, VK_DELETE, kmCtrl);
    EXPECT_EQ(Count(list), 1);
    Click(f.btn_Pause);
    Key(list, VK_F10);
    EXPECT_EQ(Count(list), 1) << "F10 is the menu bar's key";
    KeyWith(list, VK_DELETE, kmCtrl);
    EXPECT_EQ(Count(list), 0);
    EXPECT_EQ(rig.Host.Panels[2], "No message");
}

TEST(FrameCommands, Billboard) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    auto& dialogs = rig.Platform.Dialogs;
    c.ShowSection();
    HWND list = f.lst_Messages.Handle();
    HMENU m = f.PopupMenu_1.Handle();
    EXPECT_EQ(MenuText(m, 0), "Add message\tEnter");
    EXPECT_EQ(MenuText(m, 1), "&Edit message\tF2");
    EXPECT_TRUE(MenuSeparator(m, 4) && MenuSeparator(m, 6) && MenuSeparator(m, 8));
    EXPECT_FALSE(MenuEnabled(m, 1)) << "nothing selected";
    EXPECT_FALSE(MenuEnabled(m, 5)) << "nothing to clear";
    EXPECT_TRUE(MenuEnabled(m, 9)) << "the billboard's export is never disabled";

    c.AddMessage("from the client");
    c.AddMessage("second|with bar");
    Pump();
    ASSERT_EQ(Count(list), 2);
    EXPECT_EQ(ItemText(list, 0, 0), "1");
    EXPECT_EQ(ItemText(list, 0, 1), "from the client");
    EXPECT_EQ(ItemText(list, 1, 1), "second|with bar");
    EXPECT_TRUE(ItemState(list, 1, LVIS_SELECTED));
    {
        // The ID stands in the middle of its column.
        RECT r0{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
        TPixels p = PrintList(list);
        int left = 50, right = -1;
        for (int y = r0.top; y < r0.bottom; ++y)
            for (int x = 0; x < 50; ++x)
                if (p.At(x, y) != Rgb(255, 255, 255))
                    left = std::min(left, x), right = std::max(right, x);
        ASSERT_GE(right, left);
        EXPECT_NEAR(left, 50 - 1 - right, 3);
    }

    dialogs.InputAnswers = {"a|b"};
    Key(list, VK_RETURN);
    EXPECT_EQ(dialogs.Inputs.back().Caption, "Add Message");
    ASSERT_EQ(Count(list), 3);
    EXPECT_EQ(ItemText(list, 2, 0), "3");
    EXPECT_EQ(ItemText(list, 2, 1), "a?b");
    EXPECT_TRUE(ItemState(list, 1, LVIS_SELECTED)) << "adding leaves the selection";

    dialogs.InputAnswers = {"before second"};
    Choose(f.PopupMenu_1, "mnu_InsertMessage");
    ASSERT_EQ(Count(list), 4);
    EXPECT_EQ(ItemText(list, 1, 1), "before second");
    EXPECT_EQ(ItemText(list, 3, 0), "4") << "renumbered";

    // The user selects the first line with the mouse, then edits it with F2.
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, r.top + 3));
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(80, r.top + 3));
    Pump();
    EXPECT_EQ(c.Billboard().Selected(), 0u);
    dialogs.InputAnswers = {"changed"};
    Key(list, VK_F2);
    EXPECT_EQ(dialogs.Inputs.back().Default, "from the client");
    EXPECT_EQ(ItemText(list, 0, 1), "changed");
    Key(list, VK_DELETE);
    EXPECT_EQ(Count(list), 3);
    EXPECT_EQ(ItemText(list, 0, 1), "before second");
    EXPECT_EQ(ItemText(list, 0, 0), "1");
    KeyWith(list, VK_DELETE, kmCtrl);
    EXPECT_EQ(Count(list), 0);
    vx::TvxLMDListBoxExport& boardExport = f.Exports.vxDebugExport;
    boardExport.ExportStyle = vx::xsFile;
    boardExport.FileName = TempFile("frame-board.html");
    DeleteFileA(boardExport.FileName.c_str());
    Choose(f.PopupMenu_1, "mnu_MessageExport");
    EXPECT_NE(ReadAll(boardExport.FileName).find("<TABLE"), std::string::npos)
        << "an empty billboard can still be exported";
    EXPECT_TRUE(rig.Platform.Dialogs.Errors.empty());
}

TEST(FrameCommands, InfoPad) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    c.SetInfoLine(1, "Users|12");
    c.SetInfoLine(2, "|no caption");
    c.SetInfoLine(3, "AVeryLongCaption|x");
    Pump();
    EXPECT_EQ(WindowText(f.lbl_Info_1.Handle()), "Users");
    EXPECT_EQ(WindowText(f.Edit_Info_1.Handle()), "12");
    EXPECT_EQ(WindowText(f.lbl_Info_2.Handle()), "Noname info");
    EXPECT_EQ(WindowText(f.Edit_Info_2.Handle()), "no caption");
    EXPECT_EQ(WindowText(f.lbl_Info_3.Handle()), "...ongCaption");
    EXPECT_TRUE(GetWindowLongA(f.Edit_Info_1.Handle(), GWL_STYLE) & ES_READONLY);
    HMENU m = f.PopupMenu_2.Handle();
    EXPECT_EQ(MenuText(m, 0), "Clear Info Pad\tF9");
    EXPECT_TRUE(MenuSeparator(m, 1));
    Choose(f.PopupMenu_2, "mnu_ClearInfoPad");
    EXPECT_EQ(WindowText(f.lbl_Info_1.Handle()), "1st Infoline");
    EXPECT_EQ(WindowText(f.lbl_Info_3.Handle()), "3rd Infoline");
    EXPECT_EQ(WindowText(f.Edit_Info_1.Handle()), "");
    Choose(f.PopupMenu_2, "mnu_HideInfoPad");
    EXPECT_EQ(f.Panel_InfoPad.Height(), 0);
    EXPECT_EQ(SendMessageA(f.btn_ShowInfoPad.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    Click(f.btn_ShowInfoPad);
    EXPECT_EQ(f.Panel_InfoPad.Height(), 106);
}

TEST(FrameCommands, PauseDropsClientRecordsButNotNotes) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    HWND pause = f.btn_Pause.Handle();
    Click(f.btn_Pause);
    EXPECT_EQ(SendMessageA(pause, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(c.Paused);
    EXPECT_EQ(rig.Host.Information, "Debugger section [PAUSED]");
    EXPECT_EQ(rig.Host.Panels[3], "Paused");
    auto r = Rec(dgGeneral, dkString, "dropped");
    EXPECT_FALSE(c.AddDebugInfo(r, false));
    c.AddMessage("dropped");
    Pump();
    rig.Platform.Dialogs.InputAnswers = {"note while paused"};
    Choose(f.PopupMenu_3, "mnu_AddNote");
    EXPECT_EQ(Count(f.lst_Debug.Handle()), 1);
    EXPECT_EQ(Count(f.lst_Messages.Handle()), 0);
    Click(f.btn_Pause);
    EXPECT_FALSE(c.Paused);
    EXPECT_EQ(rig.Host.Panels[3], "Active");
}

TEST(FrameCommands, CloseAndDelete) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ClientID = "77 worker";
    c.SectionNumber = 3;
    c.ShowSection();
    c.SetConnected(true);
    Fill(c);
    Pump();
    Click(f.btn_Close);
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_EQ(rig.Host.Information, "Welcome to vxDebugger");
    EXPECT_EQ(rig.Host.Panels[1], "");
    EXPECT_EQ(rig.Host.Panels[2], "");
    EXPECT_EQ(Count(f.lst_Debug.Handle()), 5) << "a closed section keeps its rows";

    c.ShowSection();
    Pump();
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    Click(f.btn_Delete);
    EXPECT_TRUE(IsWindowVisible(f.Handle())) << "no delete while connected";
    c.SetConnected(false);
    c.AddMessage("line");
    Pump();
    Click(f.btn_Delete);
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_EQ(rig.Host.RemovedButtons, std::vector<int>{3});
    EXPECT_EQ(c.ClientID, "DEL_77 worker");
    EXPECT_EQ(Count(f.lst_Debug.Handle()), 0);
    EXPECT_EQ(Count(f.lst_Messages.Handle()), 0);
}

TEST(FrameCommands, ShownSectionComesToTheFront) {
    TFrameRig rig;
    auto second = rig.NewFrame();
    rig.Core().ShowSection();
    second->Core().ShowSection();
    EXPECT_EQ(GetWindow(rig.Dock->Handle(), GW_CHILD), second->Handle());
    rig.Core().BringSectionToFront();
    EXPECT_EQ(GetWindow(rig.Dock->Handle(), GW_CHILD), rig.Frame->Handle());
    second->Core().HideSection();
    second->Core().ShowSection();
    EXPECT_EQ(GetWindow(rig.Dock->Handle(), GW_CHILD), second->Handle());
}

TEST(FrameCommands, PanelButtonsAndSettingsInTheRegistry) {
    const std::string id = "wintest-frame-" + std::to_string(GetCurrentProcessId());
    TRegistrySettings registry;
    {
        TFrameRig rig(&registry);
        Tfme_Sections& f = *rig.Frame;
        TSectionCore& c = rig.Core();
        c.ClientID = id;
        c.ShowSection();
        RECT work;
        GetClientRect(f.Panel_WorkArea.Handle(), &work);
        Click(f.btn_ShowData);
        EXPECT_EQ(f.Panel_Data_Base.Width(), 0);
        EXPECT_FALSE(IsWindowVisible(f.Splitter_2.Handle()));
        Click(f.btn_ShowData);
        EXPECT_EQ(f.Panel_Data_Base.Width(), work.right / 2);
        EXPECT_TRUE(IsWindowVisible(f.Splitter_2.Handle()));
        // A dragged size lasts until the button shows the panel again.
        f.Splitter_1.MoveTo(60);
        EXPECT_EQ(f.Panel_Memo_Base.Height(), 60);
        EXPECT_EQ(c.Layout().MemoHeight, 60);
        Choose(f.PopupMenu_1, "mnu_HideMessages");
        EXPECT_EQ(f.Panel_Memo_Base.Height(), 0);
        EXPECT_FALSE(IsWindowVisible(f.Splitter_1.Handle()));
        EXPECT_EQ(SendMessageA(f.btn_ShowMessage.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        Click(f.btn_ShowData); // data panel closed
        Click(f.btn_Close);    // saves
    }
    TRegistryHandler handler(registry);
    EXPECT_EQ(handler.RegReadInteger("Debugger\\" + id, "Data Panel", -1), 0);
    EXPECT_EQ(handler.RegReadInteger("Debugger\\" + id, "Memo Panel", -1), 0);
    EXPECT_TRUE(handler.RegReadBool("Debugger\\" + id, "Info Panel", false));
    {
        // The next run opens the section with the same panels.
        TFrameRig rig(&registry);
        Tfme_Sections& f = *rig.Frame;
        rig.Core().ClientID = id;
        rig.Core().ShowSection();
        EXPECT_EQ(f.Panel_Data_Base.Width(), 0);
        EXPECT_EQ(f.Panel_Memo_Base.Height(), 0);
        EXPECT_EQ(f.Panel_InfoPad.Height(), 106);
        EXPECT_EQ(SendMessageA(f.btn_ShowInfoPad.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kRegistryRoot) + "Debugger\\" + id).c_str());
}
