#include "history/history_rows.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/date.h"
#include "history/history_fakes.h"

namespace {

struct RowsFixture : ::testing::Test {
    MapAmounts log;
    EnglishLocale locale;  // weeks start on Monday
    HistoryRowSource source{log, make_date(2026, 6, 15), make_date(2026, 6, 15, 18, 30, 0), 1, 2, 2, locale};

    HistoryRows rows(HistoryTab tab) { return build_history_rows(tab, source); }
};

std::vector<std::string> labels(const HistoryRows& rows) {
    std::vector<std::string> out;
    for (const HistoryRow& r : rows) out.push_back(r.label);
    return out;
}

TEST_F(RowsFixture, LogStartedTodayGivesOneRowPerTabAndOnePerAdapterOnTotals) {
    log.set(0, source.today, 30, 3);
    log.set(1, source.today, 10, 1);
    log.set(2, source.today, 20, 2);

    const HistoryRows totals = rows(kTabTotals);
    ASSERT_EQ(totals.size(), 3u);
    EXPECT_EQ(labels(totals), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(totals[0].sort_key, kAggregateSortKey);
    EXPECT_EQ(totals[2].received, 20);
    EXPECT_EQ(totals[2].total, 22);

    for (HistoryTab tab : {kTabDaily, kTabWeekly, kTabMonthly, kTabYearly}) {
        const HistoryRows r = rows(tab);
        ASSERT_EQ(r.size(), 1u) << tab;
        EXPECT_EQ(r[0].received, 10) << tab;
        EXPECT_EQ(r[0].sent, 1) << tab;
        EXPECT_EQ(r[0].total, 11) << tab;
    }
    EXPECT_EQ(rows(kTabDaily)[0].label, "15/06/2026");
    EXPECT_EQ(rows(kTabWeekly)[0].label, "2026 25");
    EXPECT_EQ(rows(kTabMonthly)[0].label, "2026 June");
    EXPECT_EQ(rows(kTabYearly)[0].label, "2026");
}

TEST_F(RowsFixture, DaysWithoutLogCountZeroAndStillGiveDailyRows) {
    source.start_date = make_date(2024, 2, 27);
    source.today = make_date(2024, 3, 2, 9, 0, 0);
    log.set(1, make_date(2024, 2, 29), 5, 6);
    const HistoryRows daily = rows(kTabDaily);
    EXPECT_EQ(labels(daily), (std::vector<std::string>{"27/02/2024", "28/02/2024", "29/02/2024", "01/03/2024",
                                                       "02/03/2024"}));
    EXPECT_EQ(daily[2].total, 11);
    EXPECT_EQ(daily[3].total, 0);
    EXPECT_EQ(daily[4].sort_key, 5);
}

TEST_F(RowsFixture, WeekAcrossNewYearIsListedOnceUnderTheYearOfItsFourthDay) {
    // Monday 29 December 2025 .. Sunday 4 January 2026: the fourth day is 1 January 2026.
    source.start_date = make_date(2025, 12, 20);
    source.today = make_date(2026, 1, 6);
    log.set(1, make_date(2025, 12, 29), 1, 0);
    log.set(1, make_date(2025, 12, 31), 2, 0);
    log.set(1, make_date(2026, 1, 1), 4, 0);
    log.set(1, make_date(2026, 1, 4), 8, 0);
    log.set(1, make_date(2026, 1, 5), 16, 0);
    const HistoryRows weekly = rows(kTabWeekly);
    EXPECT_EQ(labels(weekly), (std::vector<std::string>{"2025 51", "2025 52", "2026 01", "2026 02"}));
    EXPECT_EQ(weekly[2].received, 15);
    EXPECT_EQ(weekly[3].received, 16);

    // With weeks starting on Sunday, 28 December .. 3 January: the fourth day is 31
    // December, so the week is 2025's last.
    source.first_day = 1;
    EXPECT_EQ(labels(rows(kTabWeekly)), (std::vector<std::string>{"2025 51", "2025 52", "2025 53", "2026 01"}));
}

TEST_F(RowsFixture, WeekBelongingToTheYearBeforeTheLogStartIsSkipped) {
    // 1..3 January 2027 lie in the last week of 2026 (weeks from Monday).
    source.start_date = make_date(2027, 1, 1);
    source.today = make_date(2027, 1, 5);
    log.set(1, make_date(2027, 1, 2), 7, 0);
    log.set(1, make_date(2027, 1, 5), 9, 0);
    const HistoryRows weekly = rows(kTabWeekly);
    EXPECT_EQ(labels(weekly), (std::vector<std::string>{"2027 01"}));
    EXPECT_EQ(weekly[0].received, 9);
}

TEST_F(RowsFixture, MonthsAndYearsSumTheirDaysFromTheLogStartToToday) {
    source.start_date = make_date(2024, 12, 30);
    source.today = make_date(2026, 2, 3);
    log.set(1, make_date(2024, 12, 30), 1, 1);
    log.set(1, make_date(2024, 12, 31), 2, 0);
    log.set(1, make_date(2025, 12, 31), 4, 0);
    log.set(1, make_date(2026, 2, 3), 8, 0);
    log.set(1, make_date(2026, 2, 4), 100, 0);  // after today: not counted
    log.set(1, make_date(2024, 12, 29), 100, 0);  // before the start: not counted

    const HistoryRows monthly = rows(kTabMonthly);
    ASSERT_EQ(monthly.size(), 15u);
    EXPECT_EQ(monthly.front().label, "2024 December");
    EXPECT_EQ(monthly.front().received, 3);
    EXPECT_EQ(monthly[12].label, "2025 December");
    EXPECT_EQ(monthly.back().label, "2026 February");
    EXPECT_EQ(monthly.back().received, 8);

    const HistoryRows yearly = rows(kTabYearly);
    EXPECT_EQ(labels(yearly), (std::vector<std::string>{"2024", "2025", "2026"}));
    EXPECT_EQ(yearly[0].received, 3);
    EXPECT_EQ(yearly[0].sent, 1);
    EXPECT_EQ(yearly[1].received, 4);
    EXPECT_EQ(yearly[2].received, 8);

    source.adapter = 0;  // the totals of the aggregate cover the same range
    log.set(0, make_date(2025, 7, 1), 50, 0);
    EXPECT_EQ(rows(kTabYearly)[1].received, 50);
    EXPECT_EQ(rows(kTabTotals)[0].received, 50);
}

HistoryRows keyed(std::initializer_list<double> keys) {
    HistoryRows r;
    for (double k : keys) r.push_back(HistoryRow{std::to_string(static_cast<int>(k)), k, 100 - k, k * 2, 0});
    return r;
}

TEST(ShellSort, SortsAscendingOnEveryColumnForManySizes) {
    for (int n : {0, 1, 2, 5, 6, 21, 22, 100, 1000}) {
        HistoryRows rows;
        for (int i = 0; i < n; ++i) {
            const double v = (i * 7919) % 1009;
            rows.push_back(HistoryRow{"x", v, -v, v / 2, static_cast<double>(i % 3)});
        }
        for (int column = 0; column < 4; ++column) {
            shell_sort_rows(rows, column);
            for (std::size_t i = 1; i < rows.size(); ++i) {
                const auto value = [column](const HistoryRow& r) {
                    return column == 0 ? r.sort_key : column == 1 ? r.received : column == 2 ? r.sent : r.total;
                };
                ASSERT_LE(value(rows[i - 1]), value(rows[i])) << "n=" << n << " column=" << column;
            }
        }
    }
}

TEST(ShellSort, AggregateSortsAfterEveryAdapter) {
    HistoryRows rows = keyed({kAggregateSortKey, 3, 1, 12, 2});
    shell_sort_rows(rows, 0);
    EXPECT_EQ(labels(rows), (std::vector<std::string>{"1", "2", "3", "12", "99"}));
}

TEST(ShellSort, NotANumberDoesNotBreakTheSort) {
    HistoryRows rows = keyed({3, 2, 1});
    rows[1].received = std::nan("");
    shell_sort_rows(rows, 1);
    EXPECT_EQ(rows.size(), 3u);
}

TEST(TotalsLabels, AdapterNumberAddressAndTheClickRule) {
    EXPECT_EQ(totals_label(0, "eth0"), "0 - Multiple");
    EXPECT_EQ(totals_label(3, "wlan0 (not present)"), "3 - wlan0 (not present)");
    EXPECT_EQ(totals_label(4, ""), "4 - (unknown)");
    EXPECT_EQ(adapter_from_totals_label("0 - Multiple", 2), 0);
    EXPECT_EQ(adapter_from_totals_label("7 - 0.0.0.0", 2), 7);
    // Adapter 12's row must not choose adapter 1.
    EXPECT_EQ(adapter_from_totals_label("12 - 10.1.1.1", 2), 2);
    EXPECT_EQ(adapter_from_totals_label("", 4), 4);
}

}  // namespace
