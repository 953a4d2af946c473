#pragma once

#include "history/history_window.h"

struct ProgramState;
struct Services;

// What the history window works on, from the program state and the services it reports
// through: the Qt and the Win32 window are opened on the same context.
HistoryWindowContext history_window_context(ProgramState& state, Services& services);
