#pragma once

#include <optional>
#include <string>

#include "history/history_view.h"

class Locale;

// The data cap of the user-defined period (CapAmount in CapUnit; 0 = no cap): how much of it
// an adapter has used, and where the period ends up at the pace of its days so far.

inline constexpr int kCapUnits = 4;
// "KB", "MB", "GB", "TB" for CapUnit 0..3.
const char* cap_unit_text(int unit);
// The cap in bytes; 0 when no cap is set.
double cap_bytes(const Settings& settings);
// "50 GB": the cap as entered.
std::string cap_amount_text(const Settings& settings);

struct CapStatus {
    double cap = 0.0;    // bytes; 0: no cap
    double used = 0.0;   // bytes received and sent in the user-defined period
    double share = 0.0;  // percent of the cap used
    // Bytes the period reaches at its last day if the average of its days with data so far
    // goes on. Nothing before two days with data, and for periods without a last day.
    std::optional<double> pace;
};
CapStatus cap_status(HistoryQuery state, int adapter, double now);
// The same from the logs on disk alone, for a report beside the running program or without
// it: today counts as its daily and minutely files hold it.
CapStatus cap_status_from_logs(HistoryView state, int adapter, double now);

// The share's warning level: below 80 %, from 80 %, from 100 % (the cap reached).
enum class CapLevel { normal, warning, reached };
CapLevel cap_level(double share);

// "12.30 GB of 50 GB, 25 %" (the amount in the main window's unit and decimals, the share in
// whole percent, rounded down).
std::string cap_text(const CapStatus& status, const Settings& settings, const Locale& locale);
// "at this pace 61.2 GB", or empty without a pace.
std::string pace_text(const CapStatus& status, const Settings& settings, const Locale& locale);
