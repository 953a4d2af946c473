#include "support/netns.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

TestNetns::TestNetns(const std::string& tag) : name_("kv" + tag + std::to_string(::getpid())) {
    if (::geteuid() != 0) {
        failure_ = "network namespaces need root";
        return;
    }
    if (std::system(("ip netns add " + name_ + " 2>/dev/null").c_str()) != 0) {
        failure_ = "ip netns add failed (no iproute2 or no namespace support)";
        name_.clear();
        return;
    }
    if (!ip("link set lo up")) failure_ = "the namespace's loopback interface did not come up";
}

TestNetns::~TestNetns() {
    if (!name_.empty() && std::system(("ip netns del " + name_ + " 2>/dev/null").c_str()) != 0) {
        // Nothing more can be done about a namespace that does not go; the name has the pid.
    }
}

bool TestNetns::ip(const std::string& arguments) const {
    return std::system(("ip -n " + name_ + " " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

InNetns::InNetns(const TestNetns& ns) {
    original_ = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    const int target = ::open(("/run/netns/" + ns.name()).c_str(), O_RDONLY | O_CLOEXEC);
    entered_ = original_ >= 0 && target >= 0 && ::setns(target, CLONE_NEWNET) == 0;
    if (target >= 0) ::close(target);
}

InNetns::~InNetns() {
    if (entered_) ::setns(original_, CLONE_NEWNET);
    if (original_ >= 0) ::close(original_);
}

namespace {

int connected_socket(const std::string& address, int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, address.c_str(), &addr.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

HttpExchange http_exchange(const std::string& address, int port, const std::string& request, int timeout_ms) {
    HttpExchange x;
    const int fd = connected_socket(address, port);
    if (fd < 0) return x;
    x.connected = true;
    timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    for (std::size_t sent = 0; sent < request.size();) {
        const ssize_t n = ::send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    char buf[65536];
    for (;;) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n > 0) {
            x.response.append(buf, static_cast<std::size_t>(n));
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
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

std::size_t loopback_transfer(std::size_t total) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener, 1) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(listener);
        return 0;
    }
    std::size_t received = 0;
    std::thread reader([&] {
        const int peer = ::accept(listener, nullptr, nullptr);
        std::vector<char> buf(1 << 16);
        for (ssize_t n; (n = ::recv(peer, buf.data(), buf.size(), 0)) > 0;) received += static_cast<std::size_t>(n);
        ::close(peer);
    });
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(client, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        std::vector<char> chunk(1 << 16, 'k');
        for (std::size_t sent = 0; sent < total;) {
            const ssize_t n = ::send(client, chunk.data(), std::min(chunk.size(), total - sent), MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
    }
    ::close(client);
    reader.join();
    ::close(listener);
    return received;
}
