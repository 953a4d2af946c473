#include <gtest/gtest.h>

#include "platform/services.h"
#include "measure/adapter_numbering.h"
#include "core/counters.h"
#include "support/fakes.h"

namespace {

constexpr std::uint64_t k2p31 = 1ull << 31;
constexpr std::uint64_t k2p32 = 1ull << 32;

struct NoticeHooks : CycleHooks {
    std::vector<std::string> notices;
    void log_notice(const std::string& text) override { notices.push_back(text); }
};

// Loopback, a bridge without an address (index 3) and a card (index 5), each with years of
// traffic on its counters before the program starts.
class ReadCountersTest : public ::testing::Test {
protected:
    FakeInterfaceTable table;
    FakeClock clock;
    RecordingDialogs dialogs;
    Services services{table, clock, dialogs};
    NoticeHooks hooks;
    ProgramState state;
    std::uint64_t rx = 5'000'000'000ull;
    std::uint64_t tx = 7'000'000'000ull;

    void SetUp() override {
        table.add_interface(1, "lo", 900'000'000ull, 900'000'000ull);
        table.add_address(1, 127, 0, 0, 1);
        table.add_interface(3, "docker0", 9'000'000'000ull, 8'000'000'000ull);
        table.add_interface(5, "eth0", rx, tx);
        table.add_address(5, 192, 168, 0, 10);
        state.stats.adapters.resize(2);
        state.settings.Adapter = 2;
        read();  // start-up: the first reading is the base
    }
    double received(int i) const { return state.adapters[static_cast<std::size_t>(i)].current_received; }
    double sent(int i) const { return state.adapters[static_cast<std::size_t>(i)].current_sent; }
    void read() { read_counters(state, services, hooks); }
    void eth0(std::uint64_t down, std::uint64_t up) {
        rx += down;
        tx += up;
        table.set_counters(5, rx, tx);
    }
    void drop_address(std::uint32_t index) {
        std::erase_if(table.addresses, [&](const AddressRow& a) { return a.if_index == index; });
    }
    void drop_interface(std::uint32_t index) {
        drop_address(index);
        std::erase_if(table.interfaces, [&](const InterfaceRow& r) { return r.index == index; });
    }
};

TEST_F(ReadCountersTest, WhatTheCountersHeldBeforeStartIsNoTrafficAndGrowthIsCountedExactly) {
    EXPECT_EQ(received(2), 0.0);
    EXPECT_EQ(sent(2), 0.0);
    // More than 2^31 and more than 2^32 in one reading (a fast link, or a long sleep).
    eth0(3 * k2p31 + 7, k2p32);
    read();
    EXPECT_EQ(received(2), static_cast<double>(3 * k2p31 + 7));
    EXPECT_EQ(sent(2), static_cast<double>(k2p32));
    eth0(1, 1);
    read();
    EXPECT_EQ(received(2), static_cast<double>(3 * k2p31 + 8));
    // The stored bookkeeping follows: three half-range steps, the extended value beside it.
    const CounterContinuation& c = state.stats.adapters[1];
    EXPECT_EQ(c.received_wraps, 3u);
    EXPECT_EQ(c.sent_wraps, 2u);
    EXPECT_EQ(c.last_received + c.received_offset, received(2));
    EXPECT_EQ(c.received_sign, ((rx >> 31) & 1) != 0);
}

TEST_F(ReadCountersTest, AddressLostAndBackCountsWhatTheInterfaceCarriedNeverItsLifetime) {
    eth0(1000, 100);
    read();
    drop_address(5);
    eth0(500, 50);  // while it had no IPv4 address (IPv6 only, or none at all)
    read();
    EXPECT_EQ(received(2), 1500.0) << "an interface counts whatever its addresses";
    EXPECT_EQ(state.found_adapters, 2) << "the adapter keeps its number";
    EXPECT_EQ(state.ip_text, "0.0.0.0");
    read();
    table.add_address(5, 192, 168, 0, 10);
    eth0(200, 20);
    read();
    EXPECT_EQ(received(2), 1700.0);
    EXPECT_EQ(sent(2), 170.0);
    EXPECT_EQ(state.ip_text, "192.168.0.10");
}

TEST_F(ReadCountersTest, InterfaceStartedAgainCountsItsWholeNewReading) {
    eth0(1000, 100);
    read();
    // Deleted and created again under its name between two readings: a new index.
    drop_interface(5);
    table.add_interface(9, "eth0", 5000, 40);
    table.add_address(9, 192, 168, 0, 10);
    read();
    EXPECT_EQ(received(2), 6000.0);
    EXPECT_EQ(sent(2), 140.0);
    // Gone for a reading, then back under yet another index with a burst before its first reading.
    drop_interface(9);
    read();
    table.add_interface(11, "eth0", 3000, 30);
    table.add_address(11, 192, 168, 0, 10);
    read();
    EXPECT_EQ(received(2), 9000.0);
    // Same index, counters lower: its driver reset them.
    table.set_counters(11, 200, 2);
    read();
    EXPECT_EQ(received(2), 9200.0);
    EXPECT_EQ(sent(2), 172.0);
    // The stored offset carries what the counter held before it started again.
    const CounterContinuation& c = state.stats.adapters[1];
    EXPECT_EQ(c.received_offset, 9000.0);
    EXPECT_EQ(c.last_received, 200.0);
}

TEST_F(ReadCountersTest, RenamedAwayAndBackTheInterfaceKeepsItsNumberAndCountsEachByteOnce) {
    table.interfaces.back().description = "enp0s5";
    eth0(300, 30);
    read();
    EXPECT_EQ(state.table_messages.numbering.names[2], "enp0s5");
    table.interfaces.back().description = "eth0";
    eth0(200, 20);
    read();
    EXPECT_EQ(numbering_text(state.table_messages.numbering), "1 lo\n2 eth0\n");
    EXPECT_EQ(received(2), 500.0);
    EXPECT_EQ(sent(2), 50.0);
}

TEST_F(ReadCountersTest, AbsentForAWhileAndBackWithItsCountersContinuesFromTheLastReading) {
    eth0(1000, 100);
    read();
    const InterfaceRow kept = table.interfaces.back();
    drop_interface(5);
    read();
    read();
    EXPECT_EQ(received(2), 1000.0);
    table.interfaces.push_back(kept);
    table.add_address(5, 192, 168, 0, 10);
    eth0(700, 70);
    read();
    EXPECT_EQ(received(2), 1700.0);
    EXPECT_EQ(sent(2), 170.0);
}

TEST_F(ReadCountersTest, ThirtyTwoBitCountersTellAWrapFromARestart) {
    table.set_narrow_counters(5, 4294967000u, 1000u);
    read();  // the narrow counters become the new base
    table.set_narrow_counters(5, 704u, 1500u);  // received passed 2^32
    read();
    EXPECT_EQ(received(2), 1000.0);
    EXPECT_EQ(sent(2), 500.0);
    table.set_narrow_counters(5, 10u, 20u);  // both lower: the interface started again
    read();
    EXPECT_EQ(received(2), 1010.0);
    EXPECT_EQ(sent(2), 520.0);
}

TEST_F(ReadCountersTest, InterfaceComingUpDuringTheRunCountsEverythingItCarried) {
    table.add_interface(12, "tun0", 30000, 3000);
    table.add_address(12, 10, 8, 0, 2);
    read();
    EXPECT_EQ(received(3), 30000.0);
    EXPECT_EQ(sent(3), 3000.0);
}

TEST_F(ReadCountersTest, UnreadableTablesLeaveEverythingInPlaceAndReportOnce) {
    eth0(100, 10);
    table.interface_status = TableStatus::not_supported;
    read();
    read();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "IP Helper is not supported by this system.");
    EXPECT_EQ(received(2), 0.0);
    table.interface_status = TableStatus::ok;
    table.address_status = TableStatus::error;
    read();
    read();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, "ERROR reading IP Table");
    table.address_status = TableStatus::ok;
    read();
    EXPECT_EQ(received(2), 100.0) << "the growth meanwhile is counted once the address shows again";
}

TEST_F(ReadCountersTest, IpTextFollowsTheMonitoredAdapter) {
    EXPECT_EQ(state.ip_text, "192.168.0.10");
    state.settings.Adapter = 0;
    read();
    EXPECT_EQ(state.ip_text, "Multiple");
    state.settings.Adapter = 9;
    read();
    EXPECT_EQ(state.ip_text, "0.0.0.0");
}

TEST_F(ReadCountersTest, PastFifteenAdaptersTheRestIsToldOnceAndNeverMerged) {
    for (std::uint32_t i = 20; i < 36; ++i) {
        table.add_interface(i, "tap" + std::to_string(i), 0, 0);
        table.add_address(i, 10, 9, static_cast<std::uint8_t>(i), 1);
    }
    table.add_interface(40, "veth9f", 500, 500);  // a container's end: never numbered
    read();
    read();
    EXPECT_EQ(state.found_adapters, 15);
    ASSERT_EQ(hooks.notices.size(), 1u);
    EXPECT_EQ(hooks.notices[0],
              "Not counted, all 15 adapter numbers being taken: tap33, tap34, tap35. The Adapters page of the "
              "settings lists the adapters and what is not counted.");
    table.set_counters(35, 1'000'000, 1'000'000);
    read();
    for (int i = 1; i <= kMaxAdapters; ++i) EXPECT_EQ(received(i), 0.0) << "adapter " << i;
}

}  // namespace
