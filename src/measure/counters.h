#pragma once

#include <cstdint>

#include "core/program_state.h"
#include "core/services.h"

// Extends a signed 32-bit reading into a continuous count using a wrap count and the sign
// flag of the previous reading: each pass through 2^31 and through 2^32 adds 2^31.
double extend_reading(double r, std::uint32_t& wraps, bool& sign);

// Reads the interface table once and brings every adapter's continuation state and current
// counters up to date. A counter that went backwards (the interface restarted) or a slot
// that another interface took over moves the old reading into the offset, so that no
// reading ever shows as a jump or a negative amount.
void read_counters(ProgramState& state, Services& services, CycleHooks& hooks);

// The IP text rule for adapter number a: "Multiple" for 0, the slot's address, or "0.0.0.0".
std::string ip_text_for(clsIPStatistics& stats, int a);
