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
struct ISectionFrame; // a section as the section list keeps it (SectionManager.h)
class TSectionManager;
class TSectionCore;
class TSectionJournal;
struct IRuleEditor; // find/RuleEditor.h
struct TOdsCapture; // OutputDebugString capture (MainWindowCapture_win.cpp)
struct TOdsCaptureDeleter {
    void operator()(TOdsCapture* capture) const;
};
namespace net {
class TTcpListener; // remote clients over TCP (MainWindowRemote_win.cpp)
struct TTcpSettings;
struct IRemoteClientsDialog;
} // namespace net
struct TTcpListenerDeleter {
    void operator()(net::TTcpListener* listener) const;
};
struct TRemoteDialogDeleter {
    void operator()(net::IRemoteClientsDialog* dialog) const;
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
    HINSTANCE Module = nullptr; // where the icons and image strips are
    TPlatform Platform;         // Dialogs, Shell and Screen are used
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
    ui::TPanel SideBarDock; // the side bar's docking panel
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
    // Applies every record the receiver has queued, in order (a record sent
    // to the window itself does this first).
    void ApplyClientRecords();
    // The receiver's batch message: applies queued records, in order, for
    // about a slice of time and posts itself again for the rest, so that the
    // window answers others in between (a burst of new sections takes a while
    // each).
    void ApplyClientRecordSlice();
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

    // --- Remote clients over TCP (MainWindowRemote_win.cpp) ---
    ui::TAction* act_RemoteClients = nullptr;
    static constexpr UINT kTcpSocketMessage = WM_APP + 0x7C0;
    static constexpr UINT kTcpResumeMessage = WM_APP + 0x7C1;
    static constexpr UINT_PTR kTcpStallTimer = 0x7C0;
    // Listens while the "Display" value TcpListen is on.
    std::unique_ptr<net::TTcpListener, TTcpListenerDeleter> Tcp;
    // The "Remote clients..." dialog; the window's own unless a test sets one.
    net::IRemoteClientsDialog* RemoteDialog = nullptr;
    // What remote clients did wrong, one line each, for the exception log.
    std::function<void(const std::string& text)> OnRemoteTrouble;
    // Saves the settings and listens as they say at once; the reason when it
    // cannot (the settings are then not saved, and the old ones stay).
    std::string ApplyTcpSettings(const net::TTcpSettings& settings);
    void act_RemoteClientsExecute();
    void LoadTcpSetting();
    void CreateRemoteAction();
    // --- Session files, logging to disk and the history limit
    // (MainWindowSessions_win.cpp) ---
    ui::TAction *act_LogToDisk = nullptr, *act_OpenSession = nullptr, *act_SaveSession = nullptr;
    static constexpr UINT_PTR kLogTimerId = 0x10C;  // once a second: logs go to the disk
    static constexpr UINT_PTR kOpenTimerId = 0x10D; // the progress of a session being read
    static constexpr UINT kSessionReadMessage = WM_APP + 0x10C; // the reading thread is done
    void CreateSessionActions();
    // "Display" LogToDisk, LogFolder and HistoryLimit.
    void LoadSessionSettings();
    void SaveSessionSettings();
    void SetLogToDisk(bool on);
    bool LoggingToDisk() const;
    std::string LogFolder() const;
    size_t HistoryLimit() const;
    // Reads a session file on a thread of its own (a progress window shows
    // for a long read) and shows it as a new read-only section; files asked
    // for meanwhile wait their turn. False when the file cannot be opened.
    bool OpenSessionFile(const std::string& path);
    bool ReadingSession() const;
    void act_OpenSessionExecute();
    // Saves the section in front (or `section`) where the user says.
    void act_SaveSessionExecute(TSectionCore* section = nullptr);
    // Writes the section to `path` (through a temporary file beside it, so
    // an existing file survives a failure); false and why when it cannot.
    bool SaveSectionAs(const TSectionCore& section, const std::string& path, std::string& error);
    // The section shown on top of the others, or null.
    TSectionCore* FrontSection();
    bool SessionMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // A new section's history limit and log (made by CreateSectionFrame).
    void AttachSessionLog(TSectionCore& core, TSectionJournal& journal);
    // The log of a section made by CreateSectionFrame; null for others.
    static TSectionJournal* JournalOf(ISectionFrame& section);
    void StopSessions();
    struct TSessions;
    struct TSessionsDeleter {
        void operator()(TSessions* sessions) const;
    };
    std::unique_ptr<TSessions, TSessionsDeleter> Sessions;
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
    void SetShownRows(const std::string& text) override; // status panel 4
    void LogNote(const std::string& note) override;

    // The pixels per inch the window lays itself out for.
    UINT Dpi() const { return dpi_; }
    // WM_DPICHANGED: measures, fonts and pictures for `dpi`, then the
    // suggested window rectangle (when given).
    void ChangeDpi(UINT dpi, const RECT* suggested);

    // Runs when the window has been destroyed at shut-down (ends the message loop).
    std::function<void()> OnClosed;

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void CreateComponents();
    void CreateActions();
    void CreateMenus();
    void CreateSideBar();
    void LoadSideBarImages();
    void ConnectSectionManager();
    // A measure of the 96-pixels-per-inch layout at the window's pixels per inch.
    int S(int px) const;
    std::vector<ui::TStatusPanel> StatusPanels() const;
    HFONT InformationLineFont() const;
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
    // Applies queued records until the inbox is empty or, with a deadline
    // (GetTickCount64), until it has passed; true when records are left.
    bool ApplyClientRecordsUntil(ULONGLONG deadline);
    // Around the dispatch of one record: what it cost when it built a section
    // (the resource counts message answers it, for benchmarks).
    class TBuildTimer {
      public:
        explicit TBuildTimer(Tfrm_VexelDebugWindow& window);
        ~TBuildTimer();
        TBuildTimer(const TBuildTimer&) = delete;
        TBuildTimer& operator=(const TBuildTimer&) = delete;

      private:
        Tfrm_VexelDebugWindow& window_;
        size_t sections_;
        LARGE_INTEGER start_;
    };
    int64_t sectionsBuilt_ = 0, lastBuildMicros_ = 0, longestBuildMicros_ = 0;

    TMainWindowContext ctx_;
    UINT dpi_ = 96;          // the window's pixels per inch
    ui::ScopedFont guiFont_; // the GUI font away from the system's pixels per inch
    bool closing_ = false, destroyed_ = false;
    HWND lastFocus_ = nullptr;
    HHOOK keyHook_ = nullptr;
    std::deque<TClientReceiver::TRecord> clientInbox_; // taken from the receiver, not yet applied
    std::unique_ptr<net::IRemoteClientsDialog, TRemoteDialogDeleter> ownRemoteDialog_;
    void StopTcp();
    bool TcpMessage(UINT msg, WPARAM wParam, LPARAM lParam);
};

} // namespace vx
