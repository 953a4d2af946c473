#include "history/history_window.h"

#include "history/history_export.h"
#include "settings/settings_store.h"

const Locale& history_locale(const HistoryWindowContext& ctx, const Locale& fallback) {
    return ctx.services.locale != nullptr ? *ctx.services.locale : fallback;
}

HistoryRows history_window_rows(const HistoryWindowContext& ctx, HistoryTab tab, int adapter, const Locale& locale) {
    const Settings& s = ctx.settings;
    const int first_day = s.FirstDayOfWeek >= 1 && s.FirstDayOfWeek <= 7 ? s.FirstDayOfWeek : locale.first_day_of_week();
    static const NoDailyAmounts kNoLog;
    const DailyAmounts& log = ctx.log ? *ctx.log : static_cast<const DailyAmounts&>(kNoLog);
    const HistoryRowSource source{log,     ctx.stats.start_date,      ctx.services.clock.now(), adapter,
                                  ctx.stats.adapter_count(), first_day, locale};
    HistoryRows rows = build_history_rows(tab, source);
    if (tab == kTabTotals) {
        label_totals_rows(rows, ctx.adapter_names ? ctx.adapter_names(ctx.stats.adapter_count()) : std::vector<std::string>{});
    }
    return rows;
}

std::string history_adapter_name(const HistoryWindowContext& ctx, int adapter) {
    if (!ctx.adapter_names || adapter < 0) return {};
    const std::vector<std::string> names = ctx.adapter_names(ctx.stats.adapter_count());
    const auto a = static_cast<std::size_t>(adapter);
    return a < names.size() ? names[a] : std::string();
}

std::string history_adapter_line(HistoryTab tab, int adapter, const std::string& name) {
    const std::string label = totals_label(adapter, name);
    return tab == kTabTotals ? "History of adapter " + label + ": click another adapter to choose it"
                             : "Adapter " + label;
}

std::string history_list_report(const HistoryWindowContext& ctx, int format, HistoryTab tab, int adapter,
                                const std::array<std::string, 4>& headers, const HistoryItems& items,
                                const Locale& locale) {
    const ExportHeading heading = export_heading(tab, adapter, history_adapter_name(ctx, adapter), ctx.stats.start_date,
                                                 ctx.services.clock.now(), locale);
    return export_report(format == kExportHtml ? kExportHtml : kExportText, history_tab_info(tab).caption, headers, items,
                         heading);
}

bool export_history_list(const HistoryWindowContext& ctx, const std::string& path, int format, HistoryTab tab,
                         int adapter, const std::array<std::string, 4>& headers, const HistoryItems& items,
                         const Locale& locale) {
    format = format == kExportHtml ? kExportHtml : kExportText;
    if (!write_export_file(path, history_list_report(ctx, format, tab, adapter, headers, items, locale))) {
        ctx.services.dialogs.message_box({export_failed_message(path), "Export", MsgButtons::ok, MsgIcon::error});
        return false;
    }
    ctx.settings.LastExportFormat = static_cast<std::uint8_t>(format);
    if (ctx.write_settings) ctx.write_settings({{"LastExportFormat", format}});
    return true;
}

void write_history_settings(Services& services, const SettingValues& values) {
    if (services.settings_store == nullptr) return;
    for (const auto& [name, value] : values) write_value(*services.settings_store, name, value);
    services.settings_store->flush();
}
