#include "core/update_cycle.h"

#include <cmath>

#include "history/log_store.h"
#include "history/retired_logs.h"
#include "history/traffic_log.h"
#include "core/counters.h"
#include "measure/rates.h"

namespace {

// The cycle's length on the steady clock, so that a clock set forward or back, or a change of
// daylight saving, never stretches or shrinks it; a cycle across a sleep lasts the sleep.
void measure_cycle_time(CycleFigures& c, double elapsed) {
    // Rounded to 1/1024 s, a binary fraction, so that differences of clock readings are exact.
    const double t = std::round(elapsed * 1024.0) / 1024.0;
    if (t < c.last_timer_seconds || c.last_timer_seconds == 0.0) {
        c.cycle_seconds = 1.0;
    } else {
        c.cycle_seconds = t - c.last_timer_seconds;
        if (c.cycle_seconds == 0.0) c.cycle_seconds = 1.0;
    }
    c.last_timer_seconds = t;
    c.total_seconds += c.cycle_seconds;
    if (!c.session_reset_pending) c.session_seconds += c.cycle_seconds;
}

// The first rate, upload-rate or graph item decides whether its adapter counts as shown.
void flag_first_rate_item(ProgramState& state) {
    for (const FormItem& item : state.display_list) {
        if (item.Type == kItemDownloadRate || item.Type == kItemUploadRate || item.Type == kItemGraph) {
            if (item.Adapter < kAdapterSlots) state.adapters[item.Adapter].graph_shown = item.Enabled != 0;
            return;
        }
    }
}

}  // namespace

void read_adapter_counters(ProgramState& state, Services& services, CycleHooks& hooks) {
    read_counters(state, services, hooks, retire_adapter_logs);
}

void take_start_counters(ProgramState& state) {
    for (int i = 1; i <= state.live_adapter_count(); ++i) {
        AdapterState& a = state.adapters[static_cast<std::size_t>(i)];
        a.previous_received = a.start_received = a.current_received;
        a.previous_sent = a.start_sent = a.current_sent;
    }
}

void update_cycle(ProgramState& state, Services& services, CycleHooks& hooks, bool recompute_only) {
    CycleFigures& c = state.cycle;
    if (recompute_only) {
        if (c.cycles_run == 0) return;
        --c.cycles_run;
        --c.sample_count;
    }
    double now = 0.0;
    if (!recompute_only) {
        now = services.clock.now();
        // The day rolls over before the read: a save then holds the readings of the last
        // cycle together with all it booked, as every save does, and this cycle's bytes go
        // to the new day.
        roll_over_logs(state, services, now);
        read_adapter_counters(state, services, hooks);
        if (state.found_adapters > state.stats.adapter_count()) grow_logged_adapters(state, now);
        measure_cycle_time(c, services.clock.elapsed_seconds());
    }

    flag_first_rate_item(state);

    AggregateSums sums;
    for (int i = state.live_adapter_count(); i >= 0; --i) {
        const TrafficPair sample = adapter_step(state, i, recompute_only, sums);
        if (!recompute_only) add_traffic(state, i, sample.received, sample.sent, now);
    }

    if (recompute_only) {
        ++c.cycles_run;
        ++c.sample_count;
    } else {
        if (c.cycles_run < 59) ++c.cycles_run;
        c.session_reset_pending = false;
        ++c.sample_count;
    }
    hooks.update_tray();
    hooks.refresh_screen();
}
