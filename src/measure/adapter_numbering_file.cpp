#include <algorithm>
#include <filesystem>
#include <sstream>

#include "measure/adapter_numbering.h"
#include "platform/file_access.h"
#include "platform/file_save.h"
#include "platform/data_files.h"

namespace {

// Fifteen lines of the longest names fit many times over; more is no numbering file.
constexpr std::int64_t kMaxNumberingFile = 64 * 1024;
constexpr std::size_t kMaxNumberingLine = kMaxInterfaceName + 16;
// Problems named in the notice; the rest are counted.
constexpr std::size_t kProblemsTold = 5;

std::string problem_list(const std::vector<std::string>& problems) {
    std::string text;
    for (std::size_t i = 0; i < problems.size() && i < kProblemsTold; ++i) text += (i ? "; " : "") + problems[i];
    if (problems.size() > kProblemsTold) text += "; and " + std::to_string(problems.size() - kProblemsTold) + " more";
    return text;
}

// Numbers and names the file did not give, from what the last counter readings named.
int take_known(AdapterNumbering& numbering, const std::vector<std::pair<int, std::string>>& known) {
    int taken = 0;
    for (const auto& [n, name] : known) {
        if (n < 1 || n > kMaxAdapters || !fits_a_line(name)) continue;
        std::string& slot = numbering.names[static_cast<std::size_t>(n)];
        if (!slot.empty() || numbering.number_of(name) != 0) continue;
        slot = name;
        ++taken;
    }
    return taken;
}

}  // namespace

std::string numbering_text(const AdapterNumbering& numbering) {
    std::string text;
    for (int n = 1; n <= kMaxAdapters; ++n) {
        const std::string& name = numbering.names[static_cast<std::size_t>(n)];
        if (!name.empty()) text += std::to_string(n) + " " + name + "\n";
    }
    return text;
}

bool read_numbering_text(const std::string& text, AdapterNumbering& numbering, std::vector<std::string>& problems) {
    numbering.names.fill(std::string());
    const std::size_t problems_before = problems.size();
    std::istringstream in(text);
    std::string line;
    for (int line_number = 1; std::getline(in, line); ++line_number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        const std::string where = "line " + std::to_string(line_number);
        if (line.size() > kMaxNumberingLine) {
            problems.push_back(where + " is longer than " + std::to_string(kMaxNumberingLine) + " bytes");
            continue;
        }
        std::size_t pos = start;
        int number = 0;
        while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && number <= kMaxAdapters)
            number = number * 10 + (line[pos++] - '0');
        const auto name_at = line.find_first_not_of(" \t", pos);
        const bool separated = pos > start && pos < line.size() && (line[pos] == ' ' || line[pos] == '\t');
        std::string name = name_at == std::string::npos ? std::string() : line.substr(name_at);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
        if (!separated || !fits_a_line(name) || number < 1 || number > kMaxAdapters) {
            problems.push_back(where + " is no number from 1 to " + std::to_string(kMaxAdapters) + " and a name");
        } else if (!numbering.names[static_cast<std::size_t>(number)].empty()) {
            problems.push_back(where + " repeats number " + std::to_string(number));
        } else if (numbering.number_of(name) != 0) {
            problems.push_back(where + " repeats the name " + name);
        } else {
            numbering.names[static_cast<std::size_t>(number)] = std::move(name);
        }
    }
    return problems.size() == problems_before;
}

std::string numbering_file_path(const std::string& data_dir) { return stats_dir(data_dir) + "Adapters.txt"; }

void load_numbering(AdapterNumbering& numbering, const std::string& data_dir,
                    const std::vector<std::pair<int, std::string>>& known, bool set_aside) {
    const std::string path = numbering_file_path(data_dir);
    const FileRead r = read_file(path, 0, kMaxNumberingFile + 1);
    std::vector<std::string> problems;
    if (r.status == ReadStatus::error) problems.push_back("it cannot be read");
    if (static_cast<std::int64_t>(r.bytes.size()) > kMaxNumberingFile)
        problems.push_back("it is larger than " + std::to_string(kMaxNumberingFile / 1024) + " KiB");
    const std::string text(r.bytes.begin(), r.bytes.end());
    const bool whole = read_numbering_text(text, numbering, problems) && problems.empty();
    // A whole file written by hand keeps its own layout.
    numbering.unsaved = !whole || r.status != ReadStatus::ok;
    if (r.status == ReadStatus::missing) {
        // Nothing to tell: a first start, or a data folder from before the numbering file.
        take_known(numbering, known);
        return;
    }
    if (whole) return;
    const auto from_file =
        std::count_if(numbering.names.begin(), numbering.names.end(), [](const std::string& s) { return !s.empty(); });
    const int from_readings = take_known(numbering, known);
    if (!set_aside) return;
    std::error_code ec;
    std::filesystem::rename(native_path(path), native_path(path + ".damaged"), ec);
    numbering.keep_file = static_cast<bool>(ec);
    std::string notice = "Stats/Adapters.txt, which numbers the adapters, could not be read whole (" +
                         problem_list(problems) + "). ";
    notice += numbering.keep_file ? "It could not be set aside and is left as it is for this run. "
                                  : "It is kept as Stats/Adapters.txt.damaged and written again. ";
    notice += std::to_string(from_file) + " adapters kept their numbers from its readable lines and " +
              std::to_string(from_readings) +
              " from the last saved counter readings, so each history stays with its interface; "
              "interfaces known to neither get new numbers.";
    numbering.notices.push_back(std::move(notice));
}

void save_numbering(AdapterNumbering& numbering, const std::string& data_dir) {
    if (!numbering.unsaved || numbering.keep_file || numbering.frozen || data_dir.empty()) return;
    make_dir(stats_dir(data_dir));
    const std::string text = numbering_text(numbering);
    if (save_data_file(numbering_file_path(data_dir), text, data_dir).ok) numbering.unsaved = false;
}
