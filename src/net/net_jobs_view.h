#pragma once

#include "net/remote_report.h"
#include "net/time_sync.h"
#include "net/update_check.h"
#include "settings/settings.h"

// What the network jobs (time synchronisation, remote report, update check) change: their
// own states, and the settings they store their outcome in.
struct NetJobsView {
    Settings& settings;
    TimeSyncState& time_sync;
    RemoteReportState& remote_report;
    UpdateCheckState& update_check;
};
