#pragma once

#include "history/history_rows.h"
#include "history/log_state.h"

// The daily log as the history lists read it: the in-memory history table, zero outside it.
class HistoryTableAmounts : public DailyAmounts {
public:
    explicit HistoryTableAmounts(const HistoryTable& table) : table_(table) {}
    TrafficPair day(int adapter, int year, int day_index) const override {
        if (day_index < 0 || day_index >= kDaysPerYearTable || !table_.covers(adapter, year)) return {};
        return table_.at(adapter, year, day_index);
    }

private:
    const HistoryTable& table_;
};
