#include "platform/win32/metrics_listener.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "net/metrics_http.h"
#include "platform/win32/win32_text.h"

MetricsListener::MetricsListener(std::function<std::string()> exposition)
    : exposition_(std::move(exposition)),
      window_([this](unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
          if (message == kSocketMessage) on_message(wparam, lparam);
      }) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
}

MetricsListener::~MetricsListener() {
    stop_listening();
    while (!connections_.empty()) drop(connections_.begin()->first);
    ::WSACleanup();
}

void MetricsListener::stop_listening() {
    if (listener_ == kNoSocket) return;
    ::closesocket(static_cast<SOCKET>(listener_));
    listener_ = kNoSocket;
}

std::string MetricsListener::configure(const std::string& address, int port) {
    if (address == address_ && port == port_) return {};
    address_ = address;
    port_ = port;
    stop_listening();
    retry_.stop_timer();
    reason_.clear();
    if (port <= 0 || port > 65535) return {};
    return listen();
}

std::string MetricsListener::failure(const std::string& address, int port) const {
    if (address != address_ || port != port_ || port <= 0 || listening()) return {};
    return reason_;
}

std::string MetricsListener::listen() {
    addrinfoW hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_PASSIVE;
    addrinfoW* found = nullptr;
    if (::GetAddrInfoW(widen(address_).c_str(), std::to_wstring(port_).c_str(), &hints, &found) != 0) {
        // Not an address: trying again would not make it one.
        reason_ = "not an IP address";
        return metrics_listen_failed_message(address_, port_, reason_);
    }
    const SOCKET s = ::socket(found->ai_family, SOCK_STREAM, IPPROTO_TCP);
    std::string failure;
    if (s == INVALID_SOCKET) {
        failure = system_error_text(static_cast<unsigned long>(::WSAGetLastError()));
    } else {
        // Another program may not take over the port while this one listens on it.
        BOOL exclusive = TRUE;
        ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive), sizeof exclusive);
        if (::bind(s, found->ai_addr, static_cast<int>(found->ai_addrlen)) != 0 || ::listen(s, SOMAXCONN) != 0) {
            failure = system_error_text(static_cast<unsigned long>(::WSAGetLastError()));
            ::closesocket(s);
        } else {
            listener_ = static_cast<std::uintptr_t>(s);
            ::WSAAsyncSelect(s, static_cast<HWND>(window_.handle()), kSocketMessage, FD_ACCEPT);
        }
    }
    ::FreeAddrInfoW(found);
    reason_ = failure;
    if (failure.empty()) return {};
    retry_.start_timer(kMetricsListenRetryMs, [this] { listen(); });
    return metrics_listen_failed_message(address_, port_, failure);
}

void MetricsListener::on_message(std::uintptr_t socket, std::intptr_t lparam) {
    const int event = WSAGETSELECTEVENT(lparam);
    if (socket == listener_) {
        if (event == FD_ACCEPT) accept_waiting();
        return;
    }
    const auto it = connections_.find(socket);
    if (it == connections_.end()) return;
    if (event == FD_READ) read_request(socket, it->second);
    else if (event == FD_WRITE) flush(socket, it->second);
    else if (event == FD_CLOSE) drop(socket);
}

void MetricsListener::accept_waiting() {
    // Connections beyond the limit stay queued until one that is served ends.
    while (listener_ != kNoSocket && connections_.size() < static_cast<std::size_t>(kMetricsMaxConnections)) {
        const SOCKET s = ::accept(static_cast<SOCKET>(listener_), nullptr, nullptr);
        if (s == INVALID_SOCKET) return;
        ::WSAAsyncSelect(s, static_cast<HWND>(window_.handle()), kSocketMessage, FD_READ | FD_WRITE | FD_CLOSE);
        connections_[static_cast<std::uintptr_t>(s)].accepted_ms = ::GetTickCount64();
    }
    // The deadlines are checked only while connections are open: an idle endpoint never wakes.
    if (connections_.empty()) window_.stop_timer();
    else window_.start_timer(250, [this] { check_deadlines(); });
}

void MetricsListener::read_request(std::uintptr_t socket, Connection& c) {
    char buffer[kMetricsRequestLimit + 1];
    if (c.answered) {
        // What follows an answered request is not read, only taken off the socket.
        while (::recv(static_cast<SOCKET>(socket), buffer, static_cast<int>(sizeof buffer), 0) > 0) {
        }
        return;
    }
    const int want = static_cast<int>(kMetricsRequestLimit + 1 - c.received.size());
    const int n = ::recv(static_cast<SOCKET>(socket), buffer, want, 0);
    if (n <= 0) return;
    c.received.append(buffer, static_cast<std::size_t>(n));
    const MetricsRequest kind = classify_metrics_request(c.received);
    if (kind == MetricsRequest::incomplete) return;
    c.answered = true;
    const bool metrics = kind == MetricsRequest::metrics || kind == MetricsRequest::metrics_head;
    c.unsent = metrics_response(kind, metrics ? exposition_() : std::string());
    flush(socket, c);
}

void MetricsListener::flush(std::uintptr_t socket, Connection& c) {
    while (!c.unsent.empty()) {
        const int n = ::send(static_cast<SOCKET>(socket), c.unsent.data(), static_cast<int>(c.unsent.size()), 0);
        if (n <= 0) {
            if (::WSAGetLastError() != WSAEWOULDBLOCK) drop(socket);
            return;  // FD_WRITE follows when the socket takes more
        }
        c.unsent.erase(0, static_cast<std::size_t>(n));
    }
    if (c.answered) {
        ::shutdown(static_cast<SOCKET>(socket), SD_SEND);
        drop(socket);
    }
}

void MetricsListener::drop(std::uintptr_t socket) {
    ::closesocket(static_cast<SOCKET>(socket));
    connections_.erase(socket);
    accept_waiting();
}

void MetricsListener::check_deadlines() {
    const unsigned long long now = ::GetTickCount64();
    for (auto it = connections_.begin(); it != connections_.end();) {
        const auto next = std::next(it);
        if (now - it->second.accepted_ms >= static_cast<unsigned long long>(kMetricsRequestTimeoutMs)) {
            ::closesocket(static_cast<SOCKET>(it->first));
            connections_.erase(it);
        }
        it = next;
    }
    accept_waiting();
}
