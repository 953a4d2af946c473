#include "app/service/windowless_run.h"

#include <QDBusConnection>
#include <QTimer>
#include <cstdio>

#include "alerts/qt/sck_mail.h"
#include "net/program_metrics.h"
#include "net/qt/metrics_server.h"
#include "net/qt/net_clients.h"
#include "platform/linux/boot_identity.h"
#include "platform/linux/zero_pages.h"
#include "platform/qt/data_folder.h"
#include "platform/qt/dbus_notifier.h"
#include "platform/qt/sleep_watcher.h"
#include "settings/settings_store.h"

WindowlessRun::WindowlessRun(std::string program_path, bool service_run, QObject* parent)
    : QObject(parent),
      program_path_(std::move(program_path)),
      service_run_(service_run),
      services_{tables_, clock_, dialogs_, &locale_},
      app_(std::make_unique<Application>(services_, *this)) {
    ProgramState& s = app_->state();
    s.running_as_service = service_run;
    services_.settings_store = &settings_store_;
    services_.settings_hooks = this;
    services_.power = &power_;
    services_.shell = &shell_;
    services_.sound = &sound_;
    services_.link_speed = &link_speed_;
    services_.msg_box = &msg_box_;
    services_.messages = &messages_;
    mail_socket_ = new sckMail(s.alerts.mail, this);
    services_.mail_socket = mail_socket_;
    // A notification reaches a desktop session where one runs on the bus; else the journal.
    notifier_ = new DbusNotifier(
        QDBusConnection::sessionBus(),
        [this](const std::string& title, const std::string& text) { messages_.line(title + ": " + text); }, this);
    services_.notifier = notifier_;
    net_ = new NetClients(s, clock_, locale_, this, NetOverrides::from_environment(), this);
    metrics_ = new MetricsServer([this] { return program_metrics_text(app_->state(), services_); }, this);

    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    // Never early: an early wake-up would find nothing due and cost a second one.
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &WindowlessRun::on_timer);

    // A machine that goes to sleep may never wake: the logs are saved first.
    sleep_watcher_ = new SleepWatcher(this);
    connect(sleep_watcher_, &SleepWatcher::about_to_sleep, this, [this] { app_->save_before_sleep(); });
}

WindowlessRun::~WindowlessRun() = default;

bool WindowlessRun::start() {
    AppPlaces places;
    places.data_dir = data_folder();
    places.config_dir = user_config_folder();
    places.program_path = program_path_;
    places.boot_id = boot_identity();
    places.first_day_of_week = locale_.first_day_of_week();
    if (!app_->start(places, false)) return false;
    // Most of the program state is graph buffers and day tables nobody draws here: their
    // untouched pages need not stay resident.
    trim_heap();
    release_zero_pages(&app_->state(), sizeof(ProgramState));
    release_start_up_code();
    timer_->start(0);
    return true;
}

std::string WindowlessRun::start_line() const {
    const ProgramState& s = app_->state();
    const int seconds = s.timer.cycle_period_ms / 1000;
    std::string line = service_run_ ? "service run: logging" : "running without a window, logging";
    line += " the traffic of " + std::to_string(s.found_adapters) +
            (s.found_adapters == 1 ? " adapter" : " adapters") + " to " + s.data_dir + "Stats/";
    line += seconds == 1 ? ", read every second" : ", read every " + std::to_string(seconds) + " s";
    line += " and saved every " + std::to_string(s.settings.LogWriteInt) +
            (s.settings.LogWriteInt == 1 ? " minute" : " minutes");
    if (s.settings.MinuteLogging != 0) line += ", minute log on";
    return line;
}

void WindowlessRun::stop_event() { app_->stop_event(); }

void WindowlessRun::arm_timer() {
    const std::int32_t wait = app_->wait_ms(ticks_.tick_ms());
    if (wait >= 0) timer_->start(wait);
}

void WindowlessRun::on_timer() {
    app_->timer_event(ticks_.tick_ms());
    arm_timer();
}

void WindowlessRun::cycle_done() { net_->cycle_check(); }

void WindowlessRun::remote_report_due() { net_->start_report(); }

void WindowlessRun::run_ended() {
    timer_->stop();
    emit ended();
}

void WindowlessRun::log_notice(const std::string& text) { messages_.line(text); }

void WindowlessRun::settings_saved() {
    const ProgramState& s = app_->state();
    const std::string failure = metrics_->configure(s.settings.MetricsAddress, s.settings.MetricsPort);
    if (!failure.empty()) messages_.line(failure);
}

void WindowlessRun::write_setting(const std::string& name) {
    write_single_setting(settings_store_, app_->state().settings, name);
}
