// TTcpSession: what the viewer does with each frame of one remote connection.
//
// The first frame must be a handshake (wParam with 1 in its low byte) whose
// packet text holds the viewer's key; it is answered with a vnAnswer frame,
// a wrong key or any other first frame closes the connection. After it,
// records of the known kinds go to the dispatcher in the order they came;
// a record of an unknown kind is counted and dropped (a remote peer never
// raises a box). Each kind of trouble is counted on the connection and
// reported for the log the first time only.
#pragma once

#include "net/FrameReader.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx::net {

enum class TFrameVerdict {
    fvAnswer,   // send AnswerFrame()
    fvDispatch, // hand the frame to the dispatcher
    fvDropped,  // counted, nothing else
    fvClose,    // close the connection
};

enum class TRemoteTrouble {
    rtNoHandshake, // the first frame was not a handshake, or none came in time
    rtWrongKey,
    rtUnknownKind,
    rtMalformed,  // the frame reader failed
    rtFailed,     // the dispatcher could not apply a record
    rtNotReading, // the client leaves the viewer's answers unread
    rtCount
};

struct TSessionCounts {
    uint64_t Records = 0; // handed to the dispatcher
    std::array<uint64_t, size_t(TRemoteTrouble::rtCount)> Trouble{};
    uint64_t Of(TRemoteTrouble t) const { return Trouble[size_t(t)]; }
};

// Equal keys, in a time that depends on the lengths only, not on where they differ.
bool KeysEqual(std::string_view a, std::string_view b);
// The text field of a packet block (at most its capacity, never past the block).
std::string_view PacketText(std::string_view block);
// The viewer's frames to a client: wParam 5 (vnAnswer) and 6 (vnClosing), L = 4.
std::string NoticeFrame(uint32_t notice);
// Whether a record of this wParam is one the dispatcher knows (2 and 8 to 33).
bool KnownRecordKind(uint32_t wParam);

class TTcpSession {
  public:
    // `key` empty: any handshake is accepted. `openedAt` on the reader's clock.
    TTcpSession(std::string key, double openedAt) : key_(std::move(key)), openedAt_(openedAt) {}

    TFrameVerdict OnFrame(const TFrame& frame);
    // Counts trouble; true the first time this kind happens on the connection
    // (the caller then writes it to the log with Describe).
    bool Count(TRemoteTrouble trouble);
    // No handshake 30 s after the connection came: the slot goes to others.
    bool HandshakeOverdue(double now) const { return !open_ && now - openedAt_ >= kStallSeconds; }

    bool Open() const { return open_; }
    const TSessionCounts& Counts() const { return counts_; }
    // The trouble that OnFrame last counted, and whether it was the first of its kind.
    TRemoteTrouble LastTrouble() const { return last_; }
    bool LastTroubleIsNew() const { return lastNew_; }
    uint32_t LastWParam() const { return lastWParam_; }

  private:
    TFrameVerdict Trouble(TRemoteTrouble trouble, TFrameVerdict verdict, uint32_t wParam);

    std::string key_;
    double openedAt_;
    bool open_ = false;
    TSessionCounts counts_;
    unsigned logged_ = 0; // a bit per trouble already reported
    TRemoteTrouble last_ = TRemoteTrouble::rtCount;
    bool lastNew_ = false;
    uint32_t lastWParam_ = 0;
};

// One line for the exception log: "wrong key", "unknown message kind [290]".
std::string DescribeTrouble(TRemoteTrouble trouble, uint32_t wParam);

} // namespace vx::net
