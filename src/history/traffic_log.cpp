#include "history/traffic_log.h"

#include "core/date.h"

void add_traffic(ProgramState& state, int slot, double received, double sent, double now) {
    TrafficPair& entry = state.adapters[static_cast<std::size_t>(slot)].day_table[static_cast<std::size_t>(day_index(now))];
    entry.received += received;
    entry.sent += sent;
}

void roll_over_logs(ProgramState& /*state*/, Services& /*services*/, double /*now*/) {}
