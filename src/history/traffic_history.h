#pragma once

#include <array>

#include "history/log_state.h"

// One slot's daily amounts of the current year, by day of the year.
using DayTable = std::array<TrafficPair, kDaysPerYearTable>;

// The traffic log in memory: per slot the day table of the current year and today's minutes,
// the daily log of every year (the history table), and the cached stored parts of the period
// totals. Today's bytes live in all three; add() keeps them in step.
class TrafficHistory {
public:
    LogState logs;

    DayTable& day_table(int slot) { return day_tables_[static_cast<std::size_t>(slot)]; }
    const DayTable& day_table(int slot) const { return day_tables_[static_cast<std::size_t>(slot)]; }
    // Slot's entry of the day of `now` in its day table.
    const TrafficPair& day_entry(int slot, double now) const;

    // Adds one cycle's bytes of `slot` to the day of `now`: the day table's entry, the same
    // entry of the history table and, when minutes are logged, the minute of `now`.
    void add(int slot, double received, double sent, double now, bool log_minutes);
    // Writes the history table's entry of the day of `now` back into the day table (after
    // the table was read again from the files).
    void take_day_from_history(int slot, double now);

    // The stored parts of the period totals, filled by the queries as they are asked: a
    // cache, so a const history hands it out too.
    PeriodCache& period_cache() const { return period_cache_; }
    // The logs changed under the cached sums: they are summed again at the next query.
    void invalidate_totals() { period_cache_.rebuild = true; }

private:
    std::array<DayTable, kAdapterSlots> day_tables_{};
    mutable PeriodCache period_cache_;
};
