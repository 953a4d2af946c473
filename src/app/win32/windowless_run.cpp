#include "app/win32/windowless_run.h"

#include <cstdio>
#include <memory>

#include "app/win32/main_window.h"
#include "app/win32/net_jobs.h"
#include "app/win32/session_window.h"
#include "core/application.h"
#include "history/log_store.h"
#include "net/program_metrics.h"
#include "platform/win32/data_folder.h"
#include "platform/win32/logging_lock.h"
#include "platform/win32/message_window.h"
#include "platform/win32/metrics_listener.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_interface_table.h"
#include "platform/win32/win32_mail_socket.h"
#include "platform/win32/win32_service.h"
#include "platform/win32/win32_text.h"

void StopSwitch::request() {
    requested_.store(true);
    if (const MessageWindow* window = window_.load()) window->post(kStopMessage);
}

void StopSwitch::attach(const MessageWindow* window) {
    window_.store(window);
    if (window != nullptr && requested_.load()) window->post(kStopMessage);
}

MsgResult ConsoleDialogs::message_box(const MessageBoxRequest& r) {
    if (window != nullptr) return window->message_box(r);
    std::fprintf(stderr, "kelvanto: %s\n", r.text.c_str());
    return r.buttons == MsgButtons::yes_no ? MsgResult::no : MsgResult::ok;
}

namespace {

// The run's front-end: the network jobs, and the main window's hooks when there is one.
class RunFrontEnd : public AppFrontEnd {
public:
    bool ended = false;
    NetJobs* net = nullptr;
    AppFrontEnd* window = nullptr;
    void window_start() override {
        if (window != nullptr) window->window_start();
    }
    void cycle_starting() override {
        if (window != nullptr) window->cycle_starting();
    }
    void run_ended() override {
        ended = true;
        if (window != nullptr) window->run_ended();
    }
    void cycle_done() override {
        if (net != nullptr) net->cycle_check();
        if (window != nullptr) window->cycle_done();
    }
    void desktop_colours_due() override {
        if (window != nullptr) window->desktop_colours_due();
    }
    void remote_report_due() override {
        if (net != nullptr) net->start_report();
    }
    void log_notice(const std::string& text) override { std::fprintf(stderr, "kelvanto: %s\n", text.c_str()); }
    void tell_user(const std::string& text) override {
        if (window != nullptr) window->tell_user(text);
        else AppFrontEnd::tell_user(text);
    }
    void adapter_lists_changed(int found) override {
        if (window != nullptr) window->adapter_lists_changed(found);
    }
    void update_tray() override {
        if (window != nullptr) window->update_tray();
    }
    void refresh_screen() override {
        if (window != nullptr) window->refresh_screen();
    }
};

// Everything one run owns, on the heap (the program state alone is too large for a stack).
struct LoggingRun {
    Win32InterfaceTable tables;
    Win32Clock clock;
    Win32Ticks ticks;
    ConsoleDialogs dialogs;
    EnglishLocale locale;
    RegistrySettings settings;
    Win32Power power;
    Win32Shell shell;
    Win32Sound sound;
    StderrMessages messages;
    RunFrontEnd front;
    Services services{tables, clock, dialogs, &locale};
    Application app{services, front};
    Win32MailSocket mail{app.state().alerts.mail};
    NetJobs net{app.state(), clock, locale, settings};
    std::unique_ptr<MetricsListener> metrics;

    LoggingRun() {
        services.settings_store = &settings;
        services.power = &power;
        services.shell = &shell;
        services.sound = &sound;
        services.link_speed = &tables;
        services.mail_socket = &mail;
        services.messages = &messages;
        front.net = &net;
    }
};

std::string quoted_program() { return "\"" + program_path() + "\""; }

enum class Logging { ours, elsewhere, no_answer };

// Waits for the logging of the data folder: a desktop start takes it from the service.
Logging wait_for_logging(RunRole role, LoggingLock& lock, Win32ServiceManager& service) {
    if (lock.take()) return Logging::ours;
    if (role == RunRole::service || !service.is_running()) return Logging::elsewhere;
    service.stop();
    // The service saves its logs before it lets go.
    return lock.take(20000) ? Logging::ours : Logging::no_answer;
}

}  // namespace

int run_logging(RunRole role, StopSwitch& stop, const WindowStart* window_start) {
    AppPlaces places;
    places.data_dir = windows_data_folder();
    places.program_path = program_path();
    LoggingLock lock(places.data_dir);
    Win32ServiceManager service(quoted_program() + " --service");
    switch (wait_for_logging(role, lock, service)) {
        case Logging::ours: break;
        case Logging::elsewhere:
            // Another copy logs here: a desktop start brings its window forward, if it has one.
            if (role == RunRole::desktop) bring_forward_running_instance();
            return 0;
        case Logging::no_answer:
            std::fputs("kelvanto: another copy is running but does not answer\n", stderr);
            return 1;
    }

    const auto run = std::make_unique<LoggingRun>();
    Application& app = run->app;
    MessageWindow loop([&app](unsigned message, std::uintptr_t, std::intptr_t) {
        if (message == kStopMessage) app.stop_event();
    });
    SessionWindow session({[&stop] { stop.request(); }, [&app] { app.stop_event(); },
                           [&app, &run] {
                               if (app.timer_enabled()) save_logs(app.state(), run->services);
                           }});
    stop.attach(&loop);
    places.first_day_of_week = run->locale.first_day_of_week();
    if (role == RunRole::service) app.state().running_as_service = true;
    run->metrics = std::make_unique<MetricsListener>(
        [&app, &run] { return program_metrics_text(app.state(), run->services); });
    std::unique_ptr<MainWindow> window;
    if (window_start != nullptr && role == RunRole::desktop) {
        window = std::make_unique<MainWindow>(
            MainWindow::Parts{app, run->locale, run->settings, places.data_dir, window_start->minimized, &run->net, &service,
                              run->metrics.get()});
        run->services.settings_hooks = window.get();
        run->services.msg_box = &window->message_box();
        run->dialogs.window = &window->dialogs();
        run->front.window = window.get();
    }
    if (!app.start(places, window != nullptr)) {
        stop.attach(nullptr);
        return 0;
    }
    if (app.state().settings.CheckForUpdate) run->net.start_update_check();
    const std::string failure = run->metrics->configure(app.state().settings.MetricsAddress,
                                                        app.state().settings.MetricsPort);
    if (!failure.empty()) std::fprintf(stderr, "kelvanto: %s\n", failure.c_str());

    // One single-shot timer, set again after each event for the next job that is due.
    std::function<void()> arm;
    arm = [&] {
        const std::int32_t wait = app.wait_ms(run->ticks.tick_ms());
        if (wait < 0) return;
        loop.start_timer(wait, [&] {
            app.timer_event(run->ticks.tick_ms());
            arm();
        });
    };
    arm();
    while (!pump_messages([&run] { return run->front.ended; }, 1 << 30)) {
    }
    loop.stop_timer();
    stop.attach(nullptr);
    run->metrics.reset();
    // A desktop run hands the logging back to the service at its end, when they share the
    // data folder (the service's run sets no KELVANTO_HOME).
    // The logs are saved: the lock goes first, or the service would find the folder taken.
    lock.release();
    if (role == RunRole::desktop && environment_value("KELVANTO_HOME").empty()) service.start_if_enabled();
    return 0;
}
