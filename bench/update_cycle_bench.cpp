#include <benchmark/benchmark.h>

#include <memory>

#include "core/update_cycle.h"
#include "core/counters.h"
#include "support/fakes.h"

namespace {

// One sampling cycle with 15 adapters, the longest graph, a 10-second average and the
// window visible, every adapter drawn by a graph (the most work a cycle can do).
void BM_UpdateCycle15Adapters(benchmark::State& bench) {
    FakeInterfaceTable table;
    FakeClock clock;
    RecordingDialogs dialogs;
    Services services{table, clock, dialogs};
    CycleHooks hooks;
    // On the heap: the state is over a megabyte.
    const auto held = std::make_unique<ProgramState>();
    ProgramState& state = *held;
    for (std::uint32_t i = 1; i <= 15; ++i) {
        table.add_interface(i, "eth" + std::to_string(i));
        table.add_address(i, 10, 0, static_cast<std::uint8_t>(i), 1);
    }
    state.stats.adapters.resize(15);
    state.settings.GraphBuffer = 1840;
    state.settings.BandwidthCalc = 10;
    state.settings.Adapter = 2;
    for (int i = 1; i <= 6; ++i) state.settings.LogAdapter[static_cast<std::size_t>(i)] = 1;
    state.window.visible = true;
    state.window.client_width = 300;
    for (auto& a : state.adapters) a.graph_shown = true;
    read_counters(state, services, hooks);
    take_start_counters(state);

    std::uint64_t bytes = 0;
    for (auto _ : bench) {
        bytes += 123456;
        for (std::uint32_t i = 1; i <= 15; ++i) table.set_counters(i, bytes * i, bytes);
        clock.advance_seconds(1.0);
        update_cycle(state, services, hooks, false);
        benchmark::DoNotOptimize(state.adapters[2].download_graph[0]);
    }
}
BENCHMARK(BM_UpdateCycle15Adapters)->Unit(benchmark::kMicrosecond);

}  // namespace
