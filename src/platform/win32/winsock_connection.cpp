#include "platform/win32/winsock_connection.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/win32/win32_text.h"

WinsockSession::WinsockSession() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
}

WinsockSession::~WinsockSession() { ::WSACleanup(); }

WinsockConnection::WinsockConnection(Events events)
    : events_(std::move(events)),
      window_([this](unsigned message, std::uintptr_t wparam, std::intptr_t lparam) {
          if (message == kSocketMessage) on_message(wparam, lparam);
      }) {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
}

WinsockConnection::~WinsockConnection() {
    close();
    ::WSACleanup();
}

void WinsockConnection::set_override(const std::string& host, int port) {
    host_override_ = host;
    port_override_ = port;
}

void WinsockConnection::apply(const SocketActions& a) {
    if (a.close) close();
    if (a.connect) connect_to(host_override_.empty() ? a.host : host_override_, port_override_ > 0 ? port_override_ : a.port);
    if (!a.send.empty() && is_open()) send(a.send);
}

void WinsockConnection::close() {
    drop_socket();
    candidates_.clear();
    connected_ = false;
    pending_.clear();
}

void WinsockConnection::connect_to(const std::string& host, int port) {
    close();
    addrinfoW hints = {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfoW* found = nullptr;
    const std::wstring service = std::to_wstring(port);
    if (int r = ::GetAddrInfoW(widen(host).c_str(), service.c_str(), &hints, &found); r != 0) {
        fail(r);
        return;
    }
    // Every address of the name is tried in turn ("localhost" may be ::1 first while the
    // server listens on 127.0.0.1 only).
    candidates_.clear();
    for (const addrinfoW* a = found; a != nullptr; a = a->ai_next)
        candidates_.emplace_back(reinterpret_cast<const char*>(a->ai_addr), a->ai_addrlen);
    ::FreeAddrInfoW(found);
    connect_next(WSAEHOSTUNREACH);
}

void WinsockConnection::connect_next(int last_error) {
    while (!candidates_.empty()) {
        const std::string address = std::move(candidates_.front());
        candidates_.erase(candidates_.begin());
        const auto* sa = reinterpret_cast<const sockaddr*>(address.data());
        const SOCKET s = ::socket(sa->sa_family, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET) {
            last_error = ::WSAGetLastError();
            continue;
        }
        socket_ = static_cast<std::uintptr_t>(s);
        // Makes the socket non-blocking.
        ::WSAAsyncSelect(s, static_cast<HWND>(window_.handle()), kSocketMessage,
                         FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE);
        if (::connect(s, sa, static_cast<int>(address.size())) == 0 || ::WSAGetLastError() == WSAEWOULDBLOCK) return;
        last_error = ::WSAGetLastError();
        drop_socket();
    }
    fail(last_error);
}

void WinsockConnection::drop_socket() {
    if (socket_ == kNoSocket) return;
    ::WSAAsyncSelect(static_cast<SOCKET>(socket_), static_cast<HWND>(window_.handle()), 0, 0);
    ::closesocket(static_cast<SOCKET>(socket_));
    socket_ = kNoSocket;
    // Notices of the old socket may still be queued; they no longer match.
    alive_ = std::make_shared<int>(0);
}

void WinsockConnection::send(std::string_view bytes) {
    pending_.append(bytes);
    if (connected_) flush();
}

void WinsockConnection::flush() {
    while (!pending_.empty() && socket_ != kNoSocket) {
        const int n = ::send(static_cast<SOCKET>(socket_), pending_.data(), static_cast<int>(pending_.size()), 0);
        if (n > 0) {
            pending_.erase(0, static_cast<std::size_t>(n));
            continue;
        }
        if (::WSAGetLastError() != WSAEWOULDBLOCK) fail(::WSAGetLastError());
        return;  // FD_WRITE tells when the socket takes more
    }
}

void WinsockConnection::read_all() {
    char buffer[16 * 1024];
    const std::weak_ptr<int> alive = alive_;
    while (socket_ != kNoSocket) {
        const int n = ::recv(static_cast<SOCKET>(socket_), buffer, static_cast<int>(sizeof buffer), 0);
        if (n <= 0) return;
        if (events_.data) events_.data(std::string_view(buffer, static_cast<std::size_t>(n)));
        if (alive.expired()) return;  // the dialogue closed or replaced the connection
    }
}

void WinsockConnection::fail(int code) {
    close();
    if (events_.error) events_.error(system_error_text(static_cast<unsigned long>(code)));
}

void WinsockConnection::on_message(std::uintptr_t socket, std::intptr_t lparam) {
    if (socket != socket_ || socket_ == kNoSocket) return;
    const int event = WSAGETSELECTEVENT(lparam);
    const int error = WSAGETSELECTERROR(lparam);
    const std::weak_ptr<int> alive = alive_;
    switch (event) {
        case FD_CONNECT:
            if (error != 0) {
                drop_socket();
                connect_next(error);
                return;
            }
            candidates_.clear();
            connected_ = true;
            if (events_.connected) events_.connected();
            if (!alive.expired()) flush();
            return;
        case FD_WRITE: flush(); return;
        case FD_READ: read_all(); return;
        case FD_CLOSE:
            // Bytes that arrived together with the close are handed on first.
            read_all();
            if (alive.expired()) return;
            if (error != 0 && error != WSAECONNRESET) {
                fail(error);
                return;
            }
            close();
            if (events_.closed) events_.closed();
            return;
        default: return;
    }
}
