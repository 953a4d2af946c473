#pragma once

#include "core/program_state.h"
#include "platform/services.h"

// Once a second with recompute_only false: read the counters, measure the cycle, roll the
// logs over, run the per-adapter step for every slot (aggregate last), advance the sample
// counters, redraw. With recompute_only true: recompute averages, peaks and graphs from the
// samples already held and redraw; nothing is read or added.
void update_cycle(ProgramState& state, Services& services, CycleHooks& hooks, bool recompute_only);

// Reads the counters (read_counters); a number an interface finds taken can be freed by
// retiring the history of an adapter unseen for long.
void read_adapter_counters(ProgramState& state, Services& services, CycleHooks& hooks);

// Sets the previous and start counters of every adapter to the current readings, so the
// first cycle measures from this moment.
void take_start_counters(ProgramState& state);
