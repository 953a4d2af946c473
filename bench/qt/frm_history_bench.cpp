#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabBar>
#include <QTreeWidget>
#include <memory>
#include <vector>

#include "core/program_state.h"
#include "platform/date.h"
#include "history/qt/frm_history.h"
#include "support/fakes.h"
#include "years_of_amounts.h"

namespace {

// Switching to the Daily tab builds its row table for 7305 days, sorts it by total with the
// Shell sort and fills the list.
void BM_HistoryWindowDailyTabTwentyYears(benchmark::State& st) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "bench";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    FakeInterfaceTable tables;
    FakeClock clock;
    clock.value = make_date(2026, 6, 14, 12, 0, 0);
    RecordingDialogs dialogs;
    EnglishLocale locale;
    Services services{tables, clock, dialogs, &locale};
    const auto held = std::make_unique<ProgramState>();
    ProgramState& state = *held;
    state.stats.start_date = make_date(2006, 6, 15);
    state.stats.adapters.resize(1);
    state.settings.Adapter = 1;
    state.settings.AlwaysOnTop = 0;
    state.settings.lvwSortKey[kTabDaily] = 3;
    HistoryWindowContext ctx{state.settings, state.stats, state.history_window_open, services, std::make_shared<YearsOfAmounts>(2006, 21), {}, {}};
    auto* w = new frmHistory(std::move(ctx));
    w->open();
    for (auto _ : st) {
        st.PauseTiming();
        w->TabStrip()->setCurrentIndex(kTabYearly);
        st.ResumeTiming();
        w->TabStrip()->setCurrentIndex(kTabDaily);
        if (w->ListView()->topLevelItemCount() != 7305) st.SkipWithError("expected 7305 rows");
    }
    delete w;
}
BENCHMARK(BM_HistoryWindowDailyTabTwentyYears)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
