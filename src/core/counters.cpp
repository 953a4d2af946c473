#include "core/counters.h"

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

// What the user is told once, in one message a line each: a damaged numbering file, retired
// adapters, interfaces that found every number taken (together, those still without one).
void tell_the_user(AdapterNumbering& numbering, CycleHooks& hooks) {
    std::string names;
    for (const std::string& name : numbering.untold)
        if (numbering.number_of(name) == 0) names += (names.empty() ? "" : ", ") + name;
    numbering.untold.clear();
    if (!names.empty())
        numbering.notices.push_back("Not counted, all " + std::to_string(kMaxAdapters) +
                                    " adapter numbers being taken: " + names +
                                    ". The Adapters page of the settings lists the adapters and what is not counted.");
    if (numbering.notices.empty()) return;
    std::string text;
    for (const std::string& notice : numbering.notices) text += (text.empty() ? "" : "\n") + notice;
    numbering.notices.clear();
    hooks.tell_user(text);
}

// Frees numbers of adapters long unseen for interfaces that found every number taken.
bool free_numbers(ProgramState& state, AdapterNumbering& numbering, FreeAdapterNumber free_number, double now) {
    if (free_number == nullptr || numbering.wanting.empty() || !state.traffic.logs.loaded || state.traffic.logs.writes_blocked)
        return false;
    const AdapterSet in_use = numbers_in_use(state);
    bool freed = false;
    for (const std::string& wanting : numbering.wanting) {
        const int n = numbering.retirable(in_use);
        if (n == 0) break;
        const auto i = static_cast<std::size_t>(n);
        const std::string old = numbering.names[i];
        const std::string folder = free_number(state, n, now);
        if (folder.empty()) break;
        numbering.names[i].clear();
        numbering.last_seen[i] = 0.0;
        numbering.unsaved = true;
        numbering.notices.push_back("Adapter " + std::to_string(n) + " (" + old + ") has not been seen for " +
                                    std::to_string(static_cast<int>(kRetireAfterDays)) + " days: its history is kept in " +
                                    folder + " and its number goes to " + wanting + ".");
        freed = true;
    }
    return freed;
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

AdapterSet numbers_in_use(const ProgramState& state) {
    AdapterSet in_use;
    const auto mark = [&in_use](long long n) {
        if (n >= 0 && n <= kMaxAdapters) in_use.set(static_cast<std::size_t>(n));
    };
    mark(state.settings.Adapter);
    for (int i = 1; i <= 6; ++i)
        if (state.settings.LogAdapter[static_cast<std::size_t>(i)] != 0) mark(i);
    for (const FormItem& item : state.settings.custom_items) mark(item.Adapter);
    for (int r = 0; r < state.alerts.live.count && r < kMaxRules; ++r) {
        const std::string& value = state.alerts.live.rules[static_cast<std::size_t>(r)].condition_value(0);
        if (!value.empty() && value.size() < 4 && std::all_of(value.begin(), value.end(), [](char d) { return d >= '0' && d <= '9'; })) mark(std::stoll(value));
    }
    return in_use;
}

void read_counters(ProgramState& state, Services& services, CycleHooks& hooks, FreeAdapterNumber free_number) {
    AdapterNumbering& numbering = state.table_messages.numbering;
    const double now = services.clock.now();
    numbering.today = std::floor(now);
    numbering.count_virtual = state.settings.CountVirtualAdapters != 0;
    clsIPStatistics stats(services.tables, services.dialogs, state.table_messages);
    // Interfaces that came while numbers were being freed are read at once, and given one too.
    while (free_numbers(state, numbering, free_number, now)) stats.Update_Adaptors_Stat();
    const int found = stats.Found_Adaptors();
    state.found_adapters = found;
    if (found != state.known_adapter_count) {
        state.known_adapter_count = found;
        hooks.adapter_lists_changed(found);
    }
    tell_the_user(numbering, hooks);
    if (!state.traffic.logs.writes_blocked) save_numbering(numbering, state.data_dir);

    follow_interfaces(state.interface_readings, stats.interface_rows(), stats.interfaces_read(),
                      [&](const std::string& name) { return numbering.number_of(name) != 0; });

    // Adapters numbered since the logs were loaded count from now on; the logs grow to
    // them after this read.
    const int n = std::max(state.stats.adapter_count(), std::min(found, kMaxAdapters));
    if (static_cast<int>(state.counter_runtime.size()) < n) state.counter_runtime.resize(static_cast<std::size_t>(n));
    state.ip_text.clear();

    for (int i = 1; i <= n; ++i) {
        const InterfaceEntry& e = stats.entry(i);
        state.counter_runtime[static_cast<std::size_t>(i - 1)].description = e.present ? e.description : std::string();
        if (i == state.settings.Adapter) state.ip_text = e.address.empty() ? "0.0.0.0" : e.address;
        if (i > kMaxAdapters) continue;

        AdapterState& a = state.adapters[static_cast<std::size_t>(i)];
        if (e.status != a.status) {
            a.status = e.status;
            hooks.adapter_lists_changed(found);
        }
        CounterContinuation beyond_the_logs;
        CounterContinuation& c =
            i <= state.stats.adapter_count() ? state.stats.adapters[static_cast<std::size_t>(i - 1)] : beyond_the_logs;
        const InterfaceReading* r = e.present ? reading_of(state.interface_readings, e.index) : nullptr;
        if (r != nullptr) {
            CounterGrowth g = r->growth;
            if (g.between_runs) {
                // Not this run's traffic: it goes to the day of the start, not to the rates.
                TrafficPair& later = state.traffic.logs.between_runs[static_cast<std::size_t>(i)];
                later.received += static_cast<double>(g.received);
                later.sent += static_cast<double>(g.sent);
                g = CounterGrowth{};
            }
            book({a.current_received, c.received_offset, c.received_wraps, c.received_sign, c.last_received}, g.received,
                 g.restarted, r->received);
            book({a.current_sent, c.sent_offset, c.sent_wraps, c.sent_sign, c.last_sent}, g.sent, g.restarted, r->sent);
        }
        a.total_received = c.received_carried + a.current_received;
        a.total_sent = c.sent_carried + a.current_sent;
    }

    if (state.ip_text.empty()) state.ip_text = ip_text_for(stats, state.settings.Adapter);
}
