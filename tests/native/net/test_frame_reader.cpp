#include "net/FrameReader.h"

#include "protocol/Common_Types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace vx::net {
namespace {

std::string Le32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = char((v >> (8 * i)) & 0xFF);
    return s;
}

std::string Frame(uint32_t wParam, const std::string& block) {
    return Le32(uint32_t(block.size() + 4)) + Le32(wParam) + block;
}

std::string Block(const std::string& text, const std::string& data = {}) {
    TPacketFields f;
    f.ClientID = "C";
    f.Text = text;
    f.Data = data;
    return EncodePacket(f);
}

std::vector<std::pair<uint32_t, std::string>> TakeAll(TFrameReader& r) {
    std::vector<std::pair<uint32_t, std::string>> out;
    TFrame f;
    while (r.Take(f))
        out.emplace_back(f.WParam, std::string(f.Block));
    return out;
}

TEST(FrameReader, FramesCutAnywhereComeOutWholeAndInOrder) {
    const std::string a = Block("one"), b = Block("two", std::string(5000, 'x')), c = Block("3");
    const std::string stream = Frame(14, a) + Frame(0x108, b) + Frame(2, c);
    for (size_t chunk : {size_t(1), size_t(7), size_t(855), size_t(4096), stream.size()}) {
        TFrameReader r;
        std::vector<std::pair<uint32_t, std::string>> got;
        for (size_t i = 0; i < stream.size(); i += chunk) {
            // Half through the socket path, half through Feed.
            const size_t n = std::min(chunk, stream.size() - i);
            if ((i / chunk) % 2) {
                char* at = r.Space(n);
                ASSERT_GE(r.Room(), 1u);
                std::copy(stream.begin() + i, stream.begin() + i + n, at);
                r.Commit(n, 0);
            } else {
                r.Feed(stream.data() + i, n, 0);
            }
            for (auto& f : TakeAll(r))
                got.push_back(f);
        }
        ASSERT_EQ(got.size(), 3u) << chunk;
        EXPECT_EQ(got[0], std::make_pair(uint32_t(14), a));
        EXPECT_EQ(got[1], std::make_pair(uint32_t(0x108), b));
        EXPECT_EQ(got[2], std::make_pair(uint32_t(2), c));
        EXPECT_EQ(r.Pending(), 0u);
        EXPECT_FALSE(r.Failed());
    }
}

TEST(FrameReader, LengthOutOfBoundsFailsAsSoonAsItIsKnown) {
    struct Case {
        uint32_t Length;
        TFrameError Error;
    };
    for (Case c : {Case{0, TFrameError::feTooShort}, Case{855, TFrameError::feTooShort},
                   Case{uint32_t(kMaxFrameLength + 1), TFrameError::feTooLong},
                   Case{0xFFFFFFFFu, TFrameError::feTooLong}}) {
        TFrameReader r;
        r.Feed(Frame(14, Block("ok")).data(), Frame(14, Block("ok")).size(), 0);
        r.Feed(Le32(c.Length).data(), 4, 0); // only the length of the bad frame
        TFrame f;
        EXPECT_TRUE(r.Take(f)); // the good frame before it still comes
        EXPECT_FALSE(r.Take(f));
        EXPECT_EQ(r.Error(), c.Error) << c.Length;
        EXPECT_EQ(r.Room(), 0u);
        r.Feed("more", 4, 0);
        EXPECT_FALSE(r.Take(f));
    }
    // The bounds themselves are frames.
    TFrameReader r;
    std::string smallest = Frame(14, std::string(852, '\0'));
    std::string largest = Frame(14, std::string(kMaxFrameLength - 4, '\0'));
    r.Feed(smallest.data(), smallest.size(), 0);
    r.Feed(largest.data(), largest.size(), 0);
    EXPECT_EQ(TakeAll(r).size(), 2u);
    EXPECT_FALSE(r.Failed());
}

TEST(FrameReader, PartialFrameStallsThirtySecondsAfterItsFirstByte) {
    const std::string f = Frame(14, Block("slow"));
    TFrameReader r;
    EXPECT_EQ(r.Check(1000), TFrameError::feNone); // nothing held: an idle peer is no stall
    r.Feed(f.data(), 100, 10);
    r.Feed(f.data() + 100, 100, 35); // trickling bytes do not restart the clock
    EXPECT_EQ(r.Check(39.9), TFrameError::feNone);
    EXPECT_EQ(r.Check(40), TFrameError::feStalled);

    // A frame completed in time, followed by the start of the next one in the
    // same read: the next frame's clock starts with that read.
    TFrameReader s;
    std::string two = f + f.substr(0, 50);
    s.Feed(two.data(), 10, 0);
    s.Feed(two.data() + 10, two.size() - 10, 25);
    EXPECT_EQ(TakeAll(s).size(), 1u);
    EXPECT_EQ(s.Check(54), TFrameError::feNone);
    EXPECT_EQ(s.Check(55), TFrameError::feStalled);

    // A whole frame not yet taken is not a stall.
    TFrameReader w;
    w.Feed(f.data(), f.size(), 0);
    EXPECT_EQ(w.Check(100), TFrameError::feNone);
}

TEST(FrameReader, RoomBoundsWhatIsHeld) {
    TFrameReader r;
    // Small frames: never more than a read's worth ahead.
    std::string small = Frame(14, Block("x"));
    size_t fed = 0;
    while (r.Room() > 0) {
        size_t n = std::min(r.Room(), small.size());
        r.Feed(small.data(), n, 0); // frames cut at odd places
        fed += n;
        ASSERT_LE(fed, kReadTarget);
    }
    EXPECT_LE(r.Pending(), kReadTarget);
    // A lowered target (many connections share the read-ahead) holds less.
    r.SetReadTarget(kLeastReadTarget);
    EXPECT_EQ(r.Room(), 0u);
    TakeAll(r);
    std::string rest = small.substr(r.Pending());
    r.Feed(rest.data(), rest.size(), 0);
    TakeAll(r);
    ASSERT_EQ(r.Pending(), 0u);
    fed = 0;
    while (r.Room() > 0) {
        size_t n = std::min(r.Room(), small.size());
        std::memcpy(r.Space(n), small.data(), n);
        r.Commit(n, 0);
        fed += n;
        ASSERT_LE(fed, kLeastReadTarget);
    }
    // A large frame announced: room for exactly the whole of it.
    TFrameReader big;
    std::string header = Le32(uint32_t(kMaxFrameLength)) + Le32(14);
    big.Feed(header.data(), header.size(), 0);
    EXPECT_EQ(big.Room() + big.Pending(), kMaxFrameLength + 4);
}

} // namespace
} // namespace vx::net
