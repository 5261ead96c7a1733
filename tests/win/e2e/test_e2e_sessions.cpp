// Logging to disk end to end: the viewer is killed during a flood, and its
// session file still holds every record delivered up to the last second.
#include "E2EFixture.h"
#include "sessionlog/SessionReader.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vxtest {

using namespace vx;
namespace {

std::string NewFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    std::string dir = std::string(base) + "vx_e2e_logs_" + std::to_string(GetCurrentProcessId()) +
                      "_" + std::to_string(GetTickCount());
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::vector<std::string> SessionFiles(const std::string& dir) {
    std::vector<std::string> files;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*.vxs").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return files;
    do
        files.push_back(dir + "\\" + fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return files;
}

// What `taskkill /f` does to the viewer: it ends at once, nothing runs.
bool TaskKill(DWORD pid) {
    TChildProcess kill;
    if (!kill.Start("taskkill /f /pid " + std::to_string(pid)) || !kill.Wait(20000)) return false;
    return kill.ExitCode() == 0;
}

} // namespace

TEST_F(E2ETest, AKilledViewersLogHoldsEveryRecordDeliveredBeforeTheLastSecond) {
    const std::string dir = NewFolder();
    viewer.DisplayValues = {{"LogToDisk", "1"}, {"LogFolder", dir}};
    StartViewer();

    // The first flood is delivered and shown; a second later it is on the disk.
    constexpr int kFirst = 1500;
    Vxsend("--client Flood flood " + std::to_string(kFirst));
    EXPECT_EQ(
        EventuallyText(
            std::to_string(kFirst) + " messages", [&] { return viewer.StatusText(2); }, 30000),
        std::to_string(kFirst) + " messages");
    Sleep(1500);

    // The second flood is cut short by the kill.
    auto flood = StartVxsend("--client Flood flood 200000");
    ASSERT_TRUE(flood);
    Sleep(800);
    ASSERT_TRUE(TaskKill(viewer.Pid())) << "taskkill failed";
    ASSERT_TRUE(WaitFor([&] { return !viewer.Running(); }, 20000));
    flood->Wait(30000);

    std::vector<std::string> files = SessionFiles(dir);
    ASSERT_EQ(files.size(), 1u) << dir;
    TChildProcess verify;
    ASSERT_TRUE(verify.Start("\"" + ProgramPath(VXLOG_EXE) + "\" verify \"" + files[0] + "\""));
    ASSERT_TRUE(verify.Wait(30000));
    EXPECT_LE(verify.ExitCode(), 1u) << verify.Output(); // 1: a torn last block is allowed
    EXPECT_NE(verify.Output().find("good records"), std::string::npos) << verify.Output();

    // The rows in the file: the whole first flood, then the second one's
    // first records in order, up to where the kill cut it.
    std::vector<std::string> rows;
    TSessionScan scan = ReadSession(files[0], [&](const TSessionRecord& r) {
        if (r.Type == srRow) rows.emplace_back(r.Row.Text);
    });
    ASSERT_TRUE(scan.Opened);
    ASSERT_GE(rows.size(), size_t(kFirst)) << verify.Output();
    for (int i = 0; i < kFirst; ++i)
        ASSERT_EQ(rows[size_t(i)],
                  "Flood record " + std::to_string(i + 1) + " of " + std::to_string(kFirst));
    for (size_t i = kFirst; i < rows.size(); ++i)
        ASSERT_EQ(rows[i], "Flood record " + std::to_string(i - kFirst + 1) + " of 200000");
    RecordProperty("SecondFloodRowsOnDisk", int(rows.size() - kFirst));
    std::string cmd = "cmd /c rmdir /s /q \"" + dir + "\" >nul 2>nul";
    WinExec(cmd.c_str(), SW_HIDE);
}

} // namespace vxtest
