#include <gtest/gtest.h>
#include <linux/if.h>
#include <linux/if_addr.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/linux/linux_interface_table.h"
#include "platform/linux/netlink_tables.h"
#include "support/net_namespace.h"

namespace {

// Builds netlink blocks the way the kernel lays them out.
class Block {
public:
    std::vector<unsigned char> bytes;

    // Starts a message of `type`; its fixed header follows at once.
    template <typename Fixed>
    void message(std::uint16_t type, std::uint32_t seq, const Fixed& fixed) {
        start_ = bytes.size();
        nlmsghdr h{};
        h.nlmsg_type = type;
        h.nlmsg_seq = seq;
        append(&h, sizeof h);
        append(&fixed, sizeof fixed);
        pad();
        finish();
    }
    void attribute(std::uint16_t type, const void* payload, std::size_t length) {
        rtattr a{};
        a.rta_type = type;
        a.rta_len = static_cast<unsigned short>(RTA_LENGTH(length));
        append(&a, sizeof a);
        append(payload, length);
        pad();
        finish();
    }
    void done(std::uint32_t seq) { message(NLMSG_DONE, seq, 0); }
    // The length field of the message at `offset`.
    void set_length(std::size_t offset, std::uint32_t length) { std::memcpy(bytes.data() + offset, &length, 4); }

private:
    std::size_t start_ = 0;
    void append(const void* p, std::size_t n) {
        const auto* c = static_cast<const unsigned char*>(p);
        bytes.insert(bytes.end(), c, c + n);
    }
    void pad() { bytes.resize(NLMSG_ALIGN(bytes.size()), 0); }
    void finish() { set_length(start_, static_cast<std::uint32_t>(bytes.size() - start_)); }
};

void link(Block& b, std::uint32_t seq, int index, const char* name, std::uint8_t operstate, std::uint64_t rx, std::uint64_t tx) {
    ifinfomsg info{};
    info.ifi_index = index;
    b.message(RTM_NEWLINK, seq, info);
    b.attribute(IFLA_IFNAME, name, std::strlen(name) + 1);
    b.attribute(IFLA_OPERSTATE, &operstate, 1);
    rtnl_link_stats64 stats{};
    stats.rx_bytes = rx;
    stats.tx_bytes = tx;
    b.attribute(IFLA_STATS64, &stats, sizeof stats);
}

TEST(NetlinkTables, LinkMessagesGiveNameIndexStatusAndWideCounters) {
    Block b;
    link(b, 7, 1, "lo", IF_OPER_UNKNOWN, 8589934594ull, 5);
    link(b, 7, 4, "eth0", IF_OPER_DOWN, 12345, 6789);
    link(b, 8, 9, "other0", IF_OPER_UP, 1, 1);  // another request's answer
    b.done(7);
    std::vector<InterfaceRow> rows;
    const DumpBlock r = parse_link_block(b.bytes.data(), b.bytes.size(), 7, rows);
    EXPECT_TRUE(r.done);
    EXPECT_FALSE(r.failed);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].description, "lo");
    EXPECT_EQ(rows[0].index, 1u);
    EXPECT_EQ(rows[0].oper_status, kOperOperational);
    EXPECT_TRUE(rows[0].has_wide_counters);
    EXPECT_EQ(rows[0].in_octets_wide, 8589934594ull);
    EXPECT_EQ(rows[0].in_octets, 2u);  // the low 32 bits
    EXPECT_EQ(rows[1].description, "eth0");
    EXPECT_EQ(rows[1].oper_status, kOperDisconnected);
    EXPECT_EQ(rows[1].out_octets, 6789u);

    EXPECT_EQ(oper_status_from_netlink(IF_OPER_DORMANT), kOperConnecting);
    EXPECT_EQ(oper_status_from_netlink(IF_OPER_LOWERLAYERDOWN), kOperDisconnected);
    EXPECT_EQ(oper_status_from_netlink(IF_OPER_NOTPRESENT), kOperNonOperational);
}

TEST(NetlinkTables, AddressMessagesPreferTheLocalAddress) {
    Block b;
    ifaddrmsg info{};
    info.ifa_family = AF_INET;
    info.ifa_index = 4;
    const unsigned char peer[4] = {10, 0, 0, 1};
    const unsigned char local[4] = {10, 0, 0, 2};
    b.message(RTM_NEWADDR, 3, info);
    b.attribute(IFA_ADDRESS, peer, 4);
    b.attribute(IFA_LOCAL, local, 4);
    info.ifa_index = 1;
    const unsigned char loopback[4] = {127, 0, 0, 1};
    b.message(RTM_NEWADDR, 3, info);
    b.attribute(IFA_ADDRESS, loopback, 4);
    std::vector<AddressRow> rows;
    const DumpBlock r = parse_address_block(b.bytes.data(), b.bytes.size(), 3, rows);
    EXPECT_FALSE(r.done);
    EXPECT_FALSE(r.failed);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].address, (std::array<std::uint8_t, 4>{10, 0, 0, 2}));
    EXPECT_EQ(rows[0].if_index, 4u);
    EXPECT_EQ(rows[1].address, (std::array<std::uint8_t, 4>{127, 0, 0, 1}));
}

// Damaged blocks never make the parser read outside them: every cut of a good block and a
// message claiming more than the block holds are refused or skipped.
TEST(NetlinkTables, DamagedBlocksAreRefusedWithoutReadingOutside) {
    Block good;
    link(good, 1, 2, "eth0", IF_OPER_UP, 100, 200);
    for (std::size_t cut = 0; cut < good.bytes.size(); ++cut) {
        const std::vector<unsigned char> part(good.bytes.begin(), good.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
        std::vector<InterfaceRow> rows;
        const DumpBlock r = parse_link_block(part.data(), part.size(), 1, rows);
        EXPECT_FALSE(r.done);
        EXPECT_TRUE(rows.empty()) << cut;
    }
    Block long_claim = good;
    long_claim.set_length(0, static_cast<std::uint32_t>(good.bytes.size() + 64));
    std::vector<InterfaceRow> rows;
    EXPECT_TRUE(parse_link_block(long_claim.bytes.data(), long_claim.bytes.size(), 1, rows).failed);

    Block error;
    nlmsgerr e{};
    e.error = -EPERM;
    error.message(NLMSG_ERROR, 1, e);
    EXPECT_TRUE(parse_link_block(error.bytes.data(), error.bytes.size(), 1, rows).failed);
}

// On this machine the netlink tables say what the files and getifaddrs() say.
TEST(NetlinkTables, AgreeWithTheFilesOnThisMachine) {
    LinuxInterfaceTable files("/proc/net/dev", "/sys/class/net");
    std::vector<InterfaceRow> before;
    ASSERT_EQ(files.read_interfaces(before), TableStatus::ok);
    NetlinkTables netlink;
    const auto links = netlink.interfaces();
    ASSERT_TRUE(links.has_value());
    std::vector<InterfaceRow> after;
    ASSERT_EQ(files.read_interfaces(after), TableStatus::ok);

    std::map<std::string, InterfaceRow> seen;
    for (const InterfaceRow& r : *links) seen[r.description] = r;
    ASSERT_EQ(seen.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        const InterfaceRow& b = before[i];
        ASSERT_TRUE(seen.count(b.description)) << b.description;
        const InterfaceRow& n = seen[b.description];
        EXPECT_EQ(n.index, b.index) << b.description;
        EXPECT_EQ(n.oper_status, b.oper_status) << b.description;
        EXPECT_TRUE(n.has_wide_counters);
        // Counters only grow: the netlink reading lies between the two file readings.
        EXPECT_LE(b.in_octets_wide, n.in_octets_wide) << b.description;
        EXPECT_LE(n.in_octets_wide, after[i].in_octets_wide) << b.description;
        EXPECT_LE(b.out_octets_wide, n.out_octets_wide) << b.description;
        EXPECT_LE(n.out_octets_wide, after[i].out_octets_wide) << b.description;
    }

    std::vector<AddressRow> from_getifaddrs;
    ASSERT_EQ(files.read_addresses(from_getifaddrs), TableStatus::ok);
    std::vector<AddressRow> from_netlink;
    LinuxInterfaceTable machine;
    ASSERT_EQ(machine.read_addresses(from_netlink), TableStatus::ok);
    ASSERT_EQ(from_netlink.size(), from_getifaddrs.size());
    for (std::size_t i = 0; i < from_netlink.size(); ++i) {
        EXPECT_EQ(from_netlink[i].address, from_getifaddrs[i].address);
        EXPECT_EQ(from_netlink[i].if_index, from_getifaddrs[i].if_index);
    }
}

// What a reader that has just been made sees, by index: the rows a kept reader must match.
struct Snapshot {
    std::map<std::uint32_t, InterfaceRow> links;
    std::vector<AddressRow> addresses;
};

Snapshot read_all(NetlinkTables& tables) {
    Snapshot s;
    const auto links = tables.interfaces();
    const auto addresses = tables.ipv4_addresses();
    EXPECT_TRUE(links.has_value() && addresses.has_value());
    if (links) {
        for (const InterfaceRow& r : *links) s.links[r.index] = r;
    }
    if (addresses) s.addresses = *addresses;
    std::sort(s.addresses.begin(), s.addresses.end(), [](const AddressRow& a, const AddressRow& b) {
        return std::tie(a.if_index, a.address) < std::tie(b.if_index, b.address);
    });
    return s;
}

// Reads `kept` and then a reader made afresh; every row must agree.
Snapshot agree_with_fresh(NetlinkTables& kept, const std::string& step) {
    const Snapshot have = read_all(kept);
    NetlinkTables fresh_tables;
    const Snapshot fresh = read_all(fresh_tables);
    EXPECT_EQ(have.links.size(), fresh.links.size()) << step;
    for (const auto& [index, f] : fresh.links) {
        const auto h = have.links.find(index);
        if (h == have.links.end()) {
            ADD_FAILURE() << step << ": index " << index << " (" << f.description << ") missing";
            continue;
        }
        EXPECT_EQ(h->second.description, f.description) << step;
        EXPECT_EQ(h->second.oper_status, f.oper_status) << step << ": " << f.description;
        EXPECT_TRUE(h->second.has_wide_counters) << step;
        // Read just before the fresh reader: never more.
        EXPECT_LE(h->second.in_octets_wide, f.in_octets_wide) << step << ": " << f.description;
        EXPECT_EQ(h->second.in_octets, static_cast<std::uint32_t>(h->second.in_octets_wide)) << step;
    }
    EXPECT_EQ(have.addresses.size(), fresh.addresses.size()) << step;
    for (std::size_t i = 0; i < std::min(have.addresses.size(), fresh.addresses.size()); ++i) {
        EXPECT_EQ(have.addresses[i].address, fresh.addresses[i].address) << step;
        EXPECT_EQ(have.addresses[i].if_index, fresh.addresses[i].if_index) << step;
    }
    return have;
}

// A reader kept for the program's life follows every change of the tables: links that come,
// get renamed, go down and vanish, addresses taken and given, counters that move, exactly as
// a reader made afresh sees them.
TEST(NetlinkTables, KeptReaderFollowsChangesAsAFreshReaderSeesThem) {
    const NetNamespace ns("nlk");
    if (!ns.ok()) GTEST_SKIP() << ns.error();
    const InNetns in(ns);
    ASSERT_TRUE(in.entered());
    NetlinkTables kept;

    const auto agree = [&kept](const std::string& step) { return agree_with_fresh(kept, step); };
    const auto loopback_in = [](const Snapshot& s) {
            for (const auto& [index, row] : s.links) {
            if (row.description == "lo") return row.in_octets_wide;
        }
        return std::uint64_t{0};
    };

    agree("start");
    const std::uint64_t before = loopback_in(read_all(kept));
    ASSERT_EQ(loopback_transfer(300000), 300000u);
    EXPECT_GE(loopback_in(read_all(kept)), before + 300000) << "counters of a known link move";

    ASSERT_TRUE(ns.ip("link add kva type veth peer name kvb"));
    agree("pair added");
    ASSERT_TRUE(ns.ip("link set kva up") && ns.ip("link set kvb up"));
    agree("pair up");
    ASSERT_TRUE(ns.ip("addr add 10.77.0.1/24 dev kva"));
    agree("address given");
    ASSERT_TRUE(ns.ip("addr add 10.77.1.1/24 dev kvb"));
    agree("second address given");
    ASSERT_TRUE(ns.ip("addr del 10.77.0.1/24 dev kva"));
    agree("address taken");
    ASSERT_TRUE(ns.ip("link set kvb down"));
    agree("peer down");
    ASSERT_TRUE(ns.ip("link set kvb name kvc"));
    agree("renamed");
    ASSERT_TRUE(ns.ip("link del kva"));
    const Snapshot gone = agree("pair deleted");
    ASSERT_TRUE(ns.ip("link add kva type veth peer name kvb"));
    const Snapshot back = agree("pair made again");
    for (const auto& [index, row] : back.links) {
        if (row.description != "kva") continue;
        EXPECT_EQ(gone.links.count(index), 0u) << "a new index";
    }
}

}  // namespace
