#include "history/history_list.h"

#include "measure/adapter_list.h"

#include <algorithm>

#include "measure/format.h"

namespace {

constexpr std::array<HistoryTabInfo, kHistoryTabCount> kTabs{{
    {"Totals", "Totals", "Adapter"},
    {"Daily", "Daily history", "Date"},
    {"Weekly", "Weekly history", "Week"},
    {"Monthly", "Monthly history", "Month"},
    {"Yearly", "Yearly history", "Year"},
}};

std::size_t tab_index(HistoryTab tab) {
    return static_cast<std::size_t>(std::clamp(static_cast<int>(tab), 0, kHistoryTabCount - 1));
}

std::string history_amount(double bytes, const Settings& settings, const Locale& locale) {
    return format_value(bytes, settings.TransferredUnitHis, false, true, kDecimalsFromSettings, true, settings, locale);
}

}  // namespace

const HistoryTabInfo& history_tab_info(HistoryTab tab) { return kTabs[tab_index(tab)]; }

std::array<std::string, 4> history_headers(HistoryTab tab) {
    return {history_tab_info(tab).first_header, "Download", "Upload", "Total"};
}

HistorySort stored_sort(const Settings& settings, HistoryTab tab) {
    const std::size_t t = tab_index(tab);
    return HistorySort{std::clamp<int>(settings.lvwSortKey[t], 0, 3), settings.lvwSortOrder[t] == 1 ? 1 : 0};
}

void store_sort(Settings& settings, HistoryTab tab, HistorySort sort) {
    const std::size_t t = tab_index(tab);
    settings.lvwSortKey[t] = static_cast<std::uint8_t>(sort.column);
    settings.lvwSortOrder[t] = static_cast<std::uint8_t>(sort.order);
}

HistorySort sort_after_click(HistorySort current, int column) {
    if (column == current.column) return HistorySort{column, current.order == 0 ? 1 : 0};
    return HistorySort{column, 0};
}

void sort_for_list(HistoryRows& rows, HistoryTab tab, HistorySort sort) {
    if (sort.column != 0 || tab == kTabTotals) shell_sort_rows(rows, sort.column);
}

HistoryItems list_items(const HistoryRows& sorted_rows, HistorySort sort, const Settings& settings,
                        const Locale& locale) {
    HistoryItems items;
    items.reserve(sorted_rows.size());
    const auto add = [&](const HistoryRow& r) {
        if (r.label.empty()) return;
        items.push_back(HistoryItem{{r.label, history_amount(r.received, settings, locale),
                                     history_amount(r.sent, settings, locale),
                                     history_amount(r.total, settings, locale)}});
    };
    if (sort.order == 1) {
        std::for_each(sorted_rows.rbegin(), sorted_rows.rend(), add);
    } else {
        std::for_each(sorted_rows.begin(), sorted_rows.end(), add);
    }
    return items;
}

std::vector<std::string> adapter_names_for_history(const clsIPStatistics& statistics, int count) {
    std::vector<std::string> out(static_cast<std::size_t>(std::max({0, count, statistics.Found_Adaptors()})) + 1);
    for (int i = 1; i <= statistics.Found_Adaptors(); ++i) out[static_cast<std::size_t>(i)] = adapter_list_name(statistics, i);
    return out;
}

SettingValues sort_setting_values(const Settings& settings) {
    SettingValues values;
    for (std::size_t t = 0; t < kHistoryTabCount; ++t) {
        values.emplace_back("lvwSortKey" + std::to_string(t), settings.lvwSortKey[t]);
        values.emplace_back("lvwSortOrder" + std::to_string(t), settings.lvwSortOrder[t]);
    }
    return values;
}

std::string column_width_name(HistoryTab tab, int column) {
    return "frmHistoryColWidth(" + std::to_string(tab_index(tab) + 1) + "," + std::to_string(column + 1) + ")";
}

SettingValues window_setting_values(const Settings& settings, HistoryTab tab, int columns) {
    SettingValues values{{"frmHistoryLeft", settings.frmHistoryLeft},
                         {"frmHistoryTop", settings.frmHistoryTop},
                         {"frmHistoryWidth", settings.frmHistoryWidth},
                         {"frmHistoryHeight", settings.frmHistoryHeight},
                         {"frmHistoryState", settings.frmHistoryState}};
    const auto& widths = settings.frmHistoryColWidth[tab_index(tab)];
    for (int c = 0; c < std::min(columns, kHistoryColumns); ++c) {
        values.emplace_back(column_width_name(tab, c), widths[static_cast<std::size_t>(c)]);
    }
    return values;
}
