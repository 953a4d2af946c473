#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "alerts/alert_state.h"
#include "settings/form_item.h"
#include "display/window_behaviour.h"
#include "history/stats_record.h"
#include "history/traffic_history.h"
#include "measure/adapter_state.h"
#include "measure/interface_readings.h"
#include "measure/ip_statistics.h"
#include "net/remote_report.h"
#include "net/time_sync.h"
#include "net/update_check.h"
#include "settings/settings.h"

// Figures of the update cycle, all zero at start.
struct CycleFigures {
    double cycle_seconds = 1.0;
    double last_timer_seconds = 0.0;  // the steady clock at the previous cycle; 0 before the first
    double total_seconds = 0.0;
    double session_seconds = 0.0;
    std::int32_t sample_count = 0;
    std::uint8_t cycles_run = 0;
    bool session_reset_pending = false;
};

// Tick stamps of the four timed jobs.
struct TimerStamps {
    std::int32_t last_cycle_tick = 0;
    std::int32_t last_log_tick = 0;
    std::int32_t last_colour_tick = 0;
    std::int32_t last_report_tick = 0;
    // How often the update cycle samples: once a second, less often in a run without a
    // window while nothing needs the rates.
    std::int32_t cycle_period_ms = 1000;
};

// What the last read found for an adapter, not stored.
struct CounterRuntime {
    std::string description;  // the interface read in this slot by the last cycle, "" if none
};

// What the core needs to know about the main window.
struct WindowInfo {
    bool visible = false;
    bool minimized = false;
    int client_width = 199;
    int client_height = 0;
};

// Program-wide state, owned by the application object and handed to the procedures.
struct ProgramState {
    Settings settings;
    AdapterTable adapters;
    StatsRecord stats;
    TrafficHistory traffic;  // day tables, minutes, history table and period cache
    std::vector<CounterRuntime> counter_runtime;  // element k is adapter k + 1
    InterfaceReadings interface_readings;         // every interface's last counters, by index
    AdapterTables table_messages;                 // adapter numbers and the table messages shown
    int known_adapter_count = 0;
    int found_adapters = 0;
    std::string ip_text;
    CycleFigures cycle;
    TimerStamps timer;
    WindowInfo window;
    TimeSyncState time_sync;
    RemoteReportState remote_report;
    UpdateCheckState update_check;
    WindowBehaviourState window_behaviour;  // frame allowances, track heights, layered flag
    std::vector<FormItem> display_list;  // the items the main window draws, item i at i - 1
    AlertState alerts;                   // rule tables, evaluation state, mail sender and queue
    std::string boot_id;                 // this boot and network namespace; "" when not known
    std::string data_dir;                // folder holding "Stats/" and "Preset.ini", ends in '/'
    std::string config_dir;              // folder holding "autostart/"; empty: no autostart entry
    std::string program_path;            // the program file the autostart entry starts
    bool program_in_build_folder = false;  // started from a build folder, not an installed copy
    // Autostart and AutoStartMinimized as last loaded or saved: a program in a build folder
    // changes the autostart entry only when the user changes one of them.
    std::uint8_t autostart_as_stored = 0;
    std::uint8_t autostart_minimized_as_stored = 0;
    bool main_window_loaded = false;
    bool exiting = false;
    bool running_as_service = false;
    bool history_window_open = false;    // the history window is shown (tray, always on top)

    // Number of adapter slots with live state: the logged adapter count, at most 15.
    int live_adapter_count() const {
        const int n = stats.adapter_count();
        return n < kMaxAdapters ? n : kMaxAdapters;
    }
};
