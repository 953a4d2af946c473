#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "history/history_list.h"
#include "history/history_rows.h"
#include "history/stats_record.h"
#include "platform/services.h"

// What a history window reads and where it stores its settings; the Qt and the Win32 window
// take the same.
struct HistoryWindowContext {
    Settings& settings;        // the window's place, sort state, column widths, export format
    const StatsRecord& stats;  // the logged adapters and the logging start
    bool& window_open;         // told to the tray and the window stacking
    Services& services;
    std::shared_ptr<const DailyAmounts> log;
    // The interface names of adapters 0..n as the lists show them (element 0 unused), for the
    // Totals labels, the adapter line and the exports.
    std::function<std::vector<std::string>(int count)> adapter_names;
    // Stores settings values at once (the window's place, sort state, column widths, export
    // format). Without it the values change in memory only.
    std::function<void(const SettingValues&)> write_settings;
};

// The locale of the window's texts: the services' one, else `fallback`.
const Locale& history_locale(const HistoryWindowContext& ctx, const Locale& fallback);

// The row table of `tab` for history adapter `adapter`, the Totals rows labelled with their
// adapters' names; unsorted (build order).
HistoryRows history_window_rows(const HistoryWindowContext& ctx, HistoryTab tab, int adapter, const Locale& locale);

// The interface name of adapter `adapter` as the lists show it ("" for the aggregate).
std::string history_adapter_name(const HistoryWindowContext& ctx, int adapter);
// The line above the list naming the adapter the history tabs show.
std::string history_adapter_line(HistoryTab tab, int adapter, const std::string& name);

// Writes the list as shown (its headers and items) to `path` in format 1 (text) or 2 (HTML)
// and remembers the format; a file that cannot be written is reported in a message box and
// nothing else changes. False then.
bool export_history_list(const HistoryWindowContext& ctx, const std::string& path, int format, HistoryTab tab,
                         int adapter, const std::array<std::string, 4>& headers, const HistoryItems& items,
                         const Locale& locale);
// The bytes `export_history_list` writes.
std::string history_list_report(const HistoryWindowContext& ctx, int format, HistoryTab tab, int adapter,
                                const std::array<std::string, 4>& headers, const HistoryItems& items,
                                const Locale& locale);

// Stores values of a history window in the settings store.
void write_history_settings(Services& services, const SettingValues& values);
