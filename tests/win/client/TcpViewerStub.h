// A loopback listener in a thread of its own that plays a viewer listening for
// TCP clients: it takes one connection after the other, answers a handshake
// with the key "k", closes a connection with another key, and keeps every
// record frame it reads with the number of its connection (1 for the first).
// With CloseAfter N it sends the closing notice after the Nth record of a
// connection (of the first one only, with OnlyFirst) and ends the connection.
#pragma once

#include "vxTcpClient.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vx {

struct TTcpViewerStub {
    struct TFrame {
        int Connection;
        uint32_t WParam;
        std::optional<TDecodedPacket> Packet;
        size_t Size;
    };
    SOCKET Listen = INVALID_SOCKET;
    uint16_t Port = 0;
    std::atomic<int> CloseAfter{0};
    std::atomic<bool> OnlyFirst{false};
    std::vector<TFrame> Frames; // read them after Stop()
    std::thread Thread;

    TTcpViewerStub() {
        WSADATA d;
        WSAStartup(MAKEWORD(2, 2), &d);
        Listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(Listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        int len = sizeof a;
        getsockname(Listen, reinterpret_cast<sockaddr*>(&a), &len);
        Port = ntohs(a.sin_port);
        listen(Listen, 4);
    }
    ~TTcpViewerStub() { Stop(); }
    TTcpViewerStub(const TTcpViewerStub&) = delete;
    TTcpViewerStub& operator=(const TTcpViewerStub&) = delete;

    void Stop() {
        if (Listen == INVALID_SOCKET) return;
        closesocket(Listen); // ends accept()
        Listen = INVALID_SOCKET;
        if (Thread.joinable()) Thread.join();
        WSACleanup();
    }
    static bool Read(SOCKET s, char* p, size_t n) {
        while (n > 0) {
            int r = recv(s, p, int(n), 0);
            if (r <= 0) return false;
            p += r;
            n -= size_t(r);
        }
        return true;
    }
    static void SendNotice(SOCKET s, uint32_t wParam) {
        std::string f;
        AppendFrame(f, wParam, nullptr, 0);
        send(s, f.data(), int(f.size()), 0);
    }
    void Serve() {
        Thread = std::thread([this] {
            for (int connection = 1;; ++connection) {
                SOCKET s = accept(Listen, nullptr, nullptr);
                if (s == INVALID_SOCKET) return;
                bool greeted = false;
                int records = 0;
                char head[8];
                while (Read(s, head, 8)) {
                    uint32_t len, wParam;
                    std::memcpy(&len, head, 4);
                    std::memcpy(&wParam, head + 4, 4);
                    if (len < 4 || len > frame::MaxLength) break;
                    std::string block(len - 4, '\0');
                    if (!Read(s, block.data(), block.size())) break;
                    auto p = DecodePacket(wParam, block.data(), block.size());
                    if (!greeted) {
                        if (!p || p->Rec.Text != "k") break;
                        greeted = true;
                        SendNotice(s, vnAnswer);
                        continue;
                    }
                    Frames.push_back({connection, wParam, std::move(p), block.size()});
                    if (++records == CloseAfter && (connection == 1 || !OnlyFirst)) {
                        SendNotice(s, vnClosing);
                        Sleep(100);
                        break;
                    }
                }
                closesocket(s);
            }
        });
    }
};

} // namespace vx
