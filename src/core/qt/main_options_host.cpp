#include "core/qt/main_options_host.h"
#include "core/settings_steps.h"

#include "core/qt/frm_main.h"
#include "alerts/alert_actions.h"
#include "alerts/qt/frm_dialog.h"
#include "alerts/qt/frm_msg_box.h"
#include "alerts/rule_files.h"
#include "settings/qt/frm_options.h"
#include "core/update_cycle.h"
#include "core/log_commands.h"
#include "history/log_store.h"
#include "history/period_totals.h"
#include "measure/rates.h"
#include "net/qt/metrics_server.h"
#include "net/qt/net_jobs.h"
#include "settings/settings_store.h"

MainOptionsHost::MainOptionsHost(frmMain& main) : main_(main) {
    last_page = QString::fromStdString(main_.state().settings.OptionsPage);
}

OptionsView options_view(ProgramState& s) {
    return {s.settings,    s.data_dir,       s.program_path,  s.program_in_build_folder,
            s.running_as_service, s.stats,   s.cycle,         s.time_sync,
            s.table_messages, s.known_adapter_count, s.ip_text, s, s};
}

OptionsView MainOptionsHost::options_state() { return options_view(main_.state()); }

Services& MainOptionsHost::options_services() { return main_.services(); }

namespace {

// The program's message window, shown over `owner` from now on.
void message_window_over(Services& services, QWidget* owner) {
    if (auto* box = dynamic_cast<frmMsgBox*>(services.msg_box)) box->set_owner(owner);
}

}  // namespace

void MainOptionsHost::options_opened(QWidget* dialog) { message_window_over(main_.services(), dialog); }

void MainOptionsHost::options_preview() {
    // Before the first sample there is nothing to recompute, yet the settings still show.
    if (main_.state().cycle.cycles_run == 0) {
        main_.update_tray();
        main_.RefreshScreen(true);
        return;
    }
    update_cycle(main_.state(), main_.services(), main_, true);
}

void MainOptionsHost::options_store() {
    store_settings(main_.state(), main_.services());
    if (!save_all_rules(main_.state().alerts.working, main_.state().alerts.live, main_.state().data_dir) &&
        main_.services().msg_box)
        main_.services().msg_box->show_message(
            "The alert rules could not be saved in " + main_.state().data_dir +
                "Stats. They work until the program ends; OK or Apply tries to save them again.",
            false);
    main_.FitWindowHeight();
    apply_translucency(main_.state().settings, main_);
    update_cycle(main_.state(), main_.services(), main_, true);
}

MailField MainOptionsHost::check_mail_settings() {
    return confirm_mail_settings(main_.state(), main_.services(), false).field;
}

void MainOptionsHost::options_discard() {
    ProgramState& state = main_.state();
    reload_settings(state, main_.services());
    main_.FitWindowHeight();
    load_rules_for_editing(state.alerts.working, state.data_dir);
    save_logs(state, main_.services());
    load_logs(state, main_.services());
    update_cycle(state, main_.services(), main_, true);
}

void MainOptionsHost::options_fit_window_height() { main_.FitWindowHeight(); }

void MainOptionsHost::options_window_changed() {
    apply_translucency(main_.state().settings, main_);
    main_.apply_size_limits();
}

void MainOptionsHost::options_update_tray() { main_.update_tray(); }

void MainOptionsHost::options_adapters_changed() {
    save_logs(main_.state(), main_.services());
    load_logs(main_.state(), main_.services());
    load_history(main_.state(), main_.services());
}

void MainOptionsHost::reset_session() {
    if (!confirm_session_reset(main_.services().dialogs)) return;
    ::reset_session(main_.state());
    update_cycle(main_.state(), main_.services(), main_, true);
}

void MainOptionsHost::reset_daily_logs() {
    if (::reset_daily_logs(main_.state(), main_.services(), main_))
        update_cycle(main_.state(), main_.services(), main_, true);
}

void MainOptionsHost::reset_minutely_logs() {
    const MinuteLogChange change = ::reset_minutely_logs(main_.state(), main_.services(), main_);
    // Switching minute logging off is stored at once, not only with OK or Apply.
    if (change.logging_switched_off && main_.services().settings_store)
        write_single_setting(*main_.services().settings_store, main_.state().settings, "MinuteLogging");
}

std::string MainOptionsHost::current_period_text(int variant, bool* warning) {
    const PeriodRange range = current_period_range(main_.state(), variant, main_.services().clock.now());
    if (warning) *warning = range.data_missing;
    const Locale* locale = main_.services().locale;
    return locale ? ::current_period_text(range, *locale) : ::current_period_text(range);
}

void MainOptionsHost::period_changed() { invalidate_period_totals(main_.state()); }

void MainOptionsHost::sync_button(const std::string& host) { main_.net().sync_button(host); }

void MainOptionsHost::set_sync_view(TimeSyncView* view) { main_.net().set_sync_view(view); }

void MainOptionsHost::sync_confirmed(bool set) { main_.net().sync_confirmed(set); }

ServiceManager* MainOptionsHost::options_service_manager() { return main_.service_manager(); }

void MainOptionsHost::show_message(QWidget* over, const std::string& text) {
    show_refusal(main_.services(), over, text);
}

void MainOptionsHost::options_closed() {
    main_.net().set_sync_view(nullptr);
    // Cancel reloads the settings: the page is kept in memory and in the store at once.
    main_.state().settings.OptionsPage = last_page.toStdString();
    main_.write_setting("OptionsPage");
    message_window_over(main_.services(), &main_);
    // The closed dialog goes, and its memory with it; the next open builds it anew.
    if (QWidget* dialog = main_.options_window()) dialog->deleteLater();
}

std::string MainOptionsHost::metrics_failure(const std::string& address, int port) {
    return main_.metrics().failure(address, port);
}

bool MainOptionsHost::minute_logging_changed(bool on) {
    const MinuteLogChange change = set_minute_logging(main_.state(), main_.services(), main_, on);
    // Switching minute logging off is stored at once, not only with OK or Apply.
    if (change.logging_switched_off && main_.services().settings_store)
        write_single_setting(*main_.services().settings_store, main_.state().settings, "MinuteLogging");
    return change.done;
}
