#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "history/history_rows.h"
#include "measure/ip_statistics.h"
#include "platform/locale.h"
#include "settings/settings.h"

// Caption, tooltip and first column header of each tab.
struct HistoryTabInfo {
    const char* caption;
    const char* tooltip;
    const char* first_header;
};
const HistoryTabInfo& history_tab_info(HistoryTab tab);
// The four column headers of a tab: its first header, "Download", "Upload", "Total".
std::array<std::string, 4> history_headers(HistoryTab tab);

// Sort state of one tab: column 0..3, order 0 ascending or 1 descending.
struct HistorySort {
    int column = 0;
    int order = 0;
};
HistorySort stored_sort(const Settings& settings, HistoryTab tab);
void store_sort(Settings& settings, HistoryTab tab, HistorySort sort);
// A click on header column `column` (0..3): the same column flips the order, another one
// starts ascending.
HistorySort sort_after_click(HistorySort current, int column);

// One list item as shown: the label and the three amounts formatted for the history.
struct HistoryItem {
    std::array<std::string, 4> cells;
    bool operator==(const HistoryItem&) const = default;
};
using HistoryItems = std::vector<HistoryItem>;

// Sorts the rows as the tab's list shows them (the build order is already chronological, so
// only a sort on an amount column, or any sort on the Totals tab, reorders them).
void sort_for_list(HistoryRows& rows, HistoryTab tab, HistorySort sort);
// The items in list order (descending fills from the last row), rows without a label left
// out, amounts in the history unit and decimals with a blank before the unit.
HistoryItems list_items(const HistoryRows& sorted_rows, HistorySort sort, const Settings& settings,
                        const Locale& locale);

// The interface names of adapters 0..count (at least those numbered now) as the adapter lists
// show them, gone interfaces marked; element 0, the aggregate, and unknown numbers are empty.
std::vector<std::string> adapter_names_for_history(const clsIPStatistics& statistics, int count);

// Stored value names and values the history window writes: the sort state of every tab, and
// the window's place, state and the column widths of one tab.
using SettingValues = std::vector<std::pair<std::string, std::int64_t>>;
SettingValues sort_setting_values(const Settings& settings);
SettingValues window_setting_values(const Settings& settings, HistoryTab tab, int columns);
std::string column_width_name(HistoryTab tab, int column);
