#include "history/retired_logs.h"

#include "history/stats_record.h"
#include "history/traffic_history.h"
#include "measure/adapter_state.h"
#include "measure/interface_readings.h"
#include "measure/ip_statistics.h"
#include "settings/settings.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

#include "platform/date.h"
#include "history/log_files.h"
#include "history/log_store.h"
#include "platform/file_access.h"

namespace fs = std::filesystem;

namespace {

struct LogFileName {
    int year = 0;
    int adapter = 0;
};

// Year and adapter of a log file named "<year>.<n>.dat"; nothing for any other name.
std::optional<LogFileName> log_file_name(const std::string& name) {
    LogFileName f;
    char rest = 0;
    if (std::sscanf(name.c_str(), "%d.%d.da%c", &f.year, &f.adapter, &rest) != 3 || rest != 't' || f.adapter < 1 ||
        name != std::to_string(f.year) + "." + std::to_string(f.adapter) + ".dat")
        return std::nullopt;
    return f;
}

// The log files of adapter `n` (every year) in folder `dir`.
std::vector<fs::path> files_of(const std::string& dir, int n) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(native_path(dir), ec)) {
        const auto f = log_file_name(utf8_of(entry.path().filename()));
        if (f && f->adapter == n && entry.is_regular_file(ec)) files.push_back(entry.path());
    }
    return files;
}

// An interface name as a folder name: no separators, never "." or "..".
std::string folder_name(std::string name) {
    std::replace(name.begin(), name.end(), '/', '_');
    if (name.empty() || name == "." || name == "..") name = "_" + name;
    return name;
}

// What memory holds of adapter `n`'s logs and counters, and the writes of its files still due.
void forget_adapter(HistoryView state, int n, const std::vector<std::pair<fs::path, fs::path>>& moved) {
    const auto i = static_cast<std::size_t>(n);
    AdapterState& a = state.adapters[i];
    clear_live_statistics(a);
    state.traffic.day_table(n).fill(TrafficPair{});
    a.session_download = a.session_upload = 0.0;
    a.current_received = a.previous_received = a.start_received = a.total_received = 0.0;
    a.current_sent = a.previous_sent = a.start_sent = a.total_sent = 0.0;
    if (n <= state.stats.adapter_count()) state.stats.adapters[i - 1] = CounterContinuation{};
    LogState& logs = state.traffic.logs;
    if (i < logs.minutes.size()) logs.minutes[i].fill(TrafficPair{});
    logs.between_runs[i] = TrafficPair{};
    for (const auto& move : moved) {
        const std::string name = utf8_of(move.first);
        logs.unreadable.erase(name);
        logs.unsaved.whole_files.erase(name);
        std::erase_if(logs.unsaved.at_offset, [&](const auto& w) { return w.first.first == name; });
    }
}

}  // namespace

std::string retired_dir(const std::string& data_dir) { return stats_dir(data_dir) + "Retired/"; }

std::string retire_adapter_logs(HistoryView state, int n, double now) {
    if (n < 1 || n > kMaxAdapters || state.data_dir.empty()) return {};
    save_logs(state);
    const std::string name = folder_name(state.table_messages.numbering.names[static_cast<std::size_t>(n)]);
    std::error_code ec;
    std::string folder = name;
    for (int k = 2; fs::exists(native_path(retired_dir(state.data_dir) + folder), ec); ++k) folder = name + "~" + std::to_string(k);
    const fs::path to = native_path(retired_dir(state.data_dir) + folder);
    if (!fs::create_directories(to / "DbMin", ec) || ec) return {};

    std::vector<std::pair<fs::path, fs::path>> moved;
    const auto move_all = [&](const std::string& from_dir, const fs::path& into) {
        for (const fs::path& file : files_of(from_dir, n)) {
            fs::rename(file, into / file.filename(), ec);
            if (ec) return false;
            moved.emplace_back(file, into / file.filename());
        }
        return true;
    };
    // Whole or not at all: a history half moved would be half merged into the next one's.
    if (!move_all(stats_dir(state.data_dir), to) || !move_all(minute_dir(state.data_dir), to / "DbMin")) {
        for (const auto& [from, into] : moved) fs::rename(into, from, ec);
        fs::remove_all(to, ec);
        return {};
    }
    forget_adapter(state, n, moved);
    if (state.traffic.logs.loaded) load_history_at(state, now);
    state.traffic.invalidate_totals();
    return "Stats/Retired/" + folder + "/";
}

std::vector<std::string> retired_interfaces(const std::string& data_dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(native_path(retired_dir(data_dir)), ec))
        if (entry.is_directory(ec)) names.push_back(utf8_of(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

int load_retired_history(HistoryView state, const std::string& name, double now) {
    const std::string dir = retired_dir(state.data_dir) + folder_name(name) + "/";
    std::vector<std::pair<LogFileName, fs::path>> files;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(native_path(dir), ec)) {
        const auto f = log_file_name(utf8_of(entry.path().filename()));
        if (f && f->year >= 1900 && f->year <= year_of(now)) files.emplace_back(*f, entry.path());
    }
    if (files.empty()) return 0;
    const int n = files.front().first.adapter;
    int first = year_of(now);
    for (const auto& [f, path] : files) first = std::min(first, f.year);
    HistoryTable& h = state.traffic.logs.history;
    h.adapters = n + 1;
    h.first_year = first;
    h.years = year_of(now) - first + 1;
    h.entries.assign(static_cast<std::size_t>(h.adapters) * static_cast<std::size_t>(h.years) * kDaysPerYearTable,
                     TrafficPair{});
    std::array<TrafficPair, kDaysPerYearTable> table{};
    for (const auto& [f, path] : files) {
        if (f.adapter != n) continue;
        table.fill(TrafficPair{});
        const FileRead r = read_file(utf8_of(path), 0, kYearFileBytes);
        if (r.status == ReadStatus::ok) decode_entries(r.bytes, table.data(), table.size());
        for (int d = 0; d < (is_leap_year(f.year) ? 366 : 365); ++d)
            h.at(n, f.year, d) = h.at(0, f.year, d) = table[static_cast<std::size_t>(d)];
    }
    state.stats.start_date = static_cast<double>(day_number(first, 1, 1));
    return n;
}
