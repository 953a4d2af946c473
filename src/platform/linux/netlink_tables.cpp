#include "platform/linux/netlink_tables.h"

#include <linux/if.h>
#include <linux/if_addr.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

namespace {

// Sends a dump request of `type` whose header is followed by `body`.
template <typename Body>
bool request_dump(int fd, std::uint16_t type, const Body& body, std::uint32_t seq) {
    struct {
        nlmsghdr header;
        Body body;
    } request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(Body));
    request.header.nlmsg_type = type;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = seq;
    request.body = body;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    for (;;) {
        const ssize_t n = ::sendto(fd, &request, request.header.nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&kernel),
                                   sizeof kernel);
        if (n >= 0) return static_cast<std::size_t>(n) == request.header.nlmsg_len;
        if (errno != EINTR) return false;
    }
}

// Receives the blocks of a dump until it ends; false when anything goes wrong.
template <typename Parse>
bool receive_dump(int fd, Parse parse) {
    alignas(nlmsghdr) unsigned char buffer[65536];
    for (int blocks = 0; blocks < 4096; ++blocks) {
        iovec io{buffer, sizeof buffer};
        sockaddr_nl from{};
        msghdr msg{};
        msg.msg_name = &from;
        msg.msg_namelen = sizeof from;
        msg.msg_iov = &io;
        msg.msg_iovlen = 1;
        const ssize_t n = ::recvmsg(fd, &msg, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || (msg.msg_flags & MSG_TRUNC) != 0 || from.nl_pid != 0) return false;
        const DumpBlock block = parse(buffer, static_cast<std::size_t>(n));
        if (block.failed) return false;
        if (block.done) return true;
    }
    return false;
}

// Walks the messages of a block; `each` gets every message of type `type`.
template <typename Each>
DumpBlock walk_block(const unsigned char* data, std::size_t size, std::uint32_t seq, std::uint16_t type, Each each) {
    DumpBlock result;
    std::size_t at = 0;
    while (size - at >= sizeof(nlmsghdr)) {
        nlmsghdr header;
        std::memcpy(&header, data + at, sizeof header);
        if (header.nlmsg_len < sizeof(nlmsghdr) || header.nlmsg_len > size - at) {
            result.failed = true;
            return result;
        }
        if (header.nlmsg_seq == seq) {
            if (header.nlmsg_type == NLMSG_DONE) {
                result.done = true;
                return result;
            }
            if (header.nlmsg_type == NLMSG_ERROR) {
                result.failed = true;
                return result;
            }
            if (header.nlmsg_type == type) each(data + at + NLMSG_HDRLEN, header.nlmsg_len - NLMSG_HDRLEN);
        }
        at += NLMSG_ALIGN(header.nlmsg_len);
        if (at >= size) break;
    }
    return result;
}

// Calls `each(type, payload, length)` for every attribute that lies wholly inside the message.
template <typename Each>
void walk_attributes(const unsigned char* data, std::size_t size, Each each) {
    std::size_t at = 0;
    while (size - at >= sizeof(rtattr)) {
        rtattr attribute;
        std::memcpy(&attribute, data + at, sizeof attribute);
        if (attribute.rta_len < sizeof(rtattr) || attribute.rta_len > size - at) return;
        each(attribute.rta_type, data + at + RTA_LENGTH(0), attribute.rta_len - RTA_LENGTH(0));
        at += RTA_ALIGN(attribute.rta_len);
        if (at >= size) return;
    }
}

void parse_link(const unsigned char* data, std::size_t size, std::vector<InterfaceRow>& rows) {
    if (size < NLMSG_ALIGN(sizeof(ifinfomsg))) return;
    ifinfomsg info;
    std::memcpy(&info, data, sizeof info);
    InterfaceRow row;
    row.index = info.ifi_index > 0 ? static_cast<std::uint32_t>(info.ifi_index) : 0;
    row.oper_status = kOperNonOperational;
    bool named = false;
    bool wide = false;
    walk_attributes(data + NLMSG_ALIGN(sizeof(ifinfomsg)), size - NLMSG_ALIGN(sizeof(ifinfomsg)),
                    [&](unsigned short type, const unsigned char* payload, std::size_t length) {
                        if (type == IFLA_IFNAME && length > 0) {
                            row.description.assign(reinterpret_cast<const char*>(payload), strnlen(reinterpret_cast<const char*>(payload), length));
                            named = !row.description.empty();
                        } else if (type == IFLA_OPERSTATE && length >= 1) {
                            row.oper_status = oper_status_from_netlink(payload[0]);
                        } else if (type == IFLA_STATS64 && length >= offsetof(rtnl_link_stats64, tx_bytes) + 8) {
                            rtnl_link_stats64 stats;
                            std::memcpy(&stats, payload, std::min(length, sizeof stats));
                            row.in_octets_wide = stats.rx_bytes;
                            row.out_octets_wide = stats.tx_bytes;
                            wide = true;
                        } else if (type == IFLA_STATS && length >= offsetof(rtnl_link_stats, tx_bytes) + 4 && !wide) {
                            rtnl_link_stats stats;
                            std::memcpy(&stats, payload, std::min(length, sizeof stats));
                            row.in_octets_wide = stats.rx_bytes;
                            row.out_octets_wide = stats.tx_bytes;
                        }
                    });
    if (!named || row.index == 0) return;
    row.has_wide_counters = wide;
    row.in_octets = static_cast<std::uint32_t>(row.in_octets_wide);
    row.out_octets = static_cast<std::uint32_t>(row.out_octets_wide);
    rows.push_back(std::move(row));
}

void parse_address(const unsigned char* data, std::size_t size, std::vector<AddressRow>& rows) {
    if (size < NLMSG_ALIGN(sizeof(ifaddrmsg))) return;
    ifaddrmsg info;
    std::memcpy(&info, data, sizeof info);
    if (info.ifa_family != AF_INET || info.ifa_index == 0) return;
    // As getifaddrs() does: the local address where the kernel gives one (the other end of a
    // point-to-point link is in IFA_ADDRESS), else IFA_ADDRESS.
    bool have_local = false;
    bool have_address = false;
    std::array<std::uint8_t, 4> local{};
    std::array<std::uint8_t, 4> address{};
    walk_attributes(data + NLMSG_ALIGN(sizeof(ifaddrmsg)), size - NLMSG_ALIGN(sizeof(ifaddrmsg)),
                    [&](unsigned short type, const unsigned char* payload, std::size_t length) {
                        if (length < 4) return;
                        if (type == IFA_LOCAL) {
                            std::memcpy(local.data(), payload, 4);
                            have_local = true;
                        } else if (type == IFA_ADDRESS) {
                            std::memcpy(address.data(), payload, 4);
                            have_address = true;
                        }
                    });
    if (!have_local && !have_address) return;
    rows.push_back(AddressRow{have_local ? local : address, info.ifa_index});
}

}  // namespace

std::uint32_t oper_status_from_netlink(std::uint8_t operstate) {
    switch (operstate) {
        case IF_OPER_UP:
        case IF_OPER_UNKNOWN:
            return kOperOperational;
        case IF_OPER_DORMANT:
        case IF_OPER_TESTING:
            return kOperConnecting;
        case IF_OPER_DOWN:
        case IF_OPER_LOWERLAYERDOWN:
            return kOperDisconnected;
        default:
            return kOperNonOperational;
    }
}

DumpBlock parse_link_block(const unsigned char* data, std::size_t size, std::uint32_t seq,
                           std::vector<InterfaceRow>& rows) {
    return walk_block(data, size, seq, RTM_NEWLINK,
                      [&rows](const unsigned char* m, std::size_t n) { parse_link(m, n, rows); });
}

DumpBlock parse_address_block(const unsigned char* data, std::size_t size, std::uint32_t seq,
                              std::vector<AddressRow>& rows) {
    return walk_block(data, size, seq, RTM_NEWADDR,
                      [&rows](const unsigned char* m, std::size_t n) { parse_address(m, n, rows); });
}

DumpBlock parse_stats_block(const unsigned char* data, std::size_t size, std::uint32_t seq,
                            std::vector<LinkCounters>& rows) {
    return walk_block(data, size, seq, RTM_NEWSTATS, [&rows](const unsigned char* m, std::size_t n) {
        if (n < NLMSG_ALIGN(sizeof(if_stats_msg))) return;
        if_stats_msg info;
        std::memcpy(&info, m, sizeof info);
        if (info.ifindex == 0) return;
        walk_attributes(m + NLMSG_ALIGN(sizeof(if_stats_msg)), n - NLMSG_ALIGN(sizeof(if_stats_msg)),
                        [&](unsigned short type, const unsigned char* payload, std::size_t length) {
                            if (type != IFLA_STATS_LINK_64 || length < offsetof(rtnl_link_stats64, tx_bytes) + 8) return;
                            rtnl_link_stats64 stats{};
                            std::memcpy(&stats, payload, std::min(length, sizeof stats));
                            rows.push_back(LinkCounters{info.ifindex, stats.rx_bytes, stats.tx_bytes});
                        });
    });
}

namespace {

int open_route_socket(std::uint32_t groups) {
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | (groups != 0 ? SOCK_NONBLOCK : 0), NETLINK_ROUTE);
    if (fd < 0 || groups == 0) return fd;
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = groups;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

NetlinkTables::NetlinkTables()
    : query_fd_(open_route_socket(0)), watch_fd_(open_route_socket(RTMGRP_LINK | RTMGRP_IPV4_IFADDR)) {}

NetlinkTables::~NetlinkTables() {
    if (query_fd_ >= 0) ::close(query_fd_);
    if (watch_fd_ >= 0) ::close(watch_fd_);
}

void NetlinkTables::drain_changes() {
    // Any notice, or notices lost to a full buffer (ENOBUFS), means both tables are read whole
    // again; notices are rare, so telling links from addresses would save little. Without the
    // listening socket nothing is ever known to be unchanged.
    alignas(nlmsghdr) unsigned char buffer[16384];
    for (;;) {
        const ssize_t n = watch_fd_ < 0 ? 0 : ::recv(watch_fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        links_known_ = false;
        addresses_known_ = false;
        if (n <= 0 && !(n < 0 && errno == ENOBUFS)) return;
    }
}

template <typename Row, typename Body, typename ParseBlock>
std::optional<std::vector<Row>> NetlinkTables::dump(std::uint16_t type, const Body& body, ParseBlock parse_block) {
    if (query_fd_ < 0) query_fd_ = open_route_socket(0);
    if (query_fd_ < 0) return std::nullopt;
    const std::uint32_t seq = ++seq_;
    std::vector<Row> rows;
    const bool complete = request_dump(query_fd_, type, body, seq) &&
                          receive_dump(query_fd_, [&rows, parse_block, seq](const unsigned char* d, std::size_t n) {
                              return parse_block(d, n, seq, rows);
                          });
    if (!complete) {
        // Whatever is left of the reply must not be read as the next one.
        ::close(query_fd_);
        query_fd_ = -1;
        return std::nullopt;
    }
    return rows;
}

std::optional<std::vector<InterfaceRow>> NetlinkTables::interfaces() {
    drain_changes();
    drained_for_addresses_ = true;
    if (links_known_) {
        if_stats_msg body{};
        body.family = AF_UNSPEC;
        body.filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
        const std::optional<std::vector<LinkCounters>> counters = dump<LinkCounters>(RTM_GETSTATS, body, parse_stats_block);
        // A refused or failed statistics dump falls back to the whole link dump below.
        if (counters && counters->size() == links_.size()) {
            bool same_set = true;
            for (const LinkCounters& c : *counters) {
                const auto row = std::find_if(links_.begin(), links_.end(),
                                              [&c](const InterfaceRow& r) { return r.index == c.index; });
                if (row == links_.end()) {
                    same_set = false;
                    break;
                }
                row->in_octets_wide = c.in_octets;
                row->out_octets_wide = c.out_octets;
                row->in_octets = static_cast<std::uint32_t>(c.in_octets);
                row->out_octets = static_cast<std::uint32_t>(c.out_octets);
            }
            if (same_set) return links_;
        }
    }
    ifinfomsg body{};
    body.ifi_family = AF_UNSPEC;
    std::optional<std::vector<InterfaceRow>> rows = dump<InterfaceRow>(RTM_GETLINK, body, parse_link_block);
    links_known_ = false;
    if (!rows) return std::nullopt;
    // Counters can be refreshed alone only where the link dump gave the same 64-bit counters.
    links_ = *rows;
    links_known_ = watch_fd_ >= 0 && std::all_of(links_.begin(), links_.end(),
                                                 [](const InterfaceRow& r) { return r.has_wide_counters; });
    return rows;
}

std::optional<std::vector<AddressRow>> NetlinkTables::ipv4_addresses() {
    // The addresses are read right after the interfaces: their notices were read then.
    if (!drained_for_addresses_) drain_changes();
    drained_for_addresses_ = false;
    if (addresses_known_) return addresses_;
    ifaddrmsg body{};
    body.ifa_family = AF_INET;
    std::optional<std::vector<AddressRow>> rows = dump<AddressRow>(RTM_GETADDR, body, parse_address_block);
    if (!rows) return std::nullopt;
    addresses_ = *rows;
    addresses_known_ = watch_fd_ >= 0;
    return rows;
}
