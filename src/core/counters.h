#pragma once

#include <string>

#include "core/program_state.h"
#include "platform/services.h"

// Frees adapter `number` for another interface by moving its logs aside; returns where they
// went ("Stats/Retired/<name>/"), or "" when they could not be moved and nothing changed.
using FreeAdapterNumber = std::string (*)(HistoryView state, int number, double now);

// Reads the interface table once and counts what every numbered adapter carried since the
// last read, from its interface's 64-bit counters followed by kernel index (see
// follow_interfaces): exactly, never negative, whatever happened meanwhile to its addresses,
// its name, its place in the table or other interfaces. What an interface carried between
// the previous run and the first read goes to the logs' between-run amounts. When an
// interface found every number taken, `free_number` frees the number of an adapter unseen
// for long (see AdapterNumbering::retirable). The stored continuation state (wrap counts,
// sign flags, offsets, last values) is kept in step with the counts.
void read_counters(ProgramState& state, Services& services, CycleHooks& hooks, FreeAdapterNumber free_number = nullptr);
// Adapter numbers a setting, an overview item or an alert rule names.
AdapterSet numbers_in_use(const ProgramState& state);

// The IP text rule for adapter number a: "Multiple" for 0, the adapter's address, or
// "0.0.0.0" when it has none.
std::string ip_text_for(clsIPStatistics& stats, int a);
