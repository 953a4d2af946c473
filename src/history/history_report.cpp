#include "history/history_report.h"

#include "history/history_data_report.h"
#include "history/history_list.h"

namespace {

std::optional<int> small_number(const std::string& text) {
    if (text.empty() || text.size() > 2) return std::nullopt;
    int n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

// "--report=daily" and "--adapter=2" as two arguments each.
std::vector<std::string> split_values(const std::vector<std::string>& args) {
    std::vector<std::string> out;
    for (const std::string& a : args) {
        const std::size_t eq = a.find('=');
        const std::string name = a.substr(0, eq);
        if (eq == std::string::npos || (name != "--report" && name != "--adapter")) {
            out.push_back(a);
            continue;
        }
        out.push_back(name);
        out.push_back(a.substr(eq + 1));
    }
    return out;
}

}  // namespace

bool wants_report(const std::vector<std::string>& args) {
    for (const std::string& a : split_values(args)) {
        if (a == "--report" || a == "--html" || a == "--json" || a == "--csv" || a == "--adapter" ||
            a == "--retired")
            return true;
    }
    return false;
}

std::optional<ReportRequest> parse_report_arguments(const std::vector<std::string>& given) {
    const std::vector<std::string> args = split_values(given);
    ReportRequest request;
    bool have_tab = false;
    bool have_format = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        if (a == "--report" && has_value && !have_tab) {
            const std::string& name = args[++i];
            int t = 0;
            while (t < kHistoryTabCount && name != report_tab_name(static_cast<HistoryTab>(t))) ++t;
            if (t == kHistoryTabCount) return std::nullopt;
            request.tab = static_cast<HistoryTab>(t);
            have_tab = true;
        } else if ((a == "--html" || a == "--json" || a == "--csv") && !have_format) {
            request.format = a == "--html" ? kReportHtml : a == "--json" ? kReportJson : kReportCsv;
            have_format = true;
        } else if (a == "--adapter" && has_value && !request.adapter && request.retired.empty()) {
            request.adapter = small_number(args[++i]);
            if (!request.adapter) return std::nullopt;
        } else if (a == "--retired" && has_value && !request.adapter && request.retired.empty() && !args[i + 1].empty()) {
            request.retired = args[++i];
        } else {
            return std::nullopt;
        }
    }
    if (!have_tab) return std::nullopt;
    return request;
}

std::string history_report(HistoryTab tab, int format, const HistoryRowSource& source, const ReportAdapters& adapters,
                           const Settings& settings, const std::optional<DataReportCap>& cap) {
    HistoryRows rows = build_history_rows(tab, source);
    if (format == kReportJson || format == kReportCsv) {
        const DataReportSubject subject{tab, source.adapter, adapters.interface_names, cap};
        return format == kReportJson ? data_report_json(subject, rows) : data_report_csv(subject, rows);
    }
    if (tab == kTabTotals) label_totals_rows(rows, adapters.interface_names);
    const HistorySort sort = stored_sort(Settings{}, tab);
    sort_for_list(rows, tab, sort);
    const std::size_t a = static_cast<std::size_t>(source.adapter);
    const std::string name = a < adapters.interface_names.size() ? adapters.interface_names[a] : std::string();
    return export_report(format, history_tab_info(tab).caption, history_headers(tab),
                         list_items(rows, sort, settings, source.locale),
                         export_heading(tab, source.adapter, name, source.start_date, source.today, source.locale));
}
