#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One row of the interface table. The 32-bit octet counters are what the monitor extends;
// where the system keeps wider counters they are carried beside them, so that a counter
// that went down (an interface that restarted) can be told from one that wrapped.
struct InterfaceRow {
    std::uint32_t index = 0;
    std::uint32_t oper_status = 0;
    std::uint32_t in_octets = 0;
    std::uint32_t out_octets = 0;
    bool has_wide_counters = false;
    std::uint64_t in_octets_wide = 0;
    std::uint64_t out_octets_wide = 0;
    std::string description;
};

// One row of the IPv4 address table: the address bytes in network order and the interface.
struct AddressRow {
    std::array<std::uint8_t, 4> address{};
    std::uint32_t if_index = 0;
};

enum class TableStatus { ok, not_supported, error };

// Source of the two tables. Rows come back in the order the monitor expects: interfaces
// sorted by interface index, addresses sorted by address.
class InterfaceTableReader {
public:
    virtual ~InterfaceTableReader() = default;
    virtual TableStatus read_interfaces(std::vector<InterfaceRow>& rows) = 0;
    virtual TableStatus read_addresses(std::vector<AddressRow>& rows) = 0;
};

// Operational status numbers as the interface table reports them.
enum OperStatus : std::uint32_t {
    kOperNonOperational = 0,
    kOperUnreachable = 1,
    kOperDisconnected = 2,
    kOperConnecting = 3,
    kOperConnected = 4,
    kOperOperational = 5,
};

// The orders the monitor expects. Rows without an index (an interface that vanished while
// it was read) cannot be matched and are dropped.
inline void sort_interface_rows(std::vector<InterfaceRow>& rows) {
    std::erase_if(rows, [](const InterfaceRow& r) { return r.index == 0; });
    std::stable_sort(rows.begin(), rows.end(), [](const InterfaceRow& a, const InterfaceRow& b) { return a.index < b.index; });
}
inline void sort_address_rows(std::vector<AddressRow>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const AddressRow& a, const AddressRow& b) { return a.address < b.address; });
}
