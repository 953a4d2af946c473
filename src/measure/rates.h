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

// Clears the session amounts of every slot and skips the session accumulation of the next
// cycle. The caller confirms with the user first and redraws afterwards.
void reset_session(ProgramState& state);

// Confirms "Re&set session" with the user, resets and recomputes.
class Dialogs;
bool confirm_session_reset(Dialogs& dialogs);
