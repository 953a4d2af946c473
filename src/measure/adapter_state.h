#pragma once

#include <array>
#include <string>

#include "measure/traffic_pair.h"
#include "settings/adapter_slots.h"

// Samples kept per rate history and graph buffer, index 0 newest.
inline constexpr int kSampleCount = 1851;
inline constexpr int kDaysPerYearTable = 366;
inline constexpr int kMaxAveraging = 10;

using SampleBuffer = std::array<double, kSampleCount>;

// Live per-slot state: extended counters, rate histories, graph buffers, peaks, averages
// and session amounts. Rates in bytes/s, amounts in bytes.
struct AdapterState {
    double previous_received = 0.0;
    double previous_sent = 0.0;

    // Each buffer starts on a cache line: every cycle shifts the histories by one sample and
    // streams through all four, and without it the cycle's time depends on where the
    // buffers happen to fall (up to twice as long).
    alignas(64) SampleBuffer download_graph{};
    alignas(64) SampleBuffer download_history{};
    alignas(64) SampleBuffer upload_graph{};
    alignas(64) SampleBuffer upload_history{};

    double current_received = 0.0;
    double current_sent = 0.0;

    double shown_peak_both = 0.0;
    double shown_peak_upload = 0.0;
    double shown_peak_download = 0.0;

    double peak_both = 0.0;
    double peak_upload = 0.0;
    double peak_download = 0.0;

    // Index j = 1..10 is the largest j-second average; index 0 is unused.
    std::array<double, kMaxAveraging + 1> peak_average_both{};
    std::array<double, kMaxAveraging + 1> peak_average_upload{};
    std::array<double, kMaxAveraging + 1> peak_average_download{};

    double start_sent = 0.0;
    double start_received = 0.0;

    double shown_average_download = 0.0;
    double shown_average_upload = 0.0;

    double total_received = 0.0;
    double total_sent = 0.0;

    std::string status;

    double session_upload = 0.0;
    double session_download = 0.0;

    bool graph_shown = false;
};

using AdapterTable = std::array<AdapterState, kAdapterSlots>;

// What the last read found for an adapter, not stored.
struct CounterRuntime {
    std::string description;  // the interface read in this slot by the last cycle, "" if none
};

// Samples beyond the graph length are no longer drawn or smoothed; clears them so a longer
// graph later starts from zeros, not from stale samples.
void trim_graph_buffers(AdapterTable& adapters, int graph_length);

// Clears the live statistics of a slot (graph buffers, histories, peaks and averages).
void clear_live_statistics(AdapterState& a);
