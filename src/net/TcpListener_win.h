// TTcpListener: the viewer's TCP port for remote clients.
//
// It runs on the user-interface thread, on the main window's message loop
// (WSAAsyncSelect): every record has to be applied there anyway, a
// non-blocking recv of a few hundred records costs less than handing them
// over from another thread, and one thread keeps each connection's records
// in order without a lock. The work is cut into slices of about 8 ms, so
// the window answers within 50 ms during a flood; between slices input goes
// first, and paint about ten times a second, and the listener comes back
// after them by a posted message, never by a WM_TIMER. A connection is read only while its reader
// has room: a flooding peer is held back by TCP's own flow control, and what is held per connection
// is at most one frame plus one read.
//
// At most 64 connections; more are accepted and closed at once. Every
// frame goes through TFrameReader and TTcpSession: trouble is counted on the
// connection and reported once per kind through OnLog (never a box), and a
// malformed frame, a stalled one, a wrong key or a missing handshake closes
// that connection only.
#pragma once

#include "net/FrameReader.h"
#include "net/TcpSession.h"
#include "net/TcpSettings.h"
#include "platform/DelayedPost_win.h"

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx::net {

inline constexpr size_t kMaxConnections = 64;

class TTcpListener {
  public:
    // Socket notices come to `window` as `socketMessage`; `resumeMessage` and
    // the timer `stallTimer` are the listener's own too. The window hands
    // them to HandleMessage.
    TTcpListener(HWND window, UINT socketMessage, UINT resumeMessage, UINT_PTR stallTimer);
    ~TTcpListener();
    TTcpListener(const TTcpListener&) = delete;
    TTcpListener& operator=(const TTcpListener&) = delete;

    // A record of a connection past its handshake, from `host` (its address);
    // returns why it could not be applied, or an empty text.
    std::function<std::string(const std::string& host, uint32_t wParam, std::string_view block)>
        OnRecord;
    // One line for the exception log.
    std::function<void(const std::string& text)> OnLog;
    // A connection that took records has ended (the peer closed it, or it
    // was closed for a bad frame); not at Stop.
    std::function<void(const std::string& host)> OnEnded;
    // Seconds on a steady clock, for the 30 s limits; the system's unless set.
    std::function<double()> Clock;

    // Listens as the settings say (nothing when Listen is off); the reason
    // when it cannot. Connections of an earlier Start are closed first.
    std::string Start(const TTcpSettings& settings);
    // Sends vnClosing to every connection and closes them and the port.
    void Stop();
    bool Listening() const { return listener_ != INVALID_SOCKET; }
    // The port listened on (the one the system chose for port 0).
    int Port() const { return port_; }
    size_t ConnectionCount() const { return connections_.size(); }

    // True when the message was one of the listener's.
    bool HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    struct TStats {
        uint64_t Accepted = 0, Refused = 0, Records = 0, Closed = 0;
    };
    const TStats& Stats() const { return stats_; }

  private:
    struct TConnection {
        SOCKET Socket = INVALID_SOCKET;
        std::string Host, Peer; // "127.0.0.2", "127.0.0.2:50123"
        TFrameReader Reader;
        TTcpSession Session;
        std::string Outbox;   // notices not yet sent
        int SocketBuffer = 0; // SO_RCVBUF set, 0 for the system's own
        bool Readable = true;
        bool Dead = false;
        bool Delivered = false; // records went to OnRecord
        TConnection(std::string key, double now) : Session(std::move(key), now) {}
    };

    void Accept();
    void ShareReadAhead(); // each connection's part of kReadAheadBudget
    void Pump();
    void Schedule();
    void EndYield();
    // One read of the connection and the frames it completed.
    void Serve(TConnection& c);
    void Trouble(TConnection& c, TRemoteTrouble trouble, uint32_t wParam, bool isNew);
    void Send(TConnection& c, uint32_t notice);
    void Flush(TConnection& c);
    void Close(TConnection& c);
    // Close, and OnEnded when it took records.
    void End(TConnection& c);
    void Sweep();
    void CheckStalls();
    TConnection* Find(SOCKET s);
    double Now() const;

    const HWND window_;
    const UINT socketMessage_, resumeMessage_;
    const UINT_PTR stallTimer_;
    bool wsa_ = false;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::string key_;
    std::vector<std::unique_ptr<TConnection>> connections_;
    bool pumping_ = false, scheduled_ = false, stallTimerOn_ = false;
    bool refusalLogged_ = false;
    ULONGLONG lastYield_ = 0;  // when paint last went before the records
    ULONGLONG yieldStart_ = 0; // when the last Schedule was
    TDelayedPost resume_;      // resumeMessage_ after a yield
    TStats stats_;
};

} // namespace vx::net
