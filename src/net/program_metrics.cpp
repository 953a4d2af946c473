#include "net/program_metrics.h"

#include "history/data_cap.h"
#include "history/stats_record.h"
#include "settings/settings.h"
#include "history/period_totals.h"
#include "measure/adapter_names.h"
#include "measure/ip_statistics.h"
#include "measure/rates.h"

namespace {

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

std::vector<AdapterFigures> adapter_figures(const MetricsView& state, const std::vector<std::string>& names, double now) {
    std::vector<AdapterFigures> figures;
    for (int a = 1; a <= state.history.live_adapter_count(); ++a) {
        AdapterFigures f;
        f.adapter = a;
        if (static_cast<std::size_t>(a) < names.size()) f.interface = names[static_cast<std::size_t>(a)];
        f.received_total = period_total(state.history, a, kPeriodTotal, kReceived, now);
        f.sent_total = period_total(state.history, a, kPeriodTotal, kSent, now);
        f.receive_rate = newest_rate(state.rates, a, false);
        f.transmit_rate = newest_rate(state.rates, a, true);
        f.cap_used = cap_status(state.history, a, now).share / 100.0;
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

std::string program_metrics_text(const MetricsView& state, Services& services) {
    const std::vector<std::string> names =
        adapter_interface_names(services, state.table_messages, state.history.stats.adapter_count());
    return exposition_text(program_metric_families(adapter_figures(state, names, services.clock.now()),
                                                   KELVANTO_VERSION, cap_bytes(state.history.settings)));
}
