#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "alerts/alert_state.h"
#include "alerts/alert_view.h"
#include "settings/form_item.h"
#include "display/display_view.h"
#include "display/window_behaviour.h"
#include "history/stats_record.h"
#include "history/traffic_history.h"
#include "measure/adapter_state.h"
#include "measure/interface_readings.h"
#include "measure/ip_statistics.h"
#include "measure/rates_view.h"
#include "history/history_view.h"
#include "platform/window_info.h"
#include "net/net_jobs_view.h"
#include "net/metrics_view.h"
#include "net/remote_report.h"
#include "net/time_sync.h"
#include "net/update_check.h"
#include "settings/program_places.h"
#include "settings/settings.h"
#include "settings/settings_store.h"

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

// Program-wide state, owned by the application object; the subsystems see it through their
// views only.
struct ProgramState : ProgramPlaces {
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
    bool main_window_loaded = false;
    bool exiting = false;
    bool running_as_service = false;
    bool history_window_open = false;    // the history window is shown (tray, always on top)

    // Number of adapter slots with live state: the logged adapter count, at most 15.
    int live_adapter_count() const {
        const int n = stats.adapter_count();
        return n < kMaxAdapters ? n : kMaxAdapters;
    }

    // The subsystems' views of the state: each reads and changes only what it names.
    operator RatesView() { return {settings, adapters, cycle, window, live_adapter_count()}; }
    operator RatesQuery() const { return {settings, adapters, cycle}; }
    operator HistoryView() {
        return {settings, stats, traffic, adapters, data_dir, boot_id, interface_readings, table_messages, found_adapters};
    }
    operator HistoryQuery() const { return {settings, stats, traffic, adapters, data_dir}; }
    operator NetJobsView() { return {settings, time_sync, remote_report, update_check}; }
    operator SettingsView() { return {settings, *this, found_adapters, window}; }
    operator DisplayView() { return {settings, display_list, adapters, window, *this, found_adapters}; }
    operator TrayQuery() const { return {settings, adapters}; }
    operator MetricsView() { return {*this, *this, table_messages}; }
    operator AlertView() {
        return {alerts, settings, *this, *this, counter_runtime, table_messages, found_adapters, data_dir};
    }
};
