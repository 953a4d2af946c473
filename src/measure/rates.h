#pragma once

#include "measure/rates_view.h"
#include "measure/traffic_pair.h"

// Per-cycle sums of the adapters that form the aggregate.
struct AggregateSums {
    double received = 0.0;
    double sent = 0.0;
};

// The per-adapter step for slot i (run from the adapter count down to 0): new sample, peaks,
// peak averages, graph buffers and shown values. Returns the new sample's bytes, which the
// cycle books to the logs (zero when only recomputing).
TrafficPair adapter_step(RatesView state, int slot, bool recompute_only, AggregateSums& sums);

// The newest smoothed rate of slot i in bytes per second, as the first graph sample shows it,
// worked out from the samples themselves: the graph buffers are kept only for adapters that
// are monitored or drawn, while rules watch any adapter.
double newest_rate(RatesQuery state, int slot, bool upload);

// Clears the session amounts of every slot and skips the session accumulation of the next
// cycle. The caller confirms with the user first and redraws afterwards.
void reset_session(RatesView state);

// Confirms "Re&set session" with the user, resets and recomputes.
class Dialogs;
bool confirm_session_reset(Dialogs& dialogs);
