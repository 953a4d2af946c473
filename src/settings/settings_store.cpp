#include "settings/settings_store.h"

void load_settings(ProgramState& state) {
    Settings& s = state.settings;
    if (s.Adapter < 0 || s.Adapter > state.found_adapters) s.Adapter = state.found_adapters < 2 ? 1 : 2;
    s.graph_length = s.GraphBuffer;
}

void save_settings(ProgramState& /*state*/) {}
