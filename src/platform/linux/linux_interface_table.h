#pragma once

#include <string>

#include "platform/interface_table.h"

// The interface table from /proc/net/dev and /sys/class/net/<if>/{ifindex,operstate}; the
// address table from getifaddrs() (IPv4 only). The two roots can point into a test tree.
class LinuxInterfaceTable : public InterfaceTableReader {
public:
    explicit LinuxInterfaceTable(std::string proc_net_dev = "/proc/net/dev",
                                 std::string sys_class_net = "/sys/class/net");
    TableStatus read_interfaces(std::vector<InterfaceRow>& rows) override;
    TableStatus read_addresses(std::vector<AddressRow>& rows) override;

private:
    std::string proc_net_dev_;
    std::string sys_class_net_;
};

// Parses the text of /proc/net/dev into rows with name, counters and no index or status.
std::vector<InterfaceRow> parse_proc_net_dev(const std::string& text);
// Maps a sysfs operstate word to the interface table's operational status number.
std::uint32_t oper_status_from_operstate(const std::string& word);
// Link speed in bits per second from /sys/class/net/<if>/speed, 0 when unknown.
std::uint64_t link_speed_bits(const std::string& sys_class_net, const std::string& name);
