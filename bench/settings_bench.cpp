#include <benchmark/benchmark.h>

#include "core/program_state.h"
#include "settings/settings_store.h"
#include "support/fakes.h"

namespace {

// One settings load (every value read, the rules applied, everything written back) from a
// complete in-memory store, as at every start and every Cancel of the options dialog.
void BM_LoadSettings(benchmark::State& bench) {
    FakeInterfaceTable tables;
    FakeClock clock;
    RecordingDialogs dialogs;
    MemorySettings store;
    Services services{tables, clock, dialogs};
    services.settings_store = &store;
    ProgramState state;
    state.found_adapters = 2;
    state.settings.AdvItems = 20;
    state.settings.custom_items.resize(20);
    save_settings(state, services);
    for (auto _ : bench) {
        load_settings(state, services);
        benchmark::DoNotOptimize(state.settings.GraphBuffer);
    }
}
BENCHMARK(BM_LoadSettings)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
