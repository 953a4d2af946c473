#pragma once

#include "core/program_state.h"
#include "settings/qt/options_host.h"

class frmMain;

// The options pages' view of the program's state.
OptionsView options_view(ProgramState& state);

// The options dialog's view of the running program: the main window's state, its refresh,
// storing and reloading the settings, and the commands of the reset, service and time pages.
class MainOptionsHost : public OptionsHost {
public:
    // The dialog opens on the page it showed when it was closed last, in this run or before.
    explicit MainOptionsHost(frmMain& main);

    OptionsView options_state() override;
    Services& options_services() override;
    // The program's message window shows over the dialog while it is open.
    void options_opened(QWidget* dialog) override;
    void options_preview() override;
    // OK and Apply: the settings and the working rules are stored; the rules become live,
    // and the window takes its frame, height and translucency.
    void options_store() override;
    // A switched-on rule that sends mail needs plausible mail settings.
    MailField check_mail_settings() override;
    void options_discard() override;
    void options_fit_window_height() override;
    void options_window_changed() override;
    void options_update_tray() override;
    void options_adapters_changed() override;
    void reset_session() override;
    void reset_daily_logs() override;
    void reset_minutely_logs() override;
    std::string current_period_text(int variant, bool* warning) override;
    void period_changed() override;
    void sync_button(const std::string& host) override;
    void set_sync_view(TimeSyncView* view) override;
    void sync_confirmed(bool set) override;
    ServiceManager* options_service_manager() override;
    void show_message(QWidget* over, const std::string& text) override;
    void options_closed() override;
    std::string metrics_failure(const std::string& address, int port) override;
    bool minute_logging_changed(bool on) override;

private:
    frmMain& main_;
};
