#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/interface_table.h"

// Growth of an interface's two counters between two readings, in bytes.
struct CounterGrowth {
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    bool restarted = false;     // the interface started again: the growth is its whole reading
    bool between_runs = false;  // grown since the last reading of the previous run
};

// The last reading of one interface. Interfaces are followed by their kernel index, which
// stays with an interface for as long as it exists in this boot whatever its name, so that
// the bytes it carries are counted exactly once through renames and address changes.
struct InterfaceReading {
    std::string name;
    bool wide = true;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    bool present = false;  // in the interface table at the last read
    CounterGrowth growth;  // growth of the last read
};

// The last reading of an interface in the previous run, saved beside the logs.
struct EarlierReading {
    std::string name;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
};

struct InterfaceReadings {
    std::map<std::uint32_t, InterfaceReading> by_index;
    bool baseline_taken = false;  // the interface table has been read once this run
    // The previous run's last readings by index, when it ran in this boot and network
    // namespace: the first read counts from them instead of taking a new base.
    std::map<std::uint32_t, EarlierReading> previous_run;
};

// How the counters grew from `last` to `row` (the same index):
// - counters not lower: the difference;
// - counters went down: the interface started again, and all it counted is traffic since;
// - 32-bit counters (no wide counters): one counter lower is a pass through 2^32, both lower
//   a restart; counters that changed width are a new base and grow by nothing.
CounterGrowth counter_growth(const InterfaceReading& last, const InterfaceRow& row);

// Follows every interface of a read by its index. An interface first seen at the first read
// of the run grows by what it counted since the previous run's last reading, when that ran
// in this boot with the same index and the counters are not lower, and else by nothing;
// one that appears later came up during the run and grows by its whole reading. A name that
// comes back under a new index is a new interface. An interface missing from a read keeps
// its last reading while `keep(name)` says so (a numbered adapter, which continues from there
// when it returns with its index); others are forgotten. Nothing changes when the table
// was unreadable.
void follow_interfaces(InterfaceReadings& readings, const std::vector<InterfaceRow>& rows, bool table_read,
                       const std::function<bool(const std::string&)>& keep);
// The reading of the interface with index `index`, if it is followed.
InterfaceReading* reading_of(InterfaceReadings& readings, std::uint32_t index);
