#pragma once

#include <map>
#include <tuple>

#include "platform/date.h"
#include "history/history_rows.h"

// Daily amounts held in a map; days never set read as zero.
class MapAmounts : public DailyAmounts {
public:
    std::map<std::tuple<int, int, int>, TrafficPair> days;

    TrafficPair day(int adapter, int year, int index) const override {
        const auto it = days.find({adapter, year, index});
        return it == days.end() ? TrafficPair{} : it->second;
    }
    void set(int adapter, double date, double received, double sent) {
        days[{adapter, year_of(date), day_index(date)}] = TrafficPair{received, sent};
    }
};
