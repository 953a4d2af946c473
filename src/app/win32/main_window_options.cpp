// The main window as the options dialog's host: the live preview, OK and Apply storing the
// settings and the alert rules, Cancel loading them again.
#include "app/win32/main_window.h"

#include "platform/win32/windows_api.h"

#include "alerts/mail_settings_check.h"
#include "alerts/rule_files.h"
#include "alerts/win32/alert_page.h"
#include "app/win32/console.h"
#include "app/win32/net_jobs.h"
#include "core/counters.h"
#include "core/log_commands.h"
#include "core/settings_steps.h"
#include "core/update_cycle.h"
#include "display/item_list.h"
#include "display/win32/colors_page.h"
#include "display/win32/items_page.h"
#include "history/log_files.h"
#include "history/log_store.h"
#include "history/period_kind.h"
#include "history/period_totals.h"
#include "history/win32/reset_page.h"
#include "measure/ip_statistics.h"
#include "measure/rates.h"
#include "measure/win32/adapters_page.h"
#include "net/metrics_http.h"
#include "net/win32/time_sync_page.h"
#include "platform/win32/metrics_listener.h"
#include "service/win32/service_page.h"
#include "settings/settings_store.h"

void MainWindow::open_options() {
    if (options_ != nullptr && options_->open()) {
        options_->bring_forward();
        return;
    }
    options_.reset();
    // The Alerts page edits a working table of the rules as they are stored.
    load_rules_for_editing(state_.alerts.working, state_.data_dir);
    options_ = std::make_unique<OptionsDialog>(*this, window_);
    // The program's messages sit over the dialog while it is open, as its refusals do.
    msg_box_->set_owner(options_->handle());
}

void MainWindow::options_closed() { msg_box_->set_owner(window_); }

MsgResult MainWindow::WindowDialogs::message_box(const MessageBoxRequest& request) {
    const OptionsDialog* options = window_.options_.get();
    return message_box_over(options != nullptr && options->open() ? options->handle() : window_.window_, request);
}

// The open options dialog's adapter lists follow adapters that come, go or change status.
void MainWindow::adapter_lists_changed(int /*found*/) {
    if (options_ != nullptr && options_->open()) options_->adapters_changed();
}

Settings& MainWindow::options_settings() { return state_.settings; }

std::vector<std::string> MainWindow::options_period_names() {
    std::vector<std::string> names;
    for (int k = 0; k < kPeriodKinds; ++k) names.push_back(period_name(state_, k));
    return names;
}

void MainWindow::options_preview() {
    Settings& s = state_.settings;
    connection_speeds_from_types(s);
    invalidate_period_totals(state_);
    // A translucent window has no see-through background besides, as at settings load.
    if (s.Transparency > 0) s.TransBack = 0;
    set_custom_items(state_, s.ShowAdvItems != 0);
    apply_translucency(s, *this);
    apply_window_style();
    FitWindowHeight();
    // Before the first sample there is nothing to recompute, yet the settings still show.
    if (state_.cycle.cycles_run == 0) {
        update_tray();
        RefreshScreen(true);
    } else {
        update_cycle(state_, parts_.app.services(), *this, true);
    }
    ::InvalidateRect(static_cast<HWND>(window_), nullptr, FALSE);
}

MainWindow::Refusal MainWindow::options_refusal() {
    const MailCheck check = check_mail_settings(state_.alerts.working, state_.settings, false);
    switch (check.field) {
        case MailField::sender: return {check.message, "E-mail", "EmailAlertMail"};
        case MailField::receiver: return {check.message, "E-mail", "EmailAlertDefault"};
        case MailField::server: return {check.message, "E-mail", "EmailAlertSMTP"};
        case MailField::none: break;
    }
    return {};
}

std::string MainWindow::options_slot_text(const std::string& slot) {
    if (slot == "current_period") {
        const PeriodRange range =
            current_period_range(state_, state_.settings.CusPerDay, parts_.app.services().clock.now());
        std::string text = std::string(kCurrentPeriodCaption) + " " + current_period_text(range, parts_.locale);
        if (range.data_missing) text += std::string("\n") + kDataWarning1 + " " + kDataWarning2;
        return text;
    }
    if (slot == "sync_lines") {
        const std::string& failure = state_.time_sync.last_failure;
        return failure.empty() ? state_.settings.SyncTxt : state_.settings.SyncTxt + "\n" + failure;
    }
    if (slot == "endpoint_lines") return endpoint_text();
    if (slot == "password_store") return "Passwords are kept in the Windows Credential Manager.";
    return {};
}

bool MainWindow::options_minute_logging(bool on) {
    const MinuteLogChange change = set_minute_logging(state_, parts_.app.services(), *this, on);
    // Switching minute logging off is stored at once, not only with OK or Apply.
    if (change.logging_switched_off) write_setting("MinuteLogging");
    return change.done;
}

AdaptersPageHost MainWindow::adapters_page_host() {
    Services& services = parts_.app.services();
    return {state_.settings,
            state_.table_messages,
            state_.known_adapter_count,
            state_.data_dir,
            [this, &services] {
                clsIPStatistics stats(services.tables, services.dialogs, state_.table_messages);
                state_.ip_text = ip_text_for(stats, state_.settings.Adapter);
                BuildDisplayList(state_);
            },
            [this, &services] {
                save_logs(state_, services);
                load_logs(state_, services);
                load_history(state_, services);
            },
            [this] { options_preview(); }};
}

ResetPageHost MainWindow::reset_page_host() {
    Services& services = parts_.app.services();
    ResetPageHost host;
    host.start_date = [this] { return state_.stats.start_date; };
    host.session_seconds = [this] { return state_.cycle.session_seconds; };
    host.minutely_resettable = [this] {
        return state_.settings.MinuteLogging != 0 || minutely_files_left(state_.data_dir);
    };
    host.reset_daily = [this, &services] {
        if (reset_daily_logs(state_, services, *this)) update_cycle(state_, services, *this, true);
    };
    host.reset_minutely = [this, &services] {
        const std::uint8_t logging = state_.settings.MinuteLogging;
        const MinuteLogChange change = reset_minutely_logs(state_, services, *this);
        // Switching minute logging off is stored at once, not only with OK or Apply.
        if (change.logging_switched_off) write_setting("MinuteLogging");
        if (state_.settings.MinuteLogging == logging) return false;
        options_preview();
        return true;
    };
    host.reset_session = [this, &services] {
        if (!confirm_session_reset(services.dialogs)) return;
        ::reset_session(state_);
        update_cycle(state_, services, *this, true);
    };
    return host;
}

TimeSyncPageHost MainWindow::sync_page_host() {
    NetJobs* net = parts_.net;
    TimeSyncPageHost host;
    if (net != nullptr) {
        host.sync = [net](const std::string& server) { net->sync_button(server); };
        host.confirmed = [net](bool set) { net->sync_confirmed(set); };
        host.attach = [net](TimeSyncView* view) { net->set_sync_view(view); };
    }
    host.lines = [this] { return options_slot_text("sync_lines"); };
    host.message = [this](const std::string& text) { msg_box_->show_message(text, false); };
    return host;
}

std::unique_ptr<OptionsPageView> MainWindow::options_page_view(const std::string& name, OptionsPageEvents events) {
    if (name == "Alerts") return create_alert_page(state_, parts_.app.services(), std::move(events));
    if (name == "Items")
        return create_items_page(state_, parts_.app.services(), state_.table_messages, [this] { options_preview(); },
                                 std::move(events));
    if (name == "Colors")
        return create_colors_page(state_.settings, state_.data_dir, [this] { options_preview(); }, std::move(events));
    if (name == "Time Sync") return create_time_sync_page(state_.settings, state_.time_sync.caption, sync_page_host(),
                                                          std::move(events));
    if (name == "Service") return create_service_page(parts_.service, dialogs_, state_.running_as_service);
    if (name == "Adapters") return create_adapters_page(adapters_page_host(), parts_.app.services(), std::move(events));
    if (name == "Reset") return create_reset_page(reset_page_host(), std::move(events));
    return nullptr;
}

// Where the metrics endpoint answers with the settings shown, or why it does not.
std::string MainWindow::endpoint_text() const {
    const Settings& s = state_.settings;
    if (s.MetricsPort == 0) return "The endpoint is off.";
    const std::string host = s.MetricsAddress.find(':') != std::string::npos ? "[" + s.MetricsAddress + "]" : s.MetricsAddress;
    const std::string port = std::to_string(s.MetricsPort);
    const std::string failure = parts_.metrics != nullptr ? parts_.metrics->failure(s.MetricsAddress, s.MetricsPort) : "";
    if (!failure.empty())
        return "Not serving: port " + port + " on " + host + " cannot be opened (" + failure + "). Tried again every " +
               std::to_string(kMetricsListenRetryMs / 1000) + " seconds.";
    return "Prometheus scrapes http://" + host + ":" + port + "/metrics";
}

void MainWindow::settings_saved() {
    if (parts_.metrics == nullptr) return;
    const std::string failure = parts_.metrics->configure(state_.settings.MetricsAddress, state_.settings.MetricsPort);
    if (!failure.empty()) msg_box_->show_message(failure, false);
}

void MainWindow::options_store() {
    store_settings(state_, parts_.app.services());
    if (!save_all_rules(state_.alerts.working, state_.alerts.live, state_.data_dir))
        msg_box_->show_message("The alert rules could not be saved in " + state_.data_dir +
                                   "Stats. They work until the program ends; OK or Apply tries to save them again.",
                               false);
    FitWindowHeight();
    apply_translucency(state_.settings, *this);
    RefreshScreen(true);
    ::InvalidateRect(static_cast<HWND>(window_), nullptr, FALSE);
}

void MainWindow::options_discard() {
    Services& services = parts_.app.services();
    reload_settings(state_, services);
    FitWindowHeight();
    load_rules_for_editing(state_.alerts.working, state_.data_dir);
    save_logs(state_, services);
    load_logs(state_, services);
    apply_window_style();
    RefreshScreen(true);
    ::InvalidateRect(static_cast<HWND>(window_), nullptr, FALSE);
}
