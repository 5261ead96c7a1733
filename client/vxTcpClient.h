// The client side of the viewer's TCP transport, portable (Winsock on
// Windows, POSIX sockets elsewhere), so that a service, a program on another
// machine or a Linux program can reach a viewer that WM_COPYDATA cannot.
//
// A frame is a 32-bit little-endian length L (the bytes after it), a 32-bit
// little-endian wParam and L - 4 bytes of the block a WM_COPYDATA record
// carries. The first frame is the handshake (wParam hsHello, the key in the
// packet's text); the viewer answers with a vnAnswer frame of L = 4, or
// closes the connection when the key is wrong. It sends vnClosing before it
// closes at shut-down.
//
// Nothing here blocks for ever: connecting, the answer and every send give
// up after their timeout, and a viewer that stops reading fails the send
// rather than hanging the program.
#pragma once

#include "protocol/Common_Types.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vx {

namespace frame {
inline constexpr size_t HeaderSize = 8; // length and wParam
// The shortest record frame carries the fixed packet, the longest 1 MiB of
// attached data on top; the viewer closes a connection that sends others.
inline constexpr uint32_t MinLength = 4 + packet::FixedSize;
inline constexpr uint32_t MaxData = 1u << 20;
inline constexpr uint32_t MaxLength = MinLength + MaxData;
} // namespace frame

// Appends one frame carrying `block` to `out`.
void AppendFrame(std::string& out, uint32_t wParam, const void* block, size_t size);
inline void AppendFrame(std::string& out, uint32_t wParam, const std::string& block) {
    AppendFrame(out, wParam, block.data(), block.size());
}

// "HOST:PORT" (or "[v6-address]:PORT"); false for anything else.
bool ParseHostPort(const std::string& text, std::string& host, uint16_t& port);

struct TTcpOptions {
    int ConnectTimeoutMs = 3000;
    int AnswerTimeoutMs = 3000;
    // A send fails when the viewer takes no byte at all for this long.
    int SendTimeoutMs = 10000;
    // Queued frames go out together once this many bytes are waiting.
    size_t BatchBytes = 256 * 1024;
};

// One connection to one viewer; used by one thread at a time.
class TTcpClient {
  public:
    explicit TTcpClient(TTcpOptions options = {});
    ~TTcpClient();
    TTcpClient(const TTcpClient&) = delete;
    TTcpClient& operator=(const TTcpClient&) = delete;

    // Connects, sends the handshake with `key` and waits for vnAnswer. False,
    // with Error() saying why, when there is no listener, the key is refused
    // or no answer comes in time. `clientID` goes into the handshake packet.
    bool Connect(const std::string& host, uint16_t port, const std::string& key,
                 const std::string& clientID = "");
    bool IsConnected() const { return sock_ != kNoSocket; }
    // True once the viewer has announced its closing or closed the connection.
    bool ViewerClosed() const { return closed_; }
    const std::string& Error() const { return error_; }

    // Sends one record at once (after anything queued before it).
    bool Send(uint32_t wParam, const TPacketFields& fields);
    // Queues one record; the queue goes out when it reaches BatchBytes, on
    // Flush() and on the next Send(). A record whose attached data exceeds
    // frame::MaxData is refused (false), since the viewer would drop the
    // connection over it; nothing is queued then.
    bool Queue(uint32_t wParam, const TPacketFields& fields);
    // Queues a frame with an arbitrary block, unchecked (for tests).
    bool QueueRaw(uint32_t wParam, const void* block, size_t size);
    bool Flush();

    // Waits up to ms for the viewer's closing notice (or the connection's
    // end); true when it came.
    bool WaitClosing(int ms);
    void Close();

    // How many send calls the socket has seen: batching keeps this far below
    // the number of records.
    uint64_t SendCalls() const { return sendCalls_; }

  private:
#ifdef _WIN32
    using TSocket = uintptr_t;
#else
    using TSocket = int;
#endif
    static constexpr TSocket kNoSocket = TSocket(-1);

    bool Fail(const std::string& text);
    // Reads whatever the viewer has sent, waiting up to ms for some; handles
    // vnAnswer and vnClosing. False when the connection failed or ended.
    bool ReadIncoming(int ms);
    bool SendAll(const char* data, size_t size);

    TTcpOptions options_;
    TSocket sock_ = kNoSocket;
    bool answered_ = false;
    bool closed_ = false;
    std::string error_;
    std::string out_; // queued frames
    std::string in_;  // a partial frame from the viewer
    uint64_t sendCalls_ = 0;
};

} // namespace vx
