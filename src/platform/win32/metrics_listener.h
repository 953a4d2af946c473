#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/win32/message_window.h"

// The metrics endpoint on Winsock: a listening socket whose connections each get one HTTP
// request answered by the core (classify, respond) and are closed. Notices come through
// WSAAsyncSelect on the thread's message loop; a connection never waits for another. At
// most kMetricsMaxConnections are served at once (further ones wait in the system's queue),
// a request is read up to kMetricsRequestLimit bytes, and a connection still open
// kMetricsRequestTimeoutMs after it was accepted is dropped.
class MetricsListener {
public:
    // `exposition` builds the body of a metrics answer when one is asked for.
    explicit MetricsListener(std::function<std::string()> exposition);
    ~MetricsListener();
    MetricsListener(const MetricsListener&) = delete;
    MetricsListener& operator=(const MetricsListener&) = delete;

    // Listens on `address` (IPv4 or IPv6) and `port`; port 0 switches the endpoint off.
    // Settings equal to the last call change nothing. Returns the message for the user when
    // it cannot listen, else an empty text; a port that cannot be opened (taken by another
    // program) is tried again every kMetricsListenRetryMs until it can.
    std::string configure(const std::string& address, int port);
    // Why `address` and `port`, the endpoint's settings now, cannot be listened on; empty
    // while it listens, or when those are not its settings.
    std::string failure(const std::string& address, int port) const;
    bool listening() const { return listener_ != kNoSocket; }
    int open_connections() const { return static_cast<int>(connections_.size()); }

private:
    static constexpr std::uintptr_t kNoSocket = ~std::uintptr_t{0};
    struct Connection {
        std::string received;
        std::string unsent;
        bool answered = false;
        unsigned long long accepted_ms = 0;
    };
    void stop_listening();
    std::string listen();
    void on_message(std::uintptr_t socket, std::intptr_t lparam);
    void accept_waiting();
    void read_request(std::uintptr_t socket, Connection& c);
    void flush(std::uintptr_t socket, Connection& c);
    void drop(std::uintptr_t socket);
    void check_deadlines();

    std::function<std::string()> exposition_;
    MessageWindow window_;
    MessageWindow retry_{[](unsigned, std::uintptr_t, std::intptr_t) {}};  // its timer tries again
    std::string reason_;  // why the last try to listen failed
    std::uintptr_t listener_ = kNoSocket;
    std::map<std::uintptr_t, Connection> connections_;
    std::string address_;
    int port_ = 0;
};
