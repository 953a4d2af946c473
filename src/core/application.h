#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/program_state.h"
#include "platform/services.h"

// Where a run keeps its files and what it knows of its machine, found by the front-end
// before the start-up (each platform finds them its own way).
struct AppPlaces {
    std::string data_dir;      // holds "Stats/" and "Preset.ini", ends in '/'
    std::string config_dir;    // holds "autostart/"; empty: no autostart entry
    std::string program_path;  // the running program, for the autostart entry
    std::string boot_id;       // this boot and network namespace; "" when not known
    int first_day_of_week = 1;
};

// What the application asks of its front-end (a window, a tray, or nothing at all) beside
// the update cycle's own calls. Every hook does nothing by default, which is the windowless
// run's answer.
class AppFrontEnd : public CycleHooks {
public:
    // The window's steps of the start-up, once settings, logs and history are loaded: frame,
    // size and place, the update check. Not called in a run without a window.
    virtual void window_start() {}
    // Before each update cycle of the timer: the window's visibility and size for the core.
    virtual void cycle_starting() {}
    // After each update cycle with its rules and mail: the time jobs, the window's frame.
    virtual void cycle_done() {}
    // After a log save and each colour refresh: the desktop's colours may have changed.
    virtual void desktop_colours_due() {}
    // The remote report is due and RemoteOut is set.
    virtual void remote_report_due() {}
    // The orderly shutdown has saved the logs: the window saves its place, the tray icon
    // goes, the event loop is to end.
    virtual void run_ended() {}
};

// How often a run without a window samples while nothing needs the rates (no switched-on
// rate rule, no metrics endpoint, no minute log). The counters are cumulative, so a longer
// cycle books the same bytes, only in fewer steps.
inline constexpr std::int32_t kQuietCyclePeriodMs = 10000;
std::int32_t windowless_cycle_period_ms(const ProgramState& s);

// The composition root without a toolkit: owns the program state (on the heap, it is large),
// runs the start-up, the timer's jobs and the orderly shutdown over the platform services
// and the front-end it is given. The front-end owns the event loop and its single timer: it
// asks `wait_ms` how long to sleep and calls `timer_event` when the time is up.
class Application {
public:
    Application(Services& services, AppFrontEnd& front);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    ProgramState& state() { return *state_; }
    const ProgramState& state() const { return *state_; }
    Services& services() { return services_; }

    // The start-up in order; false when it ended the program (an unknown stats format, or a
    // stop that arrived meanwhile). `with_window` runs the front-end's window steps.
    bool start(const AppPlaces& places, bool with_window);
    // Milliseconds until the next job is due, -1 while the timer is off.
    std::int32_t wait_ms(std::int32_t tick_now) const;
    // Runs the jobs due at `tick_now`: cycle, rules, mail, log save, colours, remote report.
    void timer_event(std::int32_t tick_now);
    // The orderly shutdown: a last sample, logs saved, mail given up, timer off.
    void unload();
    // The service manager's stop event (also SIGTERM and the hand-over to a desktop run).
    void stop_event();
    // A sample now, then the logs saved: before the machine sleeps (it may never wake).
    void save_before_sleep();
    bool timer_enabled() const { return timer_enabled_; }
    bool loading() const { return loading_; }

private:
    Services& services_;
    AppFrontEnd& front_;
    std::unique_ptr<ProgramState> state_;
    bool timer_enabled_ = false;
    bool loading_ = false;          // start() is running
    bool stop_after_load_ = false;  // a stop arrived meanwhile
};
