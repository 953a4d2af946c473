#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "app/service/windowless_services.h"
#include "core/application.h"
#include "net/socket_actions.h"
#include "platform/linux/linux_interface_table.h"
#include "platform/linux/sysfs_link_speed.h"
#include "platform/linux/system_clock.h"
#include "platform/qt/qt_power.h"
#include "platform/qt/system_locale.h"
#include "settings/qt/qt_settings_backend.h"
#include "platform/settings_hooks.h"

class DbusNotifier;
class MetricsServer;
class NetClients;
class QTimer;
class SleepWatcher;
class sckMail;

// The front-end of a run without a window: the platform services on Qt Core, Network and
// D-Bus, and one timer that sleeps until the application's next job. It logs, evaluates the
// rules, sends mail, serves the metrics endpoint and makes the network jobs like a desktop
// run; what needs a screen is refused with a line on standard error.
class WindowlessRun : public QObject, public AppFrontEnd, public SettingsHooks, public SettingWriter {
    Q_OBJECT
public:
    // `program_path`: the monitor's program (for the autostart entry), not this one.
    explicit WindowlessRun(std::string program_path, bool service_run, QObject* parent = nullptr);
    ~WindowlessRun() override;

    // The start-up; false when it ended the program. Then the timer runs.
    bool start();
    // SIGTERM, the service manager's stop and a desktop run taking the logging over.
    void stop_event();
    Application& application() { return *app_; }
    // One line for the program's log: what this run logs, where and how often.
    std::string start_line() const;

    // AppFrontEnd
    void cycle_done() override;
    void remote_report_due() override;
    void run_ended() override;
    void log_notice(const std::string& text) override;

    // SettingsHooks
    void settings_saved() override;

    // SettingWriter
    void write_setting(const std::string& name) override;

signals:
    void ended();

private:
    void arm_timer();
    void on_timer();

    std::string program_path_;
    bool service_run_;
    LinuxInterfaceTable tables_;
    SystemClock clock_;
    MonotonicTicks ticks_;
    StderrMessages messages_;
    ConsoleDialogs dialogs_;
    ConsoleMessageBox msg_box_{messages_};
    WindowlessShell shell_{messages_};
    WindowlessSound sound_{messages_};
    SystemLocale locale_;
    QtSettingsBackend settings_store_;
    QtPower power_;
    SysfsLinkSpeed link_speed_;
    Services services_;
    std::unique_ptr<Application> app_;
    QTimer* timer_ = nullptr;
    sckMail* mail_socket_ = nullptr;
    DbusNotifier* notifier_ = nullptr;
    NetClients* net_ = nullptr;
    MetricsServer* metrics_ = nullptr;
    SleepWatcher* sleep_watcher_ = nullptr;
};
