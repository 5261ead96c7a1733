// The main window's components: actions, menus, panels, side bar, status bar,
// tray icon and timer, created in the order the layout needs.
#include "forms/ArtImages_win.h"
#include "forms/form_Splash_win.h"
#include "mainwindow/SectionManager.h"
#include "mainwindow/form_MainWindow_win.h"
#include "resource_ids.h"
#include "sections/frame_Sections_win.h"
#include "sidebar/vxOutlookBar_win.h"
#include "ui/Dpi_win.h"

namespace vx {
namespace {

// Measures at 96 pixels per inch; S() gives them at the window's.
constexpr int kControlBarHeight = 34; // the control bar's row height
constexpr int kSideBarWidth = 130;
constexpr int kSplitterWidth = 10;
constexpr int kInformationLineHeight = 41;
constexpr int kStatusBarHeight = 19;
constexpr int kDockMinWidth = 400;
constexpr int kGripWidth = 12; // the band's grip left of the menu tool bar
constexpr TColor kInfoBack = RGBColor(0, 0, 0), kInfoText = RGBColor(255, 255, 255);
constexpr TColor clAppWorkSpace = 0xFF00000C;

} // namespace

Tfrm_VexelDebugWindow::Tfrm_VexelDebugWindow(const TMainWindowContext& context)
    : Manager(std::make_unique<TSectionManager>(TSectionManagerContext{})),
      Sections(Manager->List()), ctx_(context) {
    CreateOwn(nullptr, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, "vxDebugger");
    dpi_ = ui::WindowDpi(Handle());
    // Kept for every window inside: under Wine asking the system for a
    // window's pixels per inch costs three calls to the server each time, and
    // buttons and lists ask on every paint and layout.
    ui::NoteWindowDpi(Handle(), dpi_);
    SetBounds(S(361), S(255), S(799), S(604));
    ProgramIcon.Reset(LoadProgramIcon(ctx_.Module, 32));
    ProgramIconSmall.Reset(LoadProgramIcon(ctx_.Module, 16));
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, LPARAM(ProgramIcon.Get()));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, LPARAM(ProgramIconSmall.Get()));
    CaptionGradient.Attach(Handle());
    CreateActions();
    CreateMenus();
    CreateComponents();

    LMDTrayIcon.OnDblClick = [this](ui::TTrayIcon&) { act_ShowExecute(); };
    LMDTrayIcon.OnPopup = [this](ui::TTrayIcon&, POINT pt) {
        PopupMenu_3.Popup(Handle(), pt, TPM_RIGHTALIGN | TPM_BOTTOMALIGN);
    };
    LMDTrayIcon.Show(ProgramIconSmall, kTrayHint);
    Timer.SetInterval(4000);
    Timer.OnTimer = [this](ui::TTimer&) { TimerTimer(); };
    Hints.OnHint = [this](const std::string& hint) { ApplicationCtrlHint(hint); };
    ConnectSectionManager();
    FormCreate();
}

void Tfrm_VexelDebugWindow::CreateActions() {
    auto view = [this](ui::TAction& a) { ViewToggle(a); };
    auto icons = [this](ui::TAction& a) { IconStyleChange(a); };
    act_Exit =
        &Actions.Add("act_Exit", "File", "Exit", "Close debugger section and exit to windows",
                     [this](ui::TAction&) { act_ExitExecute(); });
    act_Show = &Actions.Add("act_Show", "File", "&Show...", "Show the debugger window",
                            [this](ui::TAction&) { act_ShowExecute(); });
    act_StatusBar =
        &Actions.Add("act_StatusBar", "View", "&StatusBar", "Shows or hides the status", view);
    act_InformationLine = &Actions.Add("act_InformationLine", "View", "&Information line",
                                       "Shows or hides the information line", view);
    act_SideBar =
        &Actions.Add("act_SideBar", "View", "&SideBar", "Shows or hides the sidebar", view);
    act_LargeIcons = &Actions.Add("act_LargeIcons", "View", "&Large Icons",
                                  "Set the icon's size to large", icons);
    act_SmallIcons = &Actions.Add("act_SmallIcons", "View", "&Small Icons",
                                  "Set the icon's size to small", icons);
    act_About =
        &Actions.Add("act_About", "Help", "&About...", "Information about the software's author",
                     [this](ui::TAction&) { act_AboutExecute(); });
    act_WebSite = &Actions.Add("act_WebSite", "Help", "&Web Site", "Visit author's website",
                               [this](ui::TAction&) { act_WebSiteExecute(); });
    CreateCaptureAction();
    CreateRemoteAction();
    CreateSessionActions();
    CreateTimeColumnsAction();
    for (ui::TAction* a : {act_StatusBar, act_InformationLine, act_SideBar})
        a->SetChecked(true);
    act_LargeIcons->SetChecked(true);
}

void Tfrm_VexelDebugWindow::CreateMenus() {
    mnu_File.AddAction(*act_OpenSession);
    mnu_File.AddAction(*act_SaveSession);
    mnu_File.AddSeparator();
    mnu_File.AddAction(*act_Exit, "&Shutdown...", "mnu_Shutdown");
    for (ui::TAction* a : {act_StatusBar, act_InformationLine, act_SideBar})
        mnu_View.AddAction(*a);
    mnu_View.AddSeparator();
    mnu_View.AddAction(*act_LargeIcons);
    mnu_View.AddAction(*act_SmallIcons);
    mnu_View.AddSeparator();
    mnu_View.AddAction(*act_CaptureODS);
    mnu_View.AddAction(*act_RemoteClients);
    mnu_View.AddAction(*act_LogToDisk);
    mnu_View.AddAction(*act_TimeColumns);
    mnu_Help.AddAction(*act_WebSite);
    mnu_Help.AddSeparator();
    mnu_Help.AddAction(*act_About);

    for (ui::TAction* a : {act_SideBar, act_InformationLine, act_StatusBar}) {
        PopupMenu_1.AddAction(*a);
        PopupMenu_2.AddAction(*a);
    }
    PopupMenu_1.AddSeparator();
    PopupMenu_1.AddAction(*act_LargeIcons);
    PopupMenu_1.AddAction(*act_SmallIcons);

    PopupMenu_3.AddAction(*act_Show);
    PopupMenu_3.AddAction(*act_About);
    PopupMenu_3.AddSeparator();
    PopupMenu_3.AddAction(*act_Exit, "S&hutdown...", "pop_Shutdown");
}

void Tfrm_VexelDebugWindow::CreateComponents() {
    auto popup2 = [this](ui::TWindow&, POINT pt) { PopupMenu_2.Popup(Handle(), pt); };

    // Children are laid out in creation order within each alignment.
    ControlBar.Create(this, {ui::TAlign::alTop, clBtnFace, ui::TBevel::bvNone, false, clWindowText,
                             ui::TTextAlign::taLeft, 100, S(kControlBarHeight)});
    ControlBar.OnPaint = [this](ui::TPanel&, HDC dc, const RECT& r) { PaintControlBar(dc, r); };
    ControlBar.OnContextMenu = popup2;
    ToolBar_MainMenu.Create(&ControlBar);
    ToolBar_MainMenu.AddMenu("&File", mnu_File);
    ToolBar_MainMenu.AddMenu("&View", mnu_View);
    ToolBar_MainMenu.AddMenu("&Help", mnu_Help);
    ToolBar_MainMenu.OnContextMenu = popup2;
    ControlBar.OnResize = [this](ui::TWindow&) {
        SIZE s = ToolBar_MainMenu.IdealSize();
        ToolBar_MainMenu.SetBounds(S(kGripWidth), (ControlBar.Height() - s.cy) / 2, s.cx, s.cy);
    };

    StatusBar.Create(this, StatusPanels(), S(kStatusBarHeight));
    StatusBar.OnContextMenu = popup2;

    SideBarDock.Create(this, {ui::TAlign::alLeft, clBtnFace, ui::TBevel::bvNone, false,
                              clWindowText, ui::TTextAlign::taLeft, S(kSideBarWidth), 100});
    CreateSideBar();
    Splitter.Create(this, &SideBarDock,
                    {ui::TAlign::alLeft, S(kSplitterWidth), 0, S(kDockMinWidth), true});

    Panel_Client.Create(this, {ui::TAlign::alClient, clBtnFace, ui::TBevel::bvNone, false,
                               clWindowText, ui::TTextAlign::taLeft, 100, 100});
    Panel_InformationLine.Create(&Panel_Client,
                                 {ui::TAlign::alTop, kInfoBack, ui::TBevel::bvNone, true, kInfoText,
                                  ui::TTextAlign::taLeft, 100, S(kInformationLineHeight)});
    Panel_InformationLine.SetCaptionFont(InformationLineFont());
    Panel_InformationLine.OnContextMenu = popup2;
    PANEL_PLUGIN_DOCK.Create(&Panel_Client,
                             {ui::TAlign::alClient, clAppWorkSpace, ui::TBevel::bvNone, false,
                              clWindowText, ui::TTextAlign::taLeft, S(kDockMinWidth), 100});
    Realign();
}

int Tfrm_VexelDebugWindow::S(int px) const {
    return ui::Scale(px, dpi_);
}

std::vector<ui::TStatusPanel> Tfrm_VexelDebugWindow::StatusPanels() const {
    return {{S(400), ui::TTextAlign::taLeft},
            {S(60), ui::TTextAlign::taCenter},
            {S(100), ui::TTextAlign::taCenter},
            {S(60), ui::TTextAlign::taCenter},
            {S(50), ui::TTextAlign::taLeft}};
}

HFONT Tfrm_VexelDebugWindow::InformationLineFont() const {
    return CreateFontA(-S(21), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_ROMAN,
                       "Times New Roman");
}

// The window moved to a monitor of other pixels per inch (or the user changed
// them): every child is scaled from the old measures to the new ones, fonts
// and pictures are made again for the new size, and the window takes the
// rectangle the system suggests.
void Tfrm_VexelDebugWindow::ChangeDpi(UINT dpi, const RECT* suggested) {
    if (dpi == 0) return;
    const UINT old = dpi_;
    ui::NoteWindowDpi(Handle(), dpi);
    if (dpi != old) {
        dpi_ = dpi;
        ui::RescaleChildren(Handle(), old, dpi);
        ControlBar.SetHeight(S(kControlBarHeight));
        StatusBar.SetPanels(StatusPanels(), S(kStatusBarHeight));
        Panel_InformationLine.SetHeight(S(kInformationLineHeight));
        Panel_InformationLine.SetCaptionFont(InformationLineFont());
        Splitter.SetSizes(S(kSplitterWidth), 0, S(kDockMinWidth));
        LoadSideBarImages();
        if (vxOutlookBar) vxOutlookBar->SetPixelsPerInch(int(dpi));
        for (auto& section : Sections)
            if (Tfme_Sections* frame = FrameOf(*section)) frame->ChangeDpi(dpi);
        // What still has the old GUI font (the menu tool bar, the status bar)
        // gets the one for the new pixels per inch; the stock font is the
        // system's.
        HFONT oldFont = guiFont_ ? guiFont_.Get() : HFONT(GetStockObject(DEFAULT_GUI_FONT));
        ui::ScopedFont keep(guiFont_.Release());
        if (dpi != ui::SystemDpi()) guiFont_.Reset(ui::CreateGuiFont(dpi));
        ui::ReplaceFont(Handle(), oldFont,
                        guiFont_ ? guiFont_.Get() : HFONT(GetStockObject(DEFAULT_GUI_FONT)));
        SendMessageA(ToolBar_MainMenu.Handle(), TB_AUTOSIZE, 0, 0);
        if (ControlBar.OnResize) ControlBar.OnResize(ControlBar);
    }
    if (suggested)
        SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    Realign();
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Tfrm_VexelDebugWindow::CreateSideBar() {
    LoadSideBarImages();
    vxOutlookBar = std::make_unique<TvxOutlookBar>();
    vxOutlookBar->SetPixelsPerInch(int(dpi_));
    vxOutlookBar->SetBounds(0, 0, S(kSideBarWidth), 100);
    vxOutlookBar->PopupMenu = reinterpret_cast<uintptr_t>(PopupMenu_1.Handle());
    vxOutlookBarHandle = CreateOutlookBarWindow(*vxOutlookBar, SideBarDock.Handle());
    // The bar fills its docking panel; the splitter sizes the panel.
    SideBarDock.OnResize = [this](ui::TWindow& dock) {
        RECT r;
        GetClientRect(dock.Handle(), &r);
        if (vxOutlookBar) vxOutlookBar->SetBounds(0, 0, r.right, r.bottom);
    };
}

// The side bar's pictures at the window's pixels per inch: the 16 and 32
// pixel strips where they fit, the larger strip resampled where they do not
// (the small pictures at twice 96 are the large strip itself).
void Tfrm_VexelDebugWindow::LoadSideBarImages() {
    const int large = ui::IconSize(32, dpi_), small = ui::IconSize(16, dpi_);
    Image_Side_Large.Reset(LoadArtImageList(ctx_.Module, IDB_SIDE_LARGE, 32, large));
    Image_Side_Small.Reset(small > 16 ? LoadArtImageList(ctx_.Module, IDB_SIDE_LARGE, 32, small)
                                      : LoadArtImageList(ctx_.Module, IDB_SIDE_SMALL, 16));
    if (!SideLargeImages) {
        SideLargeImages = MakeSideBarImages(Image_Side_Large);
        SideSmallImages = MakeSideBarImages(Image_Side_Small);
    } else {
        SetSideBarImages(*SideLargeImages, Image_Side_Large);
        SetSideBarImages(*SideSmallImages, Image_Side_Small);
    }
}

void Tfrm_VexelDebugWindow::PaintControlBar(HDC dc, const RECT& client) {
    // One band with a grip, as a control bar draws it.
    RECT band = client;
    InflateRect(&band, -1, -1);
    DrawEdge(dc, &band, BDR_RAISEDINNER, BF_RECT);
    for (int x : {S(4), S(7)}) {
        RECT grip{x, band.top + S(4), x + S(3), band.bottom - S(4)};
        DrawEdge(dc, &grip, BDR_RAISEDINNER, BF_RECT);
    }
    RECT line{client.left, client.bottom - 1, client.right, client.bottom};
    FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
}

} // namespace vx
