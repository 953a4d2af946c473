#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/interface_table.h"

// The kernel's interface and IPv4 address tables, each read with one route-netlink dump: the
// same rows /proc/net/dev with /sys/class/net and getifaddrs() give, for a fraction of the
// system calls (they are read every second). Nothing when netlink cannot be used; the caller
// then reads the files. Rows come in the kernel's order, unsorted.
std::optional<std::vector<InterfaceRow>> netlink_interfaces();
std::optional<std::vector<AddressRow>> netlink_ipv4_addresses();

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
