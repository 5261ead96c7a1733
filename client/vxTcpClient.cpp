#include "vxTcpClient.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstring>

namespace vx {

namespace {

#ifdef _WIN32
using TNativeSocket = SOCKET;
struct TWinsock {
    bool Ok;
    TWinsock() {
        WSADATA d;
        Ok = WSAStartup(MAKEWORD(2, 2), &d) == 0;
    }
    ~TWinsock() {
        if (Ok) WSACleanup();
    }
};
bool StartSockets() {
    static TWinsock winsock;
    return winsock.Ok;
}
int LastSocketError() {
    return WSAGetLastError();
}
bool WouldBlock(int e) {
    return e == WSAEWOULDBLOCK || e == WSAEINPROGRESS;
}
void CloseSocket(TNativeSocket s) {
    closesocket(s);
}
bool SetNonBlocking(TNativeSocket s) {
    u_long on = 1;
    return ioctlsocket(s, FIONBIO, &on) == 0;
}
int PollOne(TNativeSocket s, short events, short& revents, int ms) {
    WSAPOLLFD p{};
    p.fd = s;
    p.events = events;
    int r = WSAPoll(&p, 1, ms);
    revents = p.revents;
    return r;
}
const int kSendFlags = 0;
#else
using TNativeSocket = int;
bool StartSockets() {
    return true;
}
int LastSocketError() {
    return errno;
}
bool WouldBlock(int e) {
    return e == EAGAIN || e == EWOULDBLOCK || e == EINPROGRESS;
}
void CloseSocket(TNativeSocket s) {
    ::close(s);
}
bool SetNonBlocking(TNativeSocket s) {
    int fl = fcntl(s, F_GETFL, 0);
    return fl >= 0 && fcntl(s, F_SETFL, fl | O_NONBLOCK) == 0;
}
int PollOne(TNativeSocket s, short events, short& revents, int ms) {
    pollfd p{};
    p.fd = s;
    p.events = events;
    int r;
    do
        r = ::poll(&p, 1, ms);
    while (r < 0 && errno == EINTR);
    revents = p.revents;
    return r;
}
// A viewer that has gone must fail the send, not kill the program.
const int kSendFlags = MSG_NOSIGNAL;
#endif

void PutLE32(char* p, uint32_t v) {
    p[0] = char(v & 0xFF);
    p[1] = char((v >> 8) & 0xFF);
    p[2] = char((v >> 16) & 0xFF);
    p[3] = char((v >> 24) & 0xFF);
}

uint32_t GetLE32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}

using TClock = std::chrono::steady_clock;

int MsLeft(TClock::time_point end) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - TClock::now()).count();
    return left < 0 ? 0 : int(left);
}

} // namespace

void AppendFrame(std::string& out, uint32_t wParam, const void* block, size_t size) {
    char head[frame::HeaderSize];
    PutLE32(head, uint32_t(size + 4));
    PutLE32(head + 4, wParam);
    out.append(head, sizeof head);
    out.append(static_cast<const char*>(block), size);
}

bool ParseHostPort(const std::string& text, std::string& host, uint16_t& port) {
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return false;
    std::string h = text.substr(0, colon);
    if (h.front() == '[') {
        if (h.size() < 3 || h.back() != ']') return false;
        h = h.substr(1, h.size() - 2);
    } else if (h.find(':') != std::string::npos) {
        return false; // a v6 address needs its brackets
    }
    unsigned long v = 0;
    for (size_t i = colon + 1; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + unsigned(text[i] - '0');
        if (v > 65535) return false;
    }
    if (v == 0) return false;
    host = h;
    port = uint16_t(v);
    return true;
}

TTcpClient::TTcpClient(TTcpOptions options) : options_(options) {}

TTcpClient::~TTcpClient() {
    Close();
}

void TTcpClient::Close() {
    if (sock_ != kNoSocket) {
        // Unread bytes at close make the stack reset the connection, and a
        // reset can cost the viewer records it has not read yet: take what
        // the viewer sent, then end the sending side in order.
        char buf[512];
        while (::recv(TNativeSocket(sock_), buf, sizeof buf, 0) > 0) {
        }
#ifdef _WIN32
        ::shutdown(TNativeSocket(sock_), SD_SEND);
#else
        ::shutdown(sock_, SHUT_WR);
#endif
        CloseSocket(TNativeSocket(sock_));
    }
    sock_ = kNoSocket;
    out_.clear();
    in_.clear();
}

bool TTcpClient::Fail(const std::string& text) {
    error_ = text;
    Close();
    return false;
}

bool TTcpClient::Connect(const std::string& host, uint16_t port, const std::string& key,
                         const std::string& clientID) {
    Close();
    answered_ = false;
    closed_ = false;
    error_.clear();
    if (key.size() > packet::StringCapacity)
        return Fail("the key is longer than " + std::to_string(packet::StringCapacity) +
                    " characters");
    if (!StartSockets()) return Fail("the sockets library did not start");
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string where = host + ":" + std::to_string(port);
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || !found)
        return Fail("cannot resolve " + host);
    const auto end = TClock::now() + std::chrono::milliseconds(options_.ConnectTimeoutMs);
    std::string why = "no answer";
    for (addrinfo* a = found; a && sock_ == kNoSocket; a = a->ai_next) {
        TNativeSocket s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
#ifdef _WIN32
        if (s == INVALID_SOCKET) continue;
#else
        if (s < 0) continue;
#endif
        if (!SetNonBlocking(s)) {
            CloseSocket(s);
            continue;
        }
        int r = ::connect(s, a->ai_addr, int(a->ai_addrlen));
        if (r != 0 && WouldBlock(LastSocketError())) {
            short rev = 0;
            if (PollOne(s, POLLOUT, rev, MsLeft(end)) <= 0) {
                why = "timed out";
                CloseSocket(s);
                continue;
            }
            int err = 0;
            socklen_t len = sizeof err;
            getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len);
            r = err == 0 && !(rev & (POLLERR | POLLHUP)) ? 0 : -1;
        }
        if (r != 0) {
            why = "refused";
            CloseSocket(s);
            continue;
        }
        // Frames are batched here; small ones (the handshake, a single
        // record) should go out at once.
        int on = 1;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        sock_ = TSocket(s);
    }
    freeaddrinfo(found);
    if (sock_ == kNoSocket) return Fail("cannot connect to " + where + ": " + why);

    TPacketFields hello;
    hello.ClientID = clientID;
    hello.Text = key;
    std::string block = EncodePacket(hello);
    AppendFrame(out_, hsHello, block);
    const std::string refused = "the viewer at " + where +
                                " closed the connection during the handshake (is the key right?)";
    if (!Flush()) return closed_ ? Fail(refused) : false;
    const auto answerEnd = TClock::now() + std::chrono::milliseconds(options_.AnswerTimeoutMs);
    while (!answered_) {
        int left = MsLeft(answerEnd);
        if (left == 0) return Fail("the viewer at " + where + " did not answer the handshake");
        if (!ReadIncoming(left)) return closed_ ? Fail(refused) : false;
    }
    return true;
}

bool TTcpClient::ReadIncoming(int ms) {
    if (sock_ == kNoSocket) return false;
    short rev = 0;
    int r = PollOne(TNativeSocket(sock_), POLLIN, rev, ms);
    if (r < 0) return Fail("waiting for the viewer failed");
    if (r == 0) return true;
    char buf[4096];
    for (;;) {
        auto n = ::recv(TNativeSocket(sock_), buf, sizeof buf, 0);
        if (n == 0) {
            closed_ = true;
            return Fail("the viewer closed the connection");
        }
        if (n < 0) {
            int e = LastSocketError();
            if (WouldBlock(e)) break;
            closed_ = true;
            return Fail("the connection to the viewer broke");
        }
        in_.append(buf, size_t(n));
        // The viewer sends only short notices; never hold more than one frame.
        while (in_.size() >= frame::HeaderSize) {
            uint32_t len = GetLE32(in_.data());
            if (len < 4 || len > frame::MaxLength) return Fail("the viewer sent a malformed frame");
            if (in_.size() < 4 + size_t(len)) break;
            uint32_t wParam = GetLE32(in_.data() + 4);
            in_.erase(0, 4 + size_t(len));
            switch (wParam & 0xFF) {
            case vnAnswer:
                answered_ = true;
                break;
            case vnClosing:
                closed_ = true;
                break;
            default:
                break; // notices this client does not need
            }
        }
        if (size_t(n) < sizeof buf) break;
    }
    return true;
}

bool TTcpClient::SendAll(const char* data, size_t size) {
    auto end = TClock::now() + std::chrono::milliseconds(options_.SendTimeoutMs);
    while (size > 0) {
        if (sock_ == kNoSocket) return false;
        // Large chunks keep the number of calls down; Winsock takes an int.
        const size_t chunk = size < (1u << 30) ? size : (1u << 30);
        ++sendCalls_;
        auto n = ::send(TNativeSocket(sock_), data, int(chunk), kSendFlags);
        if (n > 0) {
            data += n;
            size -= size_t(n);
            end = TClock::now() + std::chrono::milliseconds(options_.SendTimeoutMs);
            continue;
        }
        int e = LastSocketError();
        if (n < 0 && !WouldBlock(e)) {
            closed_ = true;
            return Fail("the connection to the viewer broke");
        }
        int left = MsLeft(end);
        if (left == 0)
            return Fail("the viewer took no data for " + std::to_string(options_.SendTimeoutMs) +
                        " ms");
        // Wait until the viewer reads again; meanwhile take its notices, so
        // a closing viewer ends the wait.
        short rev = 0;
        int r = PollOne(TNativeSocket(sock_), POLLOUT | POLLIN, rev, left);
        if (r < 0) return Fail("waiting for the viewer failed");
        if (rev & POLLIN) {
            if (!ReadIncoming(0)) return false;
            if (closed_) return Fail("the viewer is closing");
        } else if (rev & (POLLERR | POLLHUP)) {
            closed_ = true;
            return Fail("the connection to the viewer broke");
        }
    }
    return true;
}

bool TTcpClient::Flush() {
    if (sock_ == kNoSocket) {
        if (error_.empty()) error_ = "not connected";
        return false;
    }
    if (out_.empty()) return ReadIncoming(0) && !closed_;
    std::string batch;
    batch.swap(out_);
    bool ok = SendAll(batch.data(), batch.size());
    batch.clear();
    if (out_.empty()) out_.swap(batch); // keep the buffer's capacity
    if (!ok) return false;
    if (!ReadIncoming(0)) return false;
    if (closed_) return Fail("the viewer is closing");
    return true;
}

bool TTcpClient::QueueRaw(uint32_t wParam, const void* block, size_t size) {
    if (sock_ == kNoSocket) {
        if (error_.empty()) error_ = "not connected";
        return false;
    }
    if (closed_) return Fail("the viewer is closing");
    AppendFrame(out_, wParam, block, size);
    return out_.size() < options_.BatchBytes || Flush();
}

bool TTcpClient::Queue(uint32_t wParam, const TPacketFields& fields) {
    if (fields.Data.size() > frame::MaxData) {
        error_ = "the attached data is larger than " + std::to_string(frame::MaxData) +
                 " bytes, more than the viewer takes over TCP";
        return false;
    }
    std::string block = EncodePacket(fields);
    return QueueRaw(wParam, block.data(), block.size());
}

bool TTcpClient::Send(uint32_t wParam, const TPacketFields& fields) {
    return Queue(wParam, fields) && Flush();
}

bool TTcpClient::WaitClosing(int ms) {
    const auto end = TClock::now() + std::chrono::milliseconds(ms);
    while (!closed_ && sock_ != kNoSocket) {
        int left = MsLeft(end);
        if (left == 0) break;
        if (!ReadIncoming(left)) break;
    }
    return closed_;
}

} // namespace vx
