#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/metrics_view.h"
#include "platform/services.h"
#include "net/metrics_exposition.h"


// What the metrics endpoint reports of one adapter.
struct AdapterFigures {
    int adapter = 0;
    std::string interface;       // empty when not known
    double received_total = 0.0;  // logged bytes since the adapter's logs began, this run included
    double sent_total = 0.0;
    double receive_rate = 0.0;   // bytes/s as the main window shows them
    double transmit_rate = 0.0;
    double cap_used = 0.0;  // the share of the data cap used in the user-defined period, 1 = all
};

// The figures of adapters 1 to the live adapter count, as of `now`. The totals are the
// "Total" period (the logs from their start to yesterday plus today's live entry), so they
// only grow while the logs are kept; the rates are the averages over the last
// `Bandwidth Calc.` seconds, the main window's current rate. `names`: element a names
// adapter a.
std::vector<AdapterFigures> adapter_figures(const MetricsView& state, const std::vector<std::string>& names, double now);

// The endpoint's metric families: the byte counters and rates per adapter, the build
// information and, with a data cap (`cap_bytes` above 0), the cap and each adapter's share of it.
std::vector<MetricFamily> program_metric_families(const std::vector<AdapterFigures>& adapters,
                                                  std::string_view version, double cap_bytes = 0.0);

// The body of a metrics answer for the running program, as of the clock's now.
std::string program_metrics_text(const MetricsView& state, Services& services);
