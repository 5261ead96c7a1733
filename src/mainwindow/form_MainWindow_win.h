// Tfrm_VexelDebugWindow: the program's main window.
//
//   int RunViewer(HINSTANCE)   the whole life of the program (ViewerApp_win.cpp)
//
// The window holds a menu tool bar ("&File", "&View", "&Help" drop-downs), the
// side bar in its docking panel with a splitter, the information line, the
// dock panel for the section frames and a five-panel status bar; a tray icon
// keeps the program alive while the window is hidden. Tests build it
// in-process with fake dialogs and drive it through its actions and messages.
#pragma once

#include "export/vxExportUI_win.h"
#include "mainwindow/ClientReceiver_win.h"
#include "mainwindow/MainWindowSettings.h"
#include "platform/Platform.h"
#include "sections/SectionHost.h"
#include "settings/RegistryHandler.h"
#include "sidebar/vxOutlookBar.h"
#include "ui/Action.h"
#include "ui/CaptionGradient_win.h"
#include "ui/HintTracker_win.h"
#include "ui/Menu_win.h"
#include "ui/Panel_win.h"
#include "ui/Splitter_win.h"
#include "ui/StatusBar_win.h"
#include "ui/Timer_win.h"
#include "ui/ToolBar_win.h"
#include "ui/TrayIcon_win.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vx {

class Tfrm_SplashScreen;
class Tfrm_About;
class Tfme_Sections;
struct ISectionFrame;  // a section as the section list keeps it (SectionManager.h)
class TSectionManager;
struct IRuleEditor;  // find/RuleEditor.h
struct TOdsCapture;  // OutputDebugString capture (MainWindowCapture_win.cpp)
struct TOdsCaptureDeleter {
    void operator()(TOdsCapture* capture) const;
};

inline constexpr const char* kApplicationTitle = "vxDebugger for Delphi";
inline constexpr const char* kTrayHint = "vxDebugger for Borland Delphi";
inline constexpr const char* kExitQuestion = "Do you really want to exit?";
inline constexpr const char* kWelcomeText = "Welcome to vxDebugger";

int RunViewer(HINSTANCE instance);

// Takes every client record (WM_COPYDATA); the dispatcher implements it.
struct IClientDispatcher {
    virtual ~IClientDispatcher() = default;
    // wParam as sent; data and size are the COPYDATASTRUCT's block.
    virtual void DispatchRecord(uint32_t wParam, const void* data, size_t size) = 0;
};

struct TMainWindowContext {
    HINSTANCE Module = nullptr;      // where the icons and image strips are
    TPlatform Platform;              // Dialogs, Shell and Screen are used
    TRegistryHandler* Registry = nullptr;
};

class Tfrm_VexelDebugWindow : public ui::TWindow, public ISectionHost {
public:
    // Creates the window and its components (hidden) and runs FormCreate.
    explicit Tfrm_VexelDebugWindow(const TMainWindowContext& context);
    ~Tfrm_VexelDebugWindow() override;

    // --- Components, named as on the form ---
    ui::TPanel ControlBar;
    ui::TMenuToolBar ToolBar_MainMenu;
    ui::TPanel SideBarDock;  // the side bar's docking panel
    std::unique_ptr<TvxOutlookBar> vxOutlookBar;
    HWND vxOutlookBarHandle = nullptr;
    ui::TSplitter Splitter;
    ui::TPanel Panel_Client;
    ui::TPanel Panel_InformationLine;
    ui::TPanel PANEL_PLUGIN_DOCK;
    ui::TStatusBar StatusBar;
    ui::ScopedImageList Image_Side_Large, Image_Side_Small;
    std::unique_ptr<TSideBarImages> SideLargeImages, SideSmallImages;
    ui::ScopedIcon ProgramIcon, ProgramIconSmall;
    ui::TTrayIcon LMDTrayIcon;
    ui::TTimer Timer;

    ui::TActionList Actions;
    ui::TAction *act_Exit, *act_Show, *act_StatusBar, *act_InformationLine, *act_SideBar,
        *act_LargeIcons, *act_SmallIcons, *act_About, *act_WebSite;
    ui::TPopupMenu mnu_File, mnu_View, mnu_Help, PopupMenu_1, PopupMenu_2, PopupMenu_3;
    ui::THintTracker Hints;
    ui::TCaptionGradient CaptionGradient;

    // The export dialogs and progress window of every section's exports,
    // owned by this window; declared first so it outlives the sections.
    TvxExportUIWin ExportUI;
    // The dispatcher and section manager; it owns the section list.
    std::unique_ptr<TSectionManager> Manager;
    // The section list, in creation order; SectionNumber is the 1-based position.
    std::vector<std::unique_ptr<ISectionFrame>>& Sections;
    // What every section shares: the colour switch and the data viewer.
    TSectionShared SectionShared;
    IDataViewer* Viewer = nullptr;
    // A new, hidden section frame filling PANEL_PLUGIN_DOCK, with the main
    // window's services (the first step of creating a section); null when
    // its windows cannot be built.
    std::unique_ptr<ISectionFrame> CreateSectionFrame();
    // The frame window of a section made by CreateSectionFrame; null for others.
    static Tfme_Sections* FrameOf(ISectionFrame& section);
    // Takes the client records in place of the section manager when set (tests).
    IClientDispatcher* Dispatcher = nullptr;
    // Takes the clients' records on a thread of its own once started; the
    // window itself still takes records that are sent to it.
    std::unique_ptr<TClientReceiver> Receiver;
    // Starts the receiver; from then on the viewer announces the receiver's
    // window to its clients. False (and the window takes every record) when
    // it cannot be started.
    bool StartClientReceiver(const TClientReceiver::TLimits& limits = {});
    // The window that clients are told to send their records to.
    HWND AnnouncedHandle() const;
    // Applies every record the receiver has queued, in order (the receiver's
    // batch message does this; a record sent to the window itself first).
    void ApplyClientRecords();
    // Shown by act_About; the splash is removed by the timer.
    Tfrm_About* About = nullptr;
    std::unique_ptr<Tfrm_SplashScreen> Splash;

    // --- ISectionHost ---
    void SetInformationLine(const std::string& text) override;
    void SetStatusPanel(int panel, const std::string& text) override;
    void RemoveSideBarButton(int tag) override;
    // Posts kReleaseSectionMessage: the frame goes once its click has returned.
    void SectionDeleted(int sectionNumber) override;
    // wParam: the number of a deleted section whose frame is to be released.
    static constexpr UINT kReleaseSectionMessage = WM_APP + 1;
    std::string MainCaption() const override;

    // --- Behaviour ---
    void LoadSettings();
    void SaveSettings();
    TMainWindowSettings CurrentSettings() const;
    void IconStyleChange(ui::TAction& sender);
    void ApplicationCtrlHint(const std::string& hint);
    void act_ShowExecute();
    void act_ExitExecute();
    void act_AboutExecute();
    void act_WebSiteExecute();
    // Close box and minimise: the window and its taskbar button go, the tray icon stays.
    void HideToTray();
    // FormCloseQuery, then FormClose and FormDestroy; false when the user said
    // No, or when a modal box is open (the box comes to the front instead: the
    // sections under it must not go while it waits for its answer).
    bool CloseQueryAndClose();
    // An input box, export or save dialog, message box or the about box of
    // this program is open.
    bool ModalBoxOpen() const;
    bool Closing() const { return closing_; }
    void FreeAllSections();
    const std::string& WindowHint() const { return Hint; }
    // The registered messages and WM_COPYDATA of the client protocol.
    bool ClientMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Where the keyboard goes when the window is activated: the part that had
    // it last, else the debug list of the section in front, else the side bar.
    void RestoreFocus();
    // Tab between the side bar and the section in front; true when it moved the focus.
    bool TabKey(bool back);

    // --- OutputDebugString capture (MainWindowCapture_win.cpp) ---
    ui::TAction* act_CaptureODS = nullptr;
    // One posted message per batch of captured texts.
    static constexpr UINT kOdsBatchMessage = WM_APP + 0x0D5;
    static constexpr UINT_PTR kOdsTimerId = 0x0D5;  // a WM_TIMER of the window: OdsBatch
    // Reads the system's debug-output buffer; false, with the entry saying
    // why, when another program holds it or it cannot be made.
    bool StartCapture();
    void StopCapture();
    bool Capturing() const;
    void act_CaptureODSExecute();
    // Applies queued texts for at most a slice of time, then lets the window
    // answer others before it goes on.
    void OdsBatch();
    // The "Display" value CaptureODS: the user's choice, "0" unless made.
    void LoadCaptureSetting();
    void SaveCaptureSetting();
    void CreateCaptureAction();
    std::unique_ptr<TOdsCapture, TOdsCaptureDeleter> Capture;

    // --- Find, rules and time columns (MainWindowFind_win.cpp) ---
    // Edits a section's rules for its "Rules..." command; null: the command is off.
    IRuleEditor* RuleEditor = nullptr;
    // Writes a note to the exception log without a box (rules that could not be read).
    std::function<void(const std::string& note)> OnLogNote;
    ui::TAction* act_TimeColumns = nullptr;
    // The "Display" value TimeColumns: "1" shows the times between rows in every section.
    void act_TimeColumnsExecute();
    void LoadTimeColumnsSetting();
    void CreateTimeColumnsAction();
    void SetShownRows(const std::string& text) override;  // status panel 4
    void LogNote(const std::string& note) override;

    // Runs when the window has been destroyed at shut-down (ends the message loop).
    std::function<void()> OnClosed;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateComponents();
    void CreateActions();
    void CreateMenus();
    void CreateSideBar();
    void ConnectSectionManager();
    void PaintControlBar(HDC dc, const RECT& client);
    void ViewToggle(ui::TAction& action);
    void ApplyViewChecks();
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    void BringModalBoxToFront();
    void EndSession();
    void TimerTimer();
    void Broadcast(WPARAM notice);
    LRESULT WMCopyData(WPARAM wParam, LPARAM lParam);
    void DispatchClientRecord(uint32_t wParam, const void* data, size_t size);

    TMainWindowContext ctx_;
    bool closing_ = false, destroyed_ = false;
    HWND lastFocus_ = nullptr;
    HHOOK keyHook_ = nullptr;
    std::deque<TClientReceiver::TRecord> clientInbox_;  // taken from the receiver, not yet applied
};

}  // namespace vx
