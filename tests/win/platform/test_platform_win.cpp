// The Win32 platform services against the real system under test.
#include "platform/DateTimeFormat.h"
#include "platform/WindowHelpers_win.h"
#include "ui/Dialogs_win.h"
#include "support/DialogRobot_win.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ctime>

using namespace vx;
using vxtest::TDialogRobot;

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Posts itself a message for every one it gets and wants paint all along.
constexpr UINT kAgain = WM_APP + 7;
int g_paints = 0, g_posts = 0;
LRESULT CALLBACK BusyProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAgain) {
        ++g_posts;
        PostMessageA(h, kAgain, 0, 0);
        InvalidateRect(h, nullptr, FALSE);
        return 0;
    }
    if (msg == WM_PAINT) ++g_paints;
    return DefWindowProcA(h, msg, wParam, lParam);
}

} // namespace

TEST(WinPlatform, NextMessageGivesPaintAndTimersTheirTurnWhilePostsNeverStop) {
    WNDCLASSA c{};
    c.lpfnWndProc = &BusyProc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "vxtestBusy";
    RegisterClassA(&c);
    HWND busy = CreateWindowExA(WS_EX_TOOLWINDOW, c.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                50, 50, nullptr, nullptr, c.hInstance, nullptr);
    ASSERT_TRUE(busy);
    SetTimer(busy, 1, 20, nullptr);
    PostMessageA(busy, kAgain, 0, 0);
    int timers = 0;
    MSG msg;
    for (const ULONGLONG until = GetTickCount64() + 1000; GetTickCount64() < until;) {
        ASSERT_GT(NextMessage(msg), 0);
        timers += msg.message == WM_TIMER && msg.hwnd == busy;
        DispatchMessageA(&msg);
    }
    KillTimer(busy, 1);
    DestroyWindow(busy);
    EXPECT_GT(g_posts, 100);
    EXPECT_GE(g_paints, 5);
    EXPECT_GE(timers, 5);
}

TEST(WinPlatform, ClipboardRoundTripKeepsAnsiBytes) {
    TWinClipboard clip;
    const std::string text = "Line 1\r\nCaf\xE9 \xA7 \x80uro\tend";
    ASSERT_TRUE(clip.SetText(text));
    EXPECT_EQ(clip.GetText(), text);
    // Other programs see it as plain text too.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    CloseClipboard();
    ASSERT_TRUE(clip.SetText(""));
    EXPECT_EQ(clip.GetText(), "");
}

TEST(WinPlatform, TempNamesAreBuiltButNotCreated) {
    TWinFileSystem fs;
    std::string dir = fs.TempPath();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    DWORD attr = GetFileAttributesA(dir.c_str());
    ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attr & FILE_ATTRIBUTE_DIRECTORY);

    std::string name = fs.TempFileName(dir, "vxExport", 0x1A2B);
    EXPECT_EQ(Lower(name), Lower(dir + "vxE1A2B.tmp"));
    EXPECT_FALSE(fs.FileExists(name));

    // Number 0 picks a free name itself and still creates nothing.
    std::string any = fs.TempFileName(dir, "vx", 0);
    EXPECT_EQ(Lower(any.substr(0, dir.size() + 2)), Lower(dir + "vx"));
    EXPECT_FALSE(fs.FileExists(any));

    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(fs.FileExists(name));
    EXPECT_FALSE(fs.FileExists(dir)); // a folder is not a file
    DeleteFileA(name.c_str());
}

TEST(WinPlatform, ProgramFolderHoldsTheProgram) {
    TWinFileSystem fs;
    std::string folder = fs.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(fs.FileExists(folder + "wintest_platform.exe"));
}

TEST(WinPlatform, LocalePicturesFormatTheClock) {
    TWinLocale locale;
    std::string date = locale.ShortDatePicture(), time = locale.LongTimePicture(),
                shortTime = locale.ShortTimePicture();
    EXPECT_NE(date.find_first_of("dMy"), std::string::npos) << date;
    EXPECT_NE(time.find_first_of("hH"), std::string::npos) << time;
    EXPECT_NE(time.find('s'), std::string::npos) << time;
    EXPECT_NE(shortTime.find('m'), std::string::npos) << shortTime;
    EXPECT_EQ(shortTime.find('s'), std::string::npos) << shortTime;

    // The clock agrees with the C library's local time to the minute.
    TWinClock clock;
    TDateTimeParts p = DecodeDateTime(clock.Now());
    std::time_t now = std::time(nullptr);
    std::tm local = *std::localtime(&now);
    EXPECT_EQ(p.Year, local.tm_year + 1900);
    EXPECT_EQ(p.Month, local.tm_mon + 1);
    EXPECT_EQ(p.Day, local.tm_mday);
    EXPECT_LE(std::abs(p.Hour * 60 + p.Minute - (local.tm_hour * 60 + local.tm_min)), 1);

    EXPECT_LT(locale.CompareStr("Alpha", "beta"), 0);
    EXPECT_EQ(locale.CompareStr("same", "same"), 0);
    EXPECT_NE(locale.CompareStr("Case", "case"), 0);
}

TEST(WinPlatform, ScreenAndFonts) {
    TWinScreen screen;
    EXPECT_EQ(screen.Width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen.Height(), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_GE(screen.PixelsPerInchY(), 72);

    TWinFonts fonts;
    TFont def = fonts.DefaultFont();
    EXPECT_FALSE(def.Name.empty());
    EXPECT_GT(def.Size, 0);
    TFont symbol;
    symbol.Name = "Symbol";
    TRealisedFont r = fonts.Realise(symbol);
    EXPECT_NE(r.PitchAndFamily, 0);
    TFont ansi;
    ansi.Charset = ANSI_CHARSET;
    EXPECT_EQ(fonts.Realise(ansi).Charset, ANSI_CHARSET);
}

TEST(WinPlatform, InputBoxShowsCaptionPromptAndDefault) {
    TWinDialogs dialogs;
    std::string seenCaption;
    std::vector<std::string> seenTexts;
    TDialogRobot::AnswerNext([&](HWND dlg) {
        seenCaption = vxtest::WindowText(dlg);
        seenTexts = TDialogRobot::ChildTexts(dlg);
        SetDlgItemTextA(dlg, 101, "typed \xE4nswer");
        TDialogRobot::Press(dlg, IDOK);
    });
    EXPECT_EQ(dialogs.InputBox("Add note", "Enter the note's text:", "default"), "typed \xE4nswer");
    EXPECT_EQ(seenCaption, "Add note");
    ASSERT_EQ(seenTexts.size(), 4u);
    EXPECT_EQ(seenTexts[0], "Enter the note's text:");
    EXPECT_EQ(seenTexts[1], "default");
    EXPECT_EQ(seenTexts[2], "OK");
    EXPECT_EQ(seenTexts[3], "Cancel");

    // Cancel and the close box give the default back.
    TDialogRobot::AnswerNext([](HWND dlg) {
        SetDlgItemTextA(dlg, 101, "thrown away");
        TDialogRobot::Press(dlg, IDCANCEL);
    });
    EXPECT_EQ(dialogs.InputBox("Edit", "Text:", "kept"), "kept");
    TDialogRobot::AnswerNext([](HWND dlg) { PostMessageA(dlg, WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialogs.InputBox("Edit", "Text:", "kept"), "kept");
}

TEST(WinPlatform, MessageBoxesCarryTheTitleAndAnswer) {
    TWinDialogs dialogs;
    std::string caption;
    std::vector<std::string> texts;
    TDialogRobot::AnswerNext([&](HWND dlg) {
        caption = vxtest::WindowText(dlg);
        texts = TDialogRobot::ChildTexts(dlg);
        TDialogRobot::Press(dlg, IDYES);
    });
    EXPECT_TRUE(dialogs.ConfirmYesNo("Do you really want to exit?"));
    EXPECT_EQ(caption, "vxDebugger for Delphi");
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Do you really want to exit?"), texts.end());

    TDialogRobot::AnswerNext([](HWND dlg) { TDialogRobot::Press(dlg, IDNO); });
    EXPECT_FALSE(dialogs.ConfirmYesNo("Again?"));

    bool shown = false;
    TDialogRobot::AnswerNext([&](HWND dlg) {
        shown = true;
        TDialogRobot::Press(dlg, IDOK);
    });
    dialogs.ShowError("Unknown Message in Debugger WMCOPYDATA [290],");
    EXPECT_TRUE(shown);
}

TEST(WinPlatform, SaveDialogReturnsTheChosenName) {
    TWinDialogs dialogs;
    TWinFileSystem fs;
    TSaveDialogParams params;
    params.Title = "Export to file";
    params.DefaultExt = "csv";
    params.Filter = "CSV (Comma delimited) (*.csv)|*.csv";
    params.InitialDir = fs.TempPath();
    std::string chosen = fs.TempPath() + "vx_save_test.csv";
    std::string caption;
    TDialogRobot::AnswerNext([&](HWND dlg) {
        caption = vxtest::WindowText(dlg);
        SetDlgItemTextA(dlg, 0x47C, chosen.c_str()); // the file-name box
        TDialogRobot::Press(dlg, IDOK);
    });
    std::string name;
    ASSERT_TRUE(dialogs.SaveFile(params, name));
    EXPECT_EQ(Lower(name), Lower(chosen));
    EXPECT_EQ(caption, "Export to file");

    TDialogRobot::AnswerNext([](HWND dlg) { TDialogRobot::Press(dlg, IDCANCEL); });
    name = "unchanged";
    EXPECT_FALSE(dialogs.SaveFile(params, name));
    EXPECT_EQ(name, "unchanged");
}
