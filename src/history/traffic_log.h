#pragma once

#include "core/program_state.h"
#include "core/services.h"

// Adds one cycle's bytes of slot i to today's day-table entry (and the tables that mirror it).
void add_traffic(ProgramState& state, int slot, double received, double sent, double now);

// Day and year roll-over, run by the update cycle before it adds the new bytes.
void roll_over_logs(ProgramState& state, Services& services, double now);
