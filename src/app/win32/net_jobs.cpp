#include "app/win32/net_jobs.h"

#include <cstdlib>

#include "net/program_version.h"
#include "net/remote_report.h"
#include "net/update_check.h"
#include "platform/win32/win32_text.h"
#include "settings/settings_store.h"

namespace {

int env_port(const char* name) {
    const std::string text = environment_value(name);
    const long port = std::strtol(text.c_str(), nullptr, 10);
    return port > 0 && port <= 65535 ? static_cast<int>(port) : 0;
}

void redirect(WinsockConnection& connection, const char* host, const char* port) {
    connection.set_override(environment_value(host), env_port(port));
}

}  // namespace

NetJobs::NetJobs(NetJobsView state, const Clock& clock, const Locale& locale, SettingsBackend& store)
    : state_(state),
      clock_(clock),
      locale_(locale),
      store_(store),
      running_version_(program_version().text()),
      setter_(environment_value("KELVANTO_CLOCK_READONLY").empty()),
      time_({[this] {
                 TimeSyncEnv env = sync_env();
                 time_sync_connected(env);
             },
             [this](std::string_view bytes) {
                 TimeSyncEnv env = sync_env();
                 time_.apply(time_sync_data(env, bytes));
             },
             [this] {
                 TimeSyncEnv env = sync_env();
                 time_.apply(time_sync_closed(env));
             },
             [this](const std::string& reason) {
                 TimeSyncEnv env = sync_env();
                 time_.apply(time_sync_error(env, reason));
             }}),
      report_({[this] { report_.apply(remote_connected(state_.settings)); },
               [this](std::string_view bytes) {
                   report_.apply(remote_data(state_.remote_report, bytes, program_version()));
               },
               [this] { remote_closed(state_.remote_report); },
               [this](const std::string&) { remote_closed(state_.remote_report); }}),
      update_({[this] { update_.apply(update_connected(running_version_)); },
               [this](std::string_view bytes) {
                   // A run without a window has nobody to show a newer version to.
                   update_.apply(update_data(state_.update_check, bytes, running_version_, state_.settings, this).actions);
               },
               [this] {
                   update_.apply(update_closed(state_.update_check, running_version_, state_.settings, this).actions);
               },
               [this](const std::string&) { update_error(state_.update_check); }}) {
    redirect(time_, "KELVANTO_TIME_HOST", "KELVANTO_TIME_PORT");
    redirect(report_, "KELVANTO_REMOTE_HOST", "KELVANTO_REMOTE_PORT");
    redirect(update_, "KELVANTO_UPDATE_HOST", "KELVANTO_UPDATE_PORT");
}

TimeSyncEnv NetJobs::sync_env() {
    TimeSyncEnv env{state_.time_sync, state_.settings, clock_, setter_, locale_, this, sync_view_};
    env.messages = &messages_;
    return env;
}

void NetJobs::cycle_check() {
    TimeSyncEnv env = sync_env();
    time_.apply(time_sync_cycle(env));
    update_.apply(update_tick(state_.update_check, clock_.now(), state_.settings.CheckForUpdate != 0));
}

void NetJobs::sync_button(const std::string& host) {
    TimeSyncEnv env = sync_env();
    time_.apply(time_sync_button(env, host));
}

void NetJobs::sync_confirmed(bool set) {
    TimeSyncEnv env = sync_env();
    time_sync_confirm(env, set);
}

void NetJobs::set_sync_view(TimeSyncView* view) {
    sync_view_ = view;
    if (view == nullptr) sync_confirmed(false);
}

void NetJobs::start_report() { report_.apply(remote_start(state_.remote_report, state_.settings, clock_.now())); }

void NetJobs::start_update_check() { update_.apply(update_start(state_.update_check, clock_.now())); }

void NetJobs::write_setting(const std::string& name) { write_single_setting(store_, state_.settings, name); }
