#pragma once

#include "core/program_state.h"
#include "core/services.h"

enum class LoadStateResult { ok, unknown_format };

// Creates the "Stats" folder under the data folder; failures are ignored.
void prepare_directories(ProgramState& state);
// Reads "Stats.dat": a fresh record when missing or foreign, folded offsets when known.
LoadStateResult load_state(ProgramState& state, Services& services);
// Reads this year's daily files and today's minutely records, then saves.
void load_logs(ProgramState& state, Services& services);
// Writes "Stats.dat", the year files and the minutely log.
void save_logs(ProgramState& state, Services& services);
// Builds the multi-year history table from the year files.
void load_history(ProgramState& state, Services& services);
