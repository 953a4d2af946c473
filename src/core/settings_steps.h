#pragma once

#include "core/program_state.h"
#include "platform/services.h"

// The settings loaded or stored for the running program: the settings' own steps, then the
// sample buffers trimmed to the graph length.
void reload_settings(ProgramState& state, Services& services);
void store_settings(ProgramState& state, Services& services);
