#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/socket_actions.h"
#include "platform/win32/message_window.h"

// A TCP client connection on a non-blocking Winsock socket whose notices (connect, read,
// write, close) arrive as messages through WSAAsyncSelect, on the thread's message loop.
// It feeds a core dialogue (Time Protocol, remote report, update query, mail): connected,
// bytes arrived, closed by the peer, error. Bytes that cannot be sent at once wait for the
// socket to take them. Closing drops the connection without events.
//
// The host name is resolved with getaddrinfo, which waits for the name service: numeric
// addresses return at once.
class WinsockConnection {
public:
    struct Events {
        std::function<void()> connected;
        std::function<void(std::string_view)> data;
        std::function<void()> closed;
        std::function<void(const std::string& reason)> error;
    };

    explicit WinsockConnection(Events events);
    ~WinsockConnection();
    WinsockConnection(const WinsockConnection&) = delete;
    WinsockConnection& operator=(const WinsockConnection&) = delete;

    // Send every connection to this host and/or port instead of the dialogue's (test seam;
    // empty host or port 0 leaves that part alone).
    void set_override(const std::string& host, int port);
    // Close, connect, send, as the dialogue asked.
    void apply(const SocketActions& actions);

    void connect_to(const std::string& host, int port);
    void send(std::string_view bytes);
    void close();
    bool is_open() const { return socket_ != kNoSocket; }
    bool is_connected() const { return connected_; }
    MessageWindow& window() { return window_; }

private:
    static constexpr std::uintptr_t kNoSocket = ~std::uintptr_t{0};
    void connect_next(int last_error);
    void drop_socket();
    void on_message(std::uintptr_t socket, std::intptr_t lparam);
    void flush();
    void read_all();
    void fail(int code);

    Events events_;
    MessageWindow window_;
    std::uintptr_t socket_ = kNoSocket;
    bool connected_ = false;
    std::string pending_;  // bytes the socket has not taken yet
    std::vector<std::string> candidates_;  // addresses (sockaddr bytes) not tried yet
    std::string host_override_;
    int port_override_ = 0;
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // expires with the object
};

// Starts Winsock for the calling process while the object lives (WSAStartup, WSACleanup).
class WinsockSession {
public:
    WinsockSession();
    ~WinsockSession();
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
};
