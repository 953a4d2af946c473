#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "net/net_jobs_view.h"
#include "net/qt/net_socket.h"
#include "net/socket_actions.h"
#include "net/time_sync.h"
#include "platform/clock.h"
#include "platform/linux/linux_clock_setter.h"
#include "platform/program_messages.h"
#include "platform/qt/dbus_clock_setter.h"

// Where the network jobs really connect, for test runs: read from KELVANTO_TIME_HOST,
// KELVANTO_TIME_PORT, KELVANTO_UPDATE_HOST, KELVANTO_UPDATE_PORT, KELVANTO_REMOTE_HOST,
// KELVANTO_REMOTE_PORT; KELVANTO_CLOCK_READONLY makes every clock change a refusal (and
// never asks the system's time service).
struct NetOverrides {
    QString time_host;
    int time_port = 0;
    QString update_host;
    int update_port = 0;
    QString remote_host;
    int remote_port = 0;
    bool clock_read_only = false;
    static NetOverrides from_environment();
};

// The program's three client sockets and the dialogues behind them: time synchronisation
// (sckTime), the remote report (sckServer, the report slot) and the update check (Winsock).
// A newer version found is handed to `show_update`, which a run without a window leaves
// unanswered.
class NetClients : public QObject {
    Q_OBJECT
public:
    NetClients(NetJobsView state, const Clock& clock, const Locale& locale, SettingWriter* writer,
               const NetOverrides& overrides, QObject* parent = nullptr);
    ~NetClients() override;

    // After each update cycle: the automatic time synchronisation while SyncAuto is set, and
    // the time limits and next tries of the time and update dialogues.
    void cycle_check();
    // The options dialog's sync button with the host text of its server box.
    void sync_button(const std::string& host);
    // The user's answer whether to set a time far from the clock.
    void sync_confirmed(bool set);
    // The options dialog while it is open (null when closed: a question left open is a no).
    void set_sync_view(TimeSyncView* view);
    // The timer's remote report job while RemoteOut is set: a new report when none is in
    // progress or the one in progress never heard from the server.
    void start_report();
    // Start-up with CheckForUpdate set.
    void start_update_check();
    virtual void show_update(const QString& /*version*/, const QString& /*date*/) {}

    // Test seam: the clock setter.
    void set_clock_setter(ClockSetter* setter) { setter_ = setter ? setter : &own_setter_; }

    NetSocket* sckTime = nullptr;
    NetSocket* sckServer = nullptr;  // the report connection
    NetSocket* Winsock = nullptr;

protected:
    NetJobsView state_;
    std::string running_version_;

private:
    TimeSyncEnv sync_env();
    void handle_update(const UpdateOutcome& outcome);

    const Clock& clock_;
    SettingWriter* writer_;
    // The clock is set by the process itself where it may, else by systemd-timedated.
    LinuxClockSetter linux_setter_;
    DBusClockSetter dbus_setter_;
    FallbackClockSetter own_setter_;
    ClockSetter* setter_;
    const Locale& locale_;
    TimeSyncView* sync_view_ = nullptr;
    StderrMessages messages_;
};
