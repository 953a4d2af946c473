#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history/history_export.h"
#include "history/history_rows.h"
#include "settings/settings.h"

// "kelvanto --report totals|daily|weekly|monthly|yearly [--html] [--adapter N]".
struct ReportRequest {
    HistoryTab tab = kTabTotals;
    int format = kExportText;
    std::optional<int> adapter;  // the history adapter; the settings' Adapter when not given
};
inline constexpr const char* kReportUsage =
    "Usage: kelvanto --report totals|daily|weekly|monthly|yearly [--html] [--adapter N]\n";

// Whether the command line asks for a report at all (holds one of its options).
bool wants_report(const std::vector<std::string>& args);
// The request of the arguments after the program name; nothing when they are not a valid
// report command (unknown or repeated options, a missing or unknown tab, N not a number 0..99).
std::optional<ReportRequest> parse_report_arguments(const std::vector<std::string>& args);

// The export of a tab as the history window lists it with the tab's default sort: rows from
// `source`, the Totals labels from `addresses`, amounts in the history unit of `settings`.
std::string history_report(HistoryTab tab, int format, const HistoryRowSource& source,
                           const std::vector<std::string>& addresses, const Settings& settings);
