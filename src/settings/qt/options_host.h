#pragma once

#include <QString>
#include <functional>
#include <string>

#include "alerts/alert_view.h"
#include "alerts/mail_settings_check.h"
#include "display/display_view.h"
#include "history/history_view.h"
#include "measure/ip_statistics.h"
#include "measure/rates_view.h"
#include "net/time_sync.h"
#include "settings/settings.h"

class QWidget;
class ServiceManager;
class TimeSyncView;
struct Services;

// What the options pages read and change of the running program.
struct OptionsView {
    Settings& settings;
    const std::string& data_dir;
    const std::string& program_path;
    const bool& program_in_build_folder;
    const bool& running_as_service;
    const StatsRecord& stats;        // the logging start date
    const CycleFigures& cycle;       // the logging time
    const TimeSyncState& time_sync;  // the last synchronisation's outcome
    AdapterTables& table_messages;   // the adapter lists read the interface table through it
    int& known_adapter_count;
    std::string& ip_text;            // the monitored adapter's address text
    DisplayView display;             // the item pages
    AlertView rules;                 // the alert page and its editors

    operator DisplayView() const { return display; }
    operator AlertView() const { return rules; }
    operator HistoryQuery() const { return display.history; }
};

// What the options dialog and its pages ask of the running program. The main window
// answers; every command it does not know yet does nothing.
class OptionsHost {
public:
    virtual ~OptionsHost() = default;
    // The dialog opened and will report over `dialog` until it closes.
    virtual void options_opened(QWidget* /*dialog*/) {}
    virtual OptionsView options_state() = 0;
    virtual Services& options_services() = 0;
    // Live preview: recompute and redraw with the in-memory settings.
    virtual void options_preview() = 0;
    // OK and Apply: store every setting (and the rules).
    virtual void options_store() = 0;
    // Cancel: reload the stored settings, lay the window out again, save and reload the logs.
    virtual void options_discard() = 0;
    // The main window's frame and height follow its items.
    virtual void options_fit_window_height() {}
    // The main window takes its translucency, see-through background and size limits.
    virtual void options_window_changed() {}
    // The tray icon shows the in-memory settings.
    virtual void options_update_tray() {}
    // The adapter selection or the logging settings changed.
    virtual void options_adapters_changed() {}
    virtual void reset_daily_logs() {}
    virtual void reset_minutely_logs() {}
    virtual void reset_session() {}
    // The time page's "&Sync" / "Ca&ncel" button with the host text of its server box.
    virtual void sync_button(const std::string& /*host*/) {}
    // Where the time synchronisation reports while the dialog is open.
    virtual void set_sync_view(TimeSyncView* /*view*/) {}
    // The answer to the time page's question whether to set a time far from the clock.
    virtual void sync_confirmed(bool /*set*/) {}
    virtual ServiceManager* options_service_manager() { return nullptr; }
    // The user-defined period's current range for a variant, and whether data is missing.
    virtual std::string current_period_text(int /*variant*/, bool* warning) {
        if (warning) *warning = false;
        return {};
    }
    // The user-defined period changed: totals are computed afresh.
    virtual void period_changed() {}
    // Checks the mail settings before storing; the field at fault, or none. A refusal has been
    // shown to the user.
    virtual MailField check_mail_settings() { return MailField::none; }
    // A message in the program's message window over the dialog.
    virtual void show_message(QWidget* /*over*/, const std::string& /*text*/) {}
    virtual void options_closed() {}
    // Why the metrics endpoint does not serve on `address` and `port` although it is set to;
    // empty while it serves there (or is set otherwise).
    virtual std::string metrics_failure(const std::string& /*address*/, int /*port*/) { return {}; }
    // "Minutely logging" was switched: the minutely log starts or stops (switched off, it is
    // stored at once). False when the user cancelled and the setting stays as it was.
    virtual bool minute_logging_changed(bool /*on*/) { return true; }

    // The page the dialog showed last (kept in the settings over restarts).
    QString last_page;
};
