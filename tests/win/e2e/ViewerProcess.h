// The viewer and its clients as processes of their own: starting
// vxDebugger.exe and ending it through its File menu, running vxsend.exe, and
// reading what the viewer shows from outside (main window, status bar,
// information line, side bar and section frames).
#pragma once

#include "RemoteUi.h"

#include <windows.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vxtest {

// A Windows path to one of the programs CMake built (it hands us Linux paths;
// Wine sees the root folder as drive Z:).
std::string ProgramPath(const char* unixPath);

// A child process whose output is read through a pipe.
class TChildProcess {
  public:
    TChildProcess() = default;
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    bool Start(const std::string& commandLine);
    // Waits up to ms for the end, pumping this thread's messages; true when it ended.
    bool Wait(DWORD ms = 30000);
    bool Running() const;
    DWORD ExitCode() const;
    // Everything it has written so far (stdout and stderr).
    const std::string& Output();
    void Terminate();
    HANDLE Process() const { return info_.hProcess; }
    DWORD Pid() const { return info_.dwProcessId; }

  private:
    PROCESS_INFORMATION info_{};
    HANDLE read_ = nullptr;
    std::string output_;
};

// Runs vxsend with the arguments to its end; its exit code and output.
struct TVxsendResult {
    DWORD ExitCode = 0xDEAD;
    std::string Output;
};
TVxsendResult RunVxsend(const std::string& args, DWORD ms = 30000);
// Starts vxsend without waiting for it.
std::unique_ptr<TChildProcess> StartVxsend(const std::string& args);

// One section frame of the viewer, as its windows show it.
class TSectionView {
  public:
    TSectionView(HANDLE process, HWND frame);
    HWND Frame() const { return frame_; }
    bool Visible() const { return IsWindowVisible(frame_) != FALSE; }
    std::string IdLabel() const { return WindowText(id_); }
    std::string ApplicationLabel() const { return WindowText(application_); }
    std::string LevelLabel() const { return WindowText(level_); }
    std::string ConnectionLabel() const { return WindowText(connection_); }
    bool ConnectionShown() const { return IsWindowVisible(connection_) != FALSE; }
    TRemoteList DebugList() const { return {process_, debug_}; }
    TRemoteList Billboard() const { return {process_, billboard_}; }
    std::string Memo() const { return WindowText(memo_); }
    std::string UnitName() const { return WindowText(source_[0]); }
    std::string Procedure() const { return WindowText(source_[1]); }
    std::string LineNumber() const { return WindowText(source_[2]); }
    std::string InfoCaption(int line) const { return WindowText(infoLabels_[line - 1]); }
    std::string InfoValue(int line) const { return WindowText(infoEdits_[line - 1]); }
    // A tool button by its hint (its window text), or null.
    HWND Button(const std::string& hint) const;
    // Clicks a tool button the way an automation tool does (BM_CLICK).
    bool Click(const std::string& hint) const;
    // True when every part was found.
    bool Complete() const;

  private:
    HANDLE process_;
    HWND frame_;
    HWND id_ = nullptr, application_ = nullptr, level_ = nullptr, connection_ = nullptr;
    HWND debug_ = nullptr, billboard_ = nullptr, memo_ = nullptr;
    HWND source_[3] = {}, infoLabels_[3] = {}, infoEdits_[3] = {};
};

// A side-bar header: its caption and its buttons' captions, top to bottom.
struct THeaderView {
    HWND Window = nullptr;
    std::string Caption;
    std::vector<HWND> Buttons;
    std::vector<std::string> ButtonCaptions;
};

class TViewerProcess {
  public:
    TViewerProcess() = default;
    // Ends a viewer that is still running: through the menu, else by force.
    ~TViewerProcess();
    TViewerProcess(const TViewerProcess&) = delete;
    TViewerProcess& operator=(const TViewerProcess&) = delete;

    // "Display" values written for the next Start, after the settings are cleared.
    std::vector<std::pair<std::string, std::string>> DisplayValues;
    // Ends any viewer left over from an earlier run, clears the settings and
    // starts a new viewer; true once its main window is visible.
    bool Start(DWORD ms = 20000);
    bool Running() const;
    // File > "&Shutdown..." answered Yes; true when the process ended by it.
    bool ExitThroughMenu(DWORD ms = 20000);
    // Opens the File menu and chooses "&Shutdown..."; the box watcher answers
    // the confirmation as it was told.
    bool ChooseShutdown();
    void Terminate();

    HWND Main() const { return main_; }
    // The window the viewer announces to its clients (its record receiver,
    // else the main window).
    HWND Announced() const { return announced_ ? announced_ : main_; }
    DWORD Pid() const { return info_.dwProcessId; }
    HANDLE Process() const { return info_.hProcess; }
    TBoxWatcher& Boxes() { return *boxes_; }
    // Whether the viewer's thread still answers a message within ms.
    bool Responsive(DWORD ms = 5000) const;

    TRemoteStatusBar StatusBar() const;
    std::string StatusText(int panel) const { return StatusBar().Text(panel); }
    std::string InformationLine() const;
    // Every section frame (hidden ones too).
    std::vector<TSectionView> Sections() const;
    // The frame whose client-ID label reads exactly idLabel.
    std::unique_ptr<TSectionView> Section(const std::string& idLabel) const;
    // The frame on top (the one the user sees), or null.
    std::unique_ptr<TSectionView> VisibleSection() const;
    std::vector<THeaderView> SideBar() const;
    // The data viewer window "vxDebugger Text Viewer".
    HWND TextViewer() const;

    // A visible top-level window of the viewer with this class (and caption),
    // once it is there; null after ms.
    HWND WaitForWindow(const char* cls, const char* text = nullptr, DWORD ms = 10000) const;
    // Right-clicks a list of the viewer as the mouse would and waits for the
    // context menu; its popup window, or null.
    HWND OpenContextMenu(HWND list, DWORD ms = 10000) const;
    // Chooses an entry of an open popup menu with the arrow keys and Enter,
    // as a user does; true once the menu has closed. The entry is found by
    // its text when this process can read the menu (Windows keeps menus with
    // the window manager); Wine keeps them in the process that made them, so
    // there `place` says where it is: its index among the entries that are
    // not separators. False, with the menu closed, when a menu that can be
    // read has no such entry or it is disabled.
    bool ChooseMenuEntry(HWND popup, const std::string& text, int place) const;

  private:
    PROCESS_INFORMATION info_{};
    HWND main_ = nullptr;
    HWND announced_ = nullptr;
    std::unique_ptr<TBoxWatcher> boxes_;
};

} // namespace vxtest
