#include "net/qt/net_clients.h"

#include "platform/date.h"
#include "net/program_version.h"
#include "net/remote_report.h"
#include "net/update_check.h"

namespace {

int env_port(const char* name) {
    bool ok = false;
    const int port = qEnvironmentVariableIntValue(name, &ok);
    return ok && port > 0 && port <= 65535 ? port : 0;
}

}  // namespace

NetOverrides NetOverrides::from_environment() {
    NetOverrides o;
    o.time_host = qEnvironmentVariable("KELVANTO_TIME_HOST");
    o.time_port = env_port("KELVANTO_TIME_PORT");
    o.update_host = qEnvironmentVariable("KELVANTO_UPDATE_HOST");
    o.update_port = env_port("KELVANTO_UPDATE_PORT");
    o.remote_host = qEnvironmentVariable("KELVANTO_REMOTE_HOST");
    o.remote_port = env_port("KELVANTO_REMOTE_PORT");
    o.clock_read_only = !qEnvironmentVariableIsEmpty("KELVANTO_CLOCK_READONLY");
    return o;
}

NetClients::NetClients(NetJobsView state, const Clock& clock, const Locale& locale, SettingWriter* writer,
                       const NetOverrides& overrides, QObject* parent)
    : QObject(parent),
      state_(state),
      running_version_(program_version().text()),
      clock_(clock),
      writer_(writer),
      linux_setter_(!overrides.clock_read_only),
      own_setter_(linux_setter_, overrides.clock_read_only ? nullptr : &dbus_setter_),
      setter_(&own_setter_),
      locale_(locale) {
    sckTime = new NetSocket(
        {[this] {
             TimeSyncEnv env = sync_env();
             time_sync_connected(env);
         },
         [this](std::string_view bytes) {
             TimeSyncEnv env = sync_env();
             sckTime->apply(time_sync_data(env, bytes));
         },
         [this] {
             TimeSyncEnv env = sync_env();
             sckTime->apply(time_sync_closed(env));
         },
         [this](const std::string& reason) {
             TimeSyncEnv env = sync_env();
             sckTime->apply(time_sync_error(env, reason));
         }},
        this);
    sckTime->set_override(overrides.time_host, overrides.time_port);

    sckServer = new NetSocket({[this] { sckServer->apply(remote_connected(state_.settings)); },
                               [this](std::string_view bytes) {
                                   sckServer->apply(remote_data(state_.remote_report, bytes, program_version()));
                               },
                               [this] { remote_closed(state_.remote_report); },
                               [this](const std::string&) { remote_closed(state_.remote_report); }},
                              this);
    sckServer->set_override(overrides.remote_host, overrides.remote_port);

    Winsock = new NetSocket(
        {[this] { Winsock->apply(update_connected(running_version_)); },
         [this](std::string_view bytes) {
             handle_update(update_data(state_.update_check, bytes, running_version_, state_.settings, writer_));
         },
         [this] { handle_update(update_closed(state_.update_check, running_version_, state_.settings, writer_)); },
         [this](const std::string&) { update_error(state_.update_check); }},
        this);
    Winsock->set_override(overrides.update_host, overrides.update_port);
}

NetClients::~NetClients() = default;

TimeSyncEnv NetClients::sync_env() {
    TimeSyncEnv env{state_.time_sync, state_.settings, clock_, *setter_, locale_, writer_, sync_view_};
    // The setter may answer much later (a password prompt): the answer meets the state of then.
    env.clock_set_done = [this](const ClockSetResult& r) {
        TimeSyncEnv later = sync_env();
        time_sync_clock_set(later, r);
    };
    env.messages = &messages_;
    return env;
}

void NetClients::cycle_check() {
    TimeSyncEnv env = sync_env();
    sckTime->apply(time_sync_cycle(env));
    Winsock->apply(update_tick(state_.update_check, clock_.now(), state_.settings.CheckForUpdate != 0));
}

void NetClients::sync_button(const std::string& host) {
    TimeSyncEnv env = sync_env();
    sckTime->apply(time_sync_button(env, host));
}

void NetClients::sync_confirmed(bool set) {
    TimeSyncEnv env = sync_env();
    time_sync_confirm(env, set);
}

void NetClients::set_sync_view(TimeSyncView* view) {
    sync_view_ = view;
    if (view == nullptr) sync_confirmed(false);
}

void NetClients::start_report() { sckServer->apply(remote_start(state_.remote_report, state_.settings, clock_.now())); }

void NetClients::start_update_check() { Winsock->apply(update_start(state_.update_check, clock_.now())); }

void NetClients::handle_update(const UpdateOutcome& outcome) {
    Winsock->apply(outcome.actions);
    if (outcome.show)
        show_update(QString::fromStdString(outcome.show->version), QString::fromStdString(outcome.show->date));
}
