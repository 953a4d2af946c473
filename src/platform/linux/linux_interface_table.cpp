#include "platform/linux/linux_interface_table.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>

#include "platform/linux/netlink_tables.h"
#include "platform/linux/small_file.h"

namespace {

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

}  // namespace

LinuxInterfaceTable::LinuxInterfaceTable()
    : proc_net_dev_("/proc/net/dev"), sys_class_net_("/sys/class/net"), netlink_(std::make_unique<NetlinkTables>()) {}

LinuxInterfaceTable::LinuxInterfaceTable(std::string proc_net_dev, std::string sys_class_net)
    : proc_net_dev_(std::move(proc_net_dev)), sys_class_net_(std::move(sys_class_net)) {}

std::vector<InterfaceRow> parse_proc_net_dev(const std::string& text) {
    std::vector<InterfaceRow> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;  // the two header lines
        const std::string name = trim(line.substr(0, colon));
        if (name.empty() || name.find('|') != std::string::npos) continue;
        std::istringstream fields(line.substr(colon + 1));
        unsigned long long v[16] = {};
        int count = 0;
        while (count < 16 && fields >> v[count]) ++count;
        if (count < 9) continue;  // a malformed line is skipped, not guessed at
        InterfaceRow row;
        row.description = name;
        row.has_wide_counters = true;
        row.in_octets_wide = v[0];
        row.out_octets_wide = v[8];
        row.in_octets = static_cast<std::uint32_t>(v[0]);
        row.out_octets = static_cast<std::uint32_t>(v[8]);
        rows.push_back(row);
    }
    return rows;
}

std::uint32_t oper_status_from_operstate(const std::string& word) {
    const std::string w = trim(word);
    if (w == "up" || w == "unknown") return kOperOperational;
    if (w == "dormant" || w == "testing") return kOperConnecting;
    if (w == "down" || w == "lowerlayerdown") return kOperDisconnected;
    return kOperNonOperational;
}


TableStatus LinuxInterfaceTable::read_interfaces(std::vector<InterfaceRow>& rows) {
    rows.clear();
    if (netlink_) {
        if (std::optional<std::vector<InterfaceRow>> links = netlink_->interfaces()) {
            rows = std::move(*links);
            sort_interface_rows(rows);
            return TableStatus::ok;
        }
    }
    std::string text;
    if (!read_small_file(proc_net_dev_, text)) return TableStatus::error;
    rows = parse_proc_net_dev(text);
    for (InterfaceRow& row : rows) {
        std::string value;
        if (read_small_file(sys_class_net_ + "/" + row.description + "/ifindex", value)) {
            try {
                row.index = static_cast<std::uint32_t>(std::stoul(trim(value)));
            } catch (...) {
                row.index = 0;
            }
        }
        if (row.index == 0) row.index = if_nametoindex(row.description.c_str());
        row.oper_status = read_small_file(sys_class_net_ + "/" + row.description + "/operstate", value)
                              ? oper_status_from_operstate(value)
                              : kOperNonOperational;
    }
    sort_interface_rows(rows);
    return TableStatus::ok;
}

TableStatus LinuxInterfaceTable::read_addresses(std::vector<AddressRow>& rows) {
    rows.clear();
    if (netlink_) {
        if (std::optional<std::vector<AddressRow>> addresses = netlink_->ipv4_addresses()) {
            rows = std::move(*addresses);
            sort_address_rows(rows);
            return TableStatus::ok;
        }
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return TableStatus::error;
    // The link entries of the same list carry each interface's index, so the addresses are
    // matched from one snapshot without a system call per address.
    std::map<std::string, std::uint32_t> index_of;
    for (ifaddrs* p = list; p != nullptr; p = p->ifa_next) {
        if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_PACKET || p->ifa_name == nullptr) continue;
        sockaddr_ll link;
        std::memcpy(&link, p->ifa_addr, sizeof link);
        if (link.sll_ifindex > 0) index_of[p->ifa_name] = static_cast<std::uint32_t>(link.sll_ifindex);
    }
    for (ifaddrs* p = list; p != nullptr; p = p->ifa_next) {
        if (p->ifa_addr == nullptr || p->ifa_addr->sa_family != AF_INET || p->ifa_name == nullptr) continue;
        AddressRow row;
        sockaddr_in sin;
        std::memcpy(&sin, p->ifa_addr, sizeof sin);
        std::memcpy(row.address.data(), &sin.sin_addr.s_addr, 4);
        // An alias label ("eth0:1") has no link entry of its own: ask for it by name.
        const auto known = index_of.find(p->ifa_name);
        row.if_index = known != index_of.end() ? known->second : if_nametoindex(p->ifa_name);
        if (row.if_index != 0) rows.push_back(row);
    }
    freeifaddrs(list);
    sort_address_rows(rows);
    return TableStatus::ok;
}
