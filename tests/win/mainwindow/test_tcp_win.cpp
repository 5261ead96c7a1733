// Remote clients over TCP into a main window built in-process: raw sockets
// play the clients, and every wait pumps the window's messages, since the
// listener runs on this thread.
#include "win/mainwindow/MainWindowFixture.h"

#include "mainwindow/SectionManager.h"
#include "net/TcpListener_win.h"
#include "net/TcpSettings.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace vxtest {

using namespace vx;
namespace {

std::string Le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = char((v >> (8 * i)) & 0xFF);
    return s;
}

std::string Frame(uint32_t wParam, const std::string& id, const std::string& text = "",
                  int32_t infoLine = 0, const std::string& data = "") {
    TPacketFields f;
    f.ClientID = id;
    f.Text = text;
    f.InfoLine = infoLine;
    f.Data = data;
    std::string block = EncodePacket(f);
    return Le32(uint32_t(block.size() + 4)) + Le32(wParam) + block;
}

void Pump() {
    ui::ProcessMessages();
    Sleep(1);
}

// A non-blocking client socket; every wait runs the window's messages.
class TRawClient {
  public:
    explicit TRawClient(const char* from = "127.0.0.1") : from_(from) {}
    ~TRawClient() { Close(); }
    bool Connect(int port) {
        s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from_, &local.sin_addr);
        if (bind(s_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return false;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(uint16_t(port));
        inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
        if (connect(s_, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) return false;
        u_long on = 1;
        ioctlsocket(s_, FIONBIO, &on);
        return true;
    }
    bool Send(const std::string& bytes, DWORD ms = 20000) {
        size_t sent = 0;
        const ULONGLONG until = GetTickCount64() + ms;
        while (sent < bytes.size() && GetTickCount64() < until) {
            int n = send(s_, bytes.data() + sent, int(bytes.size() - sent), 0);
            if (n > 0)
                sent += size_t(n);
            else if (WSAGetLastError() == WSAEWOULDBLOCK)
                Pump();
            else
                return false;
        }
        return sent == bytes.size();
    }
    // Up to n bytes; fewer when the viewer closed the connection or time ran out.
    std::string Read(size_t n, DWORD ms = 10000) {
        std::string got;
        const ULONGLONG until = GetTickCount64() + ms;
        while (got.size() < n && GetTickCount64() < until) {
            char buf[256];
            int r = recv(s_, buf, int(std::min(sizeof buf, n - got.size())), 0);
            if (r > 0)
                got.append(buf, size_t(r));
            else if (r == 0 || WSAGetLastError() != WSAEWOULDBLOCK) {
                closed_ = true;
                break;
            } else
                Pump();
        }
        return got;
    }
    // The viewer closed the connection (all it sent before is read and dropped).
    bool ClosedByViewer(DWORD ms = 10000) {
        Read(1 << 20, ms);
        return closed_;
    }
    bool Handshake(const std::string& key = "") {
        return Send(Frame(1, "", key)) && Read(8) == Le32(4) + Le32(vnAnswer);
    }
    void Close() {
        if (s_ != INVALID_SOCKET) closesocket(s_);
        s_ = INVALID_SOCKET;
    }

  private:
    const char* from_;
    SOCKET s_ = INVALID_SOCKET;
    bool closed_ = false;
};

// Answers the "Remote clients" dialog with settings of the test's choosing.
struct TFakeRemoteDialog : net::IRemoteClientsDialog {
    std::vector<net::TTcpSettings> Shown;
    std::deque<net::TTcpSettings> Answers; // empty: Cancel
    std::vector<std::string> Problems;     // what apply said to each answer
    bool Run(const net::TTcpSettings& settings, const TApply& apply) override {
        Shown.push_back(settings);
        while (!Answers.empty()) {
            net::TTcpSettings a = Answers.front();
            Answers.pop_front();
            Problems.push_back(apply(a));
            if (Problems.back().empty()) return true;
        }
        return false;
    }
};

class TcpTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        w = Make();
        w->RemoteDialog = &dialog;
        w->OnRemoteTrouble = [this](const std::string& t) { log.push_back(t); };
    }
    void TearDown() override {
        w.reset();
        WSACleanup();
        MainWindowTest::TearDown();
    }
    // Listens through the dialog on a free port of this run.
    int Listen(const std::string& key = "", const std::string& address = "127.0.0.1") {
        for (int port = 20000 + int(GetCurrentProcessId() % 20000), tries = 0; tries < 50;
             ++port, ++tries) {
            net::TTcpSettings s;
            s.Listen = true;
            s.Address = address;
            s.Port = port;
            s.Key = key;
            dialog.Answers = {s};
            w->act_RemoteClients->Execute();
            if (dialog.Problems.back().empty()) return port;
        }
        return 0;
    }
    TSectionCore* Section(const std::string& id, const std::string& host) {
        ISectionFrame* f = w->Manager->FindSection(id, host);
        return f ? &f->Core() : nullptr;
    }
    // The section of id and host once it holds n rows.
    TSectionCore* WaitRows(const std::string& id, const std::string& host, size_t n,
                           DWORD ms = 20000) {
        const ULONGLONG until = GetTickCount64() + ms;
        TSectionCore* core = nullptr;
        while (!((core = Section(id, host)) && core->RowCount() >= n) && GetTickCount64() < until)
            Pump();
        return core && core->RowCount() == n ? core : nullptr;
    }
    template <class F> bool WaitFor(F done, DWORD ms = 10000) {
        const ULONGLONG until = GetTickCount64() + ms;
        while (!done() && GetTickCount64() < until)
            Pump();
        return done();
    }
    size_t Logged(const std::string& part) const {
        size_t n = 0;
        for (auto& t : log)
            n += t.find(part) != std::string::npos;
        return n;
    }

    std::unique_ptr<Tfrm_VexelDebugWindow> w;
    TFakeRemoteDialog dialog;
    std::vector<std::string> log;
};

TEST_F(TcpTest, EveryKindArrivesInOrderAndHostsAreKeptApart) {
    const int port = Listen();
    ASSERT_NE(port, 0);
    EXPECT_EQ(RegValue("Display", "TcpListen"), "1");
    EXPECT_EQ(RegValue("Display", "TcpPort"), std::to_string(port));
    EXPECT_TRUE(w->act_RemoteClients->Checked());

    TRawClient one("127.0.0.1"), two("127.0.0.2");
    ASSERT_TRUE(one.Connect(port));
    ASSERT_TRUE(two.Connect(port)) << "Wine cannot bind 127.0.0.2";
    ASSERT_TRUE(one.Handshake());
    ASSERT_TRUE(two.Handshake("any key: the viewer has none"));

    // A local client of the same ID first: remote records must not reach it.
    TPacketFields local;
    local.ClientID = "app";
    local.Text = "C:\\App.exe|Local";
    std::string block = EncodePacket(local);
    w->Manager->WMCopyData(dkConnect, block.data(), block.size());

    std::string stream = Frame(0x108, "app", "C:\\App.exe|Remote", 0);
    for (uint32_t kind = 14; kind <= 32; ++kind)
        stream += Frame(kind, "app", "row " + std::to_string(kind), 0, kind == 26 ? "dump" : "");
    stream += Frame(dkAddMessage, "app", "line") + Frame(dkSetInfoLine, "app", "Name|Value", 2) +
              Frame(dkSetLevel, "app") + Frame(0x122, "app") + Frame(dkString, "app", "after") +
              Frame(dkDisconnect, "app");
    ASSERT_TRUE(one.Send(stream));
    ASSERT_TRUE(two.Send(Frame(dkConnect, "app", "C:\\App.exe|Two") + Frame(dkString, "app", "2")));

    TSectionCore* fromOne = nullptr;
    ASSERT_TRUE(
        WaitFor([&] { return (fromOne = Section("app", "127.0.0.1")) && !fromOne->Connected(); }));
    TSectionCore* fromTwo = WaitRows("app", "127.0.0.2", 1);
    ASSERT_TRUE(fromTwo);
    ASSERT_EQ(fromOne->RowCount(), 20u);
    for (uint32_t kind = 14; kind <= 32; ++kind) {
        EXPECT_EQ(fromOne->Rows().Row(kind - 14).Kind, kind);
        if (kind != 18) {
            EXPECT_EQ(fromOne->Rows().Row(kind - 14).Text, "row " + std::to_string(kind));
        }
    }
    EXPECT_EQ(fromOne->Rows().Row(12).DataSize, 4);
    EXPECT_EQ(fromOne->Rows().Row(19).Text, "after"); // the unknown kind cost nothing after it
    EXPECT_EQ(fromOne->Billboard().Count(), 1u);
    EXPECT_EQ(fromOne->Labels().ID, "Client ID: app [Remote] from 127.0.0.1");
    EXPECT_EQ(fromTwo->Labels().ID, "Client ID: app [Two] from 127.0.0.2");
    EXPECT_EQ(w->Manager->FindSection("app")->Core().RowCount(), 0u);
    EXPECT_EQ(w->Manager->SectionCount(), 3u);

    // The unknown kind: no box, one line in the log.
    EXPECT_TRUE(fakes.Dialogs.Errors.empty());
    EXPECT_EQ(Logged("unknown message kind [290]"), 1u);
    EXPECT_EQ(log.size(), 1u);

    // Shutting down tells every connection.
    fakes.Dialogs.ConfirmAnswers = {true};
    ASSERT_TRUE(w->CloseQueryAndClose());
    EXPECT_EQ(one.Read(8), Le32(4) + Le32(vnClosing));
    EXPECT_EQ(two.Read(8), Le32(4) + Le32(vnClosing));
}

TEST_F(TcpTest, KeyIsCheckedAndOtherAddressesNeedOne) {
    // No key: only loopback; the dialog hears why and the settings stay.
    net::TTcpSettings open;
    open.Listen = true;
    open.Address = "0.0.0.0";
    dialog.Answers = {open};
    w->act_RemoteClients->Execute();
    ASSERT_EQ(dialog.Problems.size(), 1u);
    EXPECT_NE(dialog.Problems[0].find("key is needed"), std::string::npos);
    EXPECT_FALSE(w->Tcp && w->Tcp->Listening());
    EXPECT_EQ(RegValue("Display", "TcpListen"), "<absent>");

    const int port = Listen("s3cret");
    ASSERT_NE(port, 0);
    EXPECT_EQ(dialog.Shown.back().Address, "127.0.0.1"); // the defaults were shown
    TRawClient wrong, early, right;
    ASSERT_TRUE(wrong.Connect(port) && early.Connect(port) && right.Connect(port));
    ASSERT_TRUE(wrong.Send(Frame(1, "", "s3creT")));
    EXPECT_TRUE(wrong.ClosedByViewer());
    ASSERT_TRUE(early.Send(Frame(dkConnect, "x", "App|Main")));
    EXPECT_TRUE(early.ClosedByViewer());
    ASSERT_TRUE(right.Handshake("s3cret"));
    ASSERT_TRUE(right.Send(Frame(dkConnect, "x", "App|Main") + Frame(dkString, "x", "in")));
    EXPECT_TRUE(WaitRows("x", "127.0.0.1", 1));
    EXPECT_EQ(Logged("wrong key"), 1u);
    EXPECT_EQ(Logged("no handshake"), 1u);
    EXPECT_TRUE(fakes.Dialogs.Errors.empty());

    // A new key takes effect without a restart; the old one no longer opens.
    net::TTcpSettings changed = dialog.Shown.back();
    changed.Listen = true;
    changed.Port = port;
    changed.Key = "other";
    dialog.Answers = {changed};
    w->act_RemoteClients->Execute();
    EXPECT_EQ(dialog.Shown.back().Key, "s3cret");
    EXPECT_EQ(RegValue("Display", "TcpKey"), "other");
    TRawClient old, fresh;
    ASSERT_TRUE(old.Connect(port) && fresh.Connect(port));
    ASSERT_TRUE(old.Send(Frame(1, "", "s3cret")));
    EXPECT_TRUE(old.ClosedByViewer());
    EXPECT_TRUE(fresh.Handshake("other"));
}

TEST_F(TcpTest, HostilePeersCloseOnlyTheirOwnConnections) {
    const int port = Listen();
    ASSERT_NE(port, 0);
    TRawClient good;
    ASSERT_TRUE(good.Connect(port));
    ASSERT_TRUE(good.Handshake());
    ASSERT_TRUE(good.Send(Frame(dkConnect, "good", "App|Good")));
    size_t sent = 0;
    auto row = [&] { return Frame(dkString, "good", "row " + std::to_string(sent++)); };

    // Garbage, a huge length, a length shorter than a record: each closed.
    struct Bad {
        const char* Name;
        std::string Bytes;
    };
    std::vector<Bad> bad = {{"garbage", std::string(4000, '\xA5')},
                            {"huge", Le32(0x7FFFFFFF) + Le32(14) + std::string(100, 'x')},
                            {"short", Le32(10) + Le32(14) + std::string(6, 'x')}};
    for (Bad& b : bad) {
        TRawClient peer;
        ASSERT_TRUE(peer.Connect(port));
        ASSERT_TRUE(peer.Handshake());
        ASSERT_TRUE(peer.Send(b.Bytes));
        EXPECT_TRUE(peer.ClosedByViewer()) << b.Name;
        ASSERT_TRUE(good.Send(row()));
    }
    EXPECT_EQ(Logged("shorter than a record"), 1u);
    EXPECT_EQ(Logged("longer than 1 MiB"), 2u); // the garbage reads as a huge length

    // Half frames: one delivered a byte at a time is whole in the end; one
    // cut off by its sender leaves the records before it.
    {
        TRawClient slow;
        ASSERT_TRUE(slow.Connect(port));
        ASSERT_TRUE(slow.Handshake());
        std::string f = Frame(dkConnect, "slow", "App|Slow") + Frame(dkString, "slow", "whole");
        for (char c : f)
            ASSERT_TRUE(slow.Send(std::string(1, c)));
        EXPECT_TRUE(WaitRows("slow", "127.0.0.1", 1));
        std::string cut = Frame(dkString, "slow", "cut");
        ASSERT_TRUE(slow.Send(cut.substr(0, 500)));
    }

    // 200 connections: 64 are served, the rest closed at once; the good one
    // keeps going, and room comes back when they go.
    {
        std::vector<std::unique_ptr<TRawClient>> many;
        for (int i = 0; i < 200; ++i) {
            many.push_back(std::make_unique<TRawClient>());
            ASSERT_TRUE(many.back()->Connect(port)) << i;
            if (i % 20 == 0) Pump();
        }
        EXPECT_TRUE(WaitFor([&] { return w->Tcp->Stats().Refused >= 200 - 63; }));
        EXPECT_EQ(w->Tcp->ConnectionCount(), 64u);
        EXPECT_EQ(Logged("refused"), 1u);
        ASSERT_TRUE(good.Send(row()));
    }
    EXPECT_TRUE(WaitFor([&] { return w->Tcp->ConnectionCount() == 1; }));

    // A slow reader: handshakes it never reads the answers of, and a flood
    // of records interleaved with the good client's. The window stays free.
    TRawClient deaf, flood;
    ASSERT_TRUE(deaf.Connect(port) && flood.Connect(port));
    std::string handshakes;
    for (int i = 0; i < 2000; ++i)
        handshakes += Frame(1, "");
    ASSERT_TRUE(deaf.Send(handshakes));
    ASSERT_TRUE(flood.Handshake());
    std::string burst = Frame(dkConnect, "flood", "App|Flood");
    for (int i = 0; i < 20000; ++i)
        burst += Frame(dkString, "flood", std::to_string(i));
    ASSERT_TRUE(flood.Send(burst, 60000));
    for (int i = 0; i < 50; ++i)
        ASSERT_TRUE(good.Send(row()));
    TSectionCore* flooded = WaitRows("flood", "127.0.0.1", 20000, 60000);
    ASSERT_TRUE(flooded);
    for (size_t i = 0; i < 20000; i += 997)
        EXPECT_EQ(flooded->Rows().Row(i).Text, std::to_string(i));

    // Nothing of the good client was lost, and in order.
    TSectionCore* g = WaitRows("good", "127.0.0.1", sent);
    ASSERT_TRUE(g);
    for (size_t i = 0; i < sent; ++i)
        EXPECT_EQ(g->Rows().Row(i).Text, "row " + std::to_string(i));
    EXPECT_TRUE(fakes.Dialogs.Errors.empty());
    EXPECT_TRUE(IsWindow(w->Handle()));
}

// A window that posts itself a message for every one it gets, with paint
// waiting all along: the queue is never empty of posted messages, as while
// the sections of a flood post themselves their updates.
struct TBusyWindow {
    static constexpr UINT kAgain = WM_APP + 7;
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == kAgain) {
            PostMessageA(h, kAgain, 0, 0);
            InvalidateRect(h, nullptr, FALSE);
            return 0;
        }
        return DefWindowProcA(h, msg, wParam, lParam);
    }
    TBusyWindow() {
        WNDCLASSA c{};
        c.lpfnWndProc = &Proc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = "vxtestBusyWindow";
        RegisterClassA(&c);
        Handle = CreateWindowExA(WS_EX_TOOLWINDOW, c.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                 50, 50, nullptr, nullptr, c.hInstance, nullptr);
        PostMessageA(Handle, kAgain, 0, 0);
    }
    ~TBusyWindow() { DestroyWindow(Handle); }
    HWND Handle = nullptr;
};

TEST_F(TcpTest, AFloodArrivesWhileTheQueueIsNeverEmpty) {
    const int port = Listen();
    ASSERT_NE(port, 0);
    constexpr int kRows = 20000;
    std::string burst = Frame(dkConnect, "busy", "App|Busy");
    for (int i = 0; i < kRows; ++i)
        burst += Frame(dkString, "busy", std::to_string(i));
    // A blocking client on a thread of its own: this thread only runs messages.
    std::atomic<bool> sent{false}, done{false};
    std::thread client([&] {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(uint16_t(port));
        inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
        DWORD patience = 20000; // a viewer that stopped reading fails the send
        setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&patience),
                   sizeof patience);
        if (connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
            const std::string all = Frame(1, "") + burst;
            size_t at = 0;
            for (int n; at < all.size(); at += size_t(n))
                if ((n = send(s, all.data() + at, int(all.size() - at), 0)) <= 0) break;
            sent = at == all.size();
        }
        while (!done)
            Sleep(10);
        closesocket(s);
    });
    TBusyWindow busy;
    TSectionCore* core = nullptr;
    const ULONGLONG until = GetTickCount64() + 30000;
    MSG msg;
    while (!((core = Section("busy", "127.0.0.1")) && core->RowCount() >= size_t(kRows)) &&
           GetTickCount64() < until) {
        // Posted messages first, as GetMessage takes them: a WM_TIMER never comes.
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    done = true;
    client.join();
    EXPECT_TRUE(sent);
    ASSERT_TRUE(core);
    ASSERT_EQ(core->RowCount(), size_t(kRows));
    for (size_t i = 0; i < size_t(kRows); i += 997)
        EXPECT_EQ(core->Rows().Row(i).Text, std::to_string(i));
}

TEST_F(TcpTest, StalledAndSilentConnectionsGoAfterThirtySeconds) {
    const int port = Listen();
    ASSERT_NE(port, 0);
    double now = 1000;
    w->Tcp->Clock = [&now] { return now; };
    TRawClient good, half, silent;
    ASSERT_TRUE(good.Connect(port) && half.Connect(port) && silent.Connect(port));
    ASSERT_TRUE(good.Handshake() && half.Handshake());
    std::string f = Frame(dkConnect, "half", "App|Half") + Frame(dkString, "half", "cut");
    ASSERT_TRUE(half.Send(f.substr(0, f.size() - 10)));
    ASSERT_TRUE(WaitFor([&] { return Section("half", "127.0.0.1") != nullptr; }));
    Sleep(1500);
    Pump(); // a check of the stall timer before the time is up
    EXPECT_EQ(w->Tcp->ConnectionCount(), 3u);
    now += 31; // the stall timer looks once a second
    EXPECT_TRUE(half.ClosedByViewer(5000));
    EXPECT_TRUE(silent.ClosedByViewer(5000));
    EXPECT_EQ(Logged("stalled"), 1u);
    EXPECT_EQ(Logged("no handshake"), 1u);
    ASSERT_TRUE(good.Send(Frame(dkConnect, "good", "App|Good") + Frame(dkString, "good", "on")));
    EXPECT_TRUE(WaitRows("good", "127.0.0.1", 1));
    EXPECT_EQ(Section("half", "127.0.0.1")->RowCount(), 0u);
}

} // namespace
} // namespace vxtest
