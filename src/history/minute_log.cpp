#include "history/minute_log.h"

#include "history/stats_record.h"
#include "history/traffic_history.h"
#include "measure/adapter_state.h"
#include "measure/interface_readings.h"
#include "measure/ip_statistics.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>

#include "platform/date.h"
#include "history/log_io.h"

namespace {

std::int64_t minute_offset(int day) { return static_cast<std::int64_t>(day) * kMinuteStride; }

MinuteRecord read_record(const LogState& logs, const std::string& path, int day, ReadStatus* status = nullptr) {
    MinuteRecord rec{};
    const FileRead r = read_log_file(logs, path, minute_offset(day), kMinuteRecordBytes);
    if (status) *status = r.status;
    if (r.status == ReadStatus::ok) decode_entries(r.bytes, rec.data(), rec.size());
    // The last entry overlaps the next day's first minute: it is not this day's traffic.
    rec[kMinutesPerDay] = TrafficPair{};
    return rec;
}

void add_record(MinuteRecord& into, const MinuteRecord& from) {
    for (int m = 0; m < kMinutesPerDay; ++m) {
        into[static_cast<std::size_t>(m)].received += from[static_cast<std::size_t>(m)].received;
        into[static_cast<std::size_t>(m)].sent += from[static_cast<std::size_t>(m)].sent;
    }
}

// Today's record of an adapter from its minutely file. A file that is there but cannot be
// read is remembered, so that the zeros held instead never replace what it stores.
MinuteRecord load_record(LogState& logs, const std::string& path, int day) {
    ReadStatus status = ReadStatus::missing;
    MinuteRecord rec = read_record(logs, path, day, &status);
    if (status == ReadStatus::error) {
        logs.unreadable.insert(path);
    } else {
        logs.unreadable.erase(path);
    }
    return rec;
}

}  // namespace

double current_minute(double now) {
    return std::floor(now) + minute_index(now) / 1440.0;
}

void load_adapter_minutes(HistoryView state, int adapter) {
    LogState& logs = state.traffic.logs;
    if (adapter < 1 || adapter >= static_cast<int>(logs.minutes.size())) return;
    MinuteRecord& rec = logs.minutes[static_cast<std::size_t>(adapter)];
    rec.fill(TrafficPair{});
    if (state.settings.MinuteLogging != 1) return;
    rec = load_record(logs, minute_file_path(state.data_dir, logs.load_year, adapter), logs.load_day_index);
    if (in_aggregate(state.settings, adapter)) add_record(logs.minutes[0], rec);
}

void load_minutes(HistoryView state, double now) {
    LogState& logs = state.traffic.logs;
    const int n = state.live_adapter_count();
    for (MinuteRecord& rec : logs.minutes) rec.fill(TrafficPair{});
    if (state.settings.MinuteLogging == 1) {
        for (int i = 1; i <= n; ++i) {
            const std::string path = minute_file_path(state.data_dir, logs.load_year, i);
            logs.minutes[static_cast<std::size_t>(i)] = load_record(logs, path, logs.load_day_index);
            if (in_aggregate(state.settings, i)) add_record(logs.minutes[0], logs.minutes[static_cast<std::size_t>(i)]);
        }
    }
    const std::string first_path = first_minute_file_path(state.data_dir);
    const FileRead stored = read_log_file(logs, first_path);
    // Unreadable: the date searched for below serves this run and is never written over it.
    if (stored.status == ReadStatus::error) {
        logs.unreadable.insert(first_path);
    } else {
        logs.unreadable.erase(first_path);
    }
    const std::optional<double> date = stored.status == ReadStatus::ok ? decode_date(stored.bytes) : std::nullopt;
    if (date) {
        logs.first_minute = *date;
        logs.first_minute_due = true;
        return;
    }
    const double found = search_first_minute(state, now);
    if (found > 0) {
        logs.first_minute = found;
        logs.first_minute_due = true;
    }
}

double search_first_minute(HistoryQuery state, double now) {
    const int first_year = year_of(state.stats.start_date);
    const int last_year = year_of(now);
    constexpr std::int64_t kEntriesPerYear = 366LL * kMinutesPerDay;
    double best = 0.0;
    for (int i = 1; i <= state.live_adapter_count(); ++i) {
        for (int y = first_year; y <= last_year; ++y) {
            const std::string path = minute_file_path(state.data_dir, y, i);
            const FileRead r = read_log_file(state.traffic.logs, path, 0, kEntriesPerYear * 16);
            if (r.status != ReadStatus::ok) continue;
            // Day d's minute m lies at entry d x 1440 + m: the file is one run of entries.
            const std::size_t entries = r.bytes.size() / 16;
            std::vector<TrafficPair> all(entries);
            decode_entries(r.bytes, all.data(), entries);
            std::size_t k = 0;
            while (k < entries && all[k].received == 0) ++k;
            if (k == entries) continue;
            const double date = static_cast<double>(day_number(y, 1, 1)) + static_cast<double>(k / kMinutesPerDay) +
                                static_cast<double>(k % kMinutesPerDay) / 1440.0;
            if (best == 0.0 || date < best) best = date;
            break;  // later years of this adapter hold later minutes
        }
    }
    return best;
}

void save_minutes(HistoryView state) {
    LogState& logs = state.traffic.logs;
    const std::string first_path = first_minute_file_path(state.data_dir);
    if (logs.first_minute_due && !logs.unreadable.contains(first_path)) {
        make_dir(minute_dir(state.data_dir));
        save_whole_file(logs, first_path, encode_date(logs.first_minute));
    }
    if (state.settings.MinuteLogging != 1) return;
    make_dir(minute_dir(state.data_dir));
    const std::int64_t offset = minute_offset(logs.load_day_index);
    for (int i = 1; i <= state.live_adapter_count(); ++i) {
        const std::string path = minute_file_path(state.data_dir, logs.load_year, i);
        if (logs.unreadable.contains(path)) continue;
        // The record's last entry overlaps the next day's first minute. When the next day is
        // already stored (the clock was set back) it is left as it is.
        const bool next_day_stored = file_size(path) > offset + kMinuteStride;
        const std::size_t count = next_day_stored ? kMinutesPerDay : kMinuteEntries;
        save_at_offset(logs, path, offset, encode_entries(logs.minutes[static_cast<std::size_t>(i)].data(), count));
    }
}

MinuteRecord read_minute_day(HistoryQuery state, int adapter, double day) {
    const int year = year_of(day);
    const int index = day_index(day);
    if (adapter >= 1) return read_record(state.traffic.logs, minute_file_path(state.data_dir, year, adapter), index);
    MinuteRecord sum{};
    for (int i = 1; i <= state.live_adapter_count(); ++i) {
        if (in_aggregate(state.settings, i))
            add_record(sum, read_record(state.traffic.logs, minute_file_path(state.data_dir, year, i), index));
    }
    return sum;
}
