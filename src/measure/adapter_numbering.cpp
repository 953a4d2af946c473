#include "measure/adapter_numbering.h"

#include <algorithm>

namespace {

bool has_row_named(const std::vector<InterfaceRow>& rows, const std::string& name) {
    return std::any_of(rows.begin(), rows.end(), [&](const InterfaceRow& r) { return r.description == name; });
}

}  // namespace

bool fits_a_line(const std::string& name) {
    return !name.empty() && name.size() <= kMaxInterfaceName &&
           std::none_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

bool virtual_by_default(const std::string& name) {
    if (name == "docker0") return true;
    for (const char* prefix : {"br-", "veth", "virbr", "vnet", "cni", "flannel"})
        if (name.starts_with(prefix)) return true;
    return false;
}

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
    if (const int known = number_of(name)) return known;
    // A name that cannot stand on one line of the file cannot be kept for good.
    if (frozen || !fits_a_line(name)) return 0;
    for (int n = 1; n <= kMaxAdapters; ++n) {
        std::string& slot = names[static_cast<std::size_t>(n)];
        if (!slot.empty()) continue;
        slot = name;
        last_seen[static_cast<std::size_t>(n)] = today;
        unsaved = true;
        return n;
    }
    if (refused.insert(name).second) untold.push_back(name);
    if (std::find(wanting.begin(), wanting.end(), name) == wanting.end()) wanting.push_back(name);
    return 0;
}

void AdapterNumbering::follow_renames(const std::vector<InterfaceRow>& rows) {
    // Rows come sorted by index, and so are the remembered ones: while nothing was renamed,
    // added or removed this is one comparison per interface.
    const bool same = rows.size() == last_names.size() &&
                      std::equal(rows.begin(), rows.end(), last_names.begin(), [](const InterfaceRow& r, const auto& l) {
                          return r.index == l.first && r.description == l.second;
                      });
    if (same) return;
    if (!frozen) {
        for (const InterfaceRow& row : rows) {
            const auto before = std::find_if(last_names.begin(), last_names.end(),
                                             [&](const auto& l) { return l.first == row.index; });
            if (before == last_names.end() || before->second == row.description) continue;
            const int n = number_of(before->second);
            if (n == 0 || has_row_named(rows, before->second) || number_of(row.description) != 0 ||
                !fits_a_line(row.description))
                continue;
            names[static_cast<std::size_t>(n)] = row.description;
            unsaved = true;
        }
    }
    last_names.clear();
    for (const InterfaceRow& row : rows) last_names.emplace_back(row.index, row.description);
}

int AdapterNumbering::retirable(const AdapterSet& in_use) const {
    int oldest = 0;
    for (int n = 1; n <= kMaxAdapters; ++n) {
        const auto i = static_cast<std::size_t>(n);
        const double seen = last_seen[i];
        if (names[i].empty() || in_use[i] || seen <= 0.0 || today - seen < kRetireAfterDays) continue;
        if (oldest == 0 || seen < last_seen[static_cast<std::size_t>(oldest)]) oldest = n;
    }
    return oldest;
}
