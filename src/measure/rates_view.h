#pragma once

#include <cstdint>

#include "measure/adapter_state.h"
#include "platform/window_info.h"
#include "settings/settings.h"

// Figures of the update cycle, all zero at start.
struct CycleFigures {
    double cycle_seconds = 1.0;
    double last_timer_seconds = 0.0;  // the steady clock at the previous cycle; 0 before the first
    double total_seconds = 0.0;
    double session_seconds = 0.0;
    std::int32_t sample_count = 0;
    std::uint8_t cycles_run = 0;
    bool session_reset_pending = false;
};

// What the rate steps change: the adapters' samples, peaks and graphs, and the cycle's
// figures; what they read: the settings, the window's width, the logged adapter count.
struct RatesView {
    const Settings& settings;
    AdapterTable& adapters;
    CycleFigures& cycle;
    const WindowInfo& window;
    int live_adapters = 0;  // slots with live state: the logged adapter count, at most 15 (as of the call)

    int live_adapter_count() const { return live_adapters; }
};

// The same for queries.
struct RatesQuery {
    const Settings& settings;
    const AdapterTable& adapters;
    const CycleFigures& cycle;
};
