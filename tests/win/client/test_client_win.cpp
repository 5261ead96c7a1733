// vxsend and the client library against a minimal receiver in this process:
// the handshake, and records that decode to exactly what was sent.
#include "vxClient_win.h"
#include "vxTcpClient.h"
#include "win/client/TcpViewerStub.h"

#include "protocol/vxDebugIntf.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace vx;

namespace {

struct TReceived {
    uint32_t WParam;
    std::optional<TDecodedPacket> Packet;
    DWORD Size;
};

std::vector<TReceived> g_received;
std::vector<WPARAM> g_bad_handshakes;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLIENT2DEBUGGER) {
        if ((wParam & 0xFF) == hsHello)
            PostMessageA(reinterpret_cast<HWND>(lParam), WM_DEBUGGER2CLIENT, vnAnswer,
                         reinterpret_cast<LPARAM>(hwnd));
        else
            g_bad_handshakes.push_back(wParam);
        return 0;
    }
    if (msg == WM_COPYDATA) {
        auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lParam);
        g_received.push_back({uint32_t(wParam),
                              DecodePacket(uint32_t(wParam), cds->lpData, cds->cbData),
                              cds->cbData});
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

struct Receiver : ::testing::Test {
    HWND hwnd = nullptr;
    void SetUp() override {
        RegisterDebugMessages();
        WNDCLASSA wc{};
        wc.lpfnWndProc = ReceiverProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TestReceiver";
        RegisterClassA(&wc);
        hwnd = CreateWindowExA(0, "TestReceiver", "receiver", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, wc.hInstance, nullptr);
        g_received.clear();
        g_bad_handshakes.clear();
    }
    void TearDown() override { DestroyWindow(hwnd); }

    // Runs vxsend with the arguments while pumping this thread's messages.
    DWORD RunVxsend(const std::string& args) {
        std::string exe = VXSEND_EXE;
        // CMake hands us the Linux path; Wine sees the root folder as drive Z:.
        if (!exe.empty() && exe[0] == '/') exe = "Z:" + exe;
        for (char& c : exe)
            if (c == '/') c = '\\';
        std::string cmd = "\"" + exe + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return 0xDEAD;
        for (;;) {
            DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 30000, QS_ALLINPUT);
            if (r == WAIT_OBJECT_0 || r == WAIT_TIMEOUT) break;
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&m);
        }
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&m);
        DWORD code = 0xDEAD;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
        return code;
    }
};

} // namespace

TEST_F(Receiver, VxsendDeliversEveryFieldAcrossProcesses) {
    DWORD rc = RunVxsend(
        "--client \"Client 1\" --group warning --text \"a<b & |c\" --level 2 --time 45000.5 "
        "--unit uMain --proc TMain.Run --line 321 --data \"payload\" exception");
    ASSERT_EQ(rc, 0u);
    ASSERT_EQ(g_received.size(), 1u);
    const auto& r = g_received[0];
    EXPECT_EQ(r.WParam, uint32_t(dkException));
    EXPECT_EQ(r.Size, 852u + 7u);
    ASSERT_TRUE(r.Packet);
    EXPECT_EQ(r.Packet->ClientID, "Client 1");
    EXPECT_EQ(r.Packet->Rec.Kind, dkException);
    EXPECT_EQ(r.Packet->Rec.Group, dgWarning);
    EXPECT_EQ(r.Packet->Rec.Text, "a<b & |c");
    EXPECT_EQ(r.Packet->Rec.Level, 2);
    EXPECT_DOUBLE_EQ(r.Packet->Rec.Time, 45000.5);
    EXPECT_EQ(r.Packet->Rec.UnitName, "uMain");
    EXPECT_EQ(r.Packet->Rec.ProcName, "TMain.Run");
    EXPECT_EQ(r.Packet->Rec.LineNumber, 321);
    ASSERT_EQ(r.Packet->Rec.DataSize, 7);
    EXPECT_EQ(std::memcmp(r.Packet->Rec.Data.get(), "payload", 7), 0);
}

TEST_F(Receiver, RawWParamAndConnectText) {
    ASSERT_EQ(RunVxsend("--client c --wparam 0x122 string"), 0u);
    ASSERT_EQ(RunVxsend("--client c --app C:\\\\Apps\\\\Demo.exe --caption Main connect"), 0u);
    ASSERT_EQ(g_received.size(), 2u);
    EXPECT_EQ(g_received[0].WParam, 0x122u);
    EXPECT_EQ(g_received[1].Packet->Rec.Kind, dkConnect);
    EXPECT_EQ(g_received[1].Packet->Rec.Text, "C:\\\\Apps\\\\Demo.exe|Main");
}

TEST_F(Receiver, NoViewerIsAClearFailure) {
    DestroyWindow(hwnd);
    hwnd = nullptr;
    EXPECT_EQ(RunVxsend("--timeout 500 --client c string"), 1u);
}

TEST_F(Receiver, LibraryHandshakeAndHostileBlocks) {
    TDebugClient client;
    ASSERT_TRUE(client.FindViewer(2000));
    EXPECT_EQ(client.Viewer(), hwnd);
    // Short and empty blocks reach the receiver with their true size and decode to nothing.
    std::string shortBlock(100, 'x');
    EXPECT_TRUE(client.SendRaw(14, shortBlock.data(), DWORD(shortBlock.size())));
    EXPECT_TRUE(client.SendRaw(14, nullptr, 0));
    // A record announcing far more data than it carries keeps only what came.
    TPacketFields f;
    f.ClientID = "c";
    f.Data = "abc";
    std::string block = EncodePacket(f);
    int32_t huge = 0x7FFFFFFF;
    std::memcpy(&block[packet::DataSize], &huge, 4);
    EXPECT_TRUE(client.SendRaw(26, block.data(), DWORD(block.size())));
    ASSERT_EQ(g_received.size(), 3u);
    EXPECT_FALSE(g_received[0].Packet);
    EXPECT_FALSE(g_received[1].Packet);
    ASSERT_TRUE(g_received[2].Packet);
    EXPECT_EQ(g_received[2].Packet->Rec.DataSize, 3);
    EXPECT_TRUE(g_received[2].Packet->DataCut);
    // A handshake with another code gets no answer.
    client.SetViewer(hwnd);
    client.PostHandshake(2);
    client.Pump(100);
    ASSERT_EQ(g_bad_handshakes.size(), 1u);
    EXPECT_EQ(g_bad_handshakes[0], 2u);
}

TEST_F(Receiver, VxsendOverTcpCarriesEveryCommand) {
    TTcpViewerStub viewer;
    viewer.Serve();
    const std::string tcp = "--tcp 127.0.0.1:" + std::to_string(viewer.Port) + " ";
    ASSERT_EQ(RunVxsend(tcp + "--key k --client c1 --group error --text t --line 7 --data payload "
                              "--wparam 0x113 exception"),
              0u);
    ASSERT_EQ(RunVxsend(tcp + "--key k --client c2 flood 2000"), 0u);
    EXPECT_EQ(RunVxsend(tcp + "--key wrong --timeout 1000 string"), 1u);
    viewer.CloseAfter = 1;
    EXPECT_EQ(RunVxsend(tcp + "--key k --client c3 --wait 5000 listen"), 0u);
    viewer.Stop();
    // Nothing went through the window.
    EXPECT_TRUE(g_received.empty());

    ASSERT_EQ(viewer.Frames.size(), 1u + 2001u + 1u);
    const auto& one = viewer.Frames[0];
    EXPECT_EQ(one.WParam, 0x113u);
    EXPECT_EQ(one.Size, 852u + 7u);
    ASSERT_TRUE(one.Packet);
    EXPECT_EQ(one.Packet->ClientID, "c1");
    EXPECT_EQ(one.Packet->Rec.Group, dgError);
    EXPECT_EQ(one.Packet->Rec.Text, "t");
    EXPECT_EQ(one.Packet->Rec.LineNumber, 7);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(one.Packet->Rec.Data.get()), 7), "payload");
    // The flood: its connect record, then every record in order.
    EXPECT_EQ(viewer.Frames[1].WParam, uint32_t(dkConnect));
    for (int i = 1; i <= 2000; ++i) {
        const auto& f = viewer.Frames[size_t(1 + i)];
        ASSERT_EQ(f.WParam, uint32_t(dkString));
        ASSERT_EQ(f.Packet->Rec.LineNumber, i);
        ASSERT_EQ(f.Packet->ClientID, "c2");
    }
    EXPECT_EQ(viewer.Frames.back().Packet->ClientID, "c3");
}
