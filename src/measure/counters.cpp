#include "measure/counters.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHalfRange = 2147483648.0;  // 2^31

double half_steps(double x) { return x > 0 ? std::floor(x / kHalfRange) : 0.0; }

// One direction of an adapter: the live counter and the stored bookkeeping that goes with it.
struct Direction {
    double& current;
    double& offset;
    std::uint32_t& wraps;
    bool& sign;
    double& last;
};

// Adds `grown` bytes to the counter. The extended value x = current - offset follows the
// interface's counter: a restart carries x into the offset, so that x starts again with the
// new counter, and the wrap count adds every half-range step x makes.
void book(Direction d, std::uint64_t grown, bool restarted, std::uint64_t reading) {
    double x = d.current - d.offset;
    if (restarted) {
        d.offset += x;
        x = 0.0;
    }
    const double steps_before = half_steps(x);
    d.current += static_cast<double>(grown);
    x = d.current - d.offset;
    d.wraps += static_cast<std::uint32_t>(half_steps(x) - steps_before);
    d.sign = (reading & 0x80000000u) != 0;
    d.last = x > 0 ? x : 0.0;
}

void add_growth(CounterGrowth& into, const CounterGrowth& g) {
    into.received += g.received;
    into.sent += g.sent;
    into.restarted = into.restarted || g.restarted;
}

void tell_refused(AdapterNumbering& numbering, CycleHooks& hooks) {
    for (const std::string& name : numbering.untold) {
        hooks.log_notice("interface " + name + " holds an IPv4 address but is not counted: all " +
                         std::to_string(kMaxAdapters) + " adapter numbers are taken (see Stats/Adapters.txt)");
    }
    numbering.untold.clear();
}

}  // namespace

std::string ip_text_for(clsIPStatistics& stats, int a) {
    if (a == 0) return "Multiple";
    if (a >= 1 && a <= stats.Found_Adaptors()) {
        stats.Choose_Adaptor(a);
        const std::string address = stats.Local_IP();
        return address.empty() ? "0.0.0.0" : address;
    }
    return "0.0.0.0";
}

void read_counters(ProgramState& state, Services& services, CycleHooks& hooks) {
    clsIPStatistics stats(services.tables, services.dialogs, state.table_messages);
    AdapterNumbering& numbering = state.table_messages.numbering;
    const int found = stats.Found_Adaptors();
    state.found_adapters = found;
    if (found != state.known_adapter_count) {
        state.known_adapter_count = found;
        hooks.adapter_lists_changed(found);
    }
    tell_refused(numbering, hooks);
    if (!state.logs.writes_blocked) save_numbering(numbering, state.data_dir);

    follow_interfaces(state.interface_readings, stats.interface_rows(), stats.interfaces_read(),
                      [&](const std::string& name) { return numbering.number_of(name) != 0; });

    // Adapters numbered since the logs were loaded count from now on; the logs grow to
    // them after this read.
    const int n = std::max(state.stats.adapter_count(), std::min(found, kMaxAdapters));
    if (static_cast<int>(state.counter_runtime.size()) < n) state.counter_runtime.resize(static_cast<std::size_t>(n));
    state.ip_text.clear();

    for (int i = 1; i <= n; ++i) {
        const InterfaceEntry& e = stats.entry(i);
        state.counter_runtime[static_cast<std::size_t>(i - 1)].description = e.connected ? e.description : std::string();
        if (i == state.settings.Adapter) state.ip_text = e.connected ? e.address : "0.0.0.0";
        if (i > kMaxAdapters) continue;

        AdapterState& a = state.adapters[static_cast<std::size_t>(i)];
        if (e.status != a.status) {
            a.status = e.status;
            hooks.adapter_lists_changed(found);
        }
        CounterContinuation beyond_the_logs;
        CounterContinuation& c =
            i <= state.stats.adapter_count() ? state.stats.adapters[static_cast<std::size_t>(i - 1)] : beyond_the_logs;
        if (e.present) {
            InterfaceReading& r = state.interface_readings.by_name[e.description];
            add_growth(r.uncounted, r.growth);
            if (e.connected) {
                book({a.current_received, c.received_offset, c.received_wraps, c.received_sign, c.last_received},
                     r.uncounted.received, r.uncounted.restarted, r.received);
                book({a.current_sent, c.sent_offset, c.sent_wraps, c.sent_sign, c.last_sent}, r.uncounted.sent,
                     r.uncounted.restarted, r.sent);
                r.uncounted = CounterGrowth{};
            }
        }
        a.total_received = c.received_carried + a.current_received;
        a.total_sent = c.sent_carried + a.current_sent;
    }

    if (state.ip_text.empty()) state.ip_text = ip_text_for(stats, state.settings.Adapter);
}
