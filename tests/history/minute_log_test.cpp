#include <gtest/gtest.h>

#include <filesystem>

#include "core/log_commands.h"
#include "history/log_fixture.h"
#include "history/minute_log.h"
#include "history/traffic_log.h"
#include "platform/file_access.h"

namespace {

TEST(MinuteLog, LeapYearDay365LandsAtItsOffsetAndTheRecordIs23056Bytes) {
    LogFixture f(1, make_date(2024, 12, 31, 23, 59, 0));
    f.start();
    EXPECT_EQ(minute_index(f.clock.value), 1439);
    add_traffic(f.state, 1, 1234, 56, f.clock.value);
    save_logs(f.state, f.services);
    const auto bytes = slurp(f.path("Stats/DbMin/2024.1.dat"));
    ASSERT_EQ(bytes.size(), 8409600u + 23056u);
    EXPECT_EQ(double_at(bytes, 8409600 + 1439 * 16), 1234);
    EXPECT_EQ(double_at(bytes, 8409600 + 1439 * 16 + 8), 56);
}

TEST(MinuteLog, EachDayKeepsItsPlaceAndHolesReadAsZero) {
    LogFixture f(1, make_date(2026, 1, 5, 10, 0, 0));
    f.start();
    add_traffic(f.state, 1, 7, 0, f.clock.value);
    f.clock.value = make_date(2026, 1, 9, 8, 30, 0);  // four days later
    roll_over_logs(f.state, f.services, f.clock.value);
    add_traffic(f.state, 1, 9, 0, f.clock.value);
    save_logs(f.state, f.services);
    EXPECT_EQ(read_minute_day(f.state, 1, make_date(2026, 1, 5))[600].received, 7);
    EXPECT_EQ(read_minute_day(f.state, 1, make_date(2026, 1, 9))[510].received, 9);
    const MinuteRecord hole = read_minute_day(f.state, 1, make_date(2026, 1, 7));
    for (const TrafficPair& p : hole) ASSERT_EQ(p, TrafficPair{});
    const MinuteRecord beyond = read_minute_day(f.state, 1, make_date(2026, 6, 1));
    EXPECT_EQ(beyond[0], TrafficPair{});
    EXPECT_EQ(slurp(f.path("Stats/DbMin/DbMin.dat")).size(), 8u);
}

TEST(MinuteLog, FirstMinuteIsFoundOnceAndThenReadFromItsFile) {
    LogFixture f(2, make_date(2026, 4, 2, 9, 0, 0));
    prepare_directories(f.state);
    std::filesystem::create_directories(native_path(f.path("Stats/DbMin")));
    // Adapter 2 holds the earliest traffic; adapter 1 only later.
    std::vector<TrafficPair> entries(40 * 1440 + 1);
    entries[30 * 1440 + 75] = {5, 0};
    spit(f.path("Stats/DbMin/2026.1.dat"), encode_entries(entries.data(), entries.size()));
    entries[30 * 1440 + 75] = {};
    entries[10 * 1440 + 1] = {0, 9};  // sent only: not a first minute
    entries[10 * 1440 + 2] = {3, 0};
    spit(f.path("Stats/DbMin/2026.2.dat"), encode_entries(entries.data(), entries.size()));
    load_state(f.state, f.services);
    f.state.stats.start_date = make_date(2026, 1, 1);
    load_logs(f.state, f.services);
    EXPECT_NEAR(f.state.traffic.logs.first_minute, make_date(2026, 1, 11, 0, 2, 0), 1e-9);
    const auto stored = slurp(f.path("Stats/DbMin/DbMin.dat"));
    ASSERT_EQ(stored.size(), 8u);
    EXPECT_NEAR(double_at(stored, 0), make_date(2026, 1, 11, 0, 2, 0), 1e-9);

    // A stored date wins over the search; a damaged one is searched afresh.
    spit(f.path("Stats/DbMin/DbMin.dat"), encode_date(make_date(2025, 3, 3)));
    load_logs(f.state, f.services);
    EXPECT_EQ(f.state.traffic.logs.first_minute, make_date(2025, 3, 3));
    spit(f.path("Stats/DbMin/DbMin.dat"), {1, 2, 3});
    load_logs(f.state, f.services);
    EXPECT_NEAR(f.state.traffic.logs.first_minute, make_date(2026, 1, 11, 0, 2, 0), 1e-9);
}

TEST(MinuteLog, LoggingOffWritesNothingUnderDbMin) {
    LogFixture f(2);
    f.state.settings.MinuteLogging = 0;
    f.start();
    add_traffic(f.state, 1, 100, 1, f.clock.value);
    save_logs(f.state, f.services);
    EXPECT_FALSE(std::filesystem::exists(native_path(f.path("Stats/DbMin"))));
    EXPECT_EQ(f.state.traffic.logs.minutes[1][720], TrafficPair{});
}

TEST(LogCommands, ResetDailyLogsAsksThenClearsEveryLogButKeepsTheStartDate) {
    LogFixture f(2, make_date(2026, 2, 10, 14, 5, 30));
    f.state.settings.LogAdapter[1] = 1;
    f.start();
    const double start = f.state.stats.start_date = make_date(2025, 11, 1);
    add_traffic(f.state, 1, 100, 10, f.clock.value);
    add_traffic(f.state, 0, 100, 10, f.clock.value);
    f.state.adapters[1].peak_download = 5;
    f.state.adapters[1].session_download = 100;
    save_logs(f.state, f.services);
    spit(f.path("Stats/2025.1.dat"), encode_day_table({}));

    f.dialogs.answer = MsgResult::cancel;
    EXPECT_FALSE(reset_daily_logs(f.state, f.services, f.hooks));
    EXPECT_EQ(f.state.traffic.day_table(1)[40].received, 100);

    f.dialogs.answer = MsgResult::ok;
    EXPECT_TRUE(reset_daily_logs(f.state, f.services, f.hooks));
    const MessageBoxRequest& asked = f.dialogs.shown.back();
    EXPECT_EQ(asked.text, "This will clear ALL logged traffic. Including minutely logs.");
    EXPECT_EQ(asked.title, "Warning");
    EXPECT_EQ(asked.buttons, MsgButtons::ok_cancel);
    EXPECT_EQ(asked.icon, MsgIcon::error);
    EXPECT_TRUE(asked.system_modal);

    EXPECT_FALSE(std::filesystem::exists(native_path(f.path("Stats/2025.1.dat"))));
    const auto year = slurp(f.path("Stats/2026.1.dat"));
    ASSERT_EQ(year.size(), 5856u);
    EXPECT_EQ(year, std::vector<std::uint8_t>(5856, 0));
    EXPECT_EQ(double_at(slurp(f.path("Stats/Stats.dat")), 7), start);
    EXPECT_EQ(f.state.adapters[1].peak_download, 0);
    EXPECT_EQ(f.state.adapters[1].session_download, 0);
    EXPECT_TRUE(f.state.cycle.session_reset_pending);
    EXPECT_EQ(read_minute_day(f.state, 1, f.clock.value)[845], TrafficPair{});
    EXPECT_EQ(f.state.traffic.logs.history.at(0, 2026, 40), TrafficPair{});
    EXPECT_NEAR(double_at(slurp(f.path("Stats/DbMin/DbMin.dat")), 0), make_date(2026, 2, 10, 14, 5, 0), 1e-9);
}

TEST(LogCommands, ResetMinutelyLogsAndTheLoggingSwitch) {
    LogFixture f(1, make_date(2026, 2, 10, 14, 5, 30));
    f.start();
    add_traffic(f.state, 1, 100, 10, f.clock.value);
    save_logs(f.state, f.services);

    // Reset, keep logging: the log starts again at this minute.
    f.dialogs.answer = MsgResult::ok;  // OK to the warning; "ok" is no "yes", so logging stays on
    MinuteLogChange c = reset_minutely_logs(f.state, f.services, f.hooks);
    EXPECT_TRUE(c.done);
    EXPECT_FALSE(c.logging_switched_off);
    ASSERT_EQ(f.dialogs.shown.size(), 2u);
    EXPECT_EQ(f.dialogs.shown[0].text, "This will clear the minutely logs.");
    EXPECT_EQ(f.dialogs.shown[1].text, "Do you also want to disable minutely logging?");
    EXPECT_EQ(f.dialogs.shown[1].title, "Minutely logging");
    EXPECT_EQ(f.dialogs.shown[1].buttons, MsgButtons::yes_no);
    EXPECT_EQ(f.dialogs.shown[1].icon, MsgIcon::question);
    EXPECT_EQ(read_minute_day(f.state, 1, f.clock.value)[845], TrafficPair{});
    EXPECT_EQ(f.state.traffic.day_table(1)[40].received, 100);  // the daily log stays
    EXPECT_NEAR(f.state.traffic.logs.first_minute, make_date(2026, 2, 10, 14, 5, 0), 1e-9);

    // Switching off and deleting: no minutely file remains and none is written.
    add_traffic(f.state, 1, 5, 0, f.clock.value);
    f.dialogs.answer = MsgResult::yes;
    c = set_minute_logging(f.state, f.services, f.hooks, false);
    EXPECT_TRUE(c.logging_switched_off);
    EXPECT_EQ(f.dialogs.shown.back().text, "Do you also want to delete the minutely logs?");
    EXPECT_FALSE(std::filesystem::exists(native_path(f.path("Stats/DbMin/2026.1.dat"))));
    EXPECT_FALSE(std::filesystem::exists(native_path(f.path("Stats/DbMin/DbMin.dat"))));
    save_logs(f.state, f.services);
    EXPECT_FALSE(std::filesystem::exists(native_path(f.path("Stats/DbMin/2026.1.dat"))));

    // Switching on again starts at the current minute.
    f.clock.advance_seconds(60);
    set_minute_logging(f.state, f.services, f.hooks, true);
    add_traffic(f.state, 1, 8, 0, f.clock.value);
    save_logs(f.state, f.services);
    EXPECT_EQ(read_minute_day(f.state, 1, f.clock.value)[846].received, 8);
    EXPECT_NEAR(double_at(slurp(f.path("Stats/DbMin/DbMin.dat")), 0), make_date(2026, 2, 10, 14, 6, 0), 1e-9);
}

TEST(LogCommands, CancelledResetChangesNothing) {
    LogFixture f(1);
    f.start();
    add_traffic(f.state, 1, 100, 10, f.clock.value);
    save_logs(f.state, f.services);
    const auto before = slurp(f.path("Stats/DbMin/2026.1.dat"));
    f.dialogs.answer = MsgResult::cancel;
    EXPECT_FALSE(reset_minutely_logs(f.state, f.services, f.hooks).done);
    EXPECT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(slurp(f.path("Stats/DbMin/2026.1.dat")), before);
}

}  // namespace
