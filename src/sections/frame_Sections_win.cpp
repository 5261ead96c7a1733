// Tfme_Sections: building the frame's windows.
#include "sections/frame_Sections_win.h"

#include "ui/Dpi_win.h"

#include <algorithm>
#include <stdexcept>

namespace vx {

namespace {

constexpr TColor clAppWorkSpace = 0xFF00000C; // COLOR_APPWORKSPACE
// Measures at 96 pixels per inch; S() gives them at the frame's.
constexpr int kToolsHeight = 49, kInfoHeight = 56, kCaptionHeight = 25;
constexpr int kMapInfoHeight = 37, kSplitterSize = 15;
constexpr int kButtonTop = 6;
constexpr int kInfoEditLeft = 90;

void Check(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("cannot create the section's ") + what);
}

// One tooltip window for the tool buttons of all sections under one top-level
// window rather than a top-level window per section, which is made for
// every client. The tooltip belongs to that window
// and goes with it; a new one is made for the next frame then.
HWND SharedToolTip(HWND frame) {
    struct TTip {
        HWND Root, Tip;
    };
    static std::vector<TTip> tips;
    tips.erase(std::remove_if(tips.begin(), tips.end(),
                              [](const TTip& t) {
                                  return !IsWindow(t.Tip) || GetWindow(t.Tip, GW_OWNER) != t.Root;
                              }),
               tips.end());
    HWND root = GetAncestor(frame, GA_ROOT);
    for (const TTip& t : tips)
        if (t.Root == root) return t.Tip;
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0,
                               0, 0, 0, root, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (tip) tips.push_back({root, tip});
    return tip;
}

} // namespace

Tfme_Sections::Tfme_Sections(HWND parent, const TSectionContext& context)
    : Exports(
          context.Platform,
          [host = context.Host] { return host ? host->MainCaption() : std::string("vxDebugger"); }),
      core_(context), finder_(core_.Rows()), shownRows_(finder_), context_(context),
      dpi_(ui::WindowDpi(parent)), art_(&SectionArt(dpi_)), clipboard_(context.Platform.Clipboard) {
    core_.SetRowListener(&finder_);
    core_.SetShownRows(&shownRows_);
    core_.SetPixelsPerInch(int(dpi_));
    MakeFonts();

    ui::TWindow* parentWindow = TWindow::FromHandle(parent);
    ui::TPanelStyle style;
    style.Align = ui::TAlign::alClient;
    style.Width = S(845);
    style.Height = S(536);
    // Hidden until ShowSection; a hidden child takes no part in its parent's
    // layout, and its windows are made without showing on the screen.
    style.Visible = false;
    Check(Create(parentWindow, style, parentWindow ? nullptr : parent), "frame");

    toolTip_ = SharedToolTip(Handle());
    // The list that takes the rows now, with the empty panels of the tools and
    // the header so that the work area has its size from the start; the other
    // parts in steps of their own (BuildStep).
    ui::TPanelStyle tools;
    tools.Align = ui::TAlign::alTop;
    tools.Height = S(kToolsHeight);
    Check(panel_tools.Create(this, tools), "tool panel");
    ui::TPanelStyle info;
    info.Align = ui::TAlign::alTop;
    info.Height = S(kInfoHeight);
    info.Color = clAppWorkSpace;
    Check(Panel_Info.Create(this, info), "info panel");
    // Information only: the panel takes no clicks.
    EnableWindow(Panel_Info.Handle(), FALSE);
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
    // The list was made with drawing off and lays itself out once now.
    lst_Debug.SetRedraw(true);
    core_.SetWorkAreaSize(Panel_WorkArea.Width(), Panel_WorkArea.Height());
    UpdatePanels();
    if (!PostMessageA(Handle(), kBuildMessage, 0, 0)) FinishBuild();
}

// A section is made while records flood in (its client's first record makes
// it), and under Wine each of its windows costs the window several calls to
// the server, which are slow while senders keep it busy: a whole section took
// up to 200 ms of the window's time. So it is made in steps, each a message of
// its own, and the window answers others in between: first the list that
// takes the rows (with the menus), then the tools, the header, the billboard,
// the data panel, the info pad and the source fields, then their layout. The
// frame stays hidden until all that has come (windows made and moved inside a
// shown frame cost Wine many times more), and shows what the core holds in a
// step of its own. Parts that are not made yet are left alone by everything
// that keeps the windows up to date (their handles are null); a part that
// cannot be made is left out, and the section shows without it.
void Tfme_Sections::BuildStep() {
    const int step = built_;
    try {
        BuildPart(step);
    } catch (const std::exception&) {
    }
    if (step >= bsDone) return;
    ++built_;
    if (built_ == bsDone) {
        // Labels and info pad were set while hidden; the rest follows with
        // the next update.
        Changed(scRows | scFocus | scDetails | scRepaint | scBillboard);
        UpdateVisible(showToFront_);
        showToFront_ = false;
    }
}

void Tfme_Sections::BuildPart(int step) {
    switch (step) {
    case bsTools:
        CreateTools();
        btn_Pause.SetDown(core_.Paused);
        break;
    case bsInfo:
        CreateInfo();
        break;
    case bsBillboard:
        CreateBillboard();
        lst_Messages.SetRedraw(true);
        break;
    case bsData:
        CreateDataPanel();
        break;
    case bsInfoPad:
        CreateInfoPad();
        break;
    case bsMapInfo:
        CreateMapInfo();
        break;
    case bsLayout:
        core_.SetWorkAreaSize(Panel_WorkArea.Width(), Panel_WorkArea.Height());
        UpdatePanels();
        UpdateLabels();
        UpdateInfoPad();
        Panel_MapInfoResize();
        Panel_InfoPadResize();
        break;
    case bsShow:
        // The dock may have changed size since: laid out again while hidden.
        FitToParent();
        break;
    }
}

void Tfme_Sections::FinishBuild() {
    while (built_ < bsDone)
        BuildStep();
}

int Tfme_Sections::S(int px) const {
    return ui::Scale(px, dpi_);
}

void Tfme_Sections::MakeFonts() {
    connectionFont_.Reset(ui::CreateGuiFont(dpi_, -21, FW_BOLD, "Times New Roman"));
    memoFont_.Reset(ui::CreateGuiFont(dpi_, -13, FW_NORMAL, "Courier New"));
    guiFont_.Reset(dpi_ == ui::SystemDpi() ? nullptr : ui::CreateGuiFont(dpi_));
}

HFONT Tfme_Sections::GuiFont() const {
    return guiFont_.Get() ? guiFont_.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void Tfme_Sections::ChangeDpi(UINT dpi) {
    if (dpi == dpi_ || dpi == 0) return;
    FinishBuild();
    const UINT old = dpi_;
    const HFONT oldGui = GuiFont();
    const HFONT oldConnection = connectionFont_.Get(), oldMemo = memoFont_.Get();
    dpi_ = dpi;
    // The old fonts stay alive until every window has the new ones.
    ui::ScopedFont keepConnection = std::move(connectionFont_), keepMemo = std::move(memoFont_),
                   keepGui = std::move(guiFont_);
    MakeFonts();
    ui::ReplaceFont(Handle(), oldGui, GuiFont());
    ui::ReplaceFont(Handle(), oldConnection, connectionFont_.Get());
    ui::ReplaceFont(Handle(), oldMemo, memoFont_.Get());
    for (ui::TPanel* caption :
         {&Panel_MemoCaption, &Panel_DataCaption, &Panel_ListCaption, &Panel_InfoPadCaption})
        caption->SetCaptionFont(ui::CreateGuiFont(dpi_, 0, FW_BOLD));
    art_ = &SectionArt(dpi_);
    for (TSpeedButton* b : {&btn_Close, &btn_Delete, &btn_ShowMessage, &btn_ShowData,
                            &btn_ShowInfoPad, &btn_ShowViewer, &btn_Pause, &btn_Groups})
        b->SetImages(art_->Glyphs, art_->GlyphsDisabled);
    for (TLabel* l : {&lbl_ID, &lbl_Application, &lbl_DebugLevel, &lbl_Disconnected, &lbl_UnitName,
                      &lbl_Procedure, &lbl_LineNumber, &lbl_Info_1, &lbl_Info_2, &lbl_Info_3})
        l->FontChanged();
    lst_Debug.RescaleColumns(old, dpi_);
    lst_Messages.RescaleColumns(old, dpi_);
    SetDebugRowHeight();
    FitTimeColumn();
    core_.SetPixelsPerInch(int(dpi_));
    FitToParent();
    Realign();
    Panel_InfoResize();
    Panel_InfoPadResize();
    Panel_MapInfoResize();
    FindBar.Arrange();
    InvalidateRect(Handle(), nullptr, TRUE);
}

Tfme_Sections::~Tfme_Sections() {
    core_.OnChanged = nullptr;
    core_.OnConnected = nullptr;
    core_.SetRowListener(nullptr);
    // The shared tooltip forgets this frame's buttons.
    if (toolTip_ && IsWindow(toolTip_))
        for (HWND tool : tools_) {
            TOOLINFOA ti{};
            ti.cbSize = sizeof ti;
            ti.hwnd = Handle();
            ti.uId = reinterpret_cast<UINT_PTR>(tool);
            SendMessageA(toolTip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        }
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
    const LONG width = std::max<LONG>(0, r.right - r.left),
               height = std::max<LONG>(0, r.bottom - r.top);
    const RECT now = Bounds();
    if (now.left == r.left && now.top == r.top && now.right - now.left == width &&
        now.bottom - now.top == height)
        return; // a move to where it is costs Wine a server call
    SetBounds(r.left, r.top, width, height);
}

void Tfme_Sections::AddToolTip(TSpeedButton& tool) {
    if (!toolTip_) return;
    TOOLINFOA ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_IDISHWND; // the button relays its mouse messages itself
    ti.hwnd = Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(tool.Handle());
    ti.lpszText = const_cast<char*>(tool.Hint.c_str());
    if (SendMessageA(toolTip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti))) {
        tools_.push_back(tool.Handle());
        tool.ToolTip = toolTip_;
    }
}

void Tfme_Sections::CreateCaption(ui::TPanel& caption, ui::TWindow& parent, const char* text) {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alTop;
    s.Height = S(kCaptionHeight);
    s.Color = 0x800000; // navy
    s.FontColor = 0xFFFFFF;
    s.Alignment = ui::TTextAlign::taLeft;
    Check(caption.Create(&parent, s), "captions");
    caption.SetCaptionFont(ui::CreateGuiFont(dpi_, 0, FW_BOLD));
    caption.SetCaption(text);
}

void Tfme_Sections::CreateTools() {
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
        b.Images = art_->Glyphs;
        b.DisabledImages = art_->GlyphsDisabled;
        b.Left = S(spec.Left);
        b.Top = S(kButtonTop);
        b.Width = S(b.Width);
        b.Height = S(b.Height);
        b.ImageIndex = spec.Image;
        b.GroupIndex = spec.Group;
        b.Hint = spec.Hint;
        Check(spec.Button.Create(&panel_tools, b), "buttons");
        AddToolTip(spec.Button);
    }
    TSpeedButtonStyle g;
    g.Images = art_->Glyphs;
    g.DisabledImages = art_->GlyphsDisabled;
    g.Left = S(312);
    g.Top = S(kButtonTop);
    g.Width = S(50);
    g.Height = S(g.Height);
    g.ImageIndex = core_.GroupsGlyph();
    g.DropDown = true;
    Check(btn_Groups.Create(&panel_tools, g), "buttons");

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
    HFONT font = GuiFont();
    auto info = [this, font](const char* caption, int top) {
        return TLabelStyle{caption, S(8), S(top), font, 0xFFFFFF, clAppWorkSpace};
    };
    Check(lbl_ID.Create(&Panel_Info, info("Client ID:", 6)) &&
              lbl_Application.Create(&Panel_Info, info("Application Name:", 21)) &&
              lbl_DebugLevel.Create(&Panel_Info, info("Debug Level:", 36)) &&
              lbl_Disconnected.Create(&Panel_Info, {"DISCONNECTED", 0, 0, connectionFont_.Get(),
                                                    clRed, clAppWorkSpace}),
          "labels");
    lbl_Disconnected.SetVisible(false);
    Panel_Info.OnResize = [this](ui::TWindow&) { Panel_InfoResize(); };
}

void Tfme_Sections::CreateWorkArea() {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alClient;
    Check(Panel_WorkArea.Create(this, s), "work area");
    ui::TPanelStyle list;
    list.Align = ui::TAlign::alClient;
    Check(Panel_List_Base.Create(&Panel_WorkArea, list), "list panel");
    CreateCaption(Panel_ListCaption, Panel_List_Base, "Debug Information");
    Check(Panel_List.Create(&Panel_List_Base, list), "list panel");
    CreateListArea();
}

// Made after the list, in layout order: the billboard first takes the bottom
// edge, then its splitter; then the data panel the right of what is left.
void Tfme_Sections::CreateBillboard() {
    ui::TPanelStyle memo;
    memo.Align = ui::TAlign::alBottom;
    memo.Height = S(129);
    Check(Panel_Memo_Base.Create(&Panel_WorkArea, memo), "billboard");
    CreateCaption(Panel_MemoCaption, Panel_Memo_Base, "Billboard");
    TReportListStyle billboard;
    billboard.Columns = {{"ID", S(50), LVCFMT_CENTER, false},
                         {"Message", S(400), LVCFMT_LEFT, false}};
    billboard.StretchColumn = 1;
    billboard.MultiSelect = true;
    billboard.DrawLater = true;
    Check(lst_Messages.Create(&Panel_Memo_Base, billboard), "billboard list");
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
    split.Size = S(kSplitterSize);
    split.MinSize = S(30);
    Check(Splitter_1.Create(&Panel_WorkArea, &Panel_Memo_Base, split), "splitter");
    Splitter_1.OnMoved = [this](ui::TSplitter&) {
        core_.MemoPanelDragged(Panel_Memo_Base.Height());
    };
}

void Tfme_Sections::CreateDataPanel() {
    ui::TSplitterStyle split;
    split.Size = S(kSplitterSize);
    split.MinSize = S(30);
    ui::TPanelStyle data;
    data.Align = ui::TAlign::alRight;
    data.Width = S(186);
    Check(Panel_Data_Base.Create(&Panel_WorkArea, data), "data panel");
    CreateCaption(Panel_DataCaption, Panel_Data_Base, "Data");
    TEditBoxStyle memoData;
    memoData.Width = memoData.Height = 100;
    memoData.MultiLine = memoData.ScrollBars = memoData.ReadOnly = true;
    memoData.MaxLength = 0x7FFFFFFE; // data blocks can be large
    Check(Memo_Data.Create(&Panel_Data_Base, memoData), "data memo");
    Memo_Data.Align = ui::TAlign::alClient;
    Memo_Data.SetFont(memoFont_.Get());
    Memo_Data.Hint = "Click double to zoom...";
    Memo_Data.OnDblClick = [this](TEditBox&) { core_.act_ShowViewer(); };
    Memo_Data.OnKey = [this](WORD key, unsigned m) {
        return SectionKey(Memo_Data.Handle(), key, m);
    };

    split.Align = ui::TAlign::alRight;
    Check(Splitter_2.Create(&Panel_WorkArea, &Panel_Data_Base, split), "splitter");
    Splitter_2.OnMoved = [this](ui::TSplitter&) {
        core_.DataPanelDragged(Panel_Data_Base.Width());
    };
}

void Tfme_Sections::CreateListArea() {
    // The info pad and the source fields under the list come in later steps
    // (bottom up: the info pad first); the find bar over the list comes when
    // it is first shown.
    TReportListStyle debug;
    for (int c = 0; c < TDebugRowStore::kColumnCount; ++c)
        debug.Columns.push_back({core_.HeaderCaption(c),
                                 S(c == 2   ? 476
                                   : c == 3 ? 80
                                            : 40),
                                 LVCFMT_LEFT, c != 2});
    debug.StretchColumn = 2;
    debug.MultiSelect = debug.HeaderDragDrop = debug.SubItemImages = true;
    debug.DrawLater = true;
    Check(lst_Debug.Create(&Panel_List, debug), "debug list");
    lst_Debug.Align = ui::TAlign::alClient;
    lst_Debug.Hint = "List of received messages";
    SetDebugRowHeight();
    FitTimeColumn();
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

// Rows are 20 high at 96 pixels per inch, and never lower than the font
// needs: the list takes its row height from its small image list (the rows
// draw their icons themselves) plus a padding of its own, which is measured
// on a trial row.
// A time is as wide as the list's font makes it, which does not grow quite in
// step with the pixels per inch: the column widens rather than cut the time.
void Tfme_Sections::FitTimeColumn() {
    const HWND list = lst_Debug.Handle();
    ui::ScopedGetDC dc(list);
    ui::ScopedSelectObject font(dc, GuiFont());
    SIZE size{};
    GetTextExtentPoint32A(dc, "00:00:00 AM", 11, &size);
    const int width = std::max(S(80), int(size.cx) + S(9)); // the list's own margins
    if (ListView_GetColumnWidth(list, 3) < width) ListView_SetColumnWidth(list, 3, width);
}

void Tfme_Sections::SetDebugRowHeight() {
    HWND list = lst_Debug.Handle();
    const int row = std::max(S(kDebugRowHeight), ui::FontHeight(GuiFont()) + S(4));
    const int width = S(16);
    // The list owns the one it takes; the one it gives back is ours.
    ui::ScopedImageList(
        ListView_SetImageList(list, ImageList_Create(width, row, ILC_COLOR32, 0, 1), LVSIL_SMALL))
        .Reset();
    const int count = lst_Debug.Count();
    if (count == 0) lst_Debug.SetCount(1);
    RECT trial{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&trial));
    if (count == 0) lst_Debug.SetCount(0);
    int padding = (trial.bottom - trial.top) - row;
    if (padding > 0 && padding < row) {
        HIMAGELIST sized = ImageList_Create(width, row - padding, ILC_COLOR32, 0, 1);
        ui::ScopedImageList(ListView_SetImageList(list, sized, LVSIL_SMALL)).Reset();
    }
}

void Tfme_Sections::CreateInfoPad() {
    ui::TPanelStyle s;
    s.Align = ui::TAlign::alBottom;
    s.Height = S(kInfoPadHeight);
    Check(Panel_InfoPad.Create(&Panel_List, s), "info pad");
    Panel_InfoPad.Hint = "Information Pad";
    CreateCaption(Panel_InfoPadCaption, Panel_InfoPad, "InfoPad");
    HFONT font = GuiFont();
    TLabel* labels[] = {&lbl_Info_1, &lbl_Info_2, &lbl_Info_3};
    TEditBox* edits[] = {&Edit_Info_1, &Edit_Info_2, &Edit_Info_3};
    const char* captions[] = {"1st Info Line", "2nd Info Line", "3rd Info Line"};
    for (int i = 0; i < 3; ++i) {
        int top = S(kCaptionHeight + 4 + i * 25);
        // Read-only rather than disabled: the keyboard reaches the values and
        // they can be selected and copied.
        TEditBoxStyle value;
        value.Left = S(kInfoEditLeft);
        value.Top = top;
        value.Width = S(200);
        value.Height = S(21);
        value.ReadOnly = true;
        Check(labels[i]->Create(&Panel_InfoPad, {captions[i], S(8), top + S(4), font}) &&
                  edits[i]->Create(&Panel_InfoPad, value),
              "info lines");
        edits[i]->SetFont(font);
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
    s.Height = S(kMapInfoHeight);
    Check(Panel_MapInfo.Create(&Panel_List, s), "source fields");
    HFONT font = GuiFont();
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
        TEditBoxStyle value;
        value.Left = S(f.Left);
        value.Top = S(8);
        value.Width = S(f.Width);
        value.Height = S(21);
        value.ReadOnly = true;
        Check(f.Label.Create(&Panel_MapInfo, {f.Caption, S(f.LabelLeft), S(12), font}) &&
                  f.Edit.Create(&Panel_MapInfo, value),
              "source fields");
        f.Edit.SetFont(font);
        f.Edit.Hint = f.Hint;
        TEditBox& edit = f.Edit;
        edit.OnKey = [this, &edit](WORD key, unsigned m) {
            return SectionKey(edit.Handle(), key, m);
        };
    }
    Panel_MapInfo.OnResize = [this](ui::TWindow&) { Panel_MapInfoResize(); };
}

// The source fields keep their places where the panel has room for them; a
// label never runs under its field (a wider font at another pixels per inch),
// and in a narrow panel the fields give up width, in their proportions, so
// that every label stays readable.
void Tfme_Sections::Panel_MapInfoResize() {
    struct Field {
        TLabel& Label;
        TEditBox& Edit;
        int LabelLeft, Left, Width; // at 96 pixels per inch
    };
    const Field fields[] = {{lbl_UnitName, Edit_UnitName, 8, 64, 170},
                            {lbl_Procedure, Edit_Procedure, 244, 302, 220},
                            {lbl_LineNumber, Edit_LineNumber, 532, 560, 60}};
    const int room = Panel_MapInfo.Width() - S(8);
    int labels = 0, design = 0;
    for (const Field& f : fields) {
        labels += f.Label.Width() + S(3) + S(10);
        design += S(f.Width);
    }
    int x = 0;
    for (const Field& f : fields)
        x = std::max(S(f.Left), std::max(x, S(f.LabelLeft)) + f.Label.Width() + S(3)) + S(f.Width) +
            S(10);
    // Narrower than the design: the fields share what the labels leave.
    const bool shrink = x - S(10) > room;
    const int share = std::max(0, room - S(8) - labels + S(10));
    x = S(8);
    for (const Field& f : fields) {
        const int labelLeft = shrink ? x : std::max(S(f.LabelLeft), x);
        const int left = shrink ? labelLeft + f.Label.Width() + S(3)
                                : std::max(S(f.Left), labelLeft + f.Label.Width() + S(3));
        const int width =
            shrink ? std::max(S(20), design ? share * S(f.Width) / design : 0) : S(f.Width);
        RECT lr = f.Label.Bounds(), er = f.Edit.Bounds();
        SetWindowPos(f.Label.Handle(), nullptr, labelLeft, lr.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(f.Edit.Handle(), nullptr, left, er.top, width, er.bottom - er.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        x = left + width + S(10);
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
