// Tfme_Sections: building the frame's windows.
#include "sections/frame_Sections_win.h"

#include <algorithm>
#include <stdexcept>

namespace vx {

namespace {

constexpr TColor clAppWorkSpace = 0xFF00000C; // COLOR_APPWORKSPACE
constexpr int kToolsHeight = 49, kInfoHeight = 56, kCaptionHeight = 25;
constexpr int kMapInfoHeight = 37, kSplitterSize = 15;
constexpr int kButtonTop = 6;
constexpr int kInfoEditLeft = 90;

HFONT GuiFont(int height, int weight, const char* face) {
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    if (height) lf.lfHeight = height;
    lf.lfWeight = weight;
    if (face) lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("cannot create the section's ") + what);
}

} // namespace

Tfme_Sections::Tfme_Sections(HWND parent, const TSectionContext& context)
    : Exports(
          context.Platform,
          [host = context.Host] { return host ? host->MainCaption() : std::string("vxDebugger"); }),
      core_(context), finder_(core_.Rows()), shownRows_(finder_), context_(context),
      art_(SectionArt()), clipboard_(context.Platform.Clipboard) {
    core_.SetRowListener(&finder_);
    core_.SetShownRows(&shownRows_);
    connectionFont_.reset(GuiFont(-21, FW_BOLD, "Times New Roman"));
    memoFont_.reset(GuiFont(-13, FW_NORMAL, "Courier New"));

    ui::TWindow* parentWindow = TWindow::FromHandle(parent);
    ui::TPanelStyle style;
    style.Align = ui::TAlign::alClient;
    style.Width = 845;
    style.Height = 536;
    // Hidden until ShowSection; a hidden child takes no part in its parent's
    // layout, and its windows are made without showing on the screen.
    style.Visible = false;
    Check(Create(parentWindow, style, parentWindow ? nullptr : parent), "frame");

    toolTip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0,
                               0, 0, 0, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    CreateTools();
    CreateInfo();
    CreateWorkArea();
    CreateMenus();

    core_.OnChanged = [this](TSectionCore&, unsigned changes) { Changed(changes); };
    core_.OnConnected = [this](TSectionCore&) { LoadRules(); };
    if (context.Shared) SetTimeColumns(context.Shared->TimeColumns);
    Panel_WorkArea.OnResize = [this](ui::TWindow& w) {
        core_.SetWorkAreaSize(w.Width(), w.Height());
    };
    Panel_List.OnResize = [this](ui::TWindow&) { core_.RefreshInfo(); };
    // While hidden the frame is left out of its dock's layout; before it is
    // shown it takes the dock's present size, so its panels are laid out
    // from that.
    core_.OnShowing = [this](TSectionCore&) { FitToParent(); };
    FitToParent();
    core_.SetWorkAreaSize(Panel_WorkArea.Width(), Panel_WorkArea.Height());
    UpdateLabels();
    UpdateInfoPad();
    UpdatePanels();
}

Tfme_Sections::~Tfme_Sections() {
    core_.OnChanged = nullptr;
    core_.OnConnected = nullptr;
    core_.SetRowListener(nullptr);
    if (toolTip_) DestroyWindow(toolTip_);
    // All windows go now, while the core that their last notifications reach
    // and the fonts they use (members, freed after this) are still there.
    if (Handle()) DestroyWindow(Handle());
}

// The place the dock's layout gives the frame: its client area less its padding.
void Tfme_Sections::FitToParent() {
    HWND parent = GetParent(Handle());
    if (!parent) return;
    RECT r;
    GetClientRect(parent, &r);
    if (ui::TWindow* dock = TWindow::FromHandle(parent)) {
        r.left += dock->Padding.left;
        r.top += dock->Padding.top;
        r.right -= dock->Padding.right;
        r.bottom -= dock->Padding.bottom;
    }
    SetBounds(r.left, r.top, std::max<LONG>(0, r.right - r.left),
              std::max<LONG>(0, r.bottom - r.top));
}

void Tfme_Sections::AddToolTip(ui::TWindow& tool) {
    if (!toolTip_) return;
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(tool.Handle());
    ti.lpszText = const_cast<char*>(tool.Hint.c_str());
    SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void Tfme_Sections::CreateCaption(ui::TPanel& caption, ui::TWindow& parent, const char* text) {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alTop;
    s.Height = kCaptionHeight;
    s.Color = 0x800000; // navy
    s.FontColor = 0xFFFFFF;
    s.Alignment = ui::TTextAlign::taLeft;
    Check(caption.Create(&parent, s), "captions");
    caption.SetCaptionFont(GuiFont(0, FW_BOLD, nullptr));
    caption.SetCaption(text);
}

void Tfme_Sections::CreateTools() {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alTop;
    s.Height = kToolsHeight;
    Check(panel_tools.Create(this, s), "tool panel");
    struct Spec {
        TSpeedButton& Button;
        int Left, Image, Group;
        const char* Hint;
    };
    const Spec specs[] = {
        {btn_Close, 8, 1, 0, "Close this window"},
        {btn_Delete, 48, 30, 0, "Delete this frame"},
        {btn_ShowMessage, 96, 10, 1, "Shows or hides the messages"},
        {btn_ShowData, 136, 9, 2, "Shows or hides the received data"},
        {btn_ShowInfoPad, 176, 14, 4, "Shows or hides the info pad"},
        {btn_ShowViewer, 216, 32, 0, "Show the data viewer window"},
        {btn_Pause, 264, 31, 3, "Pause this section"},
    };
    for (const Spec& spec : specs) {
        TSpeedButtonStyle b;
        b.Left = spec.Left;
        b.Top = kButtonTop;
        b.ImageIndex = spec.Image;
        b.GroupIndex = spec.Group;
        b.Hint = spec.Hint;
        Check(spec.Button.Create(&panel_tools, b, art_.Glyphs, art_.GlyphsDisabled), "buttons");
        AddToolTip(spec.Button);
    }
    TSpeedButtonStyle g;
    g.Left = 312;
    g.Top = kButtonTop;
    g.Width = 50;
    g.ImageIndex = core_.GroupsGlyph();
    g.DropDown = true;
    Check(btn_Groups.Create(&panel_tools, g, art_.Glyphs, art_.GlyphsDisabled), "buttons");

    btn_Close.OnClick = [this](TSpeedButton&) { core_.act_Close(); };
    btn_Delete.OnClick = [this](TSpeedButton&) { core_.act_Delete(); };
    btn_ShowMessage.OnClick = [this](TSpeedButton& b) { core_.act_ShowMessages(b.Down()); };
    btn_ShowData.OnClick = [this](TSpeedButton& b) { core_.act_ShowData(b.Down()); };
    btn_ShowInfoPad.OnClick = [this](TSpeedButton& b) { core_.act_ShowInfoPad(b.Down()); };
    btn_ShowViewer.OnClick = [this](TSpeedButton&) { core_.act_ShowViewer(); };
    btn_Pause.OnClick = [this](TSpeedButton& b) { core_.act_Pause(b.Down()); };
    btn_Groups.OnClick = [this](TSpeedButton&) { core_.btn_GroupsClick(); };
    btn_Groups.OnDropDown = [this](TSpeedButton&) { btn_GroupsDropDown(); };
}

void Tfme_Sections::CreateInfo() {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alTop;
    s.Height = kInfoHeight;
    s.Color = clAppWorkSpace;
    Check(Panel_Info.Create(this, s), "info panel");
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    Check(lbl_ID.Create(&Panel_Info, "Client ID:", 8, 6, font, 0xFFFFFF, clAppWorkSpace) &&
              lbl_Application.Create(&Panel_Info, "Application Name:", 8, 21, font, 0xFFFFFF,
                                     clAppWorkSpace) &&
              lbl_DebugLevel.Create(&Panel_Info, "Debug Level:", 8, 36, font, 0xFFFFFF,
                                    clAppWorkSpace) &&
              lbl_Disconnected.Create(&Panel_Info, "DISCONNECTED", 0, 0, connectionFont_.get(),
                                      clRed, clAppWorkSpace),
          "labels");
    lbl_Disconnected.SetVisible(false);
    // Information only: the panel takes no clicks.
    EnableWindow(Panel_Info.Handle(), FALSE);
    Panel_Info.OnResize = [this](ui::TWindow&) { Panel_InfoResize(); };
}

void Tfme_Sections::CreateWorkArea() {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alClient;
    Check(Panel_WorkArea.Create(this, s), "work area");

    // Created in layout order: the billboard first takes the bottom edge, then
    // its splitter, then the data panel the right of what is left.
    ui::TPanelStyle memo;
    memo.Align = ui::TAlign::alBottom;
    memo.Height = 129;
    Check(Panel_Memo_Base.Create(&Panel_WorkArea, memo), "billboard");
    CreateCaption(Panel_MemoCaption, Panel_Memo_Base, "Billboard");
    lst_Messages.MultiSelect = true;
    Check(lst_Messages.Create(
              &Panel_Memo_Base,
              {{"ID", 50, LVCFMT_CENTER, false}, {"Message", 400, LVCFMT_LEFT, false}}, 1, 0),
          "billboard list");
    lst_Messages.Align = ui::TAlign::alClient;
    lst_Messages.Hint = "Billboard displays the received messages";
    lst_Messages.OnGetText = [this](int item, int column) -> std::string {
        const TBillboard& b = core_.Billboard();
        if (item < 0 || size_t(item) >= b.Count()) return {};
        const std::string& line = b.Line(size_t(item));
        return std::string(column == 0 ? TBillboard::IdPart(line) : TBillboard::MessagePart(line));
    };
    // The line the user moves to is the one the commands act on, also while
    // several are selected.
    lst_Messages.OnSelectChanged = [this](int item) { core_.SelectMessage(size_t(item)); };
    lst_Messages.OnFocusChanged = [this](int item) { core_.SelectMessage(size_t(item)); };
    lst_Messages.OnDblClick = [this](int) { core_.mnu_EditMessageClick(); };
    lst_Messages.OnKey = [this](WORD key, unsigned m) { return lst_MessagesKey(key, m); };
    lst_Messages.OnContextMenu = [this](ui::TWindow&, POINT pt) { ShowPopup(PopupMenu_1, pt); };
    lst_Messages.OnCustomDraw = [this](NMLVCUSTOMDRAW& draw) {
        return lst_MessagesCustomDraw(draw);
    };

    ui::TSplitterStyle split;
    split.Align = ui::TAlign::alBottom;
    split.Size = kSplitterSize;
    split.MinSize = 30;
    Check(Splitter_1.Create(&Panel_WorkArea, &Panel_Memo_Base, split), "splitter");
    Splitter_1.OnMoved = [this](ui::TSplitter&) {
        core_.MemoPanelDragged(Panel_Memo_Base.Height());
    };

    ui::TPanelStyle data;
    data.Align = ui::TAlign::alRight;
    data.Width = 186;
    Check(Panel_Data_Base.Create(&Panel_WorkArea, data), "data panel");
    CreateCaption(Panel_DataCaption, Panel_Data_Base, "Data");
    Check(Memo_Data.Create(&Panel_Data_Base,
                           ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL |
                               WS_HSCROLL | WS_VSCROLL,
                           WS_EX_CLIENTEDGE, 0, 0, 100, 100),
          "data memo");
    Memo_Data.Align = ui::TAlign::alClient;
    Memo_Data.SetFont(memoFont_.get());
    Memo_Data.Hint = "Click double to zoom...";
    SendMessageA(Memo_Data.Handle(), EM_SETLIMITTEXT, 0x7FFFFFFE, 0); // data blocks can be large
    Memo_Data.OnDblClick = [this](TEditBox&) { core_.act_ShowViewer(); };
    Memo_Data.OnKey = [this](WORD key, unsigned m) {
        return SectionKey(Memo_Data.Handle(), key, m);
    };

    split.Align = ui::TAlign::alRight;
    Check(Splitter_2.Create(&Panel_WorkArea, &Panel_Data_Base, split), "splitter");
    Splitter_2.OnMoved = [this](ui::TSplitter&) {
        core_.DataPanelDragged(Panel_Data_Base.Width());
    };

    ui::TPanelStyle list;
    list.Align = ui::TAlign::alClient;
    Check(Panel_List_Base.Create(&Panel_WorkArea, list), "list panel");
    CreateCaption(Panel_ListCaption, Panel_List_Base, "Debug Information");
    Check(Panel_List.Create(&Panel_List_Base, list), "list panel");
    CreateListArea();
}

void Tfme_Sections::CreateListArea() {
    // Bottom up: the info pad under the source fields, the list above both;
    // the find bar over the list comes when it is first shown.
    CreateInfoPad();
    CreateMapInfo();
    std::vector<TListColumn> columns;
    for (int c = 0; c < TDebugRowStore::kColumnCount; ++c)
        columns.push_back({core_.HeaderCaption(c),
                           c == 2   ? 476
                           : c == 3 ? 80
                                    : 40,
                           LVCFMT_LEFT, c != 2});
    lst_Debug.MultiSelect = true;
    Check(lst_Debug.Create(&Panel_List, columns, 2, LVS_EX_HEADERDRAGDROP | LVS_EX_SUBITEMIMAGES),
          "debug list");
    lst_Debug.Align = ui::TAlign::alClient;
    lst_Debug.Hint = "List of received messages";
    // Rows are 20 high: the list takes its row height from its small image
    // list (the rows draw their icons themselves) plus a padding of its own,
    // which is measured on a trial row.
    HWND list = lst_Debug.Handle();
    ListView_SetImageList(list, ImageList_Create(16, kDebugRowHeight, ILC_COLOR32, 0, 1),
                          LVSIL_SMALL);
    lst_Debug.SetCount(1);
    RECT trial{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&trial));
    lst_Debug.SetCount(0);
    int padding = (trial.bottom - trial.top) - kDebugRowHeight;
    if (padding > 0 && padding < kDebugRowHeight) {
        HIMAGELIST sized = ImageList_Create(16, kDebugRowHeight - padding, ILC_COLOR32, 0, 1);
        if (HIMAGELIST old = ListView_SetImageList(list, sized, LVSIL_SMALL))
            ImageList_Destroy(old);
    }
    lst_Debug.OnGetText = [this](int item, int column) {
        if (column >= TDebugRowStore::kColumnCount) {
            if (item < 0 || size_t(item) >= core_.VisibleCount()) return std::string();
            return TimeCell(core_.RowOfVisible(size_t(item)), column);
        }
        return core_.CellText(size_t(item), column);
    };
    lst_Debug.OnGetImage = [this](int item, int column) {
        if (item < 0 || size_t(item) >= core_.VisibleCount()) return kNoImage;
        return core_.lst_DebugGetImageIndex(core_.RowOfVisible(size_t(item)), column);
    };
    lst_Debug.OnFocusChanged = [this](int item) {
        if (size_t(item) < core_.VisibleCount()) core_.FocusRow(core_.RowOfVisible(size_t(item)));
    };
    lst_Debug.OnDblClick = [this](int item) {
        if (item >= 0) core_.mnu_EditInfoClick();
    };
    lst_Debug.OnKey = [this](WORD key, unsigned m) { return lst_DebugKey(key, m); };
    lst_Debug.OnCustomDraw = [this](NMLVCUSTOMDRAW& draw) { return lst_DebugCustomDraw(draw); };
    lst_Debug.OnContextMenu = [this](ui::TWindow&, POINT pt) { ShowPopup(PopupMenu_3, pt); };
}

void Tfme_Sections::CreateInfoPad() {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alBottom;
    s.Height = kInfoPadHeight;
    Check(Panel_InfoPad.Create(&Panel_List, s), "info pad");
    Panel_InfoPad.Hint = "Information Pad";
    CreateCaption(Panel_InfoPadCaption, Panel_InfoPad, "InfoPad");
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    TLabel* labels[] = {&lbl_Info_1, &lbl_Info_2, &lbl_Info_3};
    TEditBox* edits[] = {&Edit_Info_1, &Edit_Info_2, &Edit_Info_3};
    const char* captions[] = {"1st Info Line", "2nd Info Line", "3rd Info Line"};
    for (int i = 0; i < 3; ++i) {
        int top = kCaptionHeight + 4 + i * 25;
        // Read-only rather than disabled: the keyboard reaches the values and
        // they can be selected and copied.
        Check(labels[i]->Create(&Panel_InfoPad, captions[i], 8, top + 4, font, clWindowText,
                                clBtnFace) &&
                  edits[i]->Create(&Panel_InfoPad, ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                                   kInfoEditLeft, top, 200, 21),
              "info lines");
        TEditBox& edit = *edits[i];
        edit.OnKey = [this, &edit](WORD key, unsigned m) {
            return SectionKey(edit.Handle(), key, m);
        };
        edit.OnContextMenu = [this](ui::TWindow&, POINT pt) { ShowPopup(PopupMenu_2, pt); };
    }
    Panel_InfoPad.OnResize = [this](ui::TWindow&) { Panel_InfoPadResize(); };
    Panel_InfoPad.OnContextMenu = [this](ui::TWindow&, POINT pt) { ShowPopup(PopupMenu_2, pt); };
}

void Tfme_Sections::CreateMapInfo() {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alBottom;
    s.Height = kMapInfoHeight;
    Check(Panel_MapInfo.Create(&Panel_List, s), "source fields");
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    struct Field {
        TLabel& Label;
        const char* Caption;
        int LabelLeft;
        TEditBox& Edit;
        int Left, Width;
        const char* Hint;
    };
    const Field fields[] = {
        {lbl_UnitName, "Unit name:", 8, Edit_UnitName, 64, 170,
         "Unit file name where the debugger received the selected message from"},
        {lbl_Procedure, "Procedure:", 244, Edit_Procedure, 302, 220,
         "Procedure name which sent the selected message"},
        {lbl_LineNumber, "Line:", 532, Edit_LineNumber, 560, 60, "Sender's line number"},
    };
    for (const Field& f : fields) {
        Check(f.Label.Create(&Panel_MapInfo, f.Caption, f.LabelLeft, 12, font, clWindowText,
                             clBtnFace) &&
                  f.Edit.Create(&Panel_MapInfo, ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                                f.Left, 8, f.Width, 21),
              "source fields");
        f.Edit.Hint = f.Hint;
        TEditBox& edit = f.Edit;
        edit.OnKey = [this, &edit](WORD key, unsigned m) {
            return SectionKey(edit.Handle(), key, m);
        };
    }
}

namespace {

// Whether a part can be seen: shown, enabled, and not cut away by a panel of
// the frame that is closed to 0 pixels.
bool Showing(HWND hwnd, HWND frame) {
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return false;
    RECT r;
    GetWindowRect(hwnd, &r);
    for (HWND p = GetParent(hwnd); p; p = GetParent(p)) {
        RECT client;
        GetClientRect(p, &client);
        MapWindowPoints(p, nullptr, reinterpret_cast<POINT*>(&client), 2);
        if (!IntersectRect(&r, &r, &client)) return false;
        if (p == frame) break;
    }
    return true;
}

} // namespace

std::vector<HWND> Tfme_Sections::TabStops() const {
    const HWND order[] = {FindBar.Edit.Handle(),   lst_Debug.Handle(),       Edit_UnitName.Handle(),
                          Edit_Procedure.Handle(), Edit_LineNumber.Handle(), Memo_Data.Handle(),
                          Edit_Info_1.Handle(),    Edit_Info_2.Handle(),     Edit_Info_3.Handle(),
                          lst_Messages.Handle()};
    std::vector<HWND> stops;
    for (HWND h : order)
        if (h && Showing(h, Handle())) stops.push_back(h);
    return stops;
}

void Tfme_Sections::FocusNext(HWND from, bool back) {
    std::vector<HWND> stops = TabStops();
    if (stops.empty()) return;
    size_t n = stops.size(), at = n;
    for (size_t i = 0; i < n; ++i)
        if (stops[i] == from || IsChild(stops[i], from)) at = i;
    size_t next = at == n ? (back ? n - 1 : 0) : (back ? at + n - 1 : at + 1) % n;
    HWND target = stops[next];
    SetFocus(target);
    // As in a dialog: a field reached by Tab has its whole text selected.
    char cls[16] = {};
    GetClassNameA(target, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0) SendMessageA(target, EM_SETSEL, 0, -1);
}

} // namespace vx
