#include <benchmark/benchmark.h>

#include <vector>

#include "core/date.h"
#include "history/history_list.h"
#include "history/history_rows.h"

namespace {

// Twenty years of daily amounts for one adapter, every day different.
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

void BM_DailyRowsTwentyYearsSortedAndFormatted(benchmark::State& state) {
    const YearsOfAmounts log(2006, 21);
    const EnglishLocale locale;
    const Settings settings;
    const HistoryRowSource source{log, make_date(2006, 6, 15), make_date(2026, 6, 14, 12, 0, 0), 1, 1, 2, locale};
    for (auto _ : state) {
        HistoryRows rows = build_history_rows(kTabDaily, source);
        sort_for_list(rows, kTabDaily, HistorySort{3, 1});
        HistoryItems items = list_items(rows, HistorySort{3, 1}, settings, locale);
        benchmark::DoNotOptimize(items.data());
        if (items.size() != 7305) state.SkipWithError("expected 7305 rows");
    }
}
BENCHMARK(BM_DailyRowsTwentyYearsSortedAndFormatted)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
