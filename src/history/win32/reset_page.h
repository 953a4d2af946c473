#pragma once

#include <functional>
#include <memory>

#include "settings/win32/options_dialog.h"

class CycleHooks;
struct ProgramState;
struct Services;

// The controls of the options dialog's "Reset" page (GetDlgItem(dialog, id)): the buttons
// `cmdResetDaily`, `cmdResetMinutely` and `cmdResetSession`, and the lines "Logging started:"
// (`lblLoggingStarted`) and "Logging time:" (`lblLoggingTime`).
enum ResetPageControl : int {
    kResetDaily = kOptionsViewIdFirst + 0x280,
    kResetMinutely,
    kResetSession,
    kResetLoggingStarted,
    kResetLoggingTime,
};

// The view of the "Reset" page over the running program's `state`. Each button asks through
// `services.dialogs` and clears the daily logs, the minutely logs or the session, redrawing
// through `hooks`; `redraw` recomputes the main window after a cleared session. The two
// lines are refreshed every second while the page is shown; the minutely logs can be
// cleared while they are kept or while files of them are left. Minute logging switched off
// by the question is stored at once through `store_minute_logging`, and reported as a change.
std::unique_ptr<OptionsPageView> create_reset_page(ProgramState& state, Services& services, CycleHooks& hooks,
                                                   std::function<void()> redraw,
                                                   std::function<void()> store_minute_logging, OptionsPageEvents events);
