#include "net/TcpListener_win.h"

#include "protocol/Common_Types.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

namespace vx::net {

namespace {

constexpr ULONGLONG kSliceMs = 8;
constexpr ULONGLONG kPaintEveryMs = 100;
constexpr size_t kOutboxLimit = 4096; // notices a client may leave unread
constexpr UINT kStallCheckMs = 1000;
// What all connections together read ahead of their frames, and the system
// holds for them unread: one flooding client reads in kReadTarget pieces from
// a socket buffer as large, 64 of them in a quarter of that. A larger socket
// buffer lets the sender go on while the viewer applies what it read.
constexpr size_t kReadAheadBudget = 16u << 20;
// A yield to input or paint lasts about this long: what waited is taken from
// the queue at once, and the window is not left idle after it (10 ms every
// 100 ms of a flood cost a tenth of the records). Past kYieldMostMs any
// socket notice ends it.
constexpr DWORD kYieldMs = 1;
constexpr ULONGLONG kYieldMostMs = 30;

std::string AddressText(const sockaddr_in& a) {
    const auto* b = reinterpret_cast<const unsigned char*>(&a.sin_addr);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return buf;
}

std::string SocketError(const char* what, int code) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s failed (Winsock error %d).", what, code);
    return buf;
}

} // namespace

TTcpListener::TTcpListener(HWND window, UINT socketMessage, UINT resumeMessage, UINT_PTR stallTimer)
    : window_(window), socketMessage_(socketMessage), resumeMessage_(resumeMessage),
      stallTimer_(stallTimer), resume_(window, resumeMessage) {}

TTcpListener::~TTcpListener() {
    Stop();
    if (wsa_) WSACleanup();
}

double TTcpListener::Now() const {
    return Clock ? Clock() : double(GetTickCount64()) / 1000.0;
}

std::string TTcpListener::Start(const TTcpSettings& settings) {
    Stop();
    if (!settings.Listen) return {};
    if (std::string problem = TcpSettingsProblem(settings); !problem.empty()) return problem;
    if (!wsa_) {
        WSADATA data;
        if (int rc = WSAStartup(MAKEWORD(2, 2), &data)) return SocketError("WSAStartup", rc);
        wsa_ = true;
    }
    uint8_t bytes[4];
    ParseIPv4(settings.Address, bytes);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(uint16_t(settings.Port));
    std::memcpy(&at.sin_addr, bytes, 4);

    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return SocketError("socket", WSAGetLastError());
    // Another program on the port must not share it with the viewer.
    BOOL exclusive = TRUE;
    setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
               sizeof exclusive);
    if (bind(s, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0) {
        const int code = WSAGetLastError();
        closesocket(s);
        if (code == WSAEADDRINUSE)
            return "Port " + std::to_string(settings.Port) + " is in use by another program.";
        if (code == WSAEADDRNOTAVAIL)
            return "The address " + settings.Address + " is not one of this computer's.";
        return SocketError("bind", code);
    }
    if (listen(s, SOMAXCONN) != 0 || WSAAsyncSelect(s, window_, socketMessage_, FD_ACCEPT) != 0) {
        const int code = WSAGetLastError();
        closesocket(s);
        return SocketError("listen", code);
    }
    sockaddr_in bound{};
    int length = sizeof bound;
    getsockname(s, reinterpret_cast<sockaddr*>(&bound), &length);
    port_ = ntohs(bound.sin_port);
    listener_ = s;
    key_ = settings.Key;
    refusalLogged_ = false;
    return {};
}

void TTcpListener::Stop() {
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
    }
    port_ = 0;
    for (auto& c : connections_) {
        if (c->Dead) continue;
        Send(*c, vnClosing);
        shutdown(c->Socket, SD_SEND);
        Close(*c);
    }
    connections_.clear();
    if (window_) KillTimer(window_, stallTimer_);
    EndYield();
    stallTimerOn_ = false;
}

TTcpListener::TConnection* TTcpListener::Find(SOCKET s) {
    for (auto& c : connections_)
        if (c->Socket == s && !c->Dead) return c.get();
    return nullptr;
}

bool TTcpListener::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == socketMessage_) {
        const SOCKET s = SOCKET(wParam);
        const WORD event = WSAGETSELECTEVENT(lParam);
        if (s == listener_ && listener_ != INVALID_SOCKET) {
            if (event == FD_ACCEPT) Accept();
            return true;
        }
        TConnection* c = Find(s);
        if (!c) return true; // a notice for a socket already closed
        if (event == FD_WRITE) Flush(*c);
        if (event == FD_READ || event == FD_CLOSE) c->Readable = true;
        if (!pumping_ && (!scheduled_ || GetTickCount64() - yieldStart_ >= kYieldMostMs)) {
            EndYield();
            Pump();
        }
        return true;
    }
    if (msg == resumeMessage_) {
        EndYield();
        Pump();
        return true;
    }
    if (msg == WM_TIMER && wParam == stallTimer_) {
        CheckStalls();
        return true;
    }
    return false;
}

void TTcpListener::Accept() {
    for (;;) {
        sockaddr_in peer{};
        int length = sizeof peer;
        SOCKET s = accept(listener_, reinterpret_cast<sockaddr*>(&peer), &length);
        if (s == INVALID_SOCKET) return;
        const std::string host = AddressText(peer);
        const std::string who = host + ":" + std::to_string(ntohs(peer.sin_port));
        if (connections_.size() >= kMaxConnections) {
            closesocket(s);
            ++stats_.Refused;
            if (!refusalLogged_ && OnLog)
                OnLog("Remote client " + who + ": refused, " + std::to_string(kMaxConnections) +
                      " connections are open");
            refusalLogged_ = true;
            continue;
        }
        BOOL noDelay = TRUE; // the answer to a handshake goes at once
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                   sizeof noDelay);
        auto c = std::make_unique<TConnection>(key_, Now());
        c->Socket = s;
        c->Host = host;
        c->Peer = who;
        if (WSAAsyncSelect(s, window_, socketMessage_, FD_READ | FD_WRITE | FD_CLOSE) != 0) {
            closesocket(s);
            continue;
        }
        ++stats_.Accepted;
        connections_.push_back(std::move(c));
        ShareReadAhead();
        if (!stallTimerOn_) stallTimerOn_ = SetTimer(window_, stallTimer_, kStallCheckMs, nullptr);
    }
}

// Round robin over the readable connections until none is or the slice is over.
void TTcpListener::Pump() {
    if (pumping_) return;
    pumping_ = true;
    const ULONGLONG start = GetTickCount64();
    bool more = true;
    while (more) {
        more = false;
        for (size_t i = 0; i < connections_.size(); ++i) {
            TConnection& c = *connections_[i];
            if (c.Dead || !c.Readable) continue;
            try {
                Serve(c);
            } catch (const std::exception& e) {
                // Out of memory for a record, say: this connection goes, no box.
                if (c.Session.Count(TRemoteTrouble::rtFailed) && OnLog)
                    OnLog("Remote client " + c.Peer + ": " + e.what());
                Close(c);
            }
            more = more || (c.Readable && !c.Dead);
        }
        if (more && GetTickCount64() - start >= kSliceMs) break;
    }
    Sweep();
    pumping_ = false;
    if (more) Schedule();
}

// The rest comes after what waits for the window: input first whenever there
// is any, paint about ten times a second, else at once. A posted message comes
// before input and paint, so a yield to them is a resume message posted by a
// pool thread a little later. Not a WM_TIMER: that comes only once no posted
// message waits, and while the sections post themselves their updates during
// a flood, that could be never.
void TTcpListener::Schedule() {
    if (scheduled_) return;
    const DWORD waiting = HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT));
    const ULONGLONG now = GetTickCount64();
    yieldStart_ = now;
    if ((waiting & QS_INPUT) || ((waiting & QS_PAINT) && now - lastYield_ >= kPaintEveryMs)) {
        lastYield_ = now;
        scheduled_ = resume_.Start(kYieldMs);
    }
    if (!scheduled_) scheduled_ = PostMessageA(window_, resumeMessage_, 0, 0) != FALSE;
}

void TTcpListener::EndYield() {
    resume_.Cancel();
    scheduled_ = false;
}

void TTcpListener::Serve(TConnection& c) {
    bool ended = false;
    if (size_t want = c.Reader.Room()) {
        char* at = c.Reader.Space(want);
        const int n = recv(c.Socket, at, int(std::min<size_t>(want, 1u << 30)), 0);
        if (n > 0) {
            c.Reader.Commit(size_t(n), Now());
        } else if (n == 0) {
            ended = true;
        } else {
            const int code = WSAGetLastError();
            if (code == WSAEWOULDBLOCK)
                c.Readable = false;
            else
                ended = true;
        }
    }
    TFrame frame;
    while (!c.Dead && c.Reader.Take(frame)) {
        switch (c.Session.OnFrame(frame)) {
        case TFrameVerdict::fvAnswer:
            Send(c, vnAnswer);
            break;
        case TFrameVerdict::fvDispatch: {
            ++stats_.Records;
            c.Delivered = true;
            std::string failure = OnRecord ? OnRecord(c.Host, frame.WParam, frame.Block) : "";
            if (!failure.empty()) {
                bool isNew = c.Session.Count(TRemoteTrouble::rtFailed);
                if (isNew && OnLog)
                    OnLog("Remote client " + c.Peer + ": " +
                          DescribeTrouble(TRemoteTrouble::rtFailed, frame.WParam) + ": " + failure);
            }
            break;
        }
        case TFrameVerdict::fvDropped:
            Trouble(c, c.Session.LastTrouble(), c.Session.LastWParam(),
                    c.Session.LastTroubleIsNew());
            break;
        case TFrameVerdict::fvClose:
            Trouble(c, c.Session.LastTrouble(), c.Session.LastWParam(),
                    c.Session.LastTroubleIsNew());
            End(c);
            break;
        }
    }
    if (c.Dead) return;
    if (c.Reader.Failed()) {
        const bool isNew = c.Session.Count(TRemoteTrouble::rtMalformed);
        if (isNew && OnLog)
            OnLog("Remote client " + c.Peer + ": " + FrameErrorText(c.Reader.Error()));
        End(c);
        return;
    }
    if (ended) End(c); // whole frames before the end were applied
}

void TTcpListener::Trouble(TConnection& c, TRemoteTrouble trouble, uint32_t wParam, bool isNew) {
    if (isNew && OnLog) OnLog("Remote client " + c.Peer + ": " + DescribeTrouble(trouble, wParam));
}

void TTcpListener::Send(TConnection& c, uint32_t notice) {
    if (c.Dead) return;
    c.Outbox += NoticeFrame(notice);
    Flush(c);
    if (c.Outbox.size() > kOutboxLimit) {
        Trouble(c, TRemoteTrouble::rtNotReading, 0, c.Session.Count(TRemoteTrouble::rtNotReading));
        Close(c);
    }
}

void TTcpListener::Flush(TConnection& c) {
    while (!c.Dead && !c.Outbox.empty()) {
        const int n = send(c.Socket, c.Outbox.data(), int(c.Outbox.size()), 0);
        if (n <= 0) return; // WSAEWOULDBLOCK: FD_WRITE brings us back; else reading ends it
        c.Outbox.erase(0, size_t(n));
    }
}

void TTcpListener::Close(TConnection& c) {
    if (c.Dead) return;
    closesocket(c.Socket);
    c.Dead = true;
    c.Readable = false;
    ++stats_.Closed;
}

void TTcpListener::End(TConnection& c) {
    if (c.Dead) return;
    Close(c);
    if (c.Delivered && OnEnded) OnEnded(c.Host);
}

void TTcpListener::ShareReadAhead() {
    if (connections_.empty()) return;
    const size_t each = kReadAheadBudget / connections_.size();
    for (auto& c : connections_) {
        if (c->Dead) continue;
        c->Reader.SetReadTarget(each);
        const int bytes = int(c->Reader.ReadTarget());
        if (c->SocketBuffer != bytes &&
            setsockopt(c->Socket, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                       sizeof bytes) == 0)
            c->SocketBuffer = bytes;
    }
}

void TTcpListener::Sweep() {
    const size_t before = connections_.size();
    connections_.erase(
        std::remove_if(connections_.begin(), connections_.end(),
                       [](const std::unique_ptr<TConnection>& c) { return c->Dead; }),
        connections_.end());
    if (connections_.size() != before) ShareReadAhead();
    if (connections_.empty() && stallTimerOn_) {
        KillTimer(window_, stallTimer_);
        stallTimerOn_ = false;
    }
}

void TTcpListener::CheckStalls() {
    // What waits unread in a socket is the viewer's delay, not the peer's: it
    // is read first, and a connection that still has more is not judged.
    if (!pumping_) Pump();
    const double now = Now();
    for (auto& c : connections_) {
        if (c->Dead || c->Readable) continue;
        if (c->Session.HandshakeOverdue(now) && c->Reader.Pending() == 0) {
            Trouble(*c, TRemoteTrouble::rtNoHandshake, 0,
                    c->Session.Count(TRemoteTrouble::rtNoHandshake));
            Close(*c);
        } else if (c->Reader.Check(now) == TFrameError::feStalled) {
            const bool isNew = c->Session.Count(TRemoteTrouble::rtMalformed);
            if (isNew && OnLog)
                OnLog("Remote client " + c->Peer + ": " + FrameErrorText(TFrameError::feStalled));
            Close(*c);
        }
    }
    if (!pumping_) Sweep();
}

} // namespace vx::net
