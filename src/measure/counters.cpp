#include "measure/counters.h"

#include <algorithm>

namespace {

constexpr double kHalfRange = 2147483648.0;  // 2^31

// Moves the counters' last reading into the offsets, as when the interface restarted.
void carry_into_offset(CounterContinuation& c, const CounterRuntime& rt) {
    c.received_offset += rt.last_raw_received + (c.received_sign ? kHalfRange : 0.0);
    c.sent_offset += rt.last_raw_sent + (c.sent_sign ? kHalfRange : 0.0);
    c.received_sign = false;
    c.sent_sign = false;
}

}  // namespace

double extend_reading(double r, std::uint32_t& w, bool& f) {
    if (f) {
        if (r > 0) {
            ++w;
            f = false;
            return r + w * kHalfRange;
        }
        return w * kHalfRange + (r + kHalfRange);
    }
    if (r >= 0) return r + w * kHalfRange;
    ++w;
    f = true;
    return w * kHalfRange + (r + kHalfRange);
}

std::string ip_text_for(clsIPStatistics& stats, int a) {
    if (a == 0) return "Multiple";
    if (a >= 1 && a <= stats.Found_Adaptors()) {
        stats.Choose_Adaptor(a);
        return stats.Local_IP();
    }
    return "0.0.0.0";
}

void read_counters(ProgramState& state, Services& services, CycleHooks& hooks) {
    clsIPStatistics stats(services.tables, services.dialogs, state.table_messages);
    const int found = stats.Found_Adaptors();
    state.found_adapters = found;
    if (found != state.known_adapter_count) {
        state.known_adapter_count = found;
        hooks.adapter_lists_changed(found);
    }

    const int n = state.stats.adapter_count();
    if (static_cast<int>(state.counter_runtime.size()) < n) state.counter_runtime.resize(static_cast<std::size_t>(n));
    state.ip_text.clear();

    for (int i = 1; i <= n; ++i) {
        CounterContinuation& c = state.stats.adapters[static_cast<std::size_t>(i - 1)];
        CounterRuntime& rt = state.counter_runtime[static_cast<std::size_t>(i - 1)];

        const bool took = i <= found && stats.Choose_Adaptor(i);
        const InterfaceEntry empty{};
        const InterfaceEntry& e = took ? stats.chosen_entry() : empty;
        const double r = took ? static_cast<double>(e.received) : 0.0;
        const double s = took ? static_cast<double>(e.sent) : 0.0;

        if (i == state.settings.Adapter) state.ip_text = took ? e.address : "0.0.0.0";

        if (i <= kMaxAdapters) {
            AdapterState& a = state.adapters[static_cast<std::size_t>(i)];
            if (e.status != a.status) {
                a.status = e.status;
                hooks.adapter_lists_changed(found);
            }
        }

        // Restart detection. Both counters reading 0 after nonzero readings is a restart;
        // so is a wide counter that went down, or another interface in this slot.
        const bool both_zero = rt.last_raw_received != 0 && rt.last_raw_sent != 0 && r == 0 && s == 0;
        const bool went_down = took && e.has_wide_counters && rt.have_wide &&
                               (e.received_wide < rt.last_received_wide || e.sent_wide < rt.last_sent_wide);
        const bool replaced = took && rt.last_if_index != 0 && e.if_index != rt.last_if_index;
        const double before_received = (c.received_sign ? kHalfRange : 0.0) + rt.last_raw_received +
                                       c.received_wraps * kHalfRange + c.received_offset;
        const double before_sent =
            (c.sent_sign ? kHalfRange : 0.0) + rt.last_raw_sent + c.sent_wraps * kHalfRange + c.sent_offset;
        if (both_zero || went_down || replaced) carry_into_offset(c, rt);

        const double x = extend_reading(r, c.received_wraps, c.received_sign);
        const double y = extend_reading(s, c.sent_wraps, c.sent_sign);

        // Another interface's counters are not this adapter's traffic: its first reading
        // becomes the base, so the slot counts on from here without a jump.
        if (replaced) {
            c.received_offset += before_received - (x + c.received_offset);
            c.sent_offset += before_sent - (y + c.sent_offset);
        }

        c.last_received = x > 0 ? x : 0.0;
        c.last_sent = y > 0 ? y : 0.0;

        if (i <= kMaxAdapters) {
            AdapterState& a = state.adapters[static_cast<std::size_t>(i)];
            a.current_received = x + c.received_offset;
            a.current_sent = y + c.sent_offset;
            a.total_received = c.received_carried + a.current_received;
            a.total_sent = c.sent_carried + a.current_sent;
            // A slot read for the first time (at start, or an adapter that has just come)
            // measures from this reading, not from 0.
            if (!rt.primed) {
                a.previous_received = a.start_received = a.current_received;
                a.previous_sent = a.start_sent = a.current_sent;
            }
        }
        rt.primed = true;

        rt.last_raw_received = r;
        rt.last_raw_sent = s;
        if (took) {
            rt.last_if_index = e.if_index;
            rt.description = e.description;
            rt.have_wide = e.has_wide_counters;
            rt.last_received_wide = e.received_wide;
            rt.last_sent_wide = e.sent_wide;
        } else {
            rt.description.clear();
            rt.have_wide = false;
        }
    }

    if (state.ip_text.empty()) state.ip_text = ip_text_for(stats, state.settings.Adapter);
}
