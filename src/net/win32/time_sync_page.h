#pragma once

#include <functional>
#include <memory>
#include <string>

#include "settings/settings.h"
#include "settings/win32/options_dialog.h"

// The controls of the "Time Sync" page's own view: "Synchronize now" with its button, which
// reads "&Sync" and "&Cancel" while a synchronisation runs. The server box is the page's
// declared "SyncSrv" list, which also takes a typed name.
enum TimeSyncPageControl : int {
    kTimeSyncNow = kOptionsViewIdFirst + 0x300,
};

// What the view asks of the running program.
struct TimeSyncPageHost {
    // "&Sync" pressed with the server box's text; "&Cancel" pressed stops the run.
    std::function<void(const std::string& host)> sync;
    // The answer to the question whether to set a far-off time.
    std::function<void(bool set)> confirmed;
    // The view is there to be told (a TimeSyncView), or gone (nullptr).
    std::function<void(class TimeSyncView* view)> attach;
    // The lines of the last synchronisation and the latest failure.
    std::function<std::string()> lines;
    // A message in the program's message window.
    std::function<void(const std::string& text)> message;
};

// The view of "Time Sync" over the in-memory `settings`: a server chosen from the list is
// stored as its place (SyncSrv), a typed one by its name (SyncHost). While the dialog is open
// the synchronisation reports here: the button's caption, the result lines, a failure in
// the message window, and the question whether to set a time far from the clock in a
// message box over the dialog.
std::unique_ptr<OptionsPageView> create_time_sync_page(Settings& settings, std::string caption, TimeSyncPageHost host,
                                                       OptionsPageEvents events);
