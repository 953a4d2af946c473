#pragma once

#include <string>

#include "core/program_state.h"
#include "core/services.h"

// Reads the interface table once and counts what every numbered adapter carried since the
// last read, from its interface's 64-bit counters followed by name (see follow_interfaces):
// exactly, never negative, whatever happened meanwhile to its address, its place in the
// table or other interfaces. An adapter without a connection counts nothing until it has one
// again and then counts what its interface carried meanwhile. The stored continuation state
// (wrap counts, sign flags, offsets, last values) is kept in step with the counts.
void read_counters(ProgramState& state, Services& services, CycleHooks& hooks);

// The IP text rule for adapter number a: "Multiple" for 0, the adapter's address, or
// "0.0.0.0" when it has none.
std::string ip_text_for(clsIPStatistics& stats, int a);
