#include "measure/adapter_list.h"

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
