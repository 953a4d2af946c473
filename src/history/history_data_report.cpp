#include "history/history_data_report.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>

#include "platform/date.h"

namespace {

using Record = nlohmann::ordered_json;

constexpr std::array<const char*, kHistoryTabCount> kTabNames{"totals", "daily", "weekly", "monthly", "yearly"};

// Amounts are whole bytes kept in 64-bit floats; a negative amount cannot be logged.
std::uint64_t whole_bytes(double amount) {
    if (!(amount > 0.0)) return 0;
    if (amount >= 18446744073709549568.0) return std::numeric_limits<std::uint64_t>::max();
    return static_cast<std::uint64_t>(std::llround(amount));
}

// The row's period as a date text: YYYY-MM-DD for a day or a week, YYYY-MM for a month,
// YYYY for a year.
std::string period_text(HistoryTab tab, double first_day) {
    const CivilDate c = civil_date(first_day);
    char text[16];
    switch (tab) {
        case kTabMonthly: std::snprintf(text, sizeof text, "%04d-%02d", c.year, c.month); break;
        case kTabYearly: std::snprintf(text, sizeof text, "%04d", c.year); break;
        default: std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day); break;
    }
    return text;
}

Record interface_value(const std::vector<std::string>& names, int adapter) {
    const auto i = static_cast<std::size_t>(adapter);
    if (adapter < 0 || i >= names.size() || names[i].empty()) return nullptr;
    return names[i];
}

// The record of one row: the columns of `data_report_columns`, in that order.
Record data_report_record(HistoryTab tab, const HistoryRow& row, const std::vector<std::string>& names) {
    Record r;
    if (tab == kTabTotals) {
        const int adapter = static_cast<int>(row.period);
        r["adapter"] = adapter;
        r["interface"] = interface_value(names, adapter);
    } else {
        r["period"] = period_text(tab, row.period);
        if (tab == kTabWeekly) r["label"] = row.label;
    }
    r["download"] = whole_bytes(row.received);
    r["upload"] = whole_bytes(row.sent);
    r["total"] = whole_bytes(row.received) + whole_bytes(row.sent);
    return r;
}

Record cap_record(const std::optional<DataReportCap>& cap) {
    if (!cap) return nullptr;
    Record r;
    r["period"] = cap->period;
    // A whole amount stays a JSON integer (50, not 50.0).
    if (cap->amount == std::floor(cap->amount) && std::fabs(cap->amount) < 1e15)
        r["amount"] = static_cast<std::int64_t>(cap->amount);
    else
        r["amount"] = cap->amount;
    r["unit"] = cap->unit;
    r["bytes"] = whole_bytes(cap->status.cap);
    r["used"] = whole_bytes(cap->status.used);
    r["share"] = std::round(cap->status.share * 100.0) / 100.0;
    r["pace"] = cap->status.pace ? Record(whole_bytes(*cap->status.pace)) : Record(nullptr);
    return r;
}

std::string csv_field(const Record& value) {
    if (value.is_null()) return {};
    if (!value.is_string()) return value.dump();
    const std::string& text = value.get_ref<const std::string&>();
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string csv_line(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) line += ',';
        line += fields[i];
    }
    return line + '\n';
}

}  // namespace

const char* report_tab_name(HistoryTab tab) { return kTabNames[static_cast<std::size_t>(tab)]; }

std::vector<std::string> data_report_columns(HistoryTab tab) {
    std::vector<std::string> columns;
    const Record sample = data_report_record(tab, HistoryRow{}, {});
    for (const auto& [key, value] : sample.items()) columns.push_back(key);
    return columns;
}

std::string data_report_json(const DataReportSubject& subject, const HistoryRows& rows) {
    Record report;
    report["report"] = report_tab_name(subject.tab);
    report["adapter"] = subject.adapter;
    report["interface"] = interface_value(subject.interface_names, subject.adapter);
    if (subject.tab == kTabTotals) report["cap"] = cap_record(subject.cap);
    Record list = Record::array();
    for (const HistoryRow& row : rows) list.push_back(data_report_record(subject.tab, row, subject.interface_names));
    report["rows"] = std::move(list);
    return report.dump(-1, ' ', false, Record::error_handler_t::replace) + '\n';
}

std::string data_report_csv(const DataReportSubject& subject, const HistoryRows& rows) {
    std::vector<std::string> header;
    for (const std::string& column : data_report_columns(subject.tab)) header.push_back(csv_field(column));
    std::string out = csv_line(header);
    for (const HistoryRow& row : rows) {
        const Record record = data_report_record(subject.tab, row, subject.interface_names);
        std::vector<std::string> fields;
        for (const auto& [key, value] : record.items()) fields.push_back(csv_field(value));
        out += csv_line(fields);
    }
    return out;
}
