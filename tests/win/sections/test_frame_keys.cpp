// The section frame from the keyboard: Tab through its parts, the section's
// shortcuts, several selected rows and copying them.
#include "FrameRig.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vxtest;

namespace {

void Add(TSectionCore& c, uint8_t group, uint8_t kind, const std::string& text) {
    auto r = Rec(group, kind, text);
    c.AddDebugInfo(r, false);
}

} // namespace

TEST(FrameKeys, TabVisitsTheShownPartsAndTheShortcutsWorkAnywhere) {
    TFrameRig rig(nullptr, 1400, 700); // wide enough to show every source field
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    Pump();
    const HWND order[] = {
        f.Edit_UnitName.Handle(), f.Edit_Procedure.Handle(), f.Edit_LineNumber.Handle(),
        f.Memo_Data.Handle(),     f.Edit_Info_1.Handle(),    f.Edit_Info_2.Handle(),
        f.Edit_Info_3.Handle(),   f.lst_Messages.Handle(),   f.lst_Debug.Handle()};
    SetFocus(f.lst_Debug.Handle());
    for (size_t i = 0; i < std::size(order); ++i) {
        Key(GetFocus(), VK_TAB);
        EXPECT_EQ(GetFocus(), order[i]) << i;
    }
    KeyWith(GetFocus(), VK_TAB, kmShift);
    EXPECT_EQ(GetFocus(), f.lst_Messages.Handle()) << "Shift+Tab goes back";

    // Ctrl+B closes the billboard that has the focus: the focus goes to the list,
    // and Tab no longer stops at the closed billboard nor at the closed data panel.
    KeyWith(GetFocus(), 'B', kmCtrl);
    EXPECT_EQ(f.Panel_Memo_Base.Height(), 0);
    EXPECT_EQ(GetFocus(), f.lst_Debug.Handle());
    KeyWith(GetFocus(), 'D', kmCtrl);
    EXPECT_EQ(f.Panel_Data_Base.Width(), 0);
    KeyWith(GetFocus(), VK_TAB, kmShift);
    EXPECT_EQ(GetFocus(), f.Edit_Info_3.Handle());
    for (int i = 0; i < 3; ++i)
        KeyWith(GetFocus(), VK_TAB, kmShift);
    EXPECT_EQ(GetFocus(), f.Edit_LineNumber.Handle()) << "the data text is skipped";

    // F9, as the info pad's menu shows, from a source field; Pause from the list.
    c.SetInfoLine(1, "Users|12");
    Pump();
    Key(GetFocus(), VK_F9);
    EXPECT_EQ(WindowText(f.lbl_Info_1.Handle()), "1st Infoline");
    EXPECT_EQ(WindowText(f.Edit_Info_1.Handle()), "");
    Key(f.lst_Debug.Handle(), VK_PAUSE);
    EXPECT_TRUE(c.Paused);
    EXPECT_TRUE(f.btn_Pause.Down());
    HMENU m = f.PopupMenu_3.Handle();
    int pause = 0;
    while (pause < GetMenuItemCount(m) && MenuText(m, pause) != "&Pause\tPause")
        ++pause;
    ASSERT_LT(pause, GetMenuItemCount(m));
    EXPECT_TRUE(MenuChecked(m, pause));
}

TEST(FrameKeys, SeveralRowsAreSelectedAndCopiedWhileCommandsKeepToTheFocusedRow) {
    TFrameRig rig;
    Tfme_Sections& f = *rig.Frame;
    TSectionCore& c = rig.Core();
    c.ShowSection();
    Add(c, dgGeneral, dkString, "plain");
    Add(c, dgWarning, dkNote, "tab\there");
    Add(c, dgError, dkString, "two\r\nlines");
    Add(c, dgGeneral, dkString, "last");
    Pump();
    HWND list = f.lst_Debug.Handle();
    SetFocus(list);
    Key(list, VK_UP);
    Key(list, VK_UP);
    KeyWith(list, VK_DOWN, kmShift);
    EXPECT_EQ(c.FocusedRow(), 2u);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 2);
    {
        // The selected row that is not focused is drawn selected, not in its group colour.
        RECT r{LVIR_BOUNDS, 0, 0, 0};
        SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
        TPixels p = PrintList(list);
        COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
        EXPECT_EQ(p.At(300, (r.top + r.bottom) / 2),
                  Rgb(GetRValue(hl), GetGValue(hl), GetBValue(hl)));
    }

    KeyWith(list, 'C', kmCtrl);
    const std::string time = ItemText(list, 1, 3);
    EXPECT_EQ(rig.Platform.Clipboard.Text, "Warning\tNote\ttab here\t" + time + "\r\n" +
                                               "Error\tString\ttwo  lines\t" + time + "\r\n");
    rig.Platform.Clipboard.Text.clear();
    KeyWith(list, VK_INSERT, kmCtrl);
    EXPECT_EQ(rig.Platform.Clipboard.Text.substr(0, 7), "Warning") << "Ctrl+Insert copies too";

    // Delete takes only the focused row, and no selection is left on rows that moved.
    Key(list, VK_DELETE);
    ASSERT_EQ(c.RowCount(), 3u);
    EXPECT_EQ(c.lst_DebugGetText(1, 2), "tab\there");
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);

    // Ctrl+A takes every row; a new record ends that selection on itself.
    KeyWith(list, 'A', kmCtrl);
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 3);
    Add(c, dgGeneral, dkString, "new");
    Pump();
    EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_TRUE(ItemState(list, 3, LVIS_SELECTED | LVIS_FOCUSED));

    // The billboard copies its lines the same way.
    c.AddMessage("one");
    c.AddMessage("two|2");
    Pump();
    SetFocus(f.lst_Messages.Handle());
    KeyWith(f.lst_Messages.Handle(), 'A', kmCtrl);
    KeyWith(f.lst_Messages.Handle(), 'C', kmCtrl);
    EXPECT_EQ(rig.Platform.Clipboard.Text, "1\tone\r\n2\ttwo|2\r\n");
}
