// TFrameReader: cuts the byte stream of one TCP connection into frames.
//
// A frame is a 32-bit little-endian length L (the bytes after it), a 32-bit
// little-endian wParam, then L - 4 bytes: the block a WM_COPYDATA record
// carries (the fixed packet and its attached data).
//
// The interface is a plain "feed bytes, take frames" one and holds no socket:
//     reader.Feed(bytes, n, now);           // or Space()/Commit() to read in place
//     while (reader.Take(frame)) use(frame);
//     if (reader.Failed()) close the connection;
// Everything fed is hostile. A length below the fixed packet or above 1 MiB of
// attached data fails the stream as soon as its four bytes are in, before
// anything is held for it; a frame that is not whole 30 s after its first
// byte came fails it at the next Check. A failed reader takes nothing more.
// Feed takes all it is given; a socket reads through Space and Commit, never
// more than Room, so the reader then holds at most one frame plus one read's
// worth of bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vx::net {

inline constexpr size_t kFrameHeaderSize = 8;      // L and wParam
inline constexpr size_t kMinFrameLength = 4 + 852; // wParam and the fixed packet
inline constexpr size_t kMaxFrameLength = (1u << 20) + kMinFrameLength;
inline constexpr double kStallSeconds = 30;
// Bytes a reader holds ahead of the frames at most (a read's worth): under
// Wine each read costs the window a few server calls, so a flood is read in
// large pieces. SetReadTarget lowers it when many connections share memory.
inline constexpr size_t kReadTarget = 1024 * 1024;
inline constexpr size_t kLeastReadTarget = 64 * 1024;

enum class TFrameError { feNone, feTooShort, feTooLong, feStalled };
const char* FrameErrorText(TFrameError error);

struct TFrame {
    uint32_t WParam = 0;
    std::string_view Block; // valid until the next Feed, Space or Commit
};

class TFrameReader {
  public:
    // Bytes that arrived at `now` (seconds on any steady clock).
    void Feed(const void* data, size_t size, double now);
    // Up to `want` bytes of room to receive into directly; Commit says how many
    // arrived. Room() is what the reader will take now: 0 while it holds
    // enough, or once it failed.
    char* Space(size_t want);
    void Commit(size_t received, double now);
    size_t Room() const;
    // The read's worth held ahead, kLeastReadTarget to kReadTarget. A buffer
    // grown for a larger one is given back once it is empty.
    void SetReadTarget(size_t bytes);
    size_t ReadTarget() const { return readTarget_; }

    // The next whole frame, oldest first; false when none is whole or the
    // stream failed.
    bool Take(TFrame& frame);
    // Fails the stream when the frame it waits for began kStallSeconds ago.
    TFrameError Check(double now);

    bool Failed() const { return error_ != TFrameError::feNone; }
    TFrameError Error() const { return error_; }
    // Bytes held that no frame has taken yet.
    size_t Pending() const { return end_ - pos_; }
    // The length the waiting frame announced, or 0 while it is unknown.
    uint32_t WaitingLength() const;

  private:
    void Compact();
    bool Classify(); // false when the waiting frame's length fails the stream

    std::vector<char> buf_;
    size_t pos_ = 0, end_ = 0;
    size_t readTarget_ = kReadTarget;
    double frameStart_ = 0; // when the first byte of the waiting frame came
    double lastFeed_ = 0;
    TFrameError error_ = TFrameError::feNone;
};

} // namespace vx::net
