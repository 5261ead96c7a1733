// The shared text viewer as a real window.
#include "sections/form_Viewer_win.h"
#include "support/WinTest_win.h"

#include <gtest/gtest.h>

#include <string>

using namespace vx;
using vxtest::WindowText;

namespace {

void Pump() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&m);
}

// Activation reaches a window through the X server under Wine, a little
// later on a loaded machine: pumps until `window` has the focus (or 2 s).
HWND FocusAfterShow(HWND window) {
    for (DWORD start = GetTickCount(); GetFocus() != window && GetTickCount() - start < 2000;) {
        Pump();
        Sleep(10);
    }
    return GetFocus();
}

} // namespace

TEST(Viewer, ShowsTextAndHidesOnClose) {
    Tfrm_Viewer viewer(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(WindowText(viewer.Handle()), "vxDebugger Text Viewer");
    EXPECT_FALSE(IsWindowVisible(viewer.Handle()));
    RECT r;
    GetWindowRect(viewer.Handle(), &r);
    EXPECT_EQ(r.left, 350);
    EXPECT_EQ(r.right - r.left, 648);

    viewer.SetText("line 1\nline 2\r\nline 3");
    EXPECT_EQ(WindowText(viewer.Memo()), "line 1\r\nline 2\r\nline 3");
    EXPECT_EQ(viewer.Text(), "line 1\nline 2\r\nline 3");
    EXPECT_TRUE(GetWindowLongA(viewer.Memo(), GWL_STYLE) & ES_READONLY);

    viewer.Show();
    Pump();
    EXPECT_TRUE(IsWindowVisible(viewer.Handle()));
    SendMessageA(viewer.CloseButton(), BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(viewer.Handle()));
    // The text stays for the next opening; the close box only hides too.
    viewer.Show();
    SendMessageA(viewer.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(viewer.Handle()));
    EXPECT_FALSE(IsWindowVisible(viewer.Handle()));
    EXPECT_EQ(WindowText(viewer.Memo()), "line 1\r\nline 2\r\nline 3");
}

TEST(Viewer, CloseButtonStaysCentred) {
    Tfrm_Viewer viewer(GetModuleHandleA(nullptr), nullptr);
    for (int width : {648, 300, 901}) {
        SetWindowPos(viewer.Handle(), nullptr, 0, 0, width, 400, SWP_NOMOVE | SWP_NOZORDER);
        RECT client, button;
        GetClientRect(viewer.Handle(), &client);
        GetWindowRect(viewer.CloseButton(), &button);
        MapWindowPoints(nullptr, viewer.Handle(), reinterpret_cast<POINT*>(&button), 2);
        EXPECT_EQ(button.left, (client.right - 75) / 2) << width;
        EXPECT_EQ(button.top, client.bottom - 41 + 8) << width;
    }
}

TEST(Viewer, LineBreaks) {
    EXPECT_EQ(ToEditLineBreaks(""), "");
    EXPECT_EQ(ToEditLineBreaks("\n"), "\r\n");
    EXPECT_EQ(ToEditLineBreaks("a\rb"), "a\r\nb");
    EXPECT_EQ(ToEditLineBreaks("a\r\n\nb\r"), "a\r\n\r\nb\r\n");
}

TEST(Viewer, KeysOfADialogWithoutADialogManager) {
    Tfrm_Viewer viewer(GetModuleHandleA(nullptr), nullptr);
    viewer.Show();
    EXPECT_EQ(FocusAfterShow(viewer.Memo()), viewer.Memo())
        << "the text has the keys when it opens";
    SendMessageA(viewer.Memo(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), viewer.CloseButton());
    SendMessageA(viewer.CloseButton(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(GetFocus(), viewer.Memo());
    SendMessageA(viewer.Memo(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindowVisible(viewer.Handle()));
    viewer.Show();
    EXPECT_EQ(FocusAfterShow(viewer.Memo()), viewer.Memo());
    SendMessageA(viewer.Memo(), WM_KEYDOWN, VK_TAB, 0);
    SendMessageA(viewer.CloseButton(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(IsWindowVisible(viewer.Handle())) << "Enter on Close";
}
