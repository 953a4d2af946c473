#pragma once

#include "core/program_state.h"

// Reads every setting in its order with its range and default, applies the dependent rules
// and writes the complete, normalised set back.
void load_settings(ProgramState& state);
// Writes every setting and applies the side effects of a save.
void save_settings(ProgramState& state);
