// The TCP frame reader and the connection rules, fed any byte stream a peer
// can send. The first byte picks how the stream is cut into reads (and
// whether they go through Feed or Space/Commit); the rest is the stream.
// Whatever the cuts, the frames taken must be those of a plain reading of the
// whole stream, in order, until the first bad length, which must fail the
// reader with that error; the reader never holds more than its bound; and
// the connection rules answer every frame without a fault.
#include "FuzzSupport.h"
#include "net/FrameReader.h"
#include "net/TcpSession.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace vx::net;
using vxfuzz::Check;

namespace {

struct TRefFrame {
    uint32_t WParam;
    std::string Block;
};

uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The frames of the whole stream, and the error that ends it (feNone when it
// ends inside a frame or at a frame's end).
std::vector<TRefFrame> Reference(const uint8_t* s, size_t n, TFrameError& error) {
    std::vector<TRefFrame> frames;
    error = TFrameError::feNone;
    size_t at = 0;
    while (n - at >= 4) {
        const uint32_t length = U32(s + at);
        if (length < kMinFrameLength) {
            error = TFrameError::feTooShort;
            break;
        }
        if (length > kMaxFrameLength) {
            error = TFrameError::feTooLong;
            break;
        }
        if (n - at - 4 < length) break;
        frames.push_back(
            {U32(s + at + 4), std::string(reinterpret_cast<const char*>(s + at + 8), length - 4)});
        at += 4 + size_t(length);
    }
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    const uint8_t* stream = data + 1;
    const size_t n = size - 1;
    TFrameError expectedError;
    const std::vector<TRefFrame> expected = Reference(stream, n, expectedError);

    TFrameReader reader;
    TTcpSession session(mode & 0x80 ? "key" : "", 0);
    std::vector<TRefFrame> got;
    uint32_t cut = 0x9E3779B9u ^ mode;
    size_t at = 0;
    double now = 0;
    auto takeAll = [&] {
        TFrame frame;
        while (reader.Take(frame)) {
            Check(frame.Block.size() + 4 >= kMinFrameLength, "a frame holds a whole packet");
            got.push_back({frame.WParam, std::string(frame.Block)});
            (void)session.OnFrame(frame);
            (void)PacketText(frame.Block);
        }
    };
    while (at < n && !reader.Failed()) {
        cut = cut * 1103515245u + 12345u;
        const size_t want = std::min<size_t>(n - at, 1 + (cut >> 16) % (mode & 0x40 ? 7 : 1500));
        if (mode & 1) {
            const size_t room = reader.Room();
            if (room == 0) {
                // Full: only taking frames makes room again.
                const size_t before = got.size();
                takeAll();
                Check(got.size() > before || reader.Failed(), "a full reader has a frame to give");
                continue;
            }
            const size_t take = std::min(want, room);
            char* space = reader.Space(take);
            Check(space != nullptr, "room is given when Room says so");
            std::memcpy(space, stream + at, take);
            reader.Commit(take, now);
            at += take;
        } else {
            reader.Feed(stream + at, want, now);
            at += want;
        }
        now += 1e-6;
        takeAll();
        if (mode & 1)
            Check(reader.Pending() <= kMaxFrameLength + 4 + kReadTarget,
                  "a socket's reader holds at most a frame and one read");
    }
    takeAll();
    Check(got.size() == expected.size(), "as many frames as a plain reading finds");
    for (size_t i = 0; i < got.size(); ++i)
        Check(got[i].WParam == expected[i].WParam && got[i].Block == expected[i].Block,
              "the frames of a plain reading, in order");
    Check(reader.Error() == expectedError, "a bad length fails the stream with its error");
    // A partial frame left waiting stalls once its time is up, and only then.
    if (!reader.Failed() && reader.Pending() > 0) {
        Check(reader.Check(now) == TFrameError::feNone, "a fresh partial frame is no stall");
        Check(reader.Check(now + kStallSeconds + 1) == TFrameError::feStalled,
              "a partial frame stalls after its time");
    }
    (void)DescribeTrouble(session.LastTrouble(), session.LastWParam());
    return 0;
}
