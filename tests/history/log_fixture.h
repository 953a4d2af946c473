#pragma once

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/date.h"
#include "core/program_state.h"
#include "platform/services.h"
#include "history/log_files.h"
#include "history/log_store.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "platform/file_access.h"

// A program state over a temporary data folder with fake platform services.
struct LogFixture {
    TempDir dir;
    FakeInterfaceTable tables;
    FakeClock clock;
    RecordingDialogs dialogs;
    Services services{tables, clock, dialogs};
    CycleHooks hooks;
    // On the heap: the state is larger than the stack of a Windows thread.
    std::unique_ptr<ProgramState> held = std::make_unique<ProgramState>();
    ProgramState& state = *held;

    explicit LogFixture(int adapters = 2, double now = make_date(2026, 6, 15, 12, 0, 0)) {
        state.data_dir = dir.str() + "/";
        state.found_adapters = adapters;
        clock.value = now;
    }
    // The start-up sequence of the logs.
    LoadStateResult start() {
        prepare_directories(state);
        const LoadStateResult r = load_state(state, services);
        if (r != LoadStateResult::ok) return r;
        load_logs(state, services);
        load_history(state, services);
        return r;
    }
    std::string path(const std::string& relative) const { return state.data_dir + relative; }
};

inline std::vector<std::uint8_t> slurp(const std::string& path) {
    std::ifstream in(native_path(path), std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void spit(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(native_path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline double double_at(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    double v = 0.0;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
}
