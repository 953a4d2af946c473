#include "measure/adapter_numbering.h"

#include <algorithm>
#include <sstream>

#include "history/log_files.h"
#include "platform/file_save.h"

namespace {

// A name that can stand on one line of the file: not empty, no control characters.
bool fits_a_line(const std::string& name) {
    return !name.empty() &&
           std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

int AdapterNumbering::count() const {
    for (int n = kMaxAdapters; n >= 1; --n)
        if (!names[static_cast<std::size_t>(n)].empty()) return n;
    return 0;
}

int AdapterNumbering::number_of(const std::string& name) const {
    if (name.empty()) return 0;
    for (int n = 1; n <= kMaxAdapters; ++n)
        if (names[static_cast<std::size_t>(n)] == name) return n;
    return 0;
}

int AdapterNumbering::give_number(const std::string& name) {
    // A name that cannot stand on one line of the file cannot be kept for good.
    if (!fits_a_line(name)) return 0;
    if (const int known = number_of(name)) return known;
    for (int n = 1; n <= kMaxAdapters; ++n) {
        std::string& slot = names[static_cast<std::size_t>(n)];
        if (!slot.empty()) continue;
        slot = name;
        unsaved = true;
        return n;
    }
    if (refused.insert(name).second) untold.push_back(name);
    return 0;
}

std::string numbering_text(const AdapterNumbering& numbering) {
    std::string text;
    for (int n = 1; n <= kMaxAdapters; ++n) {
        const std::string& name = numbering.names[static_cast<std::size_t>(n)];
        if (!name.empty()) text += std::to_string(n) + " " + name + "\n";
    }
    return text;
}

bool read_numbering_text(const std::string& text, AdapterNumbering& numbering) {
    numbering.names.fill(std::string());
    bool whole = true;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        std::size_t pos = start;
        int number = 0;
        while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && number <= kMaxAdapters)
            number = number * 10 + (line[pos++] - '0');
        const auto name_at = line.find_first_not_of(" \t", pos);
        const bool separated = pos > start && pos < line.size() && (line[pos] == ' ' || line[pos] == '\t');
        std::string name = name_at == std::string::npos ? std::string() : line.substr(name_at);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        const bool usable = separated && fits_a_line(name) && number >= 1 && number <= kMaxAdapters &&
                            numbering.names[static_cast<std::size_t>(number)].empty() && numbering.number_of(name) == 0;
        if (!usable) {
            whole = false;
            continue;
        }
        numbering.names[static_cast<std::size_t>(number)] = std::move(name);
    }
    return whole;
}

std::string numbering_file_path(const std::string& data_dir) { return stats_dir(data_dir) + "Adapters.txt"; }

void load_numbering(AdapterNumbering& numbering, const std::string& data_dir) {
    const FileRead r = read_file(numbering_file_path(data_dir), 0, 64 * 1024);
    const std::string text(r.bytes.begin(), r.bytes.end());
    const bool whole = r.status == ReadStatus::ok && read_numbering_text(text, numbering);
    // A missing file, or one with lines that could not be used, is written again; a whole
    // file written by hand keeps its own layout.
    numbering.unsaved = !whole;
}

void save_numbering(AdapterNumbering& numbering, const std::string& data_dir) {
    if (!numbering.unsaved || data_dir.empty()) return;
    make_dir(stats_dir(data_dir));
    const std::string text = numbering_text(numbering);
    if (save_data_file(numbering_file_path(data_dir), text, data_dir).ok) numbering.unsaved = false;
}
