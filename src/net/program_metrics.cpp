#include "net/program_metrics.h"

#include <algorithm>

#include "history/data_cap.h"
#include "history/period_totals.h"
#include "measure/adapter_names.h"

namespace {

constexpr int kTotalPeriod = 8;

MetricSample adapter_sample(const AdapterFigures& a, double value) {
    return MetricSample{{{"adapter", std::to_string(a.adapter)}, {"interface", a.interface}}, value};
}

MetricFamily per_adapter(const char* name, const char* help, const char* type,
                         const std::vector<AdapterFigures>& adapters, double AdapterFigures::*field) {
    MetricFamily f{name, help, type, {}};
    for (const AdapterFigures& a : adapters) f.samples.push_back(adapter_sample(a, a.*field));
    return f;
}

}  // namespace

double current_rate(const AdapterState& slot, bool download, int averaging_seconds, std::int32_t sample_count) {
    const int n = std::clamp(averaging_seconds, 1, kMaxAveraging);
    const SampleBuffer& history = download ? slot.download_history : slot.upload_history;
    double sum = 0.0;
    for (int k = 0; k < n; ++k) sum += history[static_cast<std::size_t>(k)];
    return sum / std::clamp(sample_count, 1, n);
}

std::vector<AdapterFigures> adapter_figures(ProgramState& state, const std::vector<std::string>& names, double now) {
    std::vector<AdapterFigures> figures;
    const int averaging = state.settings.BandwidthCalc;
    for (int a = 1; a <= state.live_adapter_count(); ++a) {
        const AdapterState& slot = state.adapters[static_cast<std::size_t>(a)];
        AdapterFigures f;
        f.adapter = a;
        if (static_cast<std::size_t>(a) < names.size()) f.interface = names[static_cast<std::size_t>(a)];
        f.received_total = period_total(state, a, kTotalPeriod, kReceived, now);
        f.sent_total = period_total(state, a, kTotalPeriod, kSent, now);
        f.receive_rate = current_rate(slot, true, averaging, state.cycle.sample_count);
        f.transmit_rate = current_rate(slot, false, averaging, state.cycle.sample_count);
        f.cap_used = cap_status(state, a, now).share / 100.0;
        figures.push_back(std::move(f));
    }
    return figures;
}

std::vector<MetricFamily> program_metric_families(const std::vector<AdapterFigures>& adapters,
                                                  std::string_view version, double cap_bytes) {
    std::vector<MetricFamily> families;
    families.push_back(per_adapter("kelvanto_receive_bytes_total",
                                   "Bytes received by the adapter since its traffic log began.", "counter", adapters,
                                   &AdapterFigures::received_total));
    families.push_back(per_adapter("kelvanto_transmit_bytes_total",
                                   "Bytes sent by the adapter since its traffic log began.", "counter", adapters,
                                   &AdapterFigures::sent_total));
    families.push_back(per_adapter("kelvanto_receive_bytes_per_second", "Current download rate of the adapter.",
                                   "gauge", adapters, &AdapterFigures::receive_rate));
    families.push_back(per_adapter("kelvanto_transmit_bytes_per_second", "Current upload rate of the adapter.",
                                   "gauge", adapters, &AdapterFigures::transmit_rate));
    if (cap_bytes > 0) {
        families.push_back(MetricFamily{"kelvanto_cap_bytes", "The data cap of the user-defined period.", "gauge",
                                        {MetricSample{{}, cap_bytes}}});
        families.push_back(per_adapter("kelvanto_cap_used_ratio",
                                       "Share of the data cap the adapter used in the user-defined period.", "gauge",
                                       adapters, &AdapterFigures::cap_used));
    }
    families.push_back(MetricFamily{"kelvanto_build_info", "The running program's version.", "gauge",
                                    {MetricSample{{{"version", std::string(version)}}, 1.0}}});
    return families;
}

std::string program_metrics_text(ProgramState& state, Services& services) {
    const std::vector<std::string> names = adapter_interface_names(state, services);
    return exposition_text(program_metric_families(adapter_figures(state, names, services.clock.now()),
                                                   KELVANTO_VERSION, cap_bytes(state.settings)));
}
