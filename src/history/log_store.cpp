#include "history/log_store.h"

#include <cmath>
#include <filesystem>

void prepare_directories(ProgramState& state) {
    std::error_code ec;
    std::filesystem::create_directories(state.data_dir + "Stats", ec);
}

LoadStateResult load_state(ProgramState& state, Services& services) {
    state.stats = StatsRecord{};
    state.stats.start_date = std::floor(services.clock.now());
    state.stats.adapters.assign(static_cast<std::size_t>(state.found_adapters), CounterContinuation{});
    return LoadStateResult::ok;
}

void load_logs(ProgramState& /*state*/, Services& /*services*/) {}
void save_logs(ProgramState& /*state*/, Services& /*services*/) {}
void load_history(ProgramState& /*state*/, Services& /*services*/) {}
