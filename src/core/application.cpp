#include "core/application.h"
#include "core/settings_steps.h"

#include "alerts/alert_actions.h"
#include "alerts/rule_evaluation.h"
#include "alerts/rule_files.h"
#include "core/main_timer.h"
#include "core/update_cycle.h"
#include "history/log_store.h"
#include "measure/ip_statistics.h"
#include "measure/saved_readings.h"
#include "settings/autostart.h"
#include "settings/settings_store.h"

Application::Application(Services& services, AppFrontEnd& front)
    : services_(services), front_(front), state_(std::make_unique<ProgramState>()) {}

Application::~Application() = default;

bool Application::start(const AppPlaces& places, bool with_window) {
    ProgramState& s = *state_;
    if (s.main_window_loaded) return true;
    s.main_window_loaded = true;
    loading_ = true;
    s.data_dir = places.data_dir;
    s.config_dir = places.config_dir;
    s.program_path = places.program_path;
    s.program_in_build_folder = runs_from_build_folder(s.program_path);
    s.traffic.logs.system_first_day_of_week = places.first_day_of_week;
    s.boot_id = places.boot_id;
    load_adapter_numbering(s.table_messages.numbering, s.interface_readings, s.data_dir, s.boot_id,
                           services_.clock.now());
    {
        clsIPStatistics stats(services_.tables, services_.dialogs, s.table_messages);
        s.found_adapters = stats.Found_Adaptors();
    }
    prepare_directories(s);
    if (load_state(s, services_) == LoadStateResult::unknown_format) {
        loading_ = false;
        unload();
        return false;
    }
    s.known_adapter_count = s.found_adapters;
    reload_settings(s, services_);
    front_.update_tray();
    read_adapter_counters(s, services_, front_);
    take_start_counters(s);
    load_logs(s, services_);
    load_history(s, services_);
    if (with_window) front_.window_start();
    load_rules_at_startup(s.alerts.live, s.data_dir);
    loading_ = false;
    if (stop_after_load_) {
        unload();
        return false;
    }
    if (!with_window) s.timer.cycle_period_ms = windowless_cycle_period_ms(s);
    timer_enabled_ = true;
    return true;
}

std::int32_t windowless_cycle_period_ms(const ProgramState& s) {
    const LiveRules& live = s.alerts.live;
    for (int i = 0; i < live.count && i < kMaxRules; ++i) {
        const AlertRule& r = live.rules[static_cast<std::size_t>(i)];
        if (r.enabled() && r.ConditionKind == RateReached) return kCyclePeriodMs;
    }
    if (s.settings.MetricsPort != 0 || s.settings.MinuteLogging != 0) return kCyclePeriodMs;
    return kQuietCyclePeriodMs;
}

void Application::save_before_sleep() {
    if (!timer_enabled_) return;
    // A sample taken out of turn is booked like any other: the next cycle counts from it.
    if (state_->timer.cycle_period_ms > kCyclePeriodMs) update_cycle(*state_, services_, front_, false);
    save_logs(*state_, services_);
}

std::int32_t Application::wait_ms(std::int32_t tick_now) const {
    if (!timer_enabled_) return -1;
    return ms_until_next_job(state_->timer, tick_now, state_->settings.LogWriteInt);
}

void Application::timer_event(std::int32_t tick_now) {
    if (!timer_enabled_) return;
    ProgramState& s = *state_;
    const DueJobs jobs = dispatch_timer(s.timer, tick_now, s.settings.LogWriteInt);
    if (jobs.update_cycle) {
        front_.cycle_starting();
        update_cycle(s, services_, front_, false);
        serve_mail_queue(s, services_);
        evaluate_rules(s, services_);
        front_.cycle_done();
    }
    if (jobs.log_save) save_logs(s, services_);
    if (jobs.log_save || jobs.colour_refresh) front_.desktop_colours_due();
    if (jobs.remote_report && s.settings.RemoteOut) front_.remote_report_due();
}

void Application::unload() {
    ProgramState& s = *state_;
    // A last sample, so the traffic since the last cycle is logged too: another copy may log
    // on from these files at once (a desktop start taking over from the service, or the
    // service started again when this run ends).
    if (timer_enabled_) update_cycle(s, services_, front_, false);
    save_logs(s, services_);
    give_up_mail(s, services_);
    s.exiting = true;
    timer_enabled_ = false;
    front_.run_ended();
}

void Application::stop_event() {
    ProgramState& s = *state_;
    // A stop that arrives while the start-up waits (for the secret store, a message box) is
    // carried out once the start-up is complete.
    if (loading_) {
        stop_after_load_ = true;
        return;
    }
    if (s.main_window_loaded) {
        if (!s.exiting) unload();
        return;
    }
    // Nothing was loaded yet, so there is nothing to save.
    s.exiting = true;
    front_.run_ended();
}
