// Tfrm_SplashScreen: the borderless, topmost picture shown while the program
// starts.
//
//   auto splash = std::make_unique<Tfrm_SplashScreen>(module);  // step 3 of start-up
//   splash->Show();                        // shown and painted at once
//   ... create the main window; it starts a kSplashTimerInterval timer ...
//   SplashTimerTick(splash, mainHwnd, timerId);  // from the main window's WM_TIMER
//
// The window has no owner (it belongs to the application, not the main
// window), no taskbar button, caption "Splash", a 499 x 350 client area
// centred on the screen and the splash JPEG (IDR_SPLASH_JPEG) on silver.
#pragma once

#include "ui/GdiPlusImage_win.h"
#include "ui/Window_win.h"

#include <windows.h>

#include <memory>

namespace vx {

inline constexpr UINT kSplashTimerInterval = 4000; // milliseconds
inline constexpr int kSplashWidth = 499;
inline constexpr int kSplashHeight = 350;

class Tfrm_SplashScreen {
  public:
    explicit Tfrm_SplashScreen(HINSTANCE module);
    ~Tfrm_SplashScreen(); // destroys the window
    Tfrm_SplashScreen(const Tfrm_SplashScreen&) = delete;
    Tfrm_SplashScreen& operator=(const Tfrm_SplashScreen&) = delete;

    HWND Handle() const { return window_.Handle(); }
    // Shows the window without taking the focus and paints it before returning.
    void Show();
    bool PictureLoaded() const { return picture_.Loaded(); }

  private:
    LRESULT Message(UINT msg, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);

    TGdiPlusImage picture_;
    ui::TOwnedWindow window_;
};

// The main window's start-up timer tick: while the splash screen exists, the
// timer is stopped and the splash destroyed; later ticks do nothing. Returns
// whether a splash screen was removed.
bool SplashTimerTick(std::unique_ptr<Tfrm_SplashScreen>& splash, HWND timerWindow,
                     UINT_PTR timerId);

} // namespace vx
