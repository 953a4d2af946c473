#include "measure/adapter_list.h"

#include "settings/adapter_slots.h"

std::string adapter_list_name(const clsIPStatistics& stats, int n) {
    if (n < 1 || n > stats.Found_Adaptors()) return {};
    const InterfaceEntry& e = stats.entry(n);
    return e.present ? e.description : e.description + kGoneMark;
}

std::vector<std::string> adapter_list_names(const clsIPStatistics& stats) {
    std::vector<std::string> names;
    for (int n = 1; n <= stats.Found_Adaptors(); ++n) names.push_back(adapter_list_name(stats, n));
    return names;
}

std::string numbered_adapter_name(const clsIPStatistics& stats, int n) {
    if (n == 0) return "0 - Multiple adapters";
    const std::string name = adapter_list_name(stats, n);
    return std::to_string(n) + " - " + (name.empty() ? "(unknown)" : name);
}

namespace {

// Names listed in one line of what is not counted; the rest are counted.
constexpr std::size_t kNamesListed = 8;

}  // namespace

std::string adapter_name_list(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kNamesListed; ++i) text += (i == 0 ? "" : ", ") + names[i];
    if (names.size() > kNamesListed) text += " and " + std::to_string(names.size() - kNamesListed) + " more";
    return text;
}

std::string not_counted_text(const clsIPStatistics& stats, const AdapterNumbering& numbering,
                             const std::vector<std::string>& retired) {
    std::vector<std::string> refused;
    std::vector<std::string> virtual_ones;
    for (const InterfaceRow& row : stats.interface_rows()) {
        if (numbering.number_of(row.description) != 0) continue;
        if (numbering.refused.contains(row.description)) refused.push_back(row.description);
        else if (!numbering.count_virtual && virtual_by_default(row.description)) virtual_ones.push_back(row.description);
    }
    std::vector<std::string> lines;
    if (!refused.empty())
        lines.push_back("Not counted, all " + std::to_string(kMaxAdapters) +
                        " adapter numbers being taken: " + adapter_name_list(refused));
    if (!virtual_ones.empty()) lines.push_back("Not counted, container or virtual: " + adapter_name_list(virtual_ones));
    if (!retired.empty())
        lines.push_back("Retired after " + std::to_string(static_cast<int>(kRetireAfterDays)) +
                        " days unseen, history in Stats/Retired/: " + adapter_name_list(retired));
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i == 0 ? "" : "\n") + lines[i];
    return text;
}
