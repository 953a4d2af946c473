#include <benchmark/benchmark.h>

#include <vector>

#include "platform/date.h"
#include "history/history_list.h"
#include "history/history_rows.h"
#include "years_of_amounts.h"

namespace {

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
