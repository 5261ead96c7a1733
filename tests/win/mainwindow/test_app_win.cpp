// The application around the main window: exception log, single instance.
#include "mainwindow/ExceptionLog.h"
#include "mainwindow/ViewerApp_win.h"
#include "platform/Fakes.h"
#include "ui/Dialogs_win.h"
#include "win/mainwindow/MainWindowFixture.h"

#include <fstream>
#include <sstream>

using namespace vx;
using namespace vxtest;

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

TEST(ExceptionLog, NumbersEntriesAndRotatesWhenFull) {
    std::string folder = TWinFileSystem().TempPath() + "vxlogtest\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    DeleteFileA((folder + "CMP.LOG").c_str());
    DeleteFileA((folder + "CMP.BAK").c_str());
    TFakeLocale locale;
    TFakeClock clock; // 12/9/2025 12:00:00 PM
    TExceptionLog log(folder, locale, clock, 300);
    ASSERT_TRUE(log.Append("Range check error", reinterpret_cast<void*>(0x4015A0)));
    ASSERT_TRUE(log.Append("Two\r\nlines", nullptr));
    std::string text = ReadFile(log.LogPath());
    std::string addr(sizeof(void*) * 2 - 6, '0');
    EXPECT_EQ(text, "vxDebugger exception log\r\n"
                    "   1  12/9/2025 12:00:00 PM  Range check error, Address: " +
                        addr +
                        "4015A0\r\n"
                        "   2  12/9/2025 12:00:00 PM  Two  lines, Address: " +
                        addr + "000000\r\n");

    // A third entry passes the 300-byte limit: the log moves to CMP.BAK.
    ASSERT_TRUE(log.Append(std::string(100, 'x'), nullptr));
    EXPECT_EQ(ReadFile(log.BackupPath()), text);
    std::string fresh = ReadFile(log.LogPath());
    EXPECT_EQ(fresh.rfind("vxDebugger exception log\r\n   1  ", 0), 0u) << fresh;
    ASSERT_TRUE(log.Append("next", nullptr));
    EXPECT_NE(ReadFile(log.LogPath()).find("\r\n   2  "), std::string::npos);
}

TEST(ViewerApp, SecondStartFindsTheFirst) {
    std::string name = "vxtest-" + std::to_string(GetCurrentProcessId()) + ".exe";
    TSingleInstance first(name);
    EXPECT_FALSE(first.AnotherRunning());
    {
        TSingleInstance second(name);
        EXPECT_TRUE(second.AnotherRunning());
    }
    EXPECT_EQ(ProgramFileName(), "wintest_mainwindow.exe");

    std::string title = "vxDebugger test " + std::to_string(GetCurrentProcessId());
    EXPECT_FALSE(ActivateRunningInstance(title));
    TApplicationWindow app(title);
    int asked = 0;
    app.OnActivate = [&] { ++asked; };
    EXPECT_TRUE(ActivateRunningInstance(title));
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(IsWindowVisible(app.Handle()));

    std::string folder = ExceptionLogFolder();
    EXPECT_NE(folder.find("\\Vexel\\Debugger\\"), std::string::npos) << folder;
    DWORD attr = GetFileAttributesA(folder.c_str());
    EXPECT_TRUE(attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(MainWindowTest, AFirstInstanceInTheTrayComesBack) {
    auto w = Make();
    TApplicationWindow app("vxDebugger tray test");
    app.OnActivate = [&] { w->act_ShowExecute(); };
    EXPECT_FALSE(IsWindowVisible(w->Handle()));
    EXPECT_TRUE(ActivateRunningInstance("vxDebugger tray test"));
    EXPECT_TRUE(IsWindowVisible(w->Handle()));
}
