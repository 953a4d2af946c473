#pragma once

#include <cstddef>
#include <vector>

#include "history/history_rows.h"

// Daily amounts over `years` years from `first_year` for any adapter, every day different:
// the history a long-running installation has gathered.
class YearsOfAmounts : public DailyAmounts {
public:
    YearsOfAmounts(int first_year, int years) : first_year_(first_year), days_(static_cast<std::size_t>(years) * 366) {
        for (std::size_t i = 0; i < days_.size(); ++i) {
            days_[i] = TrafficPair{static_cast<double>((i * 7919) % 100003) * 1024.0, static_cast<double>(i % 977) * 512.0};
        }
    }
    TrafficPair day(int, int year, int index) const override {
        const std::size_t i = static_cast<std::size_t>(year - first_year_) * 366 + static_cast<std::size_t>(index);
        return i < days_.size() ? days_[i] : TrafficPair{};
    }

private:
    int first_year_;
    std::vector<TrafficPair> days_;
};
