#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/interface_table.h"

// The kernel's interface and IPv4 address tables over route netlink: the same rows
// /proc/net/dev with /sys/class/net and getifaddrs() give, for a fraction of the work (they
// are read every second). The query socket stays open, and a second socket listens for the
// kernel's notices of changed links and addresses: while none came, only the counters are
// asked for (one small statistics dump) and the names, states and addresses kept from the
// last whole dump are reused. Nothing when netlink cannot be used; the caller then reads the
// files. Rows come in the kernel's order, unsorted.
class NetlinkTables {
public:
    NetlinkTables();
    ~NetlinkTables();
    NetlinkTables(const NetlinkTables&) = delete;
    NetlinkTables& operator=(const NetlinkTables&) = delete;

    std::optional<std::vector<InterfaceRow>> interfaces();
    std::optional<std::vector<AddressRow>> ipv4_addresses();

private:
    // Reads the notices that arrived since the last call; a changed table is dumped again.
    void drain_changes();
    template <typename Row, typename Body, typename ParseBlock>
    std::optional<std::vector<Row>> dump(std::uint16_t type, const Body& body, ParseBlock parse_block);

    int query_fd_;
    int watch_fd_;
    std::uint32_t seq_ = 0;
    bool links_known_ = false;
    bool addresses_known_ = false;
    bool drained_for_addresses_ = false;  // interfaces() read the notices since the last addresses
    std::vector<InterfaceRow> links_;
    std::vector<AddressRow> addresses_;
};

// The interface table's status number of a netlink operational state (IF_OPER_*).
std::uint32_t oper_status_from_netlink(std::uint8_t operstate);

// What one received block of a dump held: rows appended, whether the dump ended, and
// whether the block was malformed or reported an error (the dump is then given up).
struct DumpBlock {
    bool done = false;
    bool failed = false;
};

// Parse one received block of RTM_NEWLINK / RTM_NEWADDR messages with sequence number `seq`.
// Lengths are checked against the block, so a damaged block cannot make them read outside it.
DumpBlock parse_link_block(const unsigned char* data, std::size_t size, std::uint32_t seq,
                           std::vector<InterfaceRow>& rows);
DumpBlock parse_address_block(const unsigned char* data, std::size_t size, std::uint32_t seq,
                              std::vector<AddressRow>& rows);

// One interface's 64-bit byte counters from a statistics dump.
struct LinkCounters {
    std::uint32_t index = 0;
    std::uint64_t in_octets = 0;
    std::uint64_t out_octets = 0;
};
DumpBlock parse_stats_block(const unsigned char* data, std::size_t size, std::uint32_t seq,
                            std::vector<LinkCounters>& rows);
