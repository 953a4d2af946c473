#pragma once

#include <functional>
#include <memory>

#include "settings/win32/options_dialog.h"

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

// What the "Reset" page asks of the running program. The resets ask the user first and may be
// declined, and the main window shows what they cleared; `reset_minutely` answers whether
// minute logging was switched off with it (that is stored at once).
struct ResetPageHost {
    std::function<double()> start_date;         // the day the logging started
    std::function<double()> session_seconds;    // how long this session has logged
    std::function<bool()> minutely_resettable;  // minute logging on, or minutely files left
    std::function<void()> reset_daily;
    std::function<bool()> reset_minutely;
    std::function<void()> reset_session;
};

// The view of the "Reset" page. The two lines are refreshed every second while the page is
// shown; minute logging switched off by a reset is reported through `events`, so that the
// Logging page shows it.
std::unique_ptr<OptionsPageView> create_reset_page(ResetPageHost host, OptionsPageEvents events);
