#include <gtest/gtest.h>

#include <fstream>

#include "platform/linux/linux_interface_table.h"
#include "platform/linux/sysfs_link_speed.h"
#include "platform/linux/sysfs_link_speed.h"
#include "support/temp_dir.h"

namespace {

void write(const std::filesystem::path& p, const std::string& text) {
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << text;
}

const char* kProcNetDev =
    "Inter-|   Receive                                                |  Transmit\n"
    " face |bytes    packets errs drop fifo frame compressed multicast|bytes    packets errs drop fifo colls carrier compressed\n"
    "    lo: 8589934594     100    0    0    0     0          0         0  8589934594     100    0    0    0     0       0          0\n"
    "  eth0:   12345      10    0    0    0     0          0         0     6789      20    0    0    0     0       0          0\n"
    "  bad0: 1 2 3\n";

TEST(LinuxInterfaceTable, ReadsCountersIndexesAndStatusFromAFakeTree) {
    TempDir dir;
    write(dir.path() / "proc_net_dev", kProcNetDev);
    write(dir.path() / "sys/lo/ifindex", "1\n");
    write(dir.path() / "sys/lo/operstate", "unknown\n");
    write(dir.path() / "sys/eth0/ifindex", "7\n");
    write(dir.path() / "sys/eth0/operstate", "down\n");
    write(dir.path() / "sys/eth0/speed", "1000\n");
    LinuxInterfaceTable t((dir.path() / "proc_net_dev").string(), (dir.path() / "sys").string());
    std::vector<InterfaceRow> rows;
    ASSERT_EQ(t.read_interfaces(rows), TableStatus::ok);
    ASSERT_EQ(rows.size(), 2u);  // the malformed line is skipped
    EXPECT_EQ(rows[0].description, "lo");
    EXPECT_EQ(rows[0].index, 1u);
    EXPECT_EQ(rows[0].in_octets, 2u);  // low 32 bits of 2^33 + 2
    EXPECT_EQ(rows[0].in_octets_wide, 8589934594ull);
    EXPECT_EQ(rows[0].oper_status, kOperOperational);
    EXPECT_EQ(rows[1].index, 7u);
    EXPECT_EQ(rows[1].in_octets, 12345u);
    EXPECT_EQ(rows[1].out_octets, 6789u);
    EXPECT_EQ(rows[1].oper_status, kOperDisconnected);
    SysfsLinkSpeed speeds((dir.path() / "sys").string() + "/");
    EXPECT_EQ(speeds.speed_bps("eth0"), 1e9);
    EXPECT_EQ(speeds.speed_bps("lo"), 0.0);
}

TEST(LinuxInterfaceTable, UnreadableProcFileIsAnError) {
    LinuxInterfaceTable t("/nonexistent/net/dev", "/nonexistent");
    std::vector<InterfaceRow> rows{InterfaceRow{}};
    EXPECT_EQ(t.read_interfaces(rows), TableStatus::error);
    EXPECT_TRUE(rows.empty());
}

TEST(LinuxInterfaceTable, RealMachineHasLoopbackWithAnAddress) {
    LinuxInterfaceTable t;
    std::vector<InterfaceRow> rows;
    std::vector<AddressRow> addresses;
    ASSERT_EQ(t.read_interfaces(rows), TableStatus::ok);
    ASSERT_EQ(t.read_addresses(addresses), TableStatus::ok);
    bool loopback = false;
    for (const AddressRow& a : addresses) {
        if (a.address[0] != 127) continue;
        loopback = true;
        // The address is matched to the interface row of the same index.
        bool row_found = false;
        for (const InterfaceRow& r : rows) row_found |= r.index == a.if_index && r.description == "lo";
        EXPECT_TRUE(row_found);
    }
    EXPECT_TRUE(loopback);
    EXPECT_FALSE(rows.empty());
}

// A table longer than one read buffer is read whole.
TEST(LinuxInterfaceTable, ReadsATableLongerThanOneBuffer) {
    TempDir dir;
    std::string text = "Inter-| header\n face | header\n";
    for (int i = 0; i < 200; ++i) {
        const std::string name = "veth" + std::to_string(i);
        text += "  " + name + ": " + std::to_string(1000 + i) + " 1 0 0 0 0 0 0 " + std::to_string(2000 + i) +
                " 1 0 0 0 0 0 0\n";
        write(dir.path() / "sys" / name / "ifindex", std::to_string(i + 1));
    }
    ASSERT_GT(text.size(), 8192u);
    write(dir.path() / "proc_net_dev", text);
    LinuxInterfaceTable t((dir.path() / "proc_net_dev").string(), (dir.path() / "sys").string());
    std::vector<InterfaceRow> rows;
    ASSERT_EQ(t.read_interfaces(rows), TableStatus::ok);
    ASSERT_EQ(rows.size(), 200u);
    EXPECT_EQ(rows[199].description, "veth199");
    EXPECT_EQ(rows[199].in_octets, 1199u);
    EXPECT_EQ(rows[199].out_octets, 2199u);
}

TEST(SysfsLinkSpeed, ReadsMegabitsAndRefusesOddNamesAndValues) {
    TempDir dir;
    write(dir.path() / "eth0/speed", "1000\n");
    write(dir.path() / "wlan0/speed", "-1\n");
    write(dir.path() / "odd0/speed", "fast\n");
    write(dir.path() / "speed", "100\n");  // what "../speed"-style names would reach
    SysfsLinkSpeed speed(dir.str() + "/");
    EXPECT_EQ(speed.speed_bps("eth0"), 1e9);
    EXPECT_EQ(speed.speed_bps("wlan0"), 0.0);
    EXPECT_EQ(speed.speed_bps("odd0"), 0.0);
    EXPECT_EQ(speed.speed_bps("missing0"), 0.0);
    EXPECT_EQ(speed.speed_bps("."), 0.0);
    EXPECT_EQ(speed.speed_bps("eth0/.."), 0.0);
}

}  // namespace
