// The TCP client against a listener in this process that plays the viewer's
// part as a script: what it reads is checked byte for byte.
#include "vxTcpClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>

using namespace vx;

namespace {

using TClock = std::chrono::steady_clock;

long MsSince(TClock::time_point t0) {
    return long(std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - t0).count());
}

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int c : b)
        s += char(c);
    return s;
}

// A loopback listener on a free port; Serve runs `script` on the first
// accepted connection in a thread of its own.
struct TListener {
    int Listen = -1, Peer = -1;
    uint16_t Port = 0;
    std::thread Thread;

    explicit TListener(int rcvbuf = 0) {
        Listen = socket(AF_INET, SOCK_STREAM, 0);
        if (rcvbuf) setsockopt(Listen, SOL_SOCKET, SO_RCVBUF, &rcvbuf, sizeof rcvbuf);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(Listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(Listen, reinterpret_cast<sockaddr*>(&a), &len);
        Port = ntohs(a.sin_port);
        listen(Listen, 4);
    }
    ~TListener() {
        if (Thread.joinable()) Thread.join();
        if (Peer >= 0) close(Peer);
        close(Listen);
    }
    void Serve(std::function<void(TListener&)> script) {
        Thread = std::thread([this, script] {
            Peer = accept(Listen, nullptr, nullptr);
            if (Peer >= 0) script(*this);
        });
    }
    // Reads exactly n bytes (less when the client closed).
    std::string Read(size_t n) {
        std::string s(n, '\0');
        size_t got = 0;
        while (got < n) {
            ssize_t r = recv(Peer, &s[got], n - got, 0);
            if (r <= 0) break;
            got += size_t(r);
        }
        s.resize(got);
        return s;
    }
    std::string ReadFrame() {
        std::string head = Read(8);
        if (head.size() < 8) return head;
        uint32_t len;
        std::memcpy(&len, head.data(), 4);
        return head + Read(len - 4);
    }
    void Answer(uint32_t wParam = vnAnswer) {
        std::string f;
        AppendFrame(f, wParam, nullptr, 0);
        send(Peer, f.data(), f.size(), MSG_NOSIGNAL);
    }
    void Greet() {
        ReadFrame();
        Answer();
    }
};

TPacketFields Record(int line, const std::string& data = "") {
    TPacketFields f;
    f.ClientID = "tcp-test";
    f.Group = 2;
    f.Text = "record " + std::to_string(line);
    f.Time = 46000.5;
    f.UnitName = "uTest";
    f.ProcName = "TTest.Run";
    f.LineNumber = line;
    f.Data = data;
    return f;
}

TTcpOptions Quick() {
    TTcpOptions o;
    o.ConnectTimeoutMs = o.AnswerTimeoutMs = o.SendTimeoutMs = 400;
    return o;
}

} // namespace

TEST(TcpClient, HandshakeAndRecordGoOutByteForByte) {
    TListener l;
    std::string hello, record;
    l.Serve([&](TListener& me) {
        hello = me.ReadFrame();
        me.Answer();
        record = me.ReadFrame();
    });
    TTcpClient c(Quick());
    ASSERT_TRUE(c.Connect("127.0.0.1", l.Port, "s3cret", "client-7")) << c.Error();
    ASSERT_TRUE(c.Send(0x10E, Record(42, "abc"))) << c.Error();
    l.Thread.join();

    // L counts the wParam and the block: 4 + 852 for the handshake.
    ASSERT_EQ(hello.size(), 8u + 852u);
    EXPECT_EQ(hello.substr(0, 8), Bytes({0x58, 0x03, 0, 0, 0x01, 0, 0, 0}));
    auto h = DecodePacket(1, hello.data() + 8, hello.size() - 8);
    ASSERT_TRUE(h);
    EXPECT_EQ(h->Rec.Text, "s3cret");
    EXPECT_EQ(h->ClientID, "client-7");

    ASSERT_EQ(record.size(), 8u + 852u + 3u);
    EXPECT_EQ(record.substr(0, 8), Bytes({0x5B, 0x03, 0, 0, 0x0E, 0x01, 0, 0}));
    EXPECT_EQ(record.substr(8), EncodePacket(Record(42, "abc")));
}

TEST(TcpClient, RefusedKeySilenceAndNoListenerFailWithoutHanging) {
    {
        TListener l;
        l.Serve([](TListener& me) { // a wrong key: the viewer closes
            me.ReadFrame();
            close(me.Peer);
            me.Peer = -1;
        });
        TTcpClient c(Quick());
        auto t0 = TClock::now();
        EXPECT_FALSE(c.Connect("127.0.0.1", l.Port, "wrong"));
        EXPECT_NE(c.Error().find("key"), std::string::npos) << c.Error();
        EXPECT_LT(MsSince(t0), 300); // the close is noticed, not waited out
        EXPECT_FALSE(c.IsConnected());
    }
    {
        TListener l;
        l.Serve([](TListener& me) {
            me.ReadFrame();
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        });
        TTcpClient c(Quick());
        auto t0 = TClock::now();
        EXPECT_FALSE(c.Connect("127.0.0.1", l.Port, ""));
        EXPECT_NE(c.Error().find("did not answer"), std::string::npos) << c.Error();
        EXPECT_LT(MsSince(t0), 1200);
    }
    {
        int port;
        {
            TListener gone; // a port that nobody listens on any more
            port = gone.Port;
        }
        TTcpClient c(Quick());
        EXPECT_FALSE(c.Connect("127.0.0.1", uint16_t(port), ""));
        EXPECT_FALSE(c.Send(dkString, Record(1)));
    }
    {
        TTcpClient c(Quick());
        EXPECT_FALSE(c.Connect("127.0.0.1", 5840, std::string(256, 'k')));
        EXPECT_NE(c.Error().find("255"), std::string::npos);
    }
}

TEST(TcpClient, QueuedRecordsGoOutInBatchesAndInOrder) {
    const int n = 3000;
    TListener l;
    std::vector<int> lines;
    l.Serve([&](TListener& me) {
        me.Greet();
        for (int i = 0; i < n; ++i) {
            std::string f = me.ReadFrame();
            if (f.size() < 8 + 852) break;
            lines.push_back(DecodePacket(dkString, f.data() + 8, f.size() - 8)->Rec.LineNumber);
        }
    });
    TTcpClient c(Quick());
    ASSERT_TRUE(c.Connect("127.0.0.1", l.Port, ""));
    const uint64_t before = c.SendCalls();
    // Too much attached data is refused, and the connection stays usable.
    EXPECT_FALSE(c.Queue(dkString, Record(0, std::string(frame::MaxData + 1, 'x'))));
    for (int i = 1; i <= n; ++i)
        ASSERT_TRUE(c.Queue(dkString, Record(i)));
    ASSERT_TRUE(c.Flush()) << c.Error();
    l.Thread.join();
    ASSERT_EQ(lines.size(), size_t(n));
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(lines[i], i + 1);
    EXPECT_LT(c.SendCalls() - before, uint64_t(n / 50));
}

TEST(TcpClient, ClosingViewerEndsListenAndFailsLaterSends) {
    TListener l;
    l.Serve([](TListener& me) {
        me.Greet();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        me.Answer(vnClosing);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        close(me.Peer);
        me.Peer = -1;
    });
    TTcpClient c(Quick());
    ASSERT_TRUE(c.Connect("127.0.0.1", l.Port, ""));
    EXPECT_FALSE(c.ViewerClosed());
    auto t0 = TClock::now();
    EXPECT_TRUE(c.WaitClosing(5000));
    EXPECT_LT(MsSince(t0), 1000);
    l.Thread.join();
    // Gone for good: a send fails (and no broken pipe ends the program).
    EXPECT_FALSE(c.Send(dkString, Record(1)));
    EXPECT_FALSE(c.Send(dkString, Record(2)));
}

TEST(TcpClient, ViewerThatStopsReadingFailsTheSendInsteadOfHanging) {
    TListener l(4096);
    std::atomic<bool> release{false};
    l.Serve([&](TListener& me) {
        me.Greet();
        while (!release)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    TTcpClient c(Quick());
    ASSERT_TRUE(c.Connect("127.0.0.1", l.Port, ""));
    auto t0 = TClock::now();
    bool ok = true;
    const std::string data(60000, 'd');
    for (int i = 0; i < 20000 && ok; ++i)
        ok = c.Queue(dkString, Record(i, data));
    if (ok) ok = c.Flush();
    release = true;
    EXPECT_FALSE(ok);
    EXPECT_NE(c.Error().find("took no data"), std::string::npos) << c.Error();
    EXPECT_LT(MsSince(t0), 5000);
}

TEST(TcpClient, HostAndPortParsing) {
    std::string h;
    uint16_t p = 0;
    EXPECT_TRUE(ParseHostPort("127.0.0.2:5840", h, p));
    EXPECT_EQ(h, "127.0.0.2");
    EXPECT_EQ(p, 5840);
    EXPECT_TRUE(ParseHostPort("[::1]:80", h, p));
    EXPECT_EQ(h, "::1");
    for (const char* bad : {"5840", "host:", ":5840", "host:0", "host:65536", "host:12x", "::1:80"})
        EXPECT_FALSE(ParseHostPort(bad, h, p)) << bad;
}
