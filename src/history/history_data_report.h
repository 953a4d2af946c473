#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/data_cap.h"
#include "history/history_rows.h"

// Machine-readable history reports for scripts: the rows of a tab in chronological order
// (Totals: in adapter order) with their byte amounts as whole numbers.
//
// Each row is one record of named columns; JSON writes the records, CSV the same columns
// under a header line. Columns are added in one place, `data_report_record`, so a new
// figure appears in both formats alike.

// The data cap of the user-defined period (CapAmount in CapUnit) for the report's adapter.
struct DataReportCap {
    std::string period;  // the user-defined period's name
    double amount = 0.0;  // as entered, perhaps with a fraction
    std::string unit;     // "KB" .. "TB"
    CapStatus status;
};

// What a report is about: its tab, the history adapter, the interface name of every
// adapter (element a for adapter a; an empty name is not known) and the data cap.
struct DataReportSubject {
    HistoryTab tab = kTabTotals;
    int adapter = 0;
    std::vector<std::string> interface_names;
    std::optional<DataReportCap> cap;  // none: no cap is set
};

// The column names of a tab, in order: "period" ("period", "label" on the weekly tab) or
// "adapter", "interface" on Totals; then "download", "upload", "total".
std::vector<std::string> data_report_columns(HistoryTab tab);

// One object: "report" (the tab's name), "adapter", "interface" (null when not known), on
// the totals report "cap" (null without a cap, else the period's name, the cap's "amount" and
// "unit" as entered, its "bytes", the bytes "used", the "share" used in percent and the
// "pace", the bytes the period reaches at its pace, null when there is none), and "rows",
// the records; compact, ending with a line feed. Texts that are not valid UTF-8
// have their bad bytes replaced, so the output always parses.
std::string data_report_json(const DataReportSubject& subject, const HistoryRows& rows);
// A header line and one line per row, comma-separated, quoted as RFC 4180 asks where a
// field holds a comma, a quote or a line break; lines end with a line feed.
std::string data_report_csv(const DataReportSubject& subject, const HistoryRows& rows);

// The name of a tab on the command line and in the reports: "totals", "daily", ...
const char* report_tab_name(HistoryTab tab);
