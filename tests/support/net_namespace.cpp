#include "support/net_namespace.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <thread>
#include <vector>

namespace {

bool run_shell(const std::string& line) { return std::system((line + " >/dev/null 2>&1").c_str()) == 0; }

// Moves the calling thread into the namespace; sockets it opens from then on live there.
bool enter(const std::string& ns) {
    const int fd = ::open(("/run/netns/" + ns).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::setns(fd, CLONE_NEWNET) == 0;
    ::close(fd);
    return ok;
}

// Every wait of a socket ends after 20 s, so a transfer that cannot happen fails the test
// instead of hanging it (on a listening socket this also bounds accept).
void bound_waits(int fd, int seconds = 20) {
    timeval limit{seconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

std::size_t send_all(int fd, std::size_t total) {
    std::vector<char> chunk(1 << 16, 'k');
    std::size_t sent = 0;
    while (sent < total) {
        const ssize_t n = ::send(fd, chunk.data(), std::min(chunk.size(), total - sent), MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    return sent;
}

std::size_t receive_all(int fd, std::size_t expected) {
    std::vector<char> buf(1 << 16);
    std::size_t received = 0;
    while (received < expected) {
        const ssize_t n = ::recv(fd, buf.data(), buf.size(), 0);
        if (n <= 0) break;
        received += static_cast<std::size_t>(n);
    }
    return received;
}

// An IPv4 or IPv6 address and port, in storage that fits either.
sockaddr_in6 socket_address(const std::string& address, int port) {
    sockaddr_in6 storage{};
    addrinfo hints{};
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return storage;
    std::memcpy(&storage, found->ai_addr, std::min<std::size_t>(found->ai_addrlen, sizeof storage));
    ::freeaddrinfo(found);
    return storage;
}

}  // namespace

std::string ip_program() {
    for (const char* p : {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"})
        if (::access(p, X_OK) == 0) return p;
    return {};
}

bool run_ip(const std::string& args) { return run_shell(ip_program() + " " + args); }

std::string unique_interface_name(const std::string& tag) {
    return (tag + std::to_string(::getpid())).substr(0, 15);
}

NetNamespace::NetNamespace(const std::string& tag) {
    static std::atomic<int> serial{0};
    name_ = "kelvanto-" + tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
    if (::geteuid() != 0) {
        error_ = "making network namespaces needs root";
    } else if (ip_program().empty()) {
        error_ = "the ip program (iproute2) is not installed";
    } else if (!run_ip("netns add " + name_)) {
        error_ = "ip netns add failed: network namespaces cannot be made here";
    } else if (!ip("link set lo up")) {
        error_ = "the loopback interface of a new namespace cannot be brought up";
    }
}

NetNamespace::~NetNamespace() {
    if (!name_.empty() && std::filesystem::exists("/run/netns/" + name_)) run_ip("netns del " + name_);
}

bool NetNamespace::ip(const std::string& args) const { return run_ip("-n " + name_ + " " + args); }

InNetns::InNetns(const NetNamespace& ns) {
    original_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    entered_ = original_ >= 0 && ns.ok() && enter(ns.name());
}

InNetns::~InNetns() {
    if (entered_) ::setns(original_, CLONE_NEWNET);
    if (original_ >= 0) ::close(original_);
}

TransferResult transfer_between(const NetNamespace& server_ns, const std::string& server_address,
                                const NetNamespace& client_ns, std::size_t to_server, std::size_t to_client) {
    TransferResult result;
    std::promise<int> port_promise;
    std::future<int> port = port_promise.get_future();
    std::thread server([&] {
        if (!enter(server_ns.name())) {
            port_promise.set_value(0);
            return;
        }
        sockaddr_in6 addr = socket_address(server_address, 0);
        const int listener = ::socket(addr.sin6_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bound_waits(listener);
        socklen_t len = sizeof addr;
        if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener, 1) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
            ::close(listener);
            port_promise.set_value(0);
            return;
        }
        port_promise.set_value(ntohs(addr.sin6_port));
        const int peer = ::accept(listener, nullptr, nullptr);
        ::close(listener);
        if (peer < 0) return;
        bound_waits(peer);
        result.to_server = receive_all(peer, to_server);
        send_all(peer, to_client);
        ::shutdown(peer, SHUT_WR);
        char drain[256];
        while (::recv(peer, drain, sizeof drain, 0) > 0) {
        }
        ::close(peer);
    });
    std::thread client([&] {
        const int p = port.get();
        if (p == 0 || !enter(client_ns.name())) return;
        const sockaddr_in6 addr = socket_address(server_address, p);
        const int fd = ::socket(addr.sin6_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bound_waits(fd);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) {
            send_all(fd, to_server);
            result.to_client = receive_all(fd, to_client);
        }
        ::close(fd);
    });
    client.join();
    server.join();
    return result;
}

std::size_t loopback_transfer(std::size_t total) {
    sockaddr_in6 addr = socket_address("127.0.0.1", 0);
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bound_waits(listener);
    socklen_t len = sizeof addr;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener, 1) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(listener);
        return 0;
    }
    std::size_t received = 0;
    std::thread reader([&] {
        const int peer = ::accept(listener, nullptr, nullptr);
        if (peer < 0) return;
        bound_waits(peer);
        received = receive_all(peer, total);
        ::close(peer);
    });
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bound_waits(client);
    if (::connect(client, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) send_all(client, total);
    ::close(client);
    reader.join();
    ::close(listener);
    return received;
}

HttpExchange http_exchange(const std::string& address, int port, const std::string& request, int timeout_ms) {
    HttpExchange x;
    const sockaddr_in6 addr = socket_address(address, port);
    const int fd = ::socket(addr.sin6_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        if (fd >= 0) ::close(fd);
        return x;
    }
    x.connected = true;
    timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    for (std::size_t sent = 0; sent < request.size();) {
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    std::vector<char> buf(1 << 16);
    for (;;) {
        const ssize_t n = ::recv(fd, buf.data(), buf.size(), 0);
        if (n > 0) {
            x.response.append(buf.data(), static_cast<std::size_t>(n));
            continue;
        }
        x.closed_by_server = n == 0 || errno == ECONNRESET;
        break;
    }
    ::close(fd);
    return x;
}

std::string http_get(const std::string& path) { return "GET " + path + " HTTP/1.1\r\nHost: test\r\n\r\n"; }

int free_local_port() {
    sockaddr_in6 addr = socket_address("127.0.0.1", 0);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin6_port);
    ::close(fd);
    return port;
}
