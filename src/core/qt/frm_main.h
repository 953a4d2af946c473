#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "core/application.h"
#include "core/program_state.h"
#include "platform/services.h"
#include "net/socket_actions.h"
#include "display/qt/main_window_drawing.h"
#include "platform/linux/linux_interface_table.h"
#include "platform/linux/sysfs_link_speed.h"
#include "platform/linux/system_clock.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_power.h"
#include "platform/qt/qt_shell.h"
#include "platform/qt/qt_sound.h"
#include "platform/qt/system_locale.h"
#include "settings/qt/frm_options.h"
#include "settings/qt/qt_settings_backend.h"
#include "platform/settings_hooks.h"

class MainOptionsHost;
class NetJobs;

class frmMsgBox;
class DbusNotifier;
class sckMail;
class QTimer;
class ServiceManager;
class MainWindowBehaviour;
class frmSysTray;
class SleepWatcher;
class MetricsServer;

struct StartOptions {
    bool minimized = false;    // "/minimized" on the command line
    std::string program_path;  // the running program, for the autostart entry; empty: no entry
};

// The main window: the Qt front-end of the application. It owns the platform services and
// the main timer, adds the window's steps to the start-up and shutdown, and draws the monitor.
class frmMain : public QWidget, public AppFrontEnd, public SettingWriter, public SettingsHooks {
    Q_OBJECT
public:
    explicit frmMain(StartOptions options, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up, in order; returns false when start-up ended the program (unknown stats format).
    bool Form_Load();
    // The orderly shutdown: logs saved, position saved, timer stopped, windows unloaded.
    void UnloadKVT();
    // Brings the window back from the tray or from behind other windows.
    void restore_window();
    // "E&xit": the orderly shutdown, or in service mode a request to stop the service (whose
    // stop event then shuts down).
    void exit_command();
    // The service manager's stop event: the final unload once the window has loaded.
    void service_stop_event();
    void set_service_manager(ServiceManager* manager) { service_manager_ = manager; }
    ServiceManager* service_manager() const { return service_manager_; }
    // "&Settings...": opens the options dialog, or brings its innermost open window forward.
    void open_options();
    frmOptions* options_window() const { return options_dialog_; }
    // Marks a run started by the service manager: the window starts minimised.
    void service_start_event();
    // Lays out and draws the items when `redraw` is true, then shows the back buffer.
    void RefreshScreen(bool redraw);
    // Applies the frame, sizes the window's height to the enabled items and sets the height's
    // drag limits.
    void FitWindowHeight();
    // The width limits from the graph history and the locked width.
    void apply_size_limits();
    const QImage& Backbuffer() const { return drawing_.Backbuffer(); }
    // A click on the tray icon (513 left, 516 right).
    void SysTray_Click(int message);
    // Hides the window to the tray; without a tray it is minimised, so it stays reachable.
    void minimise_window();
    // Pop-up menu entries whose windows come with the options dialog, the history window
    // and the about box.
    void mnuSettings_Click();
    void mnuHistory_Click();
    void mnuAbout_Click();

    ProgramState& state() { return state_; }
    Application& application() { return *app_; }
    Services& services() { return services_; }
    NetJobs& net() { return *net_; }

    // AppFrontEnd
    void window_start() override;
    void cycle_starting() override;
    void cycle_done() override;
    void desktop_colours_due() override;
    void remote_report_due() override;
    void run_ended() override;
    void adapter_lists_changed(int found) override;
    void log_notice(const std::string& text) override;
    void tell_user(const std::string& text) override;
    void update_tray() override;
    void refresh_screen() override;

    // SettingWriter
    void write_setting(const std::string& name) override;

    // SettingsHooks
    void set_translucent(int alpha) override;
    void set_transparent_background(bool on) override;
    std::optional<std::uint32_t> button_shadow_colour() override;
    std::optional<std::uint32_t> button_hilight_colour() override;
    void shrink_to_graph() override;
    void rebuild_display_list() override;
    void apply_window_style() override;
    void settings_saved() override;

    MetricsServer& metrics() { return *metrics_; }

signals:
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void on_timer();
    void arm_timer();
    void sync_window_info();
    void Form_Resize();
    void bar_graph_width_guard();

    StartOptions options_;
    LinuxInterfaceTable tables_;
    SystemClock clock_;
    MonotonicTicks ticks_;
    QtDialogs dialogs_;
    SystemLocale locale_;
    QtSettingsBackend settings_store_;
    QtPower power_;
    QtShell shell_;
    QtSound sound_;
    SysfsLinkSpeed link_speed_;
    StderrMessages messages_;
    Services services_;
    std::unique_ptr<Application> app_;
    ProgramState& state_;  // the application's
    sckMail* sckMail_ = nullptr;
    frmMsgBox* msg_box_ = nullptr;
    DbusNotifier* notifier_ = nullptr;
    QTimer* MainLoop = nullptr;
    NetJobs* net_ = nullptr;  // sckTime, sckServer, Winsock and the update window
    MetricsServer* metrics_ = nullptr;  // the metrics endpoint, on while MetricsPort is set
    ServiceManager* service_manager_ = nullptr;
    std::unique_ptr<MainOptionsHost> options_host_;
    QPointer<frmOptions> options_dialog_;
    MainWindowDrawing drawing_;
    MainWindowBehaviour* behaviour_ = nullptr;
    frmSysTray* SysTray = nullptr;
    SleepWatcher* sleep_watcher_ = nullptr;
    bool drawing_ready_ = false;  // the window has its first size; resizes redraw from now on
    int title_bar_height_ = 0;
    int fitted_rows_height_ = 0;  // the fixed rows the window height was last fitted to
};
