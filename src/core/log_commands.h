#pragma once

#include "core/program_state.h"
#include "platform/services.h"

// The options dialog's commands on the logs. Each asks the user first through the message
// boxes of `services.dialogs` and redraws the main window through `hooks` when done.

// "&Reset daily logs": clears every daily and minutely log. Returns false when cancelled.
bool reset_daily_logs(ProgramState& state, Services& services, CycleHooks& hooks);

struct MinuteLogChange {
    bool done = false;              // false: cancelled, nothing changed
    bool logging_switched_off = false;  // MinuteLogging became 0: store it at once
};
// "R&eset minutely logs": clears the minutely logs, optionally switching minute logging off.
MinuteLogChange reset_minutely_logs(ProgramState& state, Services& services, CycleHooks& hooks);
// The "Minutely logging" check box: on starts the log at the current minute; off switches
// logging off (store MinuteLogging at once) and offers to delete the minutely files.
MinuteLogChange set_minute_logging(ProgramState& state, Services& services, CycleHooks& hooks, bool on);

// Marks the period totals for recomputing (after a change of the user-defined period).
void invalidate_period_totals(ProgramState& state);
