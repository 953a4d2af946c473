#pragma once

#define OpenFile windows_api_OpenFile
#include <winsock2.h>
#undef OpenFile
#include "platform/win32/windows_api.h"

#include <atomic>
#include <functional>
#include <thread>

#include "platform/win32/winsock_connection.h"

// A peer on 127.0.0.1 on a thread of its own, with blocking Winsock: it accepts one
// connection and hands it to `serve`.
class LoopbackPeer {
public:
    explicit LoopbackPeer(std::function<void(SOCKET)> serve) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof a;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this, serve] {
            const SOCKET s = ::accept(listener_, nullptr, nullptr);
            if (s != INVALID_SOCKET) serve(s);
            ::closesocket(s);
            done_ = true;
        });
    }
    ~LoopbackPeer() {
        ::closesocket(listener_);
        thread_.join();
    }
    int port() const { return port_; }
    bool done() const { return done_; }

private:
    WinsockSession winsock_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> done_{false};
};
