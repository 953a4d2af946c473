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
    bool restarted = false;  // the interface started again: the growth is its whole reading
};

// The last reading of one interface, followed by name for the whole run whatever happens to
// its addresses, so that the bytes it carries are counted exactly once.
struct InterfaceReading {
    std::uint32_t index = 0;
    bool wide = true;
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    bool present = false;  // in the interface table at the last read
    // Growth not yet counted because the interface's adapter had no connection meanwhile.
    CounterGrowth uncounted;
    // Growth of the last read.
    CounterGrowth growth;
};

struct InterfaceReadings {
    std::map<std::string, InterfaceReading> by_name;
    bool baseline_taken = false;  // the interface table has been read once this run
};

// How the counters grew from `last` to `row`:
// - same interface (same index), counters not lower: the difference;
// - counters went down, or the name came back with a new index: the interface started again,
//   and all it counted is traffic since then;
// - 32-bit counters (no wide counters): one counter lower is a pass through 2^32, both lower
//   a restart; counters that changed width are a new base and grow by nothing.
CounterGrowth counter_growth(const InterfaceReading& last, const InterfaceRow& row);

// Follows every interface of a read. An interface first seen at the first read of the run
// grows by nothing (what it counted before is not this run's traffic); one that appears later
// came up during the run and grows by its whole reading. An interface missing from a read
// keeps its last reading while `keep(name)` says so (a numbered adapter, which continues from
// there when it returns); others are forgotten. Nothing changes when the table was unreadable.
void follow_interfaces(InterfaceReadings& readings, const std::vector<InterfaceRow>& rows, bool table_read,
                       const std::function<bool(const std::string&)>& keep);
