#include "measure/interface_readings.h"

#include <algorithm>

namespace {

constexpr std::uint64_t k32BitRange = 1ull << 32;

std::uint64_t received_of(const InterfaceRow& row) { return row.has_wide_counters ? row.in_octets_wide : row.in_octets; }
std::uint64_t sent_of(const InterfaceRow& row) { return row.has_wide_counters ? row.out_octets_wide : row.out_octets; }

// The last reading of an interface that had `row`'s index under a name this read no longer
// shows: the interface was renamed.
const InterfaceReading* renamed_from(const InterfaceReadings& readings, const std::vector<InterfaceRow>& rows,
                                     const InterfaceRow& row) {
    for (const auto& [name, reading] : readings.by_name) {
        if (reading.index != row.index || name == row.description || !reading.present) continue;
        const bool still_there = std::any_of(rows.begin(), rows.end(), [&](const InterfaceRow& r) { return r.description == name; });
        if (!still_there) return &reading;
    }
    return nullptr;
}

}  // namespace

CounterGrowth counter_growth(const InterfaceReading& last, const InterfaceRow& row) {
    const std::uint64_t rx = received_of(row);
    const std::uint64_t tx = sent_of(row);
    const bool rx_down = rx < last.received;
    const bool tx_down = tx < last.sent;
    // Counters of another width cannot be compared: the new reading is the base.
    if (last.wide != row.has_wide_counters && last.index == row.index) return {};
    if (last.index != row.index || (row.has_wide_counters ? rx_down || tx_down : rx_down && tx_down))
        return {rx, tx, true};
    // Narrow counters that went down passed 2^32 once (two passes within a second are
    // beyond any 32-bit interface).
    return {rx_down ? rx + k32BitRange - last.received : rx - last.received,
            tx_down ? tx + k32BitRange - last.sent : tx - last.sent, false};
}

void follow_interfaces(InterfaceReadings& readings, const std::vector<InterfaceRow>& rows, bool table_read,
                       const std::function<bool(const std::string&)>& keep) {
    if (!table_read) {
        for (auto& [name, reading] : readings.by_name) reading.growth = CounterGrowth{};
        return;
    }
    // The growths first, while `present` still tells what the previous read showed.
    std::vector<std::pair<InterfaceReading*, const InterfaceRow*>> seen;
    seen.reserve(rows.size());
    for (auto& [name, reading] : readings.by_name) reading.growth = CounterGrowth{};
    for (const InterfaceRow& row : rows) {
        const auto [it, is_new] = readings.by_name.try_emplace(row.description);
        InterfaceReading& reading = it->second;
        if (!is_new) {
            reading.growth = counter_growth(reading, row);
        } else if (const InterfaceReading* before = renamed_from(readings, rows, row)) {
            // The same interface under a new name: it counts on from its last reading.
            reading.growth = counter_growth(*before, row);
        } else {
            // Came up during the run: everything it counted so far is new traffic.
            reading.growth = readings.baseline_taken ? CounterGrowth{received_of(row), sent_of(row), true} : CounterGrowth{};
        }
        seen.emplace_back(&reading, &row);
    }
    for (auto& [name, reading] : readings.by_name) reading.present = false;
    for (auto [reading, row] : seen) {
        reading->index = row->index;
        reading->wide = row->has_wide_counters;
        reading->received = received_of(*row);
        reading->sent = sent_of(*row);
        reading->present = true;
    }
    std::erase_if(readings.by_name, [&](const auto& entry) { return !entry.second.present && !keep(entry.first); });
    readings.baseline_taken = true;
}
