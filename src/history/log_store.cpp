#include "history/log_store.h"

#include "history/stats_record.h"
#include "history/traffic_history.h"
#include "measure/adapter_state.h"
#include "measure/interface_readings.h"
#include "measure/ip_statistics.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "platform/date.h"
#include "history/log_io.h"
#include "history/minute_log.h"
#include "measure/saved_readings.h"
#include "platform/file_access.h"

namespace {

// Adds a day table into another (a selected adapter's into the aggregate's).
void add_day_table(std::array<TrafficPair, kDaysPerYearTable>& into, const std::array<TrafficPair, kDaysPerYearTable>& from) {
    for (std::size_t d = 0; d < into.size(); ++d) {
        into[d].received += from[d].received;
        into[d].sent += from[d].sent;
    }
}

// Reads an adapter's daily file of a year into `table`; remembers a file that exists but
// cannot be read, so that it is never replaced by the zeros held instead.
void read_year_file(LogState& logs, const std::string& path, int year, std::array<TrafficPair, kDaysPerYearTable>& table) {
    table.fill(TrafficPair{});
    const FileRead r = read_log_file(logs, path, 0, kYearFileBytes);
    if (r.status == ReadStatus::error) {
        logs.unreadable.insert(path);
        return;
    }
    logs.unreadable.erase(path);
    if (r.status != ReadStatus::ok) return;
    decode_entries(r.bytes, table.data(), table.size());
    if (!is_leap_year(year)) table[365] = TrafficPair{};
}

// The first day with traffic in the oldest year's daily files under the "Stats" folder
// (1 January of that year when it holds none), or nothing when there are no daily files up
// to this year: where logging began, when "Stats.dat" cannot tell.
std::optional<double> oldest_logged_day(LogState& logs, const std::string& data_dir, double today) {
    std::error_code ec;
    int oldest = year_of(today) + 1;
    std::vector<std::pair<int, std::string>> files;
    for (const auto& entry : std::filesystem::directory_iterator(native_path(stats_dir(data_dir)), ec)) {
        const std::string name = utf8_of(entry.path().filename());
        int year = 0;
        int adapter = 0;
        char rest = 0;
        if (std::sscanf(name.c_str(), "%d.%d.da%c", &year, &adapter, &rest) != 3 || rest != 't' || adapter < 1 ||
            name != std::to_string(year) + "." + std::to_string(adapter) + ".dat")
            continue;
        if (year < 1900 || year > year_of(today)) continue;
        oldest = std::min(oldest, year);
        files.emplace_back(year, utf8_of(entry.path()));
    }
    if (oldest > year_of(today)) return std::nullopt;
    int first_day = kDaysPerYearTable;
    std::array<TrafficPair, kDaysPerYearTable> table{};
    for (const auto& [year, path] : files) {
        if (year != oldest) continue;
        read_year_file(logs, path, year, table);
        for (int d = 0; d < first_day; ++d) {
            const TrafficPair& p = table[static_cast<std::size_t>(d)];
            if (p.received != 0 || p.sent != 0) first_day = d;
        }
    }
    if (first_day == kDaysPerYearTable) first_day = 0;
    return static_cast<double>(day_number(oldest, 1, 1) + first_day);
}

}  // namespace

void prepare_directories(HistoryView state) {
    make_dir(stats_dir(state.data_dir));
}

LoadStateResult load_state(HistoryView state, Services& services) {
    const double today = std::floor(services.clock.now());
    state.traffic.logs.folder = state.data_dir;
    const std::string path = stats_file_path(state.data_dir);
    const FileRead r = read_log_file(state.traffic.logs, path);
    StatsRecord rec;
    const StatsParse parse = r.status == ReadStatus::ok ? decode_stats(r.bytes, rec) : StatsParse::foreign;
    if (parse == StatsParse::unknown_version) {
        state.traffic.logs.writes_blocked = true;
        services.dialogs.message_box({"Unknown stats format.", "Error", MsgButtons::ok, MsgIcon::error, false});
        return LoadStateResult::unknown_format;
    }
    if (r.status == ReadStatus::error) {
        state.traffic.logs.unreadable.insert(path);
    } else {
        state.traffic.logs.unreadable.erase(path);
    }
    // Where the file cannot tell when logging began, the daily files can: the history
    // before today stays in "Total" and the history window.
    const auto start_from_daily_files = [&] { return oldest_logged_day(state.traffic.logs, state.data_dir, today).value_or(today); };
    if (parse == StatsParse::foreign) {
        // Missing, empty, foreign or unreadable: a fresh record, logging since the oldest
        // daily file (today on a first start).
        rec = StatsRecord{};
        rec.start_date = start_from_daily_files();
    } else {
        for (CounterContinuation& c : rec.adapters) {
            c.received_carried += c.received_offset;
            c.sent_carried += c.sent_offset;
            c.received_offset = c.sent_offset = 0.0;
            c.received_wraps = c.sent_wraps = 0;
        }
        // A start date that is no date at all: a torn or damaged file.
        if (!(rec.start_date >= 2.0 && rec.start_date <= 2958465.0)) rec.start_date = start_from_daily_files();
    }
    // The count only grows: adapters that went away keep their place.
    const auto found = static_cast<std::size_t>(std::clamp(state.found_adapters, 0, 255));
    if (rec.adapters.size() < found) rec.adapters.resize(found);
    state.stats = std::move(rec);
    return LoadStateResult::ok;
}

namespace {

void tell_save_failures(LogState& logs, Services& services) {
    std::string text;
    if (!logs.unsaved.empty() && !logs.save_failure_told) {
        text = "The traffic logs cannot be saved (" + logs.save_failure +
               "). They are kept and saved with the next save that can.";
    } else if (logs.unsaved.empty() && logs.save_failure_told) {
        text = "The traffic logs are saved again.";
    }
    if (text.empty()) return;
    logs.save_failure_told = !logs.unsaved.empty();
    if (services.messages) services.messages->line(text);
    if (services.msg_box) services.msg_box->show_message(text, false);
}

}  // namespace

void load_logs(HistoryView state, Services& services) {
    load_logs_at(state, services.clock.now());
    tell_save_failures(state.traffic.logs, services);
}


void load_logs_at(HistoryView state, double now) {
    LogState& logs = state.traffic.logs;
    if (logs.writes_blocked) return;
    logs.load_year = year_of(now);
    logs.load_day_index = day_index(now);
    state.traffic.invalidate_totals();

    const int n = state.live_adapter_count();
    state.traffic.day_table(0).fill(TrafficPair{});
    for (int i = 1; i <= n; ++i) {
        DayTable& table = state.traffic.day_table(i);
        read_year_file(logs, year_file_path(state.data_dir, logs.load_year, i), logs.load_year, table);
        // The time between two runs goes to the day of the start: when in it the bytes
        // crossed is not known. The minutely log does not get them.
        TrafficPair& later = logs.between_runs[static_cast<std::size_t>(i)];
        table[static_cast<std::size_t>(logs.load_day_index)].received += later.received;
        table[static_cast<std::size_t>(logs.load_day_index)].sent += later.sent;
        later = TrafficPair{};
        if (in_aggregate(state.settings, i)) add_day_table(state.traffic.day_table(0), table);
    }
    load_minutes(state, now);
    logs.loaded = true;
    save_logs(state);
}

void grow_logged_adapters(HistoryView state, double now) {
    const auto found = static_cast<std::size_t>(std::clamp(state.found_adapters, 0, 255));
    if (state.stats.adapters.size() >= found) return;
    const int before = state.live_adapter_count();
    state.stats.adapters.resize(found);
    LogState& logs = state.traffic.logs;
    if (!logs.loaded || logs.writes_blocked) return;
    for (int i = before + 1; i <= state.live_adapter_count(); ++i) {
        DayTable& table = state.traffic.day_table(i);
        read_year_file(logs, year_file_path(state.data_dir, logs.load_year, i), logs.load_year, table);
        if (in_aggregate(state.settings, i)) add_day_table(state.traffic.day_table(0), table);
        load_adapter_minutes(state, i);
    }
    state.traffic.invalidate_totals();
    load_history_at(state, now);
}

void save_logs(HistoryView state, Services& services) {
    save_logs(state);
    tell_save_failures(state.traffic.logs, services);
}

void save_logs(HistoryView state) {
    LogState& logs = state.traffic.logs;
    if (!logs.loaded || logs.writes_blocked) return;
    make_dir(stats_dir(state.data_dir));
    retry_unsaved(logs);

    const std::string stats_path = stats_file_path(state.data_dir);
    if (!logs.unreadable.contains(stats_path)) save_whole_file(logs, stats_path, encode_stats(state.stats));
    for (int i = 1; i <= state.live_adapter_count(); ++i) {
        const std::string path = year_file_path(state.data_dir, logs.load_year, i);
        if (logs.unreadable.contains(path)) continue;
        save_whole_file(logs, path, encode_day_table(state.traffic.day_table(static_cast<std::size_t>(i))));
    }
    save_minutes(state);
    // The readings the saved logs hold everything up to: the next start in this boot counts on
    // from them, so a run that ends without saving again loses nothing.
    if (state.interface_readings.baseline_taken)
        save_readings(state.data_dir, readings_now(state.table_messages.numbering, state.interface_readings, state.boot_id));
}

void load_history(HistoryView state, Services& services) { load_history_at(state, services.clock.now()); }

void load_history_at(HistoryView state, double now) {
    LogState& logs = state.traffic.logs;
    const int current = year_of(now);
    const int first = std::min(year_of(state.stats.start_date), current);
    const int n = state.live_adapter_count();
    HistoryTable& h = logs.history;
    h.adapters = n + 1;
    h.first_year = first;
    h.years = current - first + 1;
    h.entries.assign(static_cast<std::size_t>(h.adapters) * static_cast<std::size_t>(h.years) * kDaysPerYearTable,
                     TrafficPair{});
    std::array<TrafficPair, kDaysPerYearTable> table{};
    for (int i = 1; i <= n; ++i) {
        const bool selected = in_aggregate(state.settings, i);
        for (int y = first; y <= current; ++y) {
            read_year_file(logs, year_file_path(state.data_dir, y, i), y, table);
            const int days = is_leap_year(y) ? 366 : 365;
            for (int d = 0; d < days; ++d) {
                const TrafficPair& p = table[static_cast<std::size_t>(d)];
                h.at(i, y, d) = p;
                if (selected) {
                    h.at(0, y, d).received += p.received;
                    h.at(0, y, d).sent += p.sent;
                }
            }
        }
    }
    state.traffic.invalidate_totals();
}
