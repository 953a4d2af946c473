#include "measure/interface_readings.h"

#include <algorithm>

namespace {

constexpr std::uint64_t k32BitRange = 1ull << 32;

std::uint64_t received_of(const InterfaceRow& row) { return row.has_wide_counters ? row.in_octets_wide : row.in_octets; }
std::uint64_t sent_of(const InterfaceRow& row) { return row.has_wide_counters ? row.out_octets_wide : row.out_octets; }

// What an interface seen at the first read carried since the previous run's last reading:
// the kernel kept counting while the program did not run. Counters that went down mean it
// started again meanwhile (or is another one), and then nothing is known.
CounterGrowth from_previous_run(const InterfaceReadings& readings, const InterfaceRow& row) {
    const auto earlier = readings.previous_run.find(row.index);
    if (earlier == readings.previous_run.end() || !row.has_wide_counters) return {};
    const std::uint64_t rx = received_of(row);
    const std::uint64_t tx = sent_of(row);
    if (rx < earlier->second.received || tx < earlier->second.sent) return {};
    return {rx - earlier->second.received, tx - earlier->second.sent, false, true};
}

}  // namespace

CounterGrowth counter_growth(const InterfaceReading& last, const InterfaceRow& row) {
    const std::uint64_t rx = received_of(row);
    const std::uint64_t tx = sent_of(row);
    const bool rx_down = rx < last.received;
    const bool tx_down = tx < last.sent;
    // Counters of another width cannot be compared: the new reading is the base.
    if (last.wide != row.has_wide_counters) return {};
    if (row.has_wide_counters ? rx_down || tx_down : rx_down && tx_down) return {rx, tx, true};
    // Narrow counters that went down passed 2^32 once (two passes within a second are
    // beyond any 32-bit interface).
    return {rx_down ? rx + k32BitRange - last.received : rx - last.received,
            tx_down ? tx + k32BitRange - last.sent : tx - last.sent};
}

void follow_interfaces(InterfaceReadings& readings, const std::vector<InterfaceRow>& rows, bool table_read,
                       const std::function<bool(const std::string&)>& keep) {
    for (auto& entry : readings.by_index) entry.second.growth = CounterGrowth{};
    if (!table_read) return;
    for (auto& entry : readings.by_index) entry.second.present = false;
    for (const InterfaceRow& row : rows) {
        const auto [it, is_new] = readings.by_index.try_emplace(row.index);
        InterfaceReading& reading = it->second;
        if (!is_new) {
            // The same interface, whatever name it shows now: it counts on from its last reading.
            reading.growth = counter_growth(reading, row);
        } else if (!readings.baseline_taken) {
            reading.growth = from_previous_run(readings, row);
        } else {
            // Came up during the run: everything it counted so far is new traffic.
            reading.growth = CounterGrowth{received_of(row), sent_of(row), true};
        }
        if (reading.name != row.description) reading.name = row.description;
        reading.wide = row.has_wide_counters;
        reading.received = received_of(row);
        reading.sent = sent_of(row);
        reading.present = true;
    }
    readings.previous_run.clear();
    // A gone interface whose name now shows under another index was deleted and made again.
    std::erase_if(readings.by_index, [&](const auto& entry) {
        const InterfaceReading& r = entry.second;
        if (r.present) return false;
        return !keep(r.name) ||
               std::any_of(rows.begin(), rows.end(), [&](const InterfaceRow& row) { return row.description == r.name; });
    });
    readings.baseline_taken = true;
}

InterfaceReading* reading_of(InterfaceReadings& readings, std::uint32_t index) {
    const auto it = readings.by_index.find(index);
    return it == readings.by_index.end() ? nullptr : &it->second;
}
