#include "measure/saved_readings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "platform/date.h"
#include "platform/file_save.h"
#include "platform/data_files.h"

namespace {

constexpr std::int64_t kMaxReadingsFile = 64 * 1024;
constexpr std::size_t kMaxSavedReadings = 256;

std::string day_text(double day) {
    if (day <= 0.0) return "-";
    const CivilDate c = civil_date(day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
    return text;
}

double day_of(const std::string& text) {
    int y = 0;
    int m = 0;
    int d = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d", &y, &m, &d) != 3 || y < 1900 || m < 1 || m > 12 || d < 1 ||
        d > days_in_month(y, m))
        return 0.0;
    return static_cast<double>(day_number(y, m, d));
}

}  // namespace

std::string readings_file_path(const std::string& data_dir) { return stats_dir(data_dir) + "Readings.txt"; }

std::string readings_text(const SavedReadings& readings) {
    std::string text = "boot " + readings.boot + "\n";
    for (const SavedReading& r : readings.lines) {
        text += std::to_string(r.number) + " " + std::to_string(r.index) + " " + std::to_string(r.received) + " " +
                std::to_string(r.sent) + " " + day_text(r.last_seen) + " " + r.name + "\n";
    }
    return text;
}

SavedReadings parse_readings(const std::string& text) {
    SavedReadings out;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line) && out.lines.size() < kMaxSavedReadings) {
        if (line.starts_with("boot ")) {
            out.boot = line.substr(5);
            continue;
        }
        std::istringstream fields(line);
        SavedReading r;
        std::string seen;
        if (!(fields >> r.number >> r.index >> r.received >> r.sent >> seen) || r.number < 0 || r.number > kMaxAdapters)
            continue;
        fields.get();  // the blank before the name
        std::getline(fields, r.name);
        if (!fits_a_line(r.name)) continue;
        r.last_seen = day_of(seen);
        out.lines.push_back(std::move(r));
    }
    return out;
}

SavedReadings readings_now(const AdapterNumbering& numbering, const InterfaceReadings& readings, const std::string& boot) {
    SavedReadings out;
    out.boot = boot;
    for (int n = 1; n <= kMaxAdapters; ++n) {
        const std::string& name = numbering.names[static_cast<std::size_t>(n)];
        if (name.empty()) continue;
        SavedReading line{n, 0, 0, 0, numbering.last_seen[static_cast<std::size_t>(n)], name};
        for (const auto& [index, r] : readings.by_index) {
            if (r.name != name || (line.index != 0 && !r.present)) continue;
            line.index = index;
            line.received = r.received;
            line.sent = r.sent;
        }
        out.lines.push_back(std::move(line));
    }
    for (const auto& [index, r] : readings.by_index) {
        if (out.lines.size() >= kMaxSavedReadings) break;
        if (!r.present || numbering.number_of(r.name) != 0 || !fits_a_line(r.name)) continue;
        if (!numbering.count_virtual && virtual_by_default(r.name)) continue;
        out.lines.push_back(SavedReading{0, index, r.received, r.sent, 0.0, r.name});
    }
    return out;
}

bool save_readings(const std::string& data_dir, const SavedReadings& readings) {
    make_dir(stats_dir(data_dir));
    return save_data_file(readings_file_path(data_dir), readings_text(readings), data_dir).ok;
}

SavedReadings read_saved_readings(const std::string& data_dir) {
    const FileRead r = read_file(readings_file_path(data_dir), 0, kMaxReadingsFile);
    return parse_readings(r.status == ReadStatus::ok ? std::string(r.bytes.begin(), r.bytes.end()) : std::string());
}

std::vector<std::pair<int, std::string>> saved_adapter_names(const SavedReadings& readings) {
    std::vector<std::pair<int, std::string>> known;
    for (const SavedReading& line : readings.lines)
        if (line.number >= 1) known.emplace_back(line.number, line.name);
    return known;
}

void load_adapter_numbering(AdapterNumbering& numbering, InterfaceReadings& readings, const std::string& data_dir,
                            const std::string& boot, double today) {
    const SavedReadings saved = read_saved_readings(data_dir);
    load_numbering(numbering, data_dir, saved_adapter_names(saved));

    const bool same_boot = !boot.empty() && saved.boot == boot;
    for (const SavedReading& line : saved.lines) {
        const auto n = static_cast<std::size_t>(line.number);
        if (line.number >= 1 && numbering.names[n] == line.name) numbering.last_seen[n] = line.last_seen;
        if (!same_boot || line.index == 0) continue;
        readings.previous_run[line.index] = EarlierReading{line.name, line.received, line.sent};
        numbering.last_names.emplace_back(line.index, line.name);
    }
    std::sort(numbering.last_names.begin(), numbering.last_names.end());
    numbering.today = today = std::floor(today);
    for (int n = 1; n <= kMaxAdapters; ++n) {
        const auto i = static_cast<std::size_t>(n);
        if (!numbering.names[i].empty() && numbering.last_seen[i] <= 0.0) numbering.last_seen[i] = today;
    }
}
