// Tfme_Sections: the context menus, the filter drop-down and the lists'
// command keys.
#include "sections/frame_Sections_win.h"

#include "sections/SectionCopy.h"

#include <algorithm>

namespace vx {

namespace {

// Menu entries with a DebugImages picture carry a tag and its index as item data.
constexpr ULONG_PTR kPictureTag = 0x5EC70000;

bool IsPictureItem(ULONG_PTR data) {
    return (data & 0xFFFF0000) == kPictureTag;
}

} // namespace

void Tfme_Sections::CreateMenus() {
    TSectionCore& c = core_;
    ui::TPopupMenu& m1 = PopupMenu_1;
    m1.AddItem("mnu_AddMessage", "Add message\tEnter", [&c] { c.mnu_AddMessageClick(); });
    m1.AddItem("mnu_EditMessage", "&Edit message\tF2", [&c] { c.mnu_EditMessageClick(); });
    m1.AddItem("mnu_InsertMessage", "&Insert message\tIns", [&c] { c.mnu_InsertMessageClick(); });
    m1.AddItem("mnu_DeleteMessage", "&Delete message\tDel", [&c] { c.mnu_DeleteMessageClick(); });
    m1.AddSeparator();
    // Clearing is not on F10: that key opens the menu bar, as in every program.
    m1.AddItem("mnu_ClearMessages", "Clear billboard\tCtrl+Del",
               [&c] { c.mnu_ClearMessagesClick(); });
    m1.AddSeparator();
    m1.AddItem(
        "mnu_HideMessages", "&Hide", [&c] { c.mnu_HideMessagesClick(); },
        "Shows or hides the messages");
    m1.AddSeparator();
    m1.AddItem("mnu_MessageExport", "&Export...",
               [this] { Exports.MessageExport(core_.MessageList()); });
    m1.AddSeparator();
    m1.AddItem("mnu_CopyMessages", "&Copy\tCtrl+C", [this] { CopyMessageLines(); });
    m1.AddItem("mnu_SelectAllMessages", "Select all\tCtrl+A", [this] { lst_Messages.SelectAll(); });
    m1.OnPopup = [this](ui::TPopupMenu&) { PopupMenu_1Popup(); };

    ui::TPopupMenu& m2 = PopupMenu_2;
    m2.AddItem("mnu_ClearInfoPad", "Clear Info Pad\tF9", [&c] { c.mnu_ClearInfoPadClick(); });
    m2.AddSeparator();
    m2.AddItem(
        "mnu_HideInfoPad", "&Hide", [&c] { c.mnu_HideInfoPadClick(); },
        "Shows or hides the Info Pad");

    ui::TPopupMenu& m3 = PopupMenu_3;
    m3.AddItem("mnu_AddNote", "&Add Note", [&c] { c.mnu_AddNoteClick(); });
    m3.AddItem("mnu_InsertNote", "&Insert note\tIns", [&c] { c.mnu_InsertNoteClick(); });
    m3.AddSeparator();
    m3.AddItem("mnu_EditInfo", "&Edit debug info\tEnter", [&c] { c.mnu_EditInfoClick(); });
    m3.AddItem("mnu_DeleteInfo", "&Delete debug info\tDel", [&c] { c.mnu_DeleteInfoClick(); });
    m3.AddSeparator();
    m3.AddItem("mnu_ClearDebugInfos", "Clear all items\tCtrl+Del",
               [&c] { c.mnu_ClearDebugInfosClick(); });
    m3.AddSeparator();
    m3.AddItem("mnu_ExportItems", "&Export...", [this] {
        // "Export visible rows only" exports what the filter and rules show.
        Exports.ExportItems(core_.DebugTree(), [this](size_t row) { return finder_.IsShown(row); });
    });
    m3.AddSeparator();
    m3.AddItem("mnu_Usecolors", "&Use colors", [&c] { c.mnu_UsecolorsClick(); });
    m3.AddSeparator();
    m3.AddItem("mnu_CopyItems", "&Copy\tCtrl+C", [this] { CopyDebugRows(); });
    m3.AddItem("mnu_SelectAllItems", "Select all\tCtrl+A", [this] { lst_Debug.SelectAll(); });
    // The tool buttons' commands, for the keyboard; the keys work anywhere in the section.
    m3.AddSeparator();
    m3.AddItem(
        "mnu_Pause", "&Pause\tPause", [this] { btn_Pause.Click(); }, btn_Pause.Hint);
    m3.AddItem(
        "mnu_ShowMessages", "Show &billboard\tCtrl+B", [this] { btn_ShowMessage.Click(); },
        btn_ShowMessage.Hint);
    m3.AddItem(
        "mnu_ShowData", "Show data pa&nel\tCtrl+D", [this] { btn_ShowData.Click(); },
        btn_ShowData.Hint);
    m3.AddItem(
        "mnu_ShowInfoPad", "Show in&fo pad\tCtrl+I", [this] { btn_ShowInfoPad.Click(); },
        btn_ShowInfoPad.Hint);
    m3.AddItem(
        "mnu_ShowViewer", "Data &viewer\tCtrl+Enter", [this] { btn_ShowViewer.Click(); },
        btn_ShowViewer.Hint);
    m3.AddItem("mnu_Groups", "Filter by &group...\tCtrl+G", [this] { btn_GroupsDropDown(); });
    m3.AddItem(
        "mnu_Rules", "&Rules...\tCtrl+R", [this] { EditRules(); },
        "Hides, shows, colours or bookmarks the rows that match rules");
    m3.AddSeparator();
    m3.AddItem(
        "mnu_Find", "F&ind...\tCtrl+F", [this] { ShowFindBar(); }, "Finds text in the debug list");
    m3.AddItem("mnu_FindNext", "Find ne&xt\tF3", [this] { FindStep(true); });
    m3.AddItem("mnu_FindPrevious", "Find pre&vious\tShift+F3", [this] { FindStep(false); });
    m3.AddItem("mnu_ToggleBookmark", "Toggle boo&kmark\tCtrl+F2", [this] { ToggleBookmark(); });
    m3.AddItem("mnu_NextBookmark", "Next bookmark\tF2", [this] { GoToBookmark(true); });
    m3.AddItem("mnu_PreviousBookmark", "Previous bookmark\tShift+F2",
               [this] { GoToBookmark(false); });
    m3.AddSeparator();
    m3.AddItem(
        "mnu_CloseSection", "Close &section\tCtrl+F4", [this] { btn_Close.Click(); },
        btn_Close.Hint);
    m3.AddItem(
        "mnu_DeleteSection", "Delete sec&tion", [this] { btn_Delete.Click(); }, btn_Delete.Hint);
    m3.AddSeparator();
    m3.AddItem(
        "mnu_SaveSession", "Save section &as...",
        [this] {
            if (OnSaveSession) OnSaveSession(*this);
        },
        "Saves the section's rows, billboard and info pad in a session file");
    m3.OnPopup = [this](ui::TPopupMenu&) { PopupMenu_3Popup(); };

    ui::TPopupMenu& g = Popup_Groups;
    g.AddItem("act_ShowGeneral", "General", [&c] { c.ChooseGroupFilter(1); });
    g.AddItem("act_ShowInfo", "Information", [&c] { c.ChooseGroupFilter(2); });
    g.AddItem("act_ShowWarning", "Warning", [&c] { c.ChooseGroupFilter(3); });
    g.AddItem("act_ShowError", "Error", [&c] { c.ChooseGroupFilter(4); });
    g.AddItem("act_ShowAll", "Show all", [&c] { c.ChooseGroupFilter(0); });
}

void Tfme_Sections::PopupMenu_1Popup() {
    TBillboardMenuState s = core_.PopupMenu_1Popup();
    PopupMenu_1.FindItem("mnu_EditMessage")->Enabled = s.EditMessage;
    PopupMenu_1.FindItem("mnu_InsertMessage")->Enabled = s.InsertMessage;
    PopupMenu_1.FindItem("mnu_DeleteMessage")->Enabled = s.DeleteMessage;
    PopupMenu_1.FindItem("mnu_ClearMessages")->Enabled = s.ClearMessages;
}

void Tfme_Sections::PopupMenu_3Popup() {
    TDebugMenuState s = core_.PopupMenu_3Popup();
    PopupMenu_3.FindItem("mnu_AddNote")->Enabled = s.AddNote;
    PopupMenu_3.FindItem("mnu_InsertNote")->Enabled = s.InsertNote;
    PopupMenu_3.FindItem("mnu_EditInfo")->Enabled = s.EditInfo;
    PopupMenu_3.FindItem("mnu_DeleteInfo")->Enabled = s.DeleteInfo;
    PopupMenu_3.FindItem("mnu_ClearDebugInfos")->Enabled = s.ClearDebugInfos;
    PopupMenu_3.FindItem("mnu_ExportItems")->Enabled = s.ExportItems;
    ui::TMenuItem* colors = PopupMenu_3.FindItem("mnu_Usecolors");
    colors->Enabled = s.UseColors;
    colors->Checked = core_.UseColorsChecked();
    PopupMenu_3SectionItems();
}

void Tfme_Sections::PopupMenu_3SectionItems() {
    ui::TPopupMenu& m = PopupMenu_3;
    m.FindItem("mnu_CopyItems")->Enabled = core_.VisibleCount() > 0;
    m.FindItem("mnu_SelectAllItems")->Enabled = core_.VisibleCount() > 0;
    m.FindItem("mnu_Pause")->Checked = btn_Pause.Down();
    m.FindItem("mnu_ShowMessages")->Checked = btn_ShowMessage.Down();
    m.FindItem("mnu_ShowData")->Checked = btn_ShowData.Down();
    m.FindItem("mnu_ShowInfoPad")->Checked = btn_ShowInfoPad.Down();
    m.FindItem("mnu_DeleteSection")->Enabled = btn_Delete.Enabled();
    m.FindItem("mnu_Rules")->Enabled = context_.RuleEditor != nullptr;
    size_t focus = core_.FocusedRow();
    m.FindItem("mnu_ToggleBookmark")->Enabled = focus != TSectionCore::npos && core_.IsShown(focus);
}

// The filter entries show the group pictures of DebugImages; the menu asks
// for them through WM_MEASUREITEM and WM_DRAWITEM.
void Tfme_Sections::AddGroupPictures(HMENU menu) {
    for (UINT pos = 0; pos < 4; ++pos) {
        MENUITEMINFOA mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_BITMAP | MIIM_DATA;
        mi.hbmpItem = HBMMENU_CALLBACK;
        mi.dwItemData = kPictureTag | pos;
        SetMenuItemInfoA(menu, pos, TRUE, &mi);
    }
}

void Tfme_Sections::ShowPopup(ui::TPopupMenu& menu, POINT screen) {
    HMENU handle = menu.Handle(); // runs OnPopup and rebuilds the entries
    if (&menu == &Popup_Groups) AddGroupPictures(handle);
    // The menu closes on a click elsewhere only when its window is in front.
    HWND root = GetAncestor(Handle(), GA_ROOT);
    SetForegroundWindow(root);
    int id =
        int(TrackPopupMenu(handle, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON,
                           screen.x, screen.y, 0, Handle(), nullptr));
    PostMessageA(root, WM_NULL, 0, 0);
    if (id) menu.Click(id);
}

void Tfme_Sections::btn_GroupsDropDown() {
    RECT r;
    GetWindowRect(btn_Groups.Handle(), &r);
    ShowPopup(Popup_Groups, POINT{r.left, r.bottom});
}

bool Tfme_Sections::MenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_MEASUREITEM: {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (m->CtlType != ODT_MENU || !IsPictureItem(m->itemData)) return false;
        m->itemWidth = S(16 + 4); // a little air between picture and caption
        m->itemHeight = S(16);
        result = TRUE;
        return true;
    }
    case WM_DRAWITEM: {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (d->CtlType != ODT_MENU || !IsPictureItem(d->itemData)) return false;
        if (art_->DebugImages) {
            int y = d->rcItem.top + (d->rcItem.bottom - d->rcItem.top - S(16)) / 2;
            ImageList_Draw(art_->DebugImages, int(d->itemData & 0xFFFF), d->hDC, d->rcItem.left + 1,
                           y, ILD_TRANSPARENT);
        }
        result = TRUE;
        return true;
    }
    case WM_MENUSELECT: {
        HMENU menu = reinterpret_cast<HMENU>(lParam);
        if (!menu || (HIWORD(wParam) & MF_POPUP) || !OnHint) return false;
        if (ui::TPopupMenu* m = ui::TPopupMenu::FromHandle(menu)) OnHint(m->HintOf(LOWORD(wParam)));
        return false;
    }
    }
    return false;
}

namespace {

bool IsCopyKey(WORD key, unsigned modifiers) {
    return modifiers == kmCtrl && (key == 'C' || key == VK_INSERT);
}

} // namespace

bool Tfme_Sections::lst_DebugKey(WORD key, unsigned modifiers) {
    if (modifiers == 0) {
        switch (key) {
        case VK_INSERT:
            core_.mnu_InsertNoteClick();
            return true;
        case VK_RETURN:
            core_.mnu_EditInfoClick();
            return true;
        case VK_DELETE:
            core_.mnu_DeleteInfoClick();
            return true;
        }
    }
    if (IsCopyKey(key, modifiers)) {
        CopyDebugRows();
        return true;
    }
    if (modifiers == kmCtrl && key == VK_DELETE) {
        core_.mnu_ClearDebugInfosClick();
        return true;
    }
    if (modifiers == kmCtrl && key == 'A') {
        lst_Debug.SelectAll();
        return true;
    }
    if (modifiers == 0 && key == VK_ESCAPE && FindBar.Visible()) {
        CloseFindBar();
        return true;
    }
    return SectionKey(lst_Debug.Handle(), key, modifiers);
}

bool Tfme_Sections::lst_MessagesKey(WORD key, unsigned modifiers) {
    if (modifiers == 0) {
        switch (key) {
        case VK_RETURN:
            core_.mnu_AddMessageClick();
            return true;
        case VK_F2:
            core_.mnu_EditMessageClick();
            return true;
        case VK_INSERT:
            core_.mnu_InsertMessageClick();
            return true;
        case VK_DELETE:
            core_.mnu_DeleteMessageClick();
            return true;
        }
    }
    if (IsCopyKey(key, modifiers)) {
        CopyMessageLines();
        return true;
    }
    if (modifiers == kmCtrl && key == VK_DELETE) {
        core_.mnu_ClearMessagesClick();
        return true;
    }
    if (modifiers == kmCtrl && key == 'A') {
        lst_Messages.SelectAll();
        return true;
    }
    return SectionKey(lst_Messages.Handle(), key, modifiers);
}

bool Tfme_Sections::SectionKey(HWND from, WORD key, unsigned modifiers) {
    if (key == VK_TAB && (modifiers & ~kmShift) == 0) {
        FocusNext(from, (modifiers & kmShift) != 0);
        return true;
    }
    if (modifiers == 0 && key == VK_F9) {
        core_.mnu_ClearInfoPadClick();
        return true;
    }
    if ((modifiers & ~kmShift) == 0 && (key == VK_F3 || key == VK_F2)) {
        bool forward = modifiers == 0;
        if (key == VK_F3)
            FindStep(forward);
        else
            GoToBookmark(forward);
        return true;
    }
    if (modifiers == kmCtrl) {
        switch (key) {
        case 'F':
            ShowFindBar();
            return true;
        case 'R':
            EditRules();
            return true;
        case VK_F2:
            ToggleBookmark();
            return true;
        }
    }
    TSpeedButton* button = nullptr;
    if (modifiers == 0 && key == VK_PAUSE) button = &btn_Pause;
    if (modifiers == kmCtrl) {
        switch (key) {
        case 'B':
            button = &btn_ShowMessage;
            break;
        case 'D':
            button = &btn_ShowData;
            break;
        case 'I':
            button = &btn_ShowInfoPad;
            break;
        case VK_RETURN:
            button = &btn_ShowViewer;
            break;
        case VK_F4:
            button = &btn_Close;
            break;
        case 'G':
            btn_GroupsDropDown();
            return true;
        }
    }
    if (!button) return false;
    button->Click();
    // A part that was just closed (or the whole section) gives the focus back.
    HWND focus = GetFocus();
    if (!Visible()) {
        if (focus == Handle() || IsChild(Handle(), focus)) SetFocus(GetAncestor(Handle(), GA_ROOT));
    } else if (focus && IsChild(Handle(), focus)) {
        std::vector<HWND> stops = TabStops();
        if (std::find(stops.begin(), stops.end(), focus) == stops.end())
            SetFocus(lst_Debug.Handle());
    }
    return true;
}

void Tfme_Sections::CopyDebugRows() {
    if (!clipboard_) return;
    std::vector<size_t> rows;
    for (int item : lst_Debug.SelectedItems())
        if (item >= 0 && size_t(item) < core_.VisibleCount())
            rows.push_back(core_.RowOfVisible(size_t(item)));
    if (!rows.empty()) clipboard_->SetText(DebugRowsCopyText(core_, rows));
}

void Tfme_Sections::CopyMessageLines() {
    if (!clipboard_) return;
    std::vector<size_t> lines;
    for (int item : lst_Messages.SelectedItems())
        if (item >= 0) lines.push_back(size_t(item));
    if (!lines.empty()) clipboard_->SetText(BillboardCopyText(core_.Billboard(), lines));
}

} // namespace vx
