#include "measure/rates.h"

#include <algorithm>
#include <cstring>

#include "platform/dialogs.h"

namespace {

void shift(SampleBuffer& h, int count) {
    // Entries 0 .. count-1 move to 1 .. count; one block move.
    std::memmove(h.data() + 1, h.data(), static_cast<std::size_t>(count) * sizeof(double));
}

TrafficPair new_sample(RatesView state, int i, AggregateSums& sums) {
    AdapterState& a = state.adapters[static_cast<std::size_t>(i)];
    const Settings& s = state.settings;
    const int moved = std::min(s.GraphBuffer + 10, kSampleCount - 1);
    shift(a.download_history, moved);
    shift(a.upload_history, moved);

    double dr = 0.0;
    double ds = 0.0;
    if (i >= 1) {
        dr = a.current_received - a.previous_received;
        ds = a.current_sent - a.previous_sent;
        // The extended counters only grow; a negative difference is never traffic.
        if (!(dr > 0)) dr = 0.0;
        if (!(ds > 0)) ds = 0.0;
    } else {
        dr = sums.received;
        ds = sums.sent;
    }
    const double cs = state.cycle.cycle_seconds;
    a.download_history[0] = dr / cs;
    a.upload_history[0] = ds / cs;
    if (!state.cycle.session_reset_pending) {
        a.session_download += dr;
        a.session_upload += ds;
    }
    if (i >= 1) {
        a.previous_received = a.current_received;
        a.previous_sent = a.current_sent;
        if (in_aggregate(s, i)) {
            sums.received += dr;
            sums.sent += ds;
        }
    }
    return TrafficPair{dr, ds};
}

void update_peaks(AdapterState& a, int sc) {
    const double d0 = a.download_history[0];
    const double u0 = a.upload_history[0];
    if (d0 > a.peak_both) a.peak_both = d0;
    if (u0 > a.peak_both) a.peak_both = u0;
    if (d0 > a.peak_download) a.peak_download = d0;
    if (u0 > a.peak_upload) a.peak_upload = u0;

    double sum_d = 0.0;
    double sum_u = 0.0;
    for (int j = 1; j <= kMaxAveraging; ++j) {
        sum_d += a.download_history[static_cast<std::size_t>(j - 1)];
        sum_u += a.upload_history[static_cast<std::size_t>(j - 1)];
        const int m = std::clamp(sc + 1, 1, j);
        const double aD = sum_d / m;
        const double aU = sum_u / m;
        const std::size_t k = static_cast<std::size_t>(j);
        a.peak_average_both[k] = std::max({a.peak_average_both[k], aD, aU});
        a.peak_average_download[k] = std::max(a.peak_average_download[k], aD);
        a.peak_average_upload[k] = std::max(a.peak_average_upload[k], aU);
    }
}

void smooth_graph(AdapterState& a, const Settings& s, int sc) {
    const int buffer = std::clamp(s.GraphBuffer, 0, kSampleCount - kMaxAveraging - 1);
    const int n = std::clamp<int>(s.BandwidthCalc, 1, kMaxAveraging);
    if (n == 1) {
        const std::size_t count = static_cast<std::size_t>(std::max(buffer - 10, 0));
        std::copy_n(a.download_history.begin(), count, a.download_graph.begin());
        std::copy_n(a.upload_history.begin(), count, a.upload_graph.begin());
        return;
    }
    // Summed afresh for every sample (at most ten terms), so no rounding error builds up
    // and a quiet line after heavy traffic reads exactly 0.
    for (int k = 0; k <= buffer; ++k) {
        double sum_d = 0.0;
        double sum_u = 0.0;
        for (int j = 0; j < n; ++j) {
            sum_d += a.download_history[static_cast<std::size_t>(k + j)];
            sum_u += a.upload_history[static_cast<std::size_t>(k + j)];
        }
        const int m = std::clamp(sc - k + 1, 1, n);
        a.download_graph[static_cast<std::size_t>(k)] = sum_d / m;
        a.upload_graph[static_cast<std::size_t>(k)] = sum_u / m;
    }
}

void shown_values(RatesView state, int i, int sc) {
    AdapterState& a = state.adapters[static_cast<std::size_t>(i)];
    const Settings& s = state.settings;
    a.shown_average_download = a.shown_average_upload = 0.0;
    a.shown_peak_both = a.shown_peak_download = a.shown_peak_upload = 0.0;
    if (s.AverageMaxType == 0) {
        const int v = s.GraphType == 0 ? state.window.client_width / 2 : state.window.client_width;
        const int limit = std::min({sc, v, kSampleCount - 1});
        double sum_d = 0.0;
        double sum_u = 0.0;
        int count = 0;
        for (int k = 0; k <= limit; ++k, ++count) {
            const double d = a.download_graph[static_cast<std::size_t>(k)];
            const double u = a.upload_graph[static_cast<std::size_t>(k)];
            sum_d += d;
            sum_u += u;
            a.shown_peak_both = std::max({a.shown_peak_both, d, u});
            a.shown_peak_download = std::max(a.shown_peak_download, d);
            a.shown_peak_upload = std::max(a.shown_peak_upload, u);
        }
        a.shown_average_download = sum_d / count;
        a.shown_average_upload = sum_u / count;
        return;
    }
    const double total = state.cycle.total_seconds;
    if (a.current_received - a.start_received > 0 && total > 0)
        a.shown_average_download = (a.current_received - a.start_received) / total;
    if (a.current_sent - a.start_sent > 0 && total > 0)
        a.shown_average_upload = (a.current_sent - a.start_sent) / total;
    const std::size_t n = static_cast<std::size_t>(std::clamp<int>(s.BandwidthCalc, 1, kMaxAveraging));
    a.shown_peak_download = a.peak_average_download[n];
    a.shown_peak_upload = a.peak_average_upload[n];
    a.shown_peak_both = a.peak_average_both[n];
    if (i == 0) {
        a.shown_average_download = a.shown_average_upload = 0.0;
        a.shown_peak_both = a.shown_peak_download = a.shown_peak_upload = 0.0;
        const int last = std::min(6, state.live_adapter_count());
        for (int j = 1; j <= last; ++j) {
            if (!in_aggregate(s, j)) continue;
            const AdapterState& b = state.adapters[static_cast<std::size_t>(j)];
            a.shown_average_download += b.shown_average_download;
            a.shown_average_upload += b.shown_average_upload;
            a.shown_peak_both += b.shown_peak_both;
            a.shown_peak_download += b.shown_peak_download;
            a.shown_peak_upload += b.shown_peak_upload;
        }
    }
}

}  // namespace

TrafficPair adapter_step(RatesView state, int i, bool recompute_only, AggregateSums& sums) {
    const int sc = state.cycle.sample_count;
    TrafficPair sample;
    if (!recompute_only) sample = new_sample(state, i, sums);
    AdapterState& a = state.adapters[static_cast<std::size_t>(i)];
    update_peaks(a, sc);
    const bool monitored = i == state.settings.Adapter;
    if (!monitored && !a.graph_shown) return sample;
    if (monitored || state.window.visible) smooth_graph(a, state.settings, sc);
    if (state.window.visible) shown_values(state, i, sc);
    return sample;
}

double newest_rate(RatesQuery state, int slot, bool upload) {
    const AdapterState& a = state.adapters[static_cast<std::size_t>(slot)];
    const int n = std::clamp<int>(state.settings.BandwidthCalc, 1, kMaxAveraging);
    const SampleBuffer& history = upload ? a.upload_history : a.download_history;
    double sum = 0.0;
    for (int j = 0; j < n; ++j) sum += history[static_cast<std::size_t>(j)];
    // The cycle counted its sample after smoothing: the graph divided by the count before it
    // plus one, which is the count now.
    return sum / std::clamp(state.cycle.sample_count, 1, n);
}

void reset_session(RatesView state) {
    for (int i = 0; i <= state.live_adapter_count(); ++i) {
        state.adapters[static_cast<std::size_t>(i)].session_download = 0.0;
        state.adapters[static_cast<std::size_t>(i)].session_upload = 0.0;
    }
    state.cycle.session_reset_pending = true;
    state.cycle.session_seconds = 0.0;
}

bool confirm_session_reset(Dialogs& dialogs) {
    MessageBoxRequest req{"This will clear the recoreded amounts for the current session.", "Warning",
                          MsgButtons::ok_cancel, MsgIcon::error, true};
    return dialogs.message_box(req) == MsgResult::ok;
}
