#pragma once

#include <string>

#include "net/net_jobs_view.h"
#include "net/socket_actions.h"
#include "net/time_sync.h"
#include "platform/clock.h"
#include "platform/locale.h"
#include "platform/program_messages.h"
#include "platform/settings_backend.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/winsock_connection.h"

// The run's three client connections on Winsock and the dialogues behind them: the time
// synchronisation, the remote report and the update check. Test runs redirect them with
// KELVANTO_TIME_HOST/PORT, KELVANTO_REMOTE_HOST/PORT, KELVANTO_UPDATE_HOST/PORT; with
// KELVANTO_CLOCK_READONLY every clock change is refused without touching the clock.
class NetJobs : public SettingWriter {
public:
    NetJobs(NetJobsView state, const Clock& clock, const Locale& locale, SettingsBackend& store);

    // After each update cycle: the automatic time synchronisation while SyncAuto is set, and
    // the time limits and next tries of the time and update dialogues.
    void cycle_check();
    // The timer's remote report job while RemoteOut is set.
    void start_report();
    // Start-up with CheckForUpdate set.
    void start_update_check();
    // The options dialog's "Time Sync" page: its button with the server shown (listed or
    // typed), the answer to its question whether to set a far-off time, and the page itself
    // while it is open (nullptr: closed, a pending question is answered no).
    void sync_button(const std::string& host);
    void sync_confirmed(bool set);
    void set_sync_view(TimeSyncView* view);

    void write_setting(const std::string& name) override;

private:
    TimeSyncEnv sync_env();

    NetJobsView state_;
    const Clock& clock_;
    const Locale& locale_;
    SettingsBackend& store_;
    std::string running_version_;
    Win32ClockSetter setter_;
    StderrMessages messages_;
    WinsockConnection time_;
    WinsockConnection report_;
    WinsockConnection update_;
    TimeSyncView* sync_view_ = nullptr;
};
