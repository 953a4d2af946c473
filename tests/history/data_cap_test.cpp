#include <gtest/gtest.h>

#include <cmath>

#include "history/data_cap.h"
#include "history/log_fixture.h"
#include "history/traffic_log.h"
#include "platform/locale.h"

namespace {

constexpr double GB = 1024.0 * 1024.0 * 1024.0;

// A provider plan of 50 GB a month from the 15th, on adapter 1 of a log that began in May.
struct CapFixture : LogFixture {
    EnglishLocale locale;
    explicit CapFixture(double now) : LogFixture(1, now) {
        LogFixture::start();
        state.stats.start_date = make_date(2026, 5, 1);
        load_history(state, services);
        state.settings.CusPerDay = 2;
        state.settings.CusMonthStart = 15;
        state.settings.CapAmount = 50;
        state.settings.CapUnit = 2;
    }
    void day(int year, int month, int d, double bytes) {
        const double date = make_date(year, month, d);
        state.traffic.logs.history.at(1, year, day_index(date)) = {bytes / 2, bytes / 2};
    }
    CapStatus status() { return cap_status(state, 1, clock.value); }
    std::string texts() {
        const CapStatus c = status();
        return cap_text(c, state.settings, locale) + " | " + pace_text(c, state.settings, locale);
    }
};

TEST(DataCap, PaceCountsOnlyDaysWithDataInThePeriod) {
    // Saturday 20 June 2026; the period runs from 15 June to 14 July.
    CapFixture one(make_date(2026, 6, 20, 12));
    one.day(2026, 6, 14, 30 * GB);  // the day before the period: not counted anywhere
    add_traffic(one.state, 1, 0.5 * GB, 0.5 * GB, one.clock.value);
    // One day of data is no pace yet.
    EXPECT_EQ(one.texts(), "1.00 GB of 50 GB, 2 % | ");
    EXPECT_FALSE(one.status().pace.has_value());

    // Two days, 15 June and today, with no traffic in between: 1.5 GB a day for the 24 days
    // left after today.
    CapFixture two(make_date(2026, 6, 20, 12));
    two.day(2026, 6, 14, 30 * GB);
    two.day(2026, 6, 15, 2 * GB);
    add_traffic(two.state, 1, 0.5 * GB, 0.5 * GB, two.clock.value);
    EXPECT_EQ(two.texts(), "3.00 GB of 50 GB, 6 % | at this pace 39.0 GB");
    EXPECT_DOUBLE_EQ(*two.status().pace, 39 * GB);
    EXPECT_DOUBLE_EQ(two.status().share, 6.0);

    // Thirty days of 1.5 GB on the period's last day: the pace is what was used.
    CapFixture last(make_date(2026, 7, 14, 23));
    for (int d = 15; d <= 30; ++d) last.day(2026, 6, d, 1.5 * GB);
    for (int d = 1; d <= 13; ++d) last.day(2026, 7, d, 1.5 * GB);
    add_traffic(last.state, 1, 0.75 * GB, 0.75 * GB, last.clock.value);
    EXPECT_EQ(last.texts(), "45.00 GB of 50 GB, 90 % | at this pace 45.0 GB");
    EXPECT_EQ(cap_level(last.status().share), CapLevel::warning);
}

TEST(DataCap, ThirtyDaysOfAFromToPeriodAndPeriodsWithoutAnEnd) {
    // From 1 June to 10 July: thirty days of 1 GB, then ten days left after 30 June.
    CapFixture f(make_date(2026, 6, 30, 8));
    f.state.settings.CusPerDay = 0;
    f.state.settings.CusPerFrom = make_date(2026, 6, 1);
    f.state.settings.CusPerTo = make_date(2026, 7, 10);
    f.state.settings.CapAmount = 40;
    for (int d = 1; d < 30; ++d) f.day(2026, 6, d, 1 * GB);
    add_traffic(f.state, 1, 1 * GB, 0, f.clock.value);
    EXPECT_EQ(f.texts(), "30.00 GB of 40 GB, 75 % | at this pace 40.0 GB");
    EXPECT_EQ(cap_level(f.status().share), CapLevel::normal);

    // Starting at a date never ends, and the last N days always end today: no pace.
    f.state.settings.CusPerDay = 3;
    f.state.settings.CusPerStart = make_date(2026, 6, 1);
    f.state.traffic.invalidate_totals();
    EXPECT_EQ(f.texts(), "30.00 GB of 40 GB, 75 % | ");
    f.state.settings.CusPerDay = 1;
    f.state.settings.CusPerDays = 10;
    f.state.traffic.invalidate_totals();
    EXPECT_EQ(f.texts(), "10.00 GB of 40 GB, 25 % | ");

    // No cap: nothing used of nothing.
    f.state.settings.CapAmount = 0;
    EXPECT_EQ(f.status().cap, 0);
    EXPECT_EQ(f.status().share, 0);
}

TEST(DataCap, LevelsAndUnits) {
    EXPECT_EQ(cap_level(0), CapLevel::normal);
    EXPECT_EQ(cap_level(79.99), CapLevel::normal);
    EXPECT_EQ(cap_level(80), CapLevel::warning);
    EXPECT_EQ(cap_level(99.99), CapLevel::warning);
    EXPECT_EQ(cap_level(100), CapLevel::reached);
    EXPECT_EQ(cap_level(250), CapLevel::reached);
    Settings s;
    s.CapAmount = 3;
    s.CapUnit = 3;
    EXPECT_EQ(cap_bytes(s), 3 * 1024 * GB);
    EXPECT_EQ(cap_amount_text(s), "3 TB");
    s.CapUnit = 0;
    EXPECT_EQ(cap_bytes(s), 3 * 1024.0);
}

}  // namespace
