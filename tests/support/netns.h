#pragma once

#include <string>

// A network namespace made by a test, with its loopback interface up, so that the traffic
// of a program run inside it is the test's own. Removed with the object. Needs root.
class TestNetns {
public:
    // `tag` becomes part of the namespace's name, with the process id.
    explicit TestNetns(const std::string& tag);
    ~TestNetns();
    TestNetns(const TestNetns&) = delete;
    TestNetns& operator=(const TestNetns&) = delete;

    // Empty when the namespace exists; else why it could not be made (for GTEST_SKIP).
    const std::string& failure() const { return failure_; }
    const std::string& name() const { return name_; }
    // Runs `ip -n <name> <arguments>`; true when it succeeded.
    bool ip(const std::string& arguments) const;

private:
    std::string name_;
    std::string failure_;
};

// Moves the calling thread into a namespace until the object ends: sockets made meanwhile,
// also by threads started meanwhile, belong to that namespace.
class InNetns {
public:
    explicit InNetns(const TestNetns& ns);
    ~InNetns();
    InNetns(const InNetns&) = delete;
    InNetns& operator=(const InNetns&) = delete;
    bool entered() const { return entered_; }

private:
    int original_ = -1;
    bool entered_ = false;
};

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
// Sends `total` bytes from one loopback socket to another; returns how many arrived.
std::size_t loopback_transfer(std::size_t total);
