#pragma once

#include <string>
#include <vector>

#include "measure/ip_statistics.h"

// What the adapter lists the user chooses from show: each numbered adapter's interface name,
// marked when the interface is not in the interface table now (unplugged, removed, renamed
// away), so nobody picks a gone interface unawares.
inline constexpr const char* kGoneMark = " (not present)";

// The entries of adapters 1..N in order.
std::vector<std::string> adapter_list_names(const clsIPStatistics& stats);
// The entry of adapter n, 1..N: its name with the mark when gone; empty outside 1..N.
std::string adapter_list_name(const clsIPStatistics& stats, int n);
// "2 - eth0" for adapter n (with the mark when gone), "0 - Multiple adapters" for the
// aggregate, "7 - (unknown)" for a number no interface holds.
std::string numbered_adapter_name(const clsIPStatistics& stats, int n);

// Adapters that can be summed as "Multiple adapters": the first six.
inline constexpr int kSummableAdapters = 6;

// Up to eight names joined by ", ", then " and N more" for the rest.
std::string adapter_name_list(const std::vector<std::string>& names);
// The lines (joined by '\n', empty when none) naming the interfaces present without a
// number and why (all numbers taken, or container and virtual ones not counted), and the
// interfaces whose history was retired to free their numbers (`retired`: the folders under
// "Stats/Retired/" of the data folder).
std::string not_counted_text(const clsIPStatistics& stats, const AdapterNumbering& numbering,
                             const std::vector<std::string>& retired);
