#include "net/TcpSession.h"
#include "net/TcpSettings.h"

#include "protocol/Common_Types.h"

#include <gtest/gtest.h>

namespace vx::net {
namespace {

std::string Block(const std::string& text) {
    TPacketFields f;
    f.ClientID = "C";
    f.Text = text;
    return EncodePacket(f);
}

TFrameVerdict Send(TTcpSession& s, uint32_t wParam, const std::string& block) {
    return s.OnFrame(TFrame{wParam, block});
}

TEST(TcpSession, HandshakeWithTheKeyOpensTheConnection) {
    const std::string rec = Block("row");
    {
        TTcpSession s("secret", 0);
        EXPECT_EQ(Send(s, 0x101, Block("secret")), TFrameVerdict::fvAnswer);
        EXPECT_EQ(Send(s, 14, rec), TFrameVerdict::fvDispatch);
        EXPECT_EQ(Send(s, 0x108, rec), TFrameVerdict::fvDispatch);
        EXPECT_EQ(Send(s, 33, rec), TFrameVerdict::fvDispatch);
        EXPECT_EQ(s.Counts().Records, 3u);
    }
    for (const char* wrong : {"", "secreT", "secret ", "secre"}) {
        TTcpSession s("secret", 0);
        EXPECT_EQ(Send(s, 1, Block(wrong)), TFrameVerdict::fvClose) << wrong;
        EXPECT_EQ(s.LastTrouble(), TRemoteTrouble::rtWrongKey);
        EXPECT_FALSE(s.Open());
    }
    // Without a key any handshake is taken; still, a record must not come first.
    TTcpSession open("", 0);
    EXPECT_EQ(Send(open, 1, Block("whatever")), TFrameVerdict::fvAnswer);
    TTcpSession early("", 0);
    EXPECT_EQ(Send(early, 8, Block("App|Main")), TFrameVerdict::fvClose);
    EXPECT_EQ(early.LastTrouble(), TRemoteTrouble::rtNoHandshake);
    EXPECT_TRUE(early.HandshakeOverdue(30));
    EXPECT_FALSE(open.HandshakeOverdue(1e9));
}

TEST(TcpSession, UnknownKindsAreCountedAndReportedOnce) {
    TTcpSession s("", 0);
    Send(s, 1, Block(""));
    const std::string rec = Block("x");
    for (uint32_t wParam : {0u, 3u, 7u, 34u, 0x122u, 255u}) {
        EXPECT_EQ(Send(s, wParam, rec), TFrameVerdict::fvDropped) << wParam;
        EXPECT_EQ(s.LastTroubleIsNew(), wParam == 0u);
    }
    EXPECT_EQ(s.Counts().Of(TRemoteTrouble::rtUnknownKind), 6u);
    EXPECT_EQ(s.Counts().Records, 0u);
    EXPECT_EQ(DescribeTrouble(TRemoteTrouble::rtUnknownKind, 0x122), "unknown message kind [290]");
    EXPECT_TRUE(s.Count(TRemoteTrouble::rtMalformed));
    EXPECT_FALSE(s.Count(TRemoteTrouble::rtMalformed));
}

TEST(TcpSession, KeysDifferingOnlyInLengthOrNulAreDifferent) {
    EXPECT_TRUE(KeysEqual("", ""));
    EXPECT_TRUE(KeysEqual("abc", "abc"));
    EXPECT_FALSE(KeysEqual("abc", "abcd"));
    EXPECT_FALSE(KeysEqual(std::string_view("abc\0", 4), "abc"));
    EXPECT_FALSE(KeysEqual("", "a"));
}

TEST(TcpSettings, NonLoopbackAddressNeedsAKey) {
    TTcpSettings s;
    s.Listen = true;
    EXPECT_EQ(TcpSettingsProblem(s), ""); // the defaults: loopback, no key
    s.Address = "127.0.0.2";
    EXPECT_EQ(TcpSettingsProblem(s), "");
    for (const char* address : {"0.0.0.0", "192.168.1.7", "10.0.0.1"}) {
        s.Address = address;
        EXPECT_NE(TcpSettingsProblem(s).find("key is needed"), std::string::npos) << address;
        s.Key = "k";
        EXPECT_EQ(TcpSettingsProblem(s), "") << address;
        s.Key.clear();
    }
    for (const char* bad : {"", "localhost", "127.0.0", "127.0.0.1.", "256.0.0.1", "1.2.3.04x",
                            " 127.0.0.1", "1..2.3", "0127.0.0.1"}) {
        s.Address = bad;
        s.Key = "k";
        EXPECT_NE(TcpSettingsProblem(s), "") << bad;
    }
    s.Address = "127.0.0.1";
    for (int port : {0, -1, 65536}) {
        s.Port = port;
        EXPECT_NE(TcpSettingsProblem(s), "") << port;
    }
    s.Listen = false; // off: nothing to refuse
    EXPECT_EQ(TcpSettingsProblem(s), "");
}

} // namespace
} // namespace vx::net
