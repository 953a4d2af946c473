#pragma once

#include <cstddef>
#include <string>

// A network namespace a test makes and deletes again; its name is unique to the test process.
// Making one needs root; `error()` tells why it could not be made.
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
