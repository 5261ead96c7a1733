// vxreceive: a bare receiver of the client protocol. It answers the handshake
// and takes WM_COPYDATA records without doing anything with them, which gives
// the ceiling a viewer's rate is measured against. Ends after N records when
// given N, else on Ctrl+C. With --show its window is shown (as the viewer's
// is), without it the window stays hidden.
//
// With --tcp it is the same yardstick for the TCP transport: it listens on
// loopback (or the address given), answers each handshake with vnAnswer
// (closing a connection whose key is not --key), reads and discards the frames
// and prints how many records it took and how fast.
//
// Usage: vxreceive [--show] [N]
//        vxreceive --tcp [ADDRESS:]PORT [--key KEY] [N]
#include "protocol/Common_Types.h"
#include "protocol/vxDebugIntf.h"
#include "vxTcpClient.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

long g_count = 0, g_limit = 0;

LRESULT CALLBACK ReceiverProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == vx::WM_CLIENT2DEBUGGER && msg != 0) {
        if ((wParam & 0xFF) == vx::hsHello)
            PostMessageA(reinterpret_cast<HWND>(lParam), vx::WM_DEBUGGER2CLIENT, vx::vnAnswer,
                         reinterpret_cast<LPARAM>(hwnd));
        return 0;
    }
    if (msg == WM_COPYDATA) {
        if (++g_count == g_limit) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

uint32_t LE32(const char* p) {
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return uint32_t(u[0]) | uint32_t(u[1]) << 8 | uint32_t(u[2]) << 16 | uint32_t(u[3]) << 24;
}

struct TPeer {
    SOCKET Sock = INVALID_SOCKET;
    bool Greeted = false;
    std::vector<char> Buf; // bytes of a frame not yet complete
    size_t Used = 0;
};

// Takes the complete frames of peer's buffer; false when it must be closed.
bool TakeFrames(TPeer& p, const std::string& key, long& records) {
    size_t at = 0;
    bool ok = true;
    while (p.Used - at >= vx::frame::HeaderSize) {
        const uint32_t len = LE32(&p.Buf[at]);
        if (len < vx::frame::MinLength || len > vx::frame::MaxLength) {
            ok = false;
            break;
        }
        if (p.Used - at < 4 + size_t(len)) break;
        const uint32_t wParam = LE32(&p.Buf[at + 4]);
        const char* block = &p.Buf[at + 8];
        if (!p.Greeted) {
            const uint8_t n = uint8_t(block[vx::packet::Text]);
            const bool hello = (wParam & 0xFF) == vx::hsHello;
            if (!hello || std::string(block + vx::packet::Text + 1, n) != key) {
                ok = false;
                break;
            }
            p.Greeted = true;
            std::string answer;
            vx::AppendFrame(answer, vx::vnAnswer, nullptr, 0);
            send(p.Sock, answer.data(), int(answer.size()), 0);
        } else if (++records == g_limit) {
            at += 4 + size_t(len);
            break;
        }
        at += 4 + size_t(len);
    }
    std::memmove(p.Buf.data(), p.Buf.data() + at, p.Used - at);
    p.Used -= at;
    return ok;
}

int RunTcp(const std::string& where, const std::string& key) {
    std::string host = "127.0.0.1";
    uint16_t port = 0;
    if (!vx::ParseHostPort(where, host, port) &&
        !vx::ParseHostPort("127.0.0.1:" + where, host, port)) {
        std::fprintf(stderr, "vxreceive: --tcp needs [ADDRESS:]PORT, not %s\n", where.c_str());
        return 2;
    }
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) return 1;
    SOCKET ls = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    if (inet_pton(AF_INET, host.c_str(), &a.sin_addr) != 1 ||
        bind(ls, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(ls, 64) != 0) {
        std::fprintf(stderr, "vxreceive: cannot listen on %s:%u\n", host.c_str(), port);
        return 1;
    }
    std::printf("vxreceive: listening on %s:%u\n", host.c_str(), port);
    std::fflush(stdout);
    // Large reads keep the calls per record low, as a real receiver's would.
    const size_t kChunk = 1024 * 1024;
    std::vector<TPeer> peers;
    long records = 0;
    bool started = false;
    auto t0 = std::chrono::steady_clock::now(), t1 = t0;
    while (g_limit == 0 || records < g_limit) {
        std::vector<WSAPOLLFD> fds(1 + peers.size());
        fds[0].fd = ls;
        fds[0].events = POLLRDNORM;
        for (size_t i = 0; i < peers.size(); ++i) {
            fds[i + 1].fd = peers[i].Sock;
            fds[i + 1].events = POLLRDNORM;
        }
        if (WSAPoll(fds.data(), ULONG(fds.size()), 1000) < 0) break;
        for (size_t i = peers.size(); i-- > 0;) {
            if (!fds[i + 1].revents) continue;
            TPeer& p = peers[i];
            // Read until the socket has nothing more, then poll again.
            bool keep = true;
            for (int reads = 0; keep && reads < 64; ++reads) {
                if (p.Buf.size() < p.Used + kChunk) p.Buf.resize(p.Used + kChunk);
                int n = recv(p.Sock, p.Buf.data() + p.Used, int(kChunk), 0);
                if (n < 0 && WSAGetLastError() == WSAEWOULDBLOCK) break;
                keep = n > 0;
                if (!keep) break;
                if (!started) t0 = std::chrono::steady_clock::now();
                started = true;
                p.Used += size_t(n);
                keep = TakeFrames(p, key, records);
                t1 = std::chrono::steady_clock::now();
                if (g_limit && records >= g_limit) break;
            }
            if (!keep) {
                closesocket(p.Sock);
                peers.erase(peers.begin() + long(i));
            }
        }
        if (fds[0].revents) {
            SOCKET s = accept(ls, nullptr, nullptr);
            if (s != INVALID_SOCKET) {
                if (peers.size() < 64) {
                    u_long on = 1;
                    ioctlsocket(s, FIONBIO, &on);
                    TPeer p;
                    p.Sock = s;
                    peers.push_back(std::move(p));
                } else {
                    closesocket(s);
                }
            }
        }
    }
    const double secs = std::chrono::duration<double>(t1 - t0).count();
    std::printf("vxreceive: %ld records in %.3f s: %.0f records per second\n", records, secs,
                secs > 0 ? records / secs : 0.0);
    for (auto& p : peers)
        closesocket(p.Sock);
    closesocket(ls);
    WSACleanup();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    bool show = false;
    std::string tcp, key;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--show") == 0)
            show = true;
        else if (std::strcmp(argv[i], "--tcp") == 0 && i + 1 < argc)
            tcp = argv[++i];
        else if (std::strcmp(argv[i], "--key") == 0 && i + 1 < argc)
            key = argv[++i];
        else
            g_limit = std::atol(argv[i]);
    }
    if (!tcp.empty()) return RunTcp(tcp, key);
    vx::RegisterDebugMessages();
    WNDCLASSA wc{};
    wc.lpfnWndProc = ReceiverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "vxBareReceiver";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "vxreceive", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                300, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 1;
    if (show) ShowWindow(hwnd, SW_SHOWNORMAL);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0)
        DispatchMessageA(&m);
    std::printf("vxreceive: %ld records\n", g_count);
    return 0;
}
