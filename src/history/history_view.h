#pragma once

#include <array>
#include <string>

#include "settings/adapter_slots.h"

// Only references: the types are declared, so that a header naming a view does not bring in
// the history's and the measurement's own headers.
struct AdapterState;
struct AdapterTables;
struct InterfaceReadings;
struct Settings;
struct StatsRecord;
class TrafficHistory;
using AdapterTable = std::array<AdapterState, kAdapterSlots>;

// What the history reads, for queries: its own record and tables, the settings, the data
// folder and the live adapters (the session amounts are theirs).
struct HistoryQuery {
    const Settings& settings;
    const StatsRecord& stats;
    const TrafficHistory& traffic;
    const AdapterTable& adapters;
    const std::string& data_dir;

    // Adapter slots with live state: the logged adapter count, at most 15.
    int live_adapter_count() const;
};

// What loading, saving and retiring the logs change (the record, the tables, and the counter
// state of a retired adapter) and what they read of the measurement: the interfaces found,
// their numbering and readings, which the saved logs are taken at.
struct HistoryView {
    const Settings& settings;
    StatsRecord& stats;
    TrafficHistory& traffic;
    AdapterTable& adapters;
    const std::string& data_dir;
    const std::string& boot_id;
    const InterfaceReadings& interface_readings;
    const AdapterTables& table_messages;
    const int& found_adapters;

    int live_adapter_count() const;
    operator HistoryQuery() const { return {settings, stats, traffic, adapters, data_dir}; }
};
