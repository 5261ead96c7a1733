// The application around the main window: the single-instance rule, the
// hidden application window that carries the application title, and the
// exception log's folder.
#pragma once

#include "ui/Window_win.h"

#include <functional>
#include <string>

namespace vx {

// The named mutex of the single-instance rule.
class TSingleInstance {
  public:
    explicit TSingleInstance(const std::string& name);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;
    bool AnotherRunning() const { return another_; }

  private:
    HANDLE mutex_ = nullptr;
    bool another_ = false;
};

// The hidden top-level window titled with the application title, by which a
// second start finds the first.
class TApplicationWindow : public ui::TWindow {
  public:
    explicit TApplicationWindow(const std::string& title);
    // Asked by a second start to show the main window.
    std::function<void()> OnActivate;
    static UINT ActivateMessage();

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
};

// The running program's file name without its folder ("vxDebugger.exe").
std::string ProgramFileName();
// Finds the application window with this title and asks it to show its main
// window; false when there is none.
bool ActivateRunningInstance(const std::string& title);
// A folder an ordinary user may write to: %LOCALAPPDATA%\Vexel\Debugger\,
// created when missing, else the temporary folder. Ends with a backslash.
std::string ExceptionLogFolder();

} // namespace vx
