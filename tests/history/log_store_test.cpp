#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>

#include "core/update_cycle.h"
#include "history/log_fixture.h"
#include "history/traffic_log.h"
#include "core/counters.h"
#include "platform/file_access.h"

namespace {

std::int16_t i16_at(const std::vector<std::uint8_t>& b, std::size_t o) {
    std::int16_t v = 0;
    std::memcpy(&v, b.data() + o, 2);
    return v;
}
std::int32_t i32_at(const std::vector<std::uint8_t>& b, std::size_t o) {
    std::int32_t v = 0;
    std::memcpy(&v, b.data() + o, 4);
    return v;
}

TEST(StatsFile, FirstStartWritesEveryFileWithItsExactSizeAndNoAggregate) {
    LogFixture f(3);
    ASSERT_EQ(f.start(), LoadStateResult::ok);
    const auto stats = slurp(f.path("Stats/Stats.dat"));
    ASSERT_EQ(stats.size(), 116u + 54u * 3u);
    EXPECT_EQ(stats[0], 'K');
    EXPECT_EQ(stats[1], 'V');
    EXPECT_EQ(stats[2], 1);
    EXPECT_EQ(i32_at(stats, 3), 0);
    EXPECT_EQ(double_at(stats, 7), std::floor(f.clock.value));
    EXPECT_EQ(stats[15], 3);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(slurp(f.path("Stats/2026." + std::to_string(i) + ".dat")).size(), 5856u);
    EXPECT_FALSE(std::filesystem::exists(native_path(f.path("Stats/2026.0.dat"))));
    EXPECT_FALSE(std::filesystem::exists(native_path(f.path("Stats/DbMin/2026.0.dat"))));
}

TEST(StatsFile, TenArraysInOrderWithWrapCountsSaturatedToOneByte) {
    LogFixture f(2);
    f.start();
    CounterContinuation& c = f.state.stats.adapters[1];
    c.sent_wraps = 300;
    c.received_wraps = 7;
    c.sent_sign = true;
    c.sent_offset = 1.5;
    c.received_offset = 2.5;
    c.received_carried = 3.5;
    c.sent_carried = 4.5;
    c.last_received = 5.5;
    c.last_sent = 6.5;
    save_logs(f.state, f.services);
    const auto b = slurp(f.path("Stats/Stats.dat"));
    ASSERT_EQ(b.size(), 224u);
    // Each array: dimensions 1, count 2, lower bound 1, then adapter 1 and adapter 2.
    const std::size_t sizes[10] = {1, 1, 2, 2, 8, 8, 8, 8, 8, 8};
    std::size_t at = 16;
    std::size_t second[10];
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(i16_at(b, at), 1) << k;
        EXPECT_EQ(i32_at(b, at + 2), 2) << k;
        EXPECT_EQ(i32_at(b, at + 6), 1) << k;
        second[k] = at + 10 + sizes[k];
        at += 10 + 2 * sizes[k];
    }
    EXPECT_EQ(at, b.size());
    EXPECT_EQ(b[second[0]], 255);
    EXPECT_EQ(b[second[1]], 7);
    EXPECT_EQ(i16_at(b, second[2]), -1);
    EXPECT_EQ(i16_at(b, second[3]), 0);
    const double expected[6] = {1.5, 2.5, 3.5, 4.5, 5.5, 6.5};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(double_at(b, second[4 + k]), expected[k]);
}

TEST(StatsFile, ReloadFoldsOffsetsKeepsSignsAndGrowsForNewAdapters) {
    LogFixture f(1);
    f.start();
    const double start = f.state.stats.start_date;
    CounterContinuation& c = f.state.stats.adapters[0];
    c.received_offset = 100;
    c.sent_offset = 50;
    c.received_carried = 1000;
    c.sent_carried = 500;
    c.received_wraps = c.sent_wraps = 3;
    c.received_sign = true;
    c.last_received = 77;
    save_logs(f.state, f.services);

    f.clock.value += 40;  // a later start with one adapter more
    f.state.found_adapters = 2;
    ASSERT_EQ(load_state(f.state, f.services), LoadStateResult::ok);
    ASSERT_EQ(f.state.stats.adapter_count(), 2);
    const CounterContinuation& r = f.state.stats.adapters[0];
    EXPECT_EQ(r.received_carried, 1100);
    EXPECT_EQ(r.sent_carried, 550);
    EXPECT_EQ(r.received_offset, 0);
    EXPECT_EQ(r.received_wraps, 0u);
    EXPECT_TRUE(r.received_sign);
    EXPECT_EQ(r.last_received, 77);
    EXPECT_EQ(f.state.stats.adapters[1], CounterContinuation{});
    EXPECT_EQ(f.state.stats.start_date, start);

    f.state.found_adapters = 1;  // the count never shrinks
    load_state(f.state, f.services);
    EXPECT_EQ(f.state.stats.adapter_count(), 1);  // nothing saved since: the file still says 1
}

TEST(StatsFile, ForeignEmptyOrDamagedFilesNeverCrashAndKeepWhatIsValid) {
    for (const std::vector<std::uint8_t>& content :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{'M', 'Z', 1, 0, 0}, std::vector<std::uint8_t>{'K'},
          std::vector<std::uint8_t>{'K', 'V'}}) {
        LogFixture f(2);
        prepare_directories(f.state);
        spit(f.path("Stats/Stats.dat"), content);
        ASSERT_EQ(f.start(), LoadStateResult::ok);
        EXPECT_EQ(f.state.stats.start_date, std::floor(f.clock.value));
        EXPECT_EQ(slurp(f.path("Stats/Stats.dat")).size(), 224u) << "a foreign file is replaced";
    }
    // A torn file of ours: the arrays that are whole are read, the rest is 0; a value that
    // is no amount reads 0; trailing bytes are ignored.
    LogFixture good(2);
    good.start();
    good.state.stats.adapters[0].sent_wraps = 9;
    good.state.stats.adapters[0].received_carried = std::numeric_limits<double>::quiet_NaN();
    good.state.stats.adapters[1].sent_carried = 42;
    const auto full = encode_stats(good.state.stats);
    LogFixture torn(2);
    prepare_directories(torn.state);
    spit(torn.path("Stats/Stats.dat"), std::vector<std::uint8_t>(full.begin(), full.begin() + 200));
    ASSERT_EQ(load_state(torn.state, torn.services), LoadStateResult::ok);
    EXPECT_EQ(torn.state.stats.adapters[1].sent_carried, 42);
    EXPECT_EQ(torn.state.stats.adapters[0].received_carried, 0);
    EXPECT_EQ(torn.state.stats.adapters[0].last_sent, 0);
    auto longer = full;
    longer.resize(full.size() + 1000, 0xAB);
    spit(torn.path("Stats/Stats.dat"), longer);
    ASSERT_EQ(load_state(torn.state, torn.services), LoadStateResult::ok);
    EXPECT_EQ(torn.state.stats.adapters[1].sent_carried, 42);
}

TEST(StatsFile, UnknownVersionIsReportedAndLeavesEveryFileUntouched) {
    LogFixture f(2);
    prepare_directories(f.state);
    std::vector<std::uint8_t> future(300, 0x11);
    future[0] = 'K';
    future[1] = 'V';
    future[2] = 2;
    spit(f.path("Stats/Stats.dat"), future);
    EXPECT_EQ(f.start(), LoadStateResult::unknown_format);
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].text, "Unknown stats format.");
    EXPECT_EQ(f.dialogs.shown[0].title, "Error");
    EXPECT_EQ(f.dialogs.shown[0].icon, MsgIcon::error);
    // The shutdown that follows saves the logs: nothing may be written.
    load_logs(f.state, f.services);
    save_logs(f.state, f.services);
    EXPECT_EQ(slurp(f.path("Stats/Stats.dat")), future);
    EXPECT_FALSE(std::filesystem::exists(native_path(f.path("Stats/2026.1.dat"))));
    EXPECT_FALSE(std::filesystem::exists(native_path(f.path("Stats/DbMin"))));
}

TEST(DailyFiles, DamagedYearFilesReadWhatIsValidAndAreNeverShortened) {
    LogFixture f(3);
    prepare_directories(f.state);
    std::array<TrafficPair, kDaysPerYearTable> table{};
    table[0] = {10, 20};
    table[165] = {std::numeric_limits<double>::quiet_NaN(), -5};
    table[200] = {30, 40};
    const auto bytes = encode_day_table(table);
    spit(f.path("Stats/2026.1.dat"), std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 12));  // torn inside the first entry
    auto big = bytes;
    big.resize(9000, 0x7F);
    spit(f.path("Stats/2026.2.dat"), big);  // oversized
    spit(f.path("Stats/2026.3.dat"), bytes);
    f.start();
    EXPECT_EQ(f.state.traffic.day_table(1)[0], (TrafficPair{10, 0}));
    EXPECT_EQ(f.state.traffic.day_table(2)[200], (TrafficPair{30, 40}));
    EXPECT_EQ(f.state.traffic.day_table(3)[165], (TrafficPair{0, 0}));
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(slurp(f.path("Stats/2026." + std::to_string(i) + ".dat")).size(), 5856u);
    EXPECT_EQ(double_at(slurp(f.path("Stats/2026.1.dat")), 0), 10);
}

TEST(DailyFiles, Entry365OfACommonYearIsNeverLoadedNorCounted) {
    LogFixture f(1, make_date(2026, 6, 15, 12));
    prepare_directories(f.state);
    std::array<TrafficPair, kDaysPerYearTable> table{};
    table[364] = {1, 1};
    table[365] = {999, 999};
    spit(f.path("Stats/2025.1.dat"), encode_day_table(table));
    load_state(f.state, f.services);
    f.state.stats.start_date = make_date(2025, 1, 1);
    load_logs(f.state, f.services);
    load_history(f.state, f.services);
    const HistoryTable& h = f.state.traffic.logs.history;
    EXPECT_EQ(h.at(1, 2025, 364), (TrafficPair{1, 1}));
    EXPECT_EQ(h.at(1, 2025, 365), TrafficPair{});
    EXPECT_EQ(h.at(1, 2026, 365), TrafficPair{});
}

// Runs update cycles over real interface counters, one second each.
struct CycleFixture : LogFixture {
    std::uint64_t rx = 1000, tx = 1000;
    // `machine` adds what else is there at start.
    explicit CycleFixture(double now, const std::function<void(FakeInterfaceTable&)>& machine = {}) : LogFixture(1, now) {
        tables.add_interface(1, "lo", rx, tx);
        tables.add_address(1, 127, 0, 0, 1);
        if (machine) machine(tables);
        state.settings.LogAdapter[1] = 1;
        start();
        read_counters_and_take_start();
    }
    void read_counters_and_take_start() {
        read_counters(state, services, hooks);
        take_start_counters(state);
    }
    void second(std::uint64_t bytes_in, std::uint64_t bytes_out) {
        rx += bytes_in;
        tx += bytes_out;
        tables.set_counters(1, rx, tx);
        clock.advance_seconds(1);
        update_cycle(state, services, hooks, false);
    }
};

TEST(RollOver, MidnightAndNewYearSaveTheOldDayAndCountTheNextBytesInTheNewOne) {
    CycleFixture f(make_date(2026, 12, 31, 23, 59, 58));
    f.second(100, 10);  // 23:59:59 on 31 December (day index 364)
    f.second(200, 20);  // 00:00:00 on 1 January: a new year
    const auto old_year = slurp(f.path("Stats/2026.1.dat"));
    ASSERT_EQ(old_year.size(), 5856u);
    EXPECT_EQ(double_at(old_year, 364 * 16), 100);
    EXPECT_EQ(double_at(old_year, 364 * 16 + 8), 10);
    EXPECT_EQ(f.state.traffic.logs.load_year, 2027);
    EXPECT_EQ(f.state.traffic.day_table(1)[0], (TrafficPair{200, 20}));
    EXPECT_EQ(f.state.traffic.day_table(0)[0], (TrafficPair{200, 20}));
    EXPECT_EQ(f.state.traffic.day_table(1)[364], TrafficPair{});
    const HistoryTable& h = f.state.traffic.logs.history;
    ASSERT_TRUE(h.covers(1, 2026));
    ASSERT_TRUE(h.covers(1, 2027));
    EXPECT_EQ(h.at(1, 2026, 364), (TrafficPair{100, 10}));
    EXPECT_EQ(h.at(0, 2027, 0), (TrafficPair{200, 20}));
    save_logs(f.state, f.services);
    EXPECT_EQ(double_at(slurp(f.path("Stats/2027.1.dat")), 0), 200);
    // The minutes of the old day went to its offset in the old year's file.
    const auto minutes = slurp(f.path("Stats/DbMin/2026.1.dat"));
    ASSERT_GE(minutes.size(), 364u * 23040 + 1440 * 16);
    EXPECT_EQ(double_at(minutes, 364 * 23040 + 1439 * 16), 100);
}

// An idle save leaves the disk alone; a byte that moved is saved as before.
TEST(IdleSaves, FilesThatHoldTheSameBytesAreNotWrittenAgain) {
    namespace fs = std::filesystem;
    CycleFixture f(make_date(2026, 3, 4, 10, 0, 0));
    f.second(100, 10);
    save_logs(f.state, f.services);
    const fs::path day = native_path(f.path("Stats/2026.1.dat")), minutes = native_path(f.path("Stats/DbMin/2026.1.dat"));
    const fs::file_time_type long_ago = fs::last_write_time(day) - std::chrono::hours(1000);
    fs::last_write_time(day, long_ago);
    fs::last_write_time(minutes, long_ago);
    f.second(0, 0);
    save_logs(f.state, f.services);
#ifndef _WIN32  // the Windows save replaces a whole file every time
    EXPECT_EQ(fs::last_write_time(day), long_ago);
#endif
    EXPECT_EQ(fs::last_write_time(minutes), long_ago);
    f.second(50, 5);
    save_logs(f.state, f.services);
    EXPECT_EQ(double_at(slurp(f.path("Stats/2026.1.dat")), (31 + 28 + 3) * 16), 150);
}

// A card that gets its address while the program runs (a network that connects after
// log-in) is logged from then on, without its lifetime counter as a jump.
TEST(GrowingAdapters, AnAdapterThatComesWhileRunningIsLoggedFromItsFirstReading) {
    std::uint64_t wlan_rx = 5000000000ull;
    CycleFixture f(make_date(2026, 6, 15, 12), [&](FakeInterfaceTable& t) { t.add_interface(2, "wlan0", wlan_rx, 70); });
    ASSERT_EQ(f.state.stats.adapter_count(), 1);
    f.state.settings.LogAdapter[2] = 1;
    f.tables.add_address(2, 192, 168, 1, 9);
    f.second(10, 0);  // the cycle that finds it
    EXPECT_EQ(f.state.stats.adapter_count(), 2);
    wlan_rx += 100;
    f.tables.set_counters(2, wlan_rx, 70);
    f.second(0, 0);
    wlan_rx += 200;
    f.tables.set_counters(2, wlan_rx, 80);
    f.second(5, 0);

    const int today = day_index(f.clock.value);
    EXPECT_EQ(f.state.traffic.day_table(2)[static_cast<std::size_t>(today)], (TrafficPair{300, 10}));
    EXPECT_EQ(f.state.traffic.day_table(0)[static_cast<std::size_t>(today)], (TrafficPair{315, 10}));  // with lo
    EXPECT_EQ(f.state.traffic.logs.history.at(2, 2026, today), (TrafficPair{300, 10}));
    save_logs(f.state, f.services);
    EXPECT_EQ(slurp(f.path("Stats/Stats.dat")).size(), 116u + 2 * 54u);
    EXPECT_EQ(double_at(slurp(f.path("Stats/2026.2.dat")), static_cast<std::size_t>(today) * 16), 300);
    const auto minutes = slurp(f.path("Stats/DbMin/2026.2.dat"));
    ASSERT_GE(minutes.size(), static_cast<std::size_t>(today) * 23040 + 1440 * 16);
    double minute_sum = 0;
    for (int m = 0; m < 1440; ++m) minute_sum += double_at(minutes, static_cast<std::size_t>(today) * 23040 + static_cast<std::size_t>(m) * 16);
    EXPECT_EQ(minute_sum, 300);
}

TEST(RollOver, ClockSetBackAcrossMidnightLosesNothing) {
    CycleFixture f(make_date(2026, 3, 10, 23, 59, 58));
    f.second(100, 0);        // 10 March
    f.second(200, 0);        // 11 March 00:00:00
    f.clock.value -= 2.0 / 1440;  // back to 10 March, 23:58
    f.second(50, 0);
    save_logs(f.state, f.services);
    const auto year = slurp(f.path("Stats/2026.1.dat"));
    EXPECT_EQ(double_at(year, 68 * 16), 150);
    EXPECT_EQ(double_at(year, 69 * 16), 200);
    // The minute of 11 March stays although 10 March's record is written after it.
    const auto minutes = slurp(f.path("Stats/DbMin/2026.1.dat"));
    EXPECT_EQ(double_at(minutes, 69 * 23040), 200);
}

TEST(RollOver, UnwritableDataFolderKeepsTablesInMemoryAndWritesWhenItCan) {
    LogFixture f(1, make_date(2026, 5, 1, 23, 59, 0));
    // A file where the "Stats" folder belongs: nothing can be written.
    spit(f.path("Stats"), {'x'});
    ASSERT_EQ(f.start(), LoadStateResult::ok);
    add_traffic(f.state, 1, 500, 5, f.clock.value);
    f.clock.advance_seconds(120);  // past midnight: the save fails, the reload must not lose 1 May
    roll_over_logs(f.state, f.services, f.clock.value);
    add_traffic(f.state, 1, 70, 7, f.clock.value);
    EXPECT_EQ(f.state.traffic.day_table(1)[120], (TrafficPair{500, 5}));
    EXPECT_EQ(f.state.traffic.day_table(1)[121], (TrafficPair{70, 7}));

    std::filesystem::remove(native_path(f.path("Stats")));
    save_logs(f.state, f.services);
    const auto year = slurp(f.path("Stats/2026.1.dat"));
    ASSERT_EQ(year.size(), 5856u);
    EXPECT_EQ(double_at(year, 120 * 16), 500);
    EXPECT_EQ(double_at(year, 121 * 16), 70);
    EXPECT_EQ(slurp(f.path("Stats/Stats.dat")).size(), 170u);
    const auto minutes = slurp(f.path("Stats/DbMin/2026.1.dat"));
    ASSERT_EQ(minutes.size(), 121u * 23040 + 23056);
    EXPECT_EQ(double_at(minutes, 120 * 23040 + 1439 * 16), 500);
    EXPECT_EQ(double_at(minutes, 121 * 23040 + 1 * 16), 70);
}

TEST(Aggregate, ReloadSumsTheSelectedAdaptersAfresh) {
    LogFixture f(3);
    f.state.settings.LogAdapter[1] = 1;
    f.state.settings.LogAdapter[3] = 1;
    f.start();
    const double now = f.clock.value;
    add_traffic(f.state, 1, 10, 1, now);
    add_traffic(f.state, 2, 20, 2, now);
    add_traffic(f.state, 3, 30, 3, now);
    add_traffic(f.state, 0, 40, 4, now);
    save_logs(f.state, f.services);
    load_logs(f.state, f.services);
    load_logs(f.state, f.services);
    const int d = day_index(now);
    EXPECT_EQ(f.state.traffic.day_table(0)[static_cast<std::size_t>(d)], (TrafficPair{40, 4}));
    EXPECT_EQ(f.state.traffic.logs.minutes[0][static_cast<std::size_t>(minute_index(now))], (TrafficPair{40, 4}));
}

}  // namespace
