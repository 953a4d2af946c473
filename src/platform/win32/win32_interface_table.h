#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/interface_table.h"
#include "platform/link_speed.h"

// The machine's interfaces from the IP Helper: GetIfTable2 for the rows with their 64-bit
// counters, GetAdaptersAddresses for the addresses. An interface is named for the user by
// its alias ("Ethernet", "Wi-Fi"), carried in the row's description; its interface index
// stays with it while it exists, and its GUID is the identity that lasts (`identity_of`).
// Filter and other pseudo interfaces that Windows lists beside the real ones are left out.
//
// The counters are read every cycle. The addresses are read again when the system tells of
// a change (NotifyIpInterfaceChange, NotifyUnicastIpAddressChange), when the rows differ
// from the last read in their interfaces or their status, and at the latest every
// kAddressPollReads reads: where the notices never come (Wine stubs them), polling keeps
// the addresses current.
class Win32InterfaceTable : public InterfaceTableReader, public LinkSpeed {
public:
    static constexpr int kAddressPollReads = 30;

    Win32InterfaceTable();
    ~Win32InterfaceTable() override;
    Win32InterfaceTable(const Win32InterfaceTable&) = delete;
    Win32InterfaceTable& operator=(const Win32InterfaceTable&) = delete;

    TableStatus read_interfaces(std::vector<InterfaceRow>& rows) override;
    TableStatus read_addresses(std::vector<AddressRow>& rows) override;
    // The receive speed of the interface with that alias at the last read, bits per second.
    double speed_bps(const std::string& interface_name) override;

    // The GUID ("{...}") of the interface with that index at the last read; empty if none.
    std::string identity_of(std::uint32_t index) const;
    // Every address (IPv4 and IPv6, as text) of the interface with that index.
    std::vector<std::string> addresses_of(std::uint32_t index) const;
    // Whether the system has delivered a change notice since this reader was made.
    bool notices_seen() const { return notices_seen_.load(); }
    // Address reads so far (for tests of the polling path).
    int address_reads() const { return address_reads_; }

    // Called by the system's notice callbacks (on a thread of its own).
    void changed();

private:
    bool read_address_table();

    struct Known {
        std::string guid;
        double speed_bps = 0.0;
        std::uint32_t status = 0;
    };
    std::map<std::uint32_t, Known> known_;      // by interface index, from the last read
    std::map<std::string, double> speed_by_alias_;
    std::vector<AddressRow> ipv4_;
    std::map<std::uint32_t, std::vector<std::string>> address_texts_;
    bool rows_changed_ = true;
    int reads_since_addresses_ = 0;
    int address_reads_ = 0;
    std::atomic<bool> change_pending_{true};
    std::atomic<bool> notices_seen_{false};
    void* interface_notice_ = nullptr;
    void* address_notice_ = nullptr;
};

// The operational status number of the interface table for an IF_OPER_STATUS value.
std::uint32_t oper_status_from_if_oper(int if_oper_status);
