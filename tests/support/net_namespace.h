#pragma once

#include <cstddef>
#include <string>

// A network namespace a test makes and deletes again, with its loopback interface up, so that
// the traffic of a program run inside it is the test's own; its name is unique to the test
// process. Making one needs root; `error()` tells why it could not be made (for GTEST_SKIP).
class NetNamespace {
public:
    explicit NetNamespace(const std::string& tag);
    ~NetNamespace();
    NetNamespace(const NetNamespace&) = delete;
    NetNamespace& operator=(const NetNamespace&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& name() const { return name_; }
    // Runs `ip -n <name> <args>`; true when it succeeded.
    bool ip(const std::string& args) const;

private:
    std::string name_;
    std::string error_;
};

// Moves the calling thread into a namespace until the object ends: sockets made meanwhile,
// also by threads started meanwhile, belong to that namespace.
class InNetns {
public:
    explicit InNetns(const NetNamespace& ns);
    ~InNetns();
    InNetns(const InNetns&) = delete;
    InNetns& operator=(const InNetns&) = delete;
    bool entered() const { return entered_; }

private:
    int original_ = -1;
    bool entered_ = false;
};

// The path of the `ip` program, empty when it is not installed.
std::string ip_program();
// Runs `ip <args>` in the test's own namespace; true when it succeeded.
bool run_ip(const std::string& args);
// A name for an interface: `tag` and the process id, at most 15 characters.
std::string unique_interface_name(const std::string& tag);

// Bytes that went each way over one TCP connection.
struct TransferResult {
    std::size_t to_server = 0;
    std::size_t to_client = 0;
};

// Opens a TCP connection from a socket in namespace `client_ns` to a socket listening on
// `server_address` (IPv4 or IPv6) in namespace `server_ns`, sends `to_server` bytes, and then `to_client`
// bytes back; returns what arrived.
TransferResult transfer_between(const NetNamespace& server_ns, const std::string& server_address,
                                const NetNamespace& client_ns, std::size_t to_server, std::size_t to_client);

// Sends `total` bytes from one loopback socket to another (in the calling thread's
// namespace); returns how many arrived.
std::size_t loopback_transfer(std::size_t total);

// One HTTP exchange over TCP: connect to `address`:`port`, send `request`, read until the
// server closes or `timeout_ms` pass without data.
struct HttpExchange {
    bool connected = false;
    bool closed_by_server = false;  // end of stream or reset seen
    std::string response;
};
HttpExchange http_exchange(const std::string& address, int port, const std::string& request, int timeout_ms = 5000);
// "GET <path> HTTP/1.1" with a Host line.
std::string http_get(const std::string& path);
// A port on 127.0.0.1 that was free a moment ago.
int free_local_port();
