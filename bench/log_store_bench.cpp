#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>

#include "core/program_state.h"
#include "platform/date.h"
#include "history/log_files.h"
#include "history/log_store.h"
#include "history/period_totals.h"
#include "history/traffic_log.h"

namespace {

// A data folder in the temporary directory, removed at the end.
struct BenchFolder {
    std::string path;
    BenchFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "kelvanto-bench-XXXXXX").string();
        path = mkdtemp(tmpl.data()) ? tmpl + "/" : std::string();
    }
    ~BenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const double kNow = make_date(2026, 6, 15, 12, 0, 0);

void start_logs(ProgramState& state, const std::string& dir, int adapters, double start) {
    state.data_dir = dir;
    state.stats.start_date = std::floor(start);
    state.stats.adapters.resize(static_cast<std::size_t>(adapters));
    for (int i = 1; i <= 6; ++i) state.settings.LogAdapter[static_cast<std::size_t>(i)] = 1;
    prepare_directories(state);
    load_logs_at(state, kNow);
    load_history_at(state, kNow);
}

void BM_SaveLogsSixAdapters(benchmark::State& st) {
    BenchFolder dir;
    ProgramState state;
    start_logs(state, dir.path, 6, kNow - 400);
    for (int i = 0; i <= 6; ++i) add_traffic(state, i, 1000, 100, kNow);
    for (auto _ : st) save_logs(state);
}
BENCHMARK(BM_SaveLogsSixAdapters)->Unit(benchmark::kMillisecond);

void BM_LoadHistoryTwentyYearsSixAdapters(benchmark::State& st) {
    BenchFolder dir;
    ProgramState state;
    start_logs(state, dir.path, 6, make_date(2007, 1, 1));
    std::array<TrafficPair, kDaysPerYearTable> table{};
    table.fill({1e6, 1e5});
    for (int y = 2007; y <= 2026; ++y)
        for (int i = 1; i <= 6; ++i) write_file_at(year_file_path(dir.path, y, i), 0, encode_day_table(table));
    for (auto _ : st) load_history_at(state, kNow);
}
BENCHMARK(BM_LoadHistoryTwentyYearsSixAdapters)->Unit(benchmark::kMillisecond);

void BM_CachedPeriodTotal(benchmark::State& st) {
    BenchFolder dir;
    ProgramState state;
    start_logs(state, dir.path, 6, make_date(2016, 1, 1));
    period_total(state, 0, 8, kReceived, kNow);
    for (auto _ : st) benchmark::DoNotOptimize(period_total(state, 0, 8, kReceived, kNow));
}
BENCHMARK(BM_CachedPeriodTotal);

void BM_LastFourteenHundredFortyMinutes(benchmark::State& st) {
    BenchFolder dir;
    ProgramState state;
    start_logs(state, dir.path, 6, kNow - 30);
    state.settings.CusPerDay = 1;
    state.settings.CusPerUnit = 0;
    state.settings.CusPerDays = 1440;
    period_total(state, 0, 10, kReceived, kNow);
    for (auto _ : st) benchmark::DoNotOptimize(period_total(state, 0, 10, kReceived, kNow));
}
BENCHMARK(BM_LastFourteenHundredFortyMinutes);

}  // namespace
