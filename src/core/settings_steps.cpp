#include "core/settings_steps.h"

#include "settings/settings_store.h"

void reload_settings(ProgramState& state, Services& services) {
    load_settings(state, services);
    trim_graph_buffers(state.adapters, state.settings.graph_length);
}

void store_settings(ProgramState& state, Services& services) {
    save_settings(state, services);
    trim_graph_buffers(state.adapters, state.settings.graph_length);
}
