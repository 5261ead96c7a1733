// The splash screen: its window, its picture, and its removal by the start-up timer.
#include "support/WinTest_win.h"
#include "forms/form_Splash_win.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

// Stands in for the main window: its WM_TIMER runs the start-up timer's tick.
std::unique_ptr<Tfrm_SplashScreen>* gSplash = nullptr;
int gTicks = 0, gRemovals = 0;

LRESULT CALLBACK MainProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        ++gTicks;
        if (SplashTimerTick(*gSplash, hwnd, wParam)) ++gRemovals;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

} // namespace

TEST(SplashScreen, BorderlessTopmostCentredPicture) {
    Tfrm_SplashScreen splash(GetModuleHandleA(nullptr));
    HWND h = splash.Handle();
    ASSERT_TRUE(IsWindow(h));
    EXPECT_TRUE(splash.PictureLoaded());
    char caption[32];
    GetWindowTextA(h, caption, sizeof caption);
    EXPECT_STREQ(caption, "Splash");
    const LONG style = GetWindowLongA(h, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
    EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(h, GW_OWNER), nullptr);
    RECT r, client;
    GetWindowRect(h, &r);
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, 499);
    EXPECT_EQ(client.bottom, 350);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 499) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 350) / 2);

    EXPECT_FALSE(IsWindowVisible(h));
    splash.Show();
    EXPECT_TRUE(IsWindowVisible(h));
    // The picture covers the silver background: a dark navy corner.
    const vxtest::TPixels p = vxtest::PrintClient(h);
    const unsigned corner = p.At(10, 10);
    EXPECT_LT(corner & 0xFF0000, 0x400000u);         // little red
    EXPECT_GT(corner & 0xFF, (corner >> 16) & 0xFF); // more blue than red
}

TEST(SplashScreen, FirstTimerTickRemovesItAndStopsTheTimer) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "vxTestMainWindow";
    RegisterClassA(&wc);
    HWND main = CreateWindowExA(0, "vxTestMainWindow", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, wc.hInstance, nullptr);
    auto splash = std::make_unique<Tfrm_SplashScreen>(GetModuleHandleA(nullptr));
    splash->Show();
    HWND splashWindow = splash->Handle();
    gSplash = &splash;

    // The real interval is kSplashTimerInterval; a short one keeps the test quick.
    EXPECT_EQ(kSplashTimerInterval, 4000u);
    SetTimer(main, 1, 100, nullptr);
    ASSERT_TRUE(vxtest::WaitFor([&] { return !splash; }, 3000));
    EXPECT_FALSE(IsWindow(splashWindow));
    EXPECT_EQ(gRemovals, 1);
    // The timer was stopped: no more ticks arrive.
    const int ticks = gTicks;
    vxtest::PumpFor(400);
    EXPECT_EQ(gTicks, ticks);
    // A tick that finds no splash screen does nothing.
    EXPECT_FALSE(SplashTimerTick(splash, main, 1));
    gSplash = nullptr;
    DestroyWindow(main);
}
