#pragma once

#include <string>
#include <vector>

#include "history/history_view.h"
#include "measure/rates_view.h"

struct AlertState;
struct CounterRuntime;

// What the alert rules change (their tables, evaluation state and mail) and what they read:
// the period totals, the rates, the adapters found and their interfaces (for the connection
// speed), the settings and the data folder (rules are stored one file each).
struct AlertView {
    AlertState& alerts;
    const Settings& settings;
    HistoryQuery history;
    RatesQuery rates;
    const std::vector<CounterRuntime>& counter_runtime;
    AdapterTables& table_messages;
    const int& found_adapters;
    const std::string& data_dir;

    operator HistoryQuery() const { return history; }
    operator RatesQuery() const { return rates; }
};
