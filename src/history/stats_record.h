#pragma once

#include <cstdint>
#include <vector>

// Counter continuation state of one adapter, as kept in "Stats.dat". The wrap counts are
// wider in memory than in the file (one byte there), so that a run that passes 255
// half-range steps keeps counting continuously.
struct CounterContinuation {
    std::uint32_t sent_wraps = 0;
    std::uint32_t received_wraps = 0;
    bool sent_sign = false;
    bool received_sign = false;
    double sent_offset = 0.0;
    double received_offset = 0.0;
    double received_carried = 0.0;
    double sent_carried = 0.0;
    double last_received = 0.0;
    double last_sent = 0.0;
    friend bool operator==(const CounterContinuation&, const CounterContinuation&) = default;
};

// The adapter-state file: marker "KV", version 1, reserved, start date, and the ten arrays
// (held here as one record per adapter; element k is adapter k + 1).
struct StatsRecord {
    char marker[2] = {'K', 'V'};
    std::uint8_t version = 1;
    std::int32_t reserved = 0;
    double start_date = 0.0;
    std::vector<CounterContinuation> adapters;

    int adapter_count() const { return static_cast<int>(adapters.size()); }
};
