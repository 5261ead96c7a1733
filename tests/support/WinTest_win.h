// What the window tests of every folder share: waiting while this thread's
// messages run, a window's text, a window's painted pixels, a plain host
// window for controls under test, and steps run inside a modal dialog.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vxtest {

// Dispatches every message waiting for this thread.
void DispatchWaiting();
// Runs this thread's messages for ms.
void PumpFor(DWORD ms);
// Runs this thread's messages until cond holds or ms have passed; true if it
// holds. What is waiting once it holds is dispatched before it returns.
bool WaitFor(const std::function<bool()>& cond, DWORD ms = 10000);

// Moves the mouse to the middle of a window on the screen through the input
// system, as a user moves it: the window gets a real WM_MOUSEMOVE, and mouse
// hooks see it. False when the input was refused.
bool MoveMouseOver(HWND window);

// The text of a window of any process (WM_GETTEXT through a timeout, so a
// hung window cannot hang the test).
std::string WindowText(HWND w);

// A window's client area as its WM_PRINTCLIENT paints it, 0x00RRGGBB a pixel.
struct TPixels {
    int Width = 0, Height = 0;
    std::vector<unsigned> Data;
    unsigned At(int x, int y) const { return Data[size_t(y) * Width + x]; }
};
TPixels PrintClient(HWND hwnd, UINT flags = PRF_CLIENT);
// What a window shows on the screen now, frame and all: what its last paints
// left, not what it would paint if asked (under Wine a window DC reads back
// the window's surface).
TPixels Shown(HWND hwnd);
inline unsigned Rgb(unsigned r, unsigned g, unsigned b) {
    return (r << 16) | (g << 8) | b;
}

// A plain top-level window to hold the controls under test: white, static
// controls in it white too. It counts its paints and WM_APP messages, and
// tells OnSize its new client size.
class TPlainHost {
  public:
    struct TPlace {
        int Left = 0, Top = 0, Width = 400, Height = 200;
        bool Visible = false;
        const char* Caption = "host";
    };
    TPlainHost() : TPlainHost(TPlace{}) {}
    explicit TPlainHost(const TPlace& place);
    ~TPlainHost();
    TPlainHost(const TPlainHost&) = delete;
    TPlainHost& operator=(const TPlainHost&) = delete;

    HWND Handle() const { return hwnd_; }
    RECT Client() const;

    int Paints = 0;
    int Apps = 0;
    std::function<void(int width, int height)> OnSize;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND hwnd_ = nullptr;
};

// A modal dialog driven from a timer that runs inside its own message loop,
// as a user at the keyboard would: once find() gives a visible window, one
// step a tick, so what a step posts is handled before the next one runs. One
// script at a time; a step may start the next script (for a box it opens).
using TDialogStep = std::function<void(HWND dialog)>;
void RunDialogSteps(std::function<HWND()> find, std::vector<TDialogStep> steps,
                    UINT intervalMs = 20);
size_t DialogStepsLeft();
void StopDialogSteps();
// The visible dialog box ("#32770") among this thread's top-level windows.
HWND ThreadDialog();

} // namespace vxtest
