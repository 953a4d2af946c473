#include <gtest/gtest.h>

#include <cmath>

#include "core/services.h"
#include "measure/counters.h"
#include "support/fakes.h"

namespace {

constexpr double k2p31 = 2147483648.0;
constexpr double k2p32 = 4294967296.0;

TEST(ExtendReading, FollowsTheUnsignedCounterAcrossBothHalfRangeBoundaries) {
    std::uint32_t w = 0;
    bool f = false;
    // Unsigned counter values read as signed 32-bit.
    const auto as_signed = [](std::uint32_t u) { return static_cast<double>(static_cast<std::int32_t>(u)); };
    EXPECT_EQ(extend_reading(as_signed(2147483647u), w, f), 2147483647.0);
    EXPECT_EQ(extend_reading(as_signed(2147483648u), w, f), 2147483648.0);  // passes 2^31
    EXPECT_TRUE(f);
    EXPECT_EQ(extend_reading(as_signed(4294967295u), w, f), 4294967295.0);
    EXPECT_EQ(extend_reading(as_signed(0u), w, f), k2p32);  // wraps 2^32 - 1 to 0
    EXPECT_EQ(extend_reading(as_signed(5u), w, f), k2p32 + 5);
    EXPECT_FALSE(f);
    EXPECT_EQ(w, 2u);
}

TEST(ExtendReading, StaysContinuousPastTwoHundredFiftyFiveHalfRangeSteps) {
    std::uint32_t w = 0;
    bool f = false;
    double previous = 0.0;
    std::uint32_t counter = 0;
    for (int step = 0; step < 600; ++step) {
        counter += 0x40000000u;  // a quarter of the range per reading
        const double x = extend_reading(static_cast<double>(static_cast<std::int32_t>(counter)), w, f);
        ASSERT_DOUBLE_EQ(x - previous, 1073741824.0) << "step " << step;
        previous = x;
    }
    EXPECT_GT(w, 255u);
}

// One adapter (plus loopback) on a scripted table, read through read_counters.
class ReadCountersTest : public ::testing::Test {
protected:
    FakeInterfaceTable table;
    FakeClock clock;
    RecordingDialogs dialogs;
    Services services{table, clock, dialogs};
    CycleHooks hooks;
    ProgramState state;

    void SetUp() override {
        table.add_interface(1, "lo");
        table.add_address(1, 127, 0, 0, 1);
        table.add_interface(2, "eth0");
        table.add_address(2, 192, 168, 0, 10);
        state.stats.adapters.resize(2);
        state.settings.Adapter = 2;
    }
    double current_received(int i) const { return state.adapters[static_cast<std::size_t>(i)].current_received; }
    double current_sent(int i) const { return state.adapters[static_cast<std::size_t>(i)].current_sent; }
    void read() { read_counters(state, services, hooks); }
};

TEST_F(ReadCountersTest, BothCountersDroppingToZeroKeepTheTotalsAndCountOnFromThere) {
    table.set_counters(2, 5000, 3000);
    read();
    EXPECT_EQ(current_received(2), 5000);
    table.set_counters(2, 0, 0);
    read();
    EXPECT_EQ(current_received(2), 5000);
    EXPECT_EQ(current_sent(2), 3000);
    table.set_counters(2, 700, 20);
    read();
    EXPECT_EQ(current_received(2), 5700);
    EXPECT_EQ(current_sent(2), 3020);
}

TEST_F(ReadCountersTest, NarrowCountersDroppingToZeroFromTheUpperHalfKeepTheTotals) {
    table.set_narrow_counters(2, 3000000000u, 3000000000u);
    read();
    const double before = current_received(2);
    table.set_narrow_counters(2, 0, 0);
    read();
    EXPECT_EQ(current_received(2), before);
    table.set_narrow_counters(2, 10, 10);
    read();
    EXPECT_EQ(current_received(2), before + 10);
}

TEST_F(ReadCountersTest, RestartFromTheUpperHalfToASmallReadingIsNoPhantomWrap) {
    table.set_counters(2, 3000000000ull, 3500000000ull);
    read();
    const double rx = current_received(2);
    const double tx = current_sent(2);
    // The interface restarted and carried traffic before the next read.
    table.set_counters(2, 1000, 200);
    read();
    EXPECT_EQ(current_received(2), rx + 1000);
    EXPECT_EQ(current_sent(2), tx + 200);
    table.set_counters(2, 1500, 300);
    read();
    EXPECT_EQ(current_received(2), rx + 1500);
}

TEST_F(ReadCountersTest, RestartToALowerReadingInTheLowerHalfNeverGoesBackwards) {
    table.set_counters(2, 900000, 800000);
    read();
    table.set_counters(2, 1000, 5);  // reconnect: lower, nonzero
    read();
    EXPECT_EQ(current_received(2), 901000);
    EXPECT_EQ(current_sent(2), 800005);
}

TEST_F(ReadCountersTest, WideCounterPassingTwoToTheThirtyTwoIsAWrapNotARestart) {
    table.set_counters(2, 4294967000ull, 10);
    read();
    table.set_counters(2, 4294967296ull + 704, 10);
    read();
    EXPECT_EQ(current_received(2), 4294967296.0 + 704);
}

TEST_F(ReadCountersTest, SlotTakenOverByAnotherInterfaceCountsOnWithoutAJump) {
    table.set_counters(2, 10000, 20000);
    read();
    // eth0 vanishes; wlan0, up for days, now holds slot 2.
    table.interfaces.pop_back();
    table.addresses.pop_back();
    table.add_interface(3, "wlan0", 80000000000ull, 9000000000ull);
    table.add_address(3, 10, 0, 0, 5);
    read();
    EXPECT_EQ(current_received(2), 10000);
    EXPECT_EQ(current_sent(2), 20000);
    table.set_counters(3, 80000000000ull + 4096, 9000000000ull + 100);
    read();
    EXPECT_EQ(current_received(2), 10000 + 4096);
    EXPECT_EQ(current_sent(2), 20000 + 100);
}

TEST_F(ReadCountersTest, VanishedAdapterReadsZeroAndKeepsItsTotals) {
    table.set_counters(2, 777, 888);
    read();
    table.interfaces.pop_back();
    table.addresses.pop_back();
    read();
    EXPECT_EQ(current_received(2), 777);
    EXPECT_EQ(state.ip_text, "0.0.0.0");
    table.add_interface(2, "eth0", 100, 50);  // back, counting from 0 again
    table.add_address(2, 192, 168, 0, 10);
    read();
    EXPECT_EQ(current_received(2), 877);
    EXPECT_EQ(current_sent(2), 938);
}

TEST_F(ReadCountersTest, IpTextFollowsTheMonitoredAdapter) {
    read();
    EXPECT_EQ(state.ip_text, "192.168.0.10");
    state.settings.Adapter = 0;
    read();
    EXPECT_EQ(state.ip_text, "Multiple");
    state.settings.Adapter = 9;
    read();
    EXPECT_EQ(state.ip_text, "0.0.0.0");
}

TEST_F(ReadCountersTest, UnreadableTablesLeaveNoAdaptersAndReportOnce) {
    table.interface_status = TableStatus::not_supported;
    read();
    read();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "IP Helper is not supported by this system.");
    EXPECT_EQ(state.found_adapters, 0);
    EXPECT_EQ(current_received(2), 0);
    table.interface_status = TableStatus::ok;
    table.address_status = TableStatus::error;
    read();
    read();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].text, "ERROR reading IP Table");
}

}  // namespace
