#include <gtest/gtest.h>

#include "alerts/rule_evaluation.h"
#include "core/update_cycle.h"
#include "core/counters.h"
#include "measure/rates.h"
#include "support/fakes.h"

namespace {

// Loopback and two cards; adapters 2 and 3 form the aggregate.
class UpdateCycleTest : public ::testing::Test {
protected:
    FakeInterfaceTable table;
    FakeClock clock;
    RecordingDialogs dialogs;
    Services services{table, clock, dialogs};
    CycleHooks hooks;
    ProgramState state;
    std::uint64_t rx[4] = {0, 1000, 50000, 70000};
    std::uint64_t tx[4] = {0, 1000, 20000, 30000};

    void SetUp() override {
        table.add_interface(1, "lo");
        table.add_interface(2, "eth0");
        table.add_interface(3, "wlan0");
        table.add_address(1, 127, 0, 0, 1);
        table.add_address(2, 192, 168, 0, 2);
        table.add_address(3, 192, 168, 0, 3);
        for (std::uint32_t i = 1; i <= 3; ++i) table.set_counters(i, rx[i], tx[i]);
        state.stats.adapters.resize(3);
        state.settings.Adapter = 2;
        state.settings.LogAdapter[2] = 1;
        state.settings.LogAdapter[3] = 1;
        state.window.visible = true;
        state.window.client_width = 200;
        // Start-up: first read, then the start counters.
        read_counters(state, services, hooks);
        take_start_counters(state);
    }

    // Adds traffic on adapter i and runs one sampling cycle `seconds` later.
    void traffic(int i, std::uint64_t down, std::uint64_t up) {
        rx[i] += down;
        tx[i] += up;
        table.set_counters(static_cast<std::uint32_t>(i), rx[i], tx[i]);
    }
    void cycle(double seconds = 1.0) {
        clock.advance_seconds(seconds);
        update_cycle(state, services, hooks, false);
    }
    AdapterState& slot(int i) { return state.adapters[static_cast<std::size_t>(i)]; }
};

TEST_F(UpdateCycleTest, FirstCycleCountsOnlyBytesSinceStartOverOneSecond) {
    traffic(2, 3000, 600);
    cycle(2.5);  // the first cycle's length cannot be measured
    EXPECT_EQ(state.cycle.cycle_seconds, 1.0);
    EXPECT_EQ(slot(2).download_history[0], 3000.0);
    EXPECT_EQ(slot(2).upload_history[0], 600.0);
    EXPECT_EQ(slot(2).session_download, 3000.0);
    EXPECT_EQ(state.cycle.sample_count, 1);
    traffic(2, 3000, 0);
    cycle(2.0);
    EXPECT_DOUBLE_EQ(state.cycle.cycle_seconds, 2.0);
    EXPECT_DOUBLE_EQ(slot(2).download_history[0], 1500.0);
}

TEST_F(UpdateCycleTest, WallClockStepsMoveNoCycleLengthRateOrSessionTimeAndASleepIsNoSpike) {
    traffic(2, 1000, 0);
    cycle();
    // Daylight saving, a clock set back, a clock a day ahead, midnight: the cycle stays 2 s.
    clock.value = make_date(2026, 6, 15, 23, 59, 59.5);
    for (const double step : {3600.0, -3600.0, 86400.0, 0.0}) {
        clock.step_wall_seconds(step);
        traffic(2, 2000, 0);
        cycle(2.0);
        EXPECT_DOUBLE_EQ(state.cycle.cycle_seconds, 2.0) << step;
        EXPECT_DOUBLE_EQ(slot(2).download_history[0], 1000.0) << step;
    }
    EXPECT_DOUBLE_EQ(state.cycle.total_seconds, 9.0);
    EXPECT_DOUBLE_EQ(state.cycle.session_seconds, 9.0);
    EXPECT_DOUBLE_EQ(slot(2).shown_average_download, 9000.0 / 9.0);
    // An hour asleep: the bytes of the cycle are spread over the hour.
    traffic(2, 7200, 0);
    cycle(3600.0);
    EXPECT_DOUBLE_EQ(state.cycle.cycle_seconds, 3600.0);
    EXPECT_DOUBLE_EQ(slot(2).download_history[0], 2.0);
}

TEST_F(UpdateCycleTest, RecomputeBeforeAnyCycleDoesNothing) {
    traffic(2, 5000, 5000);
    update_cycle(state, services, hooks, true);
    EXPECT_EQ(state.cycle.sample_count, 0);
    EXPECT_EQ(state.cycle.cycles_run, 0);
    EXPECT_EQ(slot(2).current_received, 0.0);  // nothing was read
    EXPECT_EQ(slot(2).peak_download, 0.0);
}

TEST_F(UpdateCycleTest, AveragingWindowChangeIsRecomputedWithoutANewSample) {
    traffic(2, 1000, 0);
    cycle();
    traffic(2, 3000, 0);
    cycle();
    EXPECT_EQ(slot(2).download_graph[0], 3000.0);
    const double session = slot(2).session_download;
    state.settings.BandwidthCalc = 2;
    update_cycle(state, services, hooks, true);
    EXPECT_EQ(slot(2).download_graph[0], 2000.0);
    EXPECT_EQ(slot(2).download_graph[1], 1000.0);  // one real sample behind it: divisor 1
    EXPECT_EQ(state.cycle.sample_count, 2);
    EXPECT_EQ(state.cycle.cycles_run, 2);
    EXPECT_EQ(slot(2).session_download, session);
    EXPECT_EQ(slot(2).download_history[0], 3000.0);
}

TEST_F(UpdateCycleTest, FiveSecondAverageOneSecondAfterStartDividesByOne) {
    state.settings.BandwidthCalc = 5;
    traffic(2, 4000, 100);
    cycle();
    EXPECT_EQ(slot(2).download_graph[0], 4000.0);
    EXPECT_EQ(slot(2).upload_graph[0], 100.0);
    EXPECT_EQ(slot(2).peak_average_download[5], 4000.0);
}

// Rules read the rate of any adapter, also of one that is neither monitored nor drawn and
// whose graph buffers are therefore not kept: it reads as the monitored adapter's graph does
// for the same traffic.
TEST_F(UpdateCycleTest, RulesReadTheSmoothedRateOfAnAdapterThatIsNotShown) {
    state.settings.BandwidthCalc = 3;
    ASSERT_FALSE(slot(3).graph_shown);
    for (const std::uint64_t bytes : {4000, 0, 9000, 300, 0, 0, 0}) {
        traffic(2, bytes, bytes / 2);
        traffic(3, bytes, bytes / 2);
        cycle();
        EXPECT_EQ(graph_rate(state, 3, 0), slot(2).download_graph[0]);
        EXPECT_EQ(graph_rate(state, 3, 1), slot(2).upload_graph[0]);
        EXPECT_EQ(graph_rate(state, 3, 2), slot(2).download_graph[0] + slot(2).upload_graph[0]);
        EXPECT_EQ(graph_rate(state, 2, 0), slot(2).download_graph[0]);
    }
    EXPECT_EQ(graph_rate(state, 3, 0), 0.0);
}

TEST_F(UpdateCycleTest, OneSecondGraphEqualsTheHistoryAndMaxIsTheLargestRate) {
    const std::uint64_t steps[] = {100, 900, 300, 0, 50};
    for (auto s : steps) {
        traffic(2, s, 0);
        cycle();
    }
    for (int k = 0; k < 5; ++k) EXPECT_EQ(slot(2).download_graph[k], slot(2).download_history[k]);
    EXPECT_EQ(slot(2).shown_peak_download, 900.0);
    state.settings.BandwidthCalc = 3;
    update_cycle(state, services, hooks, true);
    EXPECT_LE(slot(2).shown_peak_download, 900.0);
    // The best three-second window early in the run holds only two real samples.
    EXPECT_DOUBLE_EQ(slot(2).shown_peak_download, (100 + 900) / 2.0);
}

TEST_F(UpdateCycleTest, AggregateIsTheSumOfTheSelectedAdapters) {
    traffic(1, 999999, 999999);  // loopback is not selected
    traffic(2, 1000, 10);
    traffic(3, 2000, 20);
    cycle();
    EXPECT_EQ(slot(0).download_history[0], 3000.0);
    EXPECT_EQ(slot(0).upload_history[0], 30.0);
    EXPECT_EQ(slot(0).session_download, 3000.0);
    EXPECT_EQ(state.traffic.day_entry(0, clock.value).received, 3000.0);
}

TEST_F(UpdateCycleTest, SessionResetClearsEverySlotAndSkipsTheNextCycle) {
    traffic(2, 1000, 100);
    traffic(3, 1000, 100);
    cycle();
    reset_session(state);
    for (int i = 0; i <= 3; ++i) {
        EXPECT_EQ(slot(i).session_download, 0.0);
        EXPECT_EQ(slot(i).session_upload, 0.0);
    }
    traffic(2, 500, 50);
    cycle();
    EXPECT_EQ(slot(2).session_download, 0.0);
    EXPECT_EQ(slot(0).session_download, 0.0);
    EXPECT_EQ(state.cycle.session_seconds, 0.0);
    traffic(2, 700, 70);
    cycle();
    EXPECT_EQ(slot(2).session_download, 700.0);
    EXPECT_EQ(slot(0).session_download, 700.0);
    EXPECT_GT(slot(2).peak_download, 0.0);  // whole-run values stay
}

TEST_F(UpdateCycleTest, VisibleAveragesCoverAtMostTheSamplesTheGraphShows) {
    state.settings.AverageMaxType = 0;
    for (int s = 0; s < 300; ++s) {
        traffic(2, s < 150 ? 0 : 1000, 0);
        cycle();
    }
    // A 200-pixel line graph shows 101 samples: all of them from the busy half.
    EXPECT_EQ(slot(2).shown_average_download, 1000.0);
    state.settings.GraphType = 1;
    update_cycle(state, services, hooks, true);
    // The bar graph shows 201 samples, 150 busy ones.
    EXPECT_DOUBLE_EQ(slot(2).shown_average_download, 150.0 * 1000 / 201);
}

TEST_F(UpdateCycleTest, RestartedCounterNeverAddsANegativeAmount) {
    traffic(2, 5000, 5000);
    cycle();
    rx[2] = 10;
    tx[2] = 10;
    table.set_narrow_counters(2, 10, 10);  // no wide counters: looks like going backwards
    cycle();
    EXPECT_GE(slot(2).download_history[0], 0.0);
    EXPECT_GE(slot(2).session_download, 5000.0);
    for (const TrafficPair& p : state.traffic.day_table(2)) EXPECT_GE(p.received, 0.0);
}

}  // namespace
