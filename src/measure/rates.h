#pragma once

#include "core/program_state.h"

// Per-cycle sums of the adapters that form the aggregate.
struct AggregateSums {
    double received = 0.0;
    double sent = 0.0;
};

// The per-adapter step for slot i (run from the adapter count down to 0): new sample, peaks,
// peak averages, graph buffers and shown values. `now` dates the bytes for the logs.
void adapter_step(ProgramState& state, int slot, bool recompute_only, AggregateSums& sums, double now);

// The newest smoothed rate of slot i in bytes per second, as the first graph sample shows it,
// worked out from the samples themselves: the graph buffers are kept only for adapters that
// are monitored or drawn, while rules watch any adapter.
double newest_rate(const ProgramState& state, int slot, bool upload);

// Clears the session amounts of every slot and skips the session accumulation of the next
// cycle. The caller confirms with the user first and redraws afterwards.
void reset_session(ProgramState& state);

// Confirms "Re&set session" with the user, resets and recomputes.
class Dialogs;
bool confirm_session_reset(Dialogs& dialogs);
