#pragma once

#include <string>
#include <vector>

#include "history/history_view.h"

// "Stats/Retired/": the history of adapters whose numbers were freed for other interfaces,
// one folder per interface holding its files as they were ("<year>.<n>.dat" and
// "DbMin/<year>.<n>.dat"), so that it is never merged into another interface's history.
std::string retired_dir(const std::string& data_dir);

// Saves the logs, then moves adapter `n`'s daily and minutely files of every year into a new
// folder "Stats/Retired/<name>/" (<name> its interface's name, with "~2", "~3" ... when that
// folder exists) and clears what memory holds of them (day table, minutes, history, counter
// state), so that the number starts empty. Returns the folder as "Stats/Retired/<name>/", or
// "" when the files could not all be moved (those moved are put back, nothing changes).
std::string retire_adapter_logs(HistoryView state, int n, double now);

// The folders under "Stats/Retired/", sorted.
std::vector<std::string> retired_interfaces(const std::string& data_dir);

// The history of the retired folder `name` as the history table's adapter it had (returned;
// 0 when the folder holds no daily file), for the reports: the table covers that adapter and
// the aggregate 0, which holds the same, from its oldest year to the year of `now`.
int load_retired_history(HistoryView state, const std::string& name, double now);
