// Clients over TCP end to end: the native Linux vxsend, the Windows vxsend
// and the Pascal example reach a viewer that listens for remote clients on
// loopback, and a client with the wrong key reaches nothing.
#include "E2EFixture.h"
#include "win/client/TcpViewerStub.h"

#include <fstream>
#include <sstream>

using namespace vx;
using namespace vxtest;

namespace {

std::string WinPath(std::string unixPath) {
    for (char& c : unixPath)
        if (c == '/') c = '\\';
    return "Z:" + unixPath;
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs the native Linux vxsend. Wine starts a Linux program but gives no
// handle to wait on, so a shell runs it and writes its output and then its
// exit status into files that this process waits for.
TVxsendResult RunNative(const std::string& args, DWORD ms = 30000) {
    static int run = 0;
    const std::string base = std::string(VX_E2E_TMP) + "/native-vxsend-" +
                             std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++run);
    const std::string out = base + ".out", rc = base + ".rc";
    DeleteFileA(WinPath(out).c_str());
    DeleteFileA(WinPath(rc).c_str());
    std::string cmd = "Z:\\bin\\sh -c \"'" + std::string(VXSEND_NATIVE) + "' " + args + " > '" +
                      out + "' 2>&1; echo $? > '" + rc + ".part'; mv '" + rc + ".part' '" + rc +
                      "'\"";
    TVxsendResult r;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        // Wine reports a started Linux program as a failure of its own kind.
    } else {
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    const DWORD end = GetTickCount() + ms;
    while (GetFileAttributesA(WinPath(rc).c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (int32_t(end - GetTickCount()) <= 0) {
            r.Output = ReadFile(WinPath(out)) + "<no exit status>";
            return r;
        }
        Sleep(50);
    }
    r.ExitCode = DWORD(std::atoi(ReadFile(WinPath(rc)).c_str()));
    r.Output = ReadFile(WinPath(out));
    return r;
}

class TcpClientsTest : public E2ETest {
  protected:
    // A port of its own for each run: other test runs on this machine listen too.
    uint16_t port = uint16_t(30000 + (GetTickCount() / 16 + GetCurrentProcessId()) % 20000);
    std::string tcp;

    void StartListening(const std::string& key) {
        tcp = "--tcp 127.0.0.1:" + std::to_string(port) + " ";
        viewer.DisplayValues = {{"TcpListen", "1"},
                                {"TcpAddress", "127.0.0.1"},
                                {"TcpPort", std::to_string(port)},
                                {"TcpKey", key}};
        StartViewer();
        // Listening may begin a moment after the window shows.
        TVxsendResult r;
        WaitFor([&] { return (r = RunVxsend(tcp + "--key " + key + " hello")).ExitCode == 0; });
        ASSERT_EQ(r.ExitCode, 0u) << "the viewer does not listen on port " << port << "\n"
                                  << r.Output;
    }

    // The section whose ID label starts with "Client ID: " and id.
    std::unique_ptr<TSectionView> RemoteSection(const std::string& id) {
        std::unique_ptr<TSectionView> found;
        WaitFor([&] {
            for (const auto& s : viewer.Sections())
                if (s.IdLabel().rfind("Client ID: " + id, 0) == 0) {
                    found = std::make_unique<TSectionView>(s);
                    return true;
                }
            return false;
        });
        return found;
    }
};

} // namespace

TEST_F(TcpClientsTest, NativeLinuxVxsendReachesTheViewer) {
    StartListening("k3y");
    TVxsendResult r = RunNative(tcp + "--key k3y --client linux-1 --caption Linux flood 500");
    ASSERT_EQ(r.ExitCode, 0u) << r.Output;
    EXPECT_NE(r.Output.find("flood sent 500 of 500"), std::string::npos) << r.Output;
    auto s = RemoteSection("linux-1");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->IdLabel(), "Client ID: linux-1 [Linux] from 127.0.0.1");
    TRemoteList list = s->DebugList();
    ASSERT_EQ(EventuallyCount(500, [&] { return list.Count(); }), 500);
    EXPECT_EQ(list.Text(0, 2), "Flood record 1 of 500");
    EXPECT_EQ(list.Text(499, 2), "Flood record 500 of 500");

    // A wrong key is refused: a clear failure, and nothing reaches the viewer.
    r = RunNative(tcp + "--key wrong --client linux-2 connect");
    EXPECT_EQ(r.ExitCode, 1u) << r.Output;
    EXPECT_NE(r.Output.find("key"), std::string::npos) << r.Output;
    EXPECT_TRUE(viewer.Responsive());
    Sleep(300);
    for (const auto& other : viewer.Sections())
        EXPECT_EQ(other.IdLabel().find("linux-2"), std::string::npos);
}

TEST_F(TcpClientsTest, WindowsVxsendAndPascalExampleOverTcp) {
    StartListening("k");
    Vxsend(tcp + "--key k --client win-1 --caption Win connect");
    Vxsend(tcp + "--key k --client win-1 --text \"over tcp\" --unit uNet --line 12 string");
    auto s = RemoteSection("win-1");
    ASSERT_TRUE(s);
    TRemoteList list = s->DebugList();
    ASSERT_EQ(EventuallyCount(1, [&] { return list.Count(); }), 1);
    EXPECT_EQ(list.Text(0, 2), "over tcp");

#ifdef VXPASCAL_EXE
    // The Pascal example, every kind of row, and its disconnect at the end.
    TChildProcess example;
    ASSERT_TRUE(example.Start("\"" + ProgramPath(VXPASCAL_EXE) + "\" " + tcp + "--key k kinds"));
    ASSERT_TRUE(example.Wait(60000));
    EXPECT_EQ(example.ExitCode(), 0u) << example.Output();
    auto p = RemoteSection("Pascal");
    ASSERT_TRUE(p);
    TRemoteList rows = p->DebugList();
    ASSERT_EQ(EventuallyCount(19, [&] { return rows.Count(); }), 19);
    EXPECT_EQ(EventuallyText("DISCONNECTED", [&] { return p->ConnectionLabel(); }), "DISCONNECTED");
#endif
}

#ifdef VXPASCAL_EXE
// The Pascal unit against a stand-in that closes under it: the unit sends the
// key, one frame per record in order, notices the closing notice, connects
// again later and then sends its connect record before anything else.
TEST_F(TcpClientsTest, PascalUnitReconnectsAfterTheViewerCloses) {
    TTcpViewerStub stub;
    stub.CloseAfter = 5;
    stub.OnlyFirst = true;
    stub.Serve();
    TChildProcess example;
    ASSERT_TRUE(example.Start("\"" + ProgramPath(VXPASCAL_EXE) + "\" --tcp 127.0.0.1:" +
                              std::to_string(stub.Port) + " --key k later"));
    ASSERT_TRUE(example.Wait(60000)) << example.Output();
    EXPECT_EQ(example.ExitCode(), 0u) << example.Output();
    stub.Stop();

    std::vector<int> first, second;
    for (const auto& f : stub.Frames) {
        ASSERT_TRUE(f.Packet);
        EXPECT_EQ(f.Packet->ClientID, "Pascal example");
        (f.Connection == 1 ? first : second).push_back(int(f.WParam));
    }
    EXPECT_EQ(first, (std::vector<int>{dkConnect, dkString, dkString, dkString, dkString}));
    ASSERT_GE(second.size(), 3u);
    EXPECT_EQ(second.front(), dkConnect);
    EXPECT_EQ(second.back(), dkDisconnect);
    EXPECT_EQ(stub.Frames[stub.Frames.size() - 2].Packet->Rec.Text, "back again");
}
#endif
