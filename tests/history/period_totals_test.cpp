#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "history/log_fixture.h"
#include "history/minute_log.h"
#include "history/history_rows.h"
#include "history/period_totals.h"
#include "history/traffic_log.h"
#include "platform/locale.h"
#include "platform/file_access.h"

namespace {

enum Kind { kToday, kYesterday, kThisWeek, kLastWeek, kThisMonth, kLastMonth, kThisYear, kLastYear, kTotal, kSession, kUser };

// One adapter whose log began on `start`; every stored day from then on holds 1 byte
// received and 2 sent, today holds 1000 and 2000.
struct PeriodFixture : LogFixture {
    PeriodFixture(double today, double start) : LogFixture(1, today) {
        LogFixture::start();
        state.stats.start_date = std::floor(start);
        load_history(state, services);
        for (double d = std::floor(start); d < std::floor(today); d += 1)
            state.traffic.logs.history.at(1, year_of(d), day_index(d)) = {1, 2};
        add_traffic(state, 1, 1000, 2000, today);
    }
    double total(int kind, int direction = kReceived) { return period_total(state, 1, kind, direction, clock.value); }
};

TEST(PeriodTotals, WithTheLogStartedTodayOnlyTodayCounts) {
    PeriodFixture f(make_date(2026, 1, 1, 12), make_date(2026, 1, 1));
    for (int k : {kYesterday, kLastWeek, kLastMonth, kLastYear}) EXPECT_EQ(f.total(k), 0) << k;
    for (int k : {kToday, kThisWeek, kThisMonth, kThisYear, kTotal}) EXPECT_EQ(f.total(k), 1000) << k;
    EXPECT_EQ(f.total(kTotal, kSent), 2000);
    EXPECT_EQ(period_total(f.state, 2, kToday, kReceived, f.clock.value), 0) << "no adapter 2";
}

TEST(PeriodTotals, NamedPeriodsSumTheirDaysAndTodaysLiveEntry) {
    // Wednesday 15 April 2026, the log began on 1 March 2025.
    PeriodFixture f(make_date(2026, 4, 15, 9), make_date(2025, 3, 1));
    f.state.settings.FirstDayOfWeek = 2;  // Monday
    EXPECT_EQ(f.total(kYesterday), 1);
    EXPECT_EQ(f.total(kThisWeek), 1000 + 2);  // Monday and Tuesday
    EXPECT_EQ(f.total(kLastWeek), 7);
    EXPECT_EQ(f.total(kThisMonth), 1000 + 14);
    EXPECT_EQ(f.total(kLastMonth), 31);
    EXPECT_EQ(f.total(kThisYear), 1000 + 104);
    EXPECT_EQ(f.total(kLastYear), 306);  // 1 March to 31 December 2025
    EXPECT_EQ(f.total(kTotal), 1000 + 306 + 104);
    EXPECT_EQ(f.total(kLastYear, kSent), 612);
    // Today's bytes count at once; the stored part is not summed again the same day.
    add_traffic(f.state, 1, 5, 0, f.clock.value);
    f.state.traffic.logs.history.at(1, 2026, 0) = {1000000, 0};
    EXPECT_EQ(f.total(kThisYear), 1005 + 104);
    f.clock.value += 1;  // the next day the history is summed afresh, yesterday included
    EXPECT_EQ(f.total(kThisYear), 1000000 + 103 + 1005);
}

TEST(PeriodTotals, ThisWeekSpansNewYearAndFollowsTheFirstDayOfWeek) {
    // Friday 2 January 2026; the week began on Monday 29 December 2025.
    PeriodFixture f(make_date(2026, 1, 2, 10), make_date(2025, 6, 1));
    f.state.settings.FirstDayOfWeek = 2;
    EXPECT_EQ(f.total(kThisWeek), 1000 + 4);
    EXPECT_EQ(f.total(kLastWeek), 7);
    f.state.settings.FirstDayOfWeek = 1;  // Sunday: the week began on 28 December
    EXPECT_EQ(f.total(kThisWeek), 1000 + 5);
    f.state.settings.FirstDayOfWeek = 0;  // the system's choice
    f.state.traffic.logs.system_first_day_of_week = 6;  // Friday: the week begins today
    EXPECT_EQ(f.total(kThisWeek), 1000);
    EXPECT_EQ(f.total(kLastWeek), 7);
}

TEST(PeriodTotals, WeekNumbers) {
    EXPECT_EQ(history_week_number(make_date(2026, 1, 1), 2), 1);    // Thursday
    EXPECT_EQ(history_week_number(make_date(2027, 1, 1), 2), 53);   // Friday: last week of 2026
    EXPECT_EQ(history_week_number(make_date(2024, 12, 30), 2), 1);  // Monday of week 1 of 2025
    EXPECT_EQ(history_week_number(make_date(2026, 12, 31), 2), 53);
    EXPECT_EQ(history_week_number(make_date(2023, 1, 1), 1), 1);   // Sunday, weeks from Sunday
    EXPECT_EQ(history_week_number(make_date(2022, 1, 1), 1), 52);  // Saturday, still 2021's last week
}

TEST(PeriodTotals, MonthlyPeriodStartAndEnd) {
    EXPECT_EQ(monthly_period_start(make_date(2026, 3, 15), 31), make_date(2026, 2, 28));
    EXPECT_EQ(monthly_period_start(make_date(2024, 3, 15), 31), make_date(2024, 2, 29));
    EXPECT_EQ(monthly_period_start(make_date(2026, 1, 31), 31), make_date(2026, 1, 31));
    EXPECT_EQ(monthly_period_end(make_date(2026, 1, 31)), make_date(2026, 2, 28));
    EXPECT_EQ(monthly_period_start(make_date(2026, 1, 10), 15), make_date(2025, 12, 15));
    EXPECT_EQ(monthly_period_end(make_date(2025, 12, 15)), make_date(2026, 1, 14));
    EXPECT_EQ(monthly_period_start(make_date(2026, 5, 20), 1), make_date(2026, 5, 1));
    EXPECT_EQ(monthly_period_end(make_date(2026, 5, 1)), make_date(2026, 5, 31));
}

TEST(PeriodTotals, UserDefinedPeriodVariants) {
    PeriodFixture f(make_date(2026, 3, 15, 9), make_date(2026, 1, 1));
    Settings& s = f.state.settings;
    s.CusPerDay = 0;  // from-to, today outside
    s.CusPerFrom = make_date(2026, 2, 1);
    s.CusPerTo = make_date(2026, 2, 10);
    EXPECT_EQ(f.total(kUser), 10);
    s.CusPerTo = make_date(2026, 12, 31);  // today inside
    f.state.traffic.invalidate_totals();
    EXPECT_EQ(f.total(kUser), 28 + 14 + 1000);
    s.CusPerDay = 1;  // the last 3 days
    s.CusPerDays = 3;
    s.CusPerUnit = 2;
    f.state.traffic.invalidate_totals();
    EXPECT_EQ(f.total(kUser), 2 + 1000);
    s.CusPerDay = 2;  // monthly from the 31st: since 28 February
    s.CusMonthStart = 31;
    f.state.traffic.invalidate_totals();
    EXPECT_EQ(f.total(kUser), 1 + 14 + 1000);
    s.CusPerDay = 3;  // since a date before the log began
    s.CusPerStart = make_date(2025, 6, 1);
    f.state.traffic.invalidate_totals();
    EXPECT_EQ(f.total(kUser), 31 + 28 + 14 + 1000);
    s.CusPerStart = make_date(2026, 4, 1);  // a start after today: nothing yet
    f.state.traffic.invalidate_totals();
    EXPECT_EQ(f.total(kUser), 0);
}

// Yesterday's minutes come from the minutely file, today's from memory.
struct MinuteWindowFixture : LogFixture {
    MinuteWindowFixture(double now) : LogFixture(1, now) {
        prepare_directories(state);
        std::filesystem::create_directories(native_path(path("Stats/DbMin")));
        const double yesterday = std::floor(now) - 1;
        std::vector<TrafficPair> day(1441);
        day[1390] = {1, 0};    // 23:10, outside every window below
        day[1391] = {10, 0};   // 23:11
        day[1439] = {100, 0};  // 23:59
        std::vector<std::uint8_t> file(static_cast<std::size_t>(day_index(yesterday)) * 23040, 0);
        const auto rec = encode_entries(day.data(), day.size());
        file.insert(file.end(), rec.begin(), rec.end());
        spit(path("Stats/DbMin/" + std::to_string(year_of(yesterday)) + ".1.dat"), file);
        start();
        state.stats.start_date = yesterday;
        load_history(state, services);
        state.settings.CusPerDay = 1;
        add_traffic(state, 1, 1000, 0, std::floor(now) + 5.0 / 1440);  // 00:05 today
    }
    double total() { return period_total(state, 1, kUser, kReceived, clock.value); }
};

TEST(PeriodTotals, LastSixtyMinutesAtTenPastMidnightReachIntoYesterday) {
    MinuteWindowFixture f(make_date(2026, 1, 1, 0, 10, 20));
    f.state.settings.CusPerUnit = 0;
    f.state.settings.CusPerDays = 60;
    EXPECT_EQ(f.total(), 10 + 100 + 1000);
    add_traffic(f.state, 1, 1, 0, f.clock.value);
    EXPECT_EQ(f.total(), 10 + 100 + 1001);
    f.state.settings.MinuteLogging = 0;
    EXPECT_EQ(f.total(), 0);
}

TEST(PeriodTotals, LastHourAtHalfPastMidnightIsTodayOnly) {
    MinuteWindowFixture f(make_date(2026, 1, 1, 0, 30, 0));
    f.state.settings.CusPerUnit = 1;
    f.state.settings.CusPerDays = 1;
    EXPECT_EQ(f.total(), 1000);
    f.state.settings.CusPerDays = 2;  // since 23:00 yesterday
    EXPECT_EQ(f.total(), 1 + 10 + 100 + 1000);
}

TEST(PeriodTotals, CurrentPeriodTextAndDataWarning) {
    LogFixture f(1, make_date(2026, 2, 10, 14, 5, 30));
    f.start();
    f.state.traffic.logs.first_minute = make_date(2026, 2, 10, 13, 30, 0);
    Settings& s = f.state.settings;
    s.CusPerDays = 60;
    s.CusPerUnit = 0;
    PeriodRange r = current_period_range(f.state, 1, f.clock.value);
    EXPECT_EQ(current_period_text(r), "2026-02-10 13:06:00  to  2026-02-10 14:05:59");
    EXPECT_TRUE(r.data_missing);
    s.CusPerDays = 2;
    s.CusPerUnit = 1;
    r = current_period_range(f.state, 1, f.clock.value);
    EXPECT_EQ(current_period_text(r), "2026-02-10 13:00:00  to  2026-02-10 14:59:59");
    s.CusMonthStart = 20;
    r = current_period_range(f.state, 2, f.clock.value);
    EXPECT_EQ(current_period_text(r), "2026-01-20 00:00:00  to  2026-02-19 23:59:59");
    EXPECT_TRUE(r.data_missing);
    s.CusPerStart = make_date(2026, 2, 10);
    r = current_period_range(f.state, 3, f.clock.value);
    EXPECT_EQ(current_period_text(r), "2026-02-10 00:00:00  to  2026-02-10 14:05:30");
    EXPECT_EQ(current_period_text(r, EnglishLocale{}), "10/02/2026 00:00:00  to  10/02/2026 14:05:30");
    EXPECT_FALSE(r.data_missing);
}

}  // namespace
