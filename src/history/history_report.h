#pragma once

#include <optional>
#include <string>
#include <vector>

#include "history/history_data_report.h"
#include "history/history_export.h"
#include "history/history_rows.h"
#include "settings/settings.h"

// "kelvanto --report totals|daily|weekly|monthly|yearly [--html|--json|--csv] [--adapter N]".
// Text and HTML are the history window's exports; JSON and CSV the data for scripts.
enum ReportFormat : int { kReportText = kExportText, kReportHtml = kExportHtml, kReportJson = 3, kReportCsv = 4 };
struct ReportRequest {
    HistoryTab tab = kTabTotals;
    int format = kReportText;
    std::optional<int> adapter;  // the history adapter; the settings' Adapter when not given
    std::string retired;         // the retired interface whose history is reported, or ""
};
inline constexpr const char* kReportUsage =
    "Usage: kelvanto --report totals|daily|weekly|monthly|yearly [--html|--json|--csv] [--adapter N|--retired NAME]\n";

// Whether the command line asks for a report at all (holds one of its options).
bool wants_report(const std::vector<std::string>& args);
// The request of the arguments after the program name; nothing when they are not a valid
// report command (unknown or repeated options, more than one format, a missing or unknown
// tab, N not a number 0..99, both --adapter and --retired). "--report=daily" and
// "--adapter=N" are taken as well.
std::optional<ReportRequest> parse_report_arguments(const std::vector<std::string>& args);

// The report of a tab with rows from `source`. Text and HTML: the export as the history
// window lists it with the tab's default sort, adapters named from `interface_names`, amounts in
// the history unit of `settings`. JSON and CSV: the rows in chronological order with whole
// byte amounts, adapters named from `interface_names` (element a for adapter a).
struct ReportAdapters {
    std::vector<std::string> interface_names;
};
// `cap`: the data cap the JSON totals report carries.
std::string history_report(HistoryTab tab, int format, const HistoryRowSource& source, const ReportAdapters& adapters,
                           const Settings& settings, const std::optional<DataReportCap>& cap = std::nullopt);
