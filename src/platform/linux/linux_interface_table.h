#pragma once

#include <memory>
#include <string>

#include "platform/interface_table.h"
#include "platform/linux/netlink_tables.h"

// The machine's interface and IPv4 address tables. Read over route netlink; where that cannot
// be used, the interface table comes from /proc/net/dev and /sys/class/net/<if>/{ifindex,
// operstate} and the address table from getifaddrs(). Given two roots, the files are read
// from there (a test tree) and netlink is not used.
class LinuxInterfaceTable : public InterfaceTableReader {
public:
    LinuxInterfaceTable();
    LinuxInterfaceTable(std::string proc_net_dev, std::string sys_class_net);
    TableStatus read_interfaces(std::vector<InterfaceRow>& rows) override;
    TableStatus read_addresses(std::vector<AddressRow>& rows) override;

private:
    std::string proc_net_dev_;
    std::string sys_class_net_;
    std::unique_ptr<NetlinkTables> netlink_;  // none when the files are read
};

// Parses the text of /proc/net/dev into rows with name, counters and no index or status.
std::vector<InterfaceRow> parse_proc_net_dev(const std::string& text);
// Maps a sysfs operstate word to the interface table's operational status number.
std::uint32_t oper_status_from_operstate(const std::string& word);
