#include "alerts/rule_evaluation.h"

#include "alerts/alert_state.h"
#include "measure/adapter_state.h"
#include "measure/ip_statistics.h"
#include "settings/settings.h"

#include <array>
#include <cmath>

#include "alerts/alert_actions.h"
#include "alerts/rule_files.h"
#include "alerts/rule_values.h"
#include "history/data_cap.h"
#include "history/period_totals.h"
#include "measure/ip_statistics.h"
#include "measure/rates.h"

namespace {

std::optional<int> adapter_of(const AlertRule& r) {
    const auto a = parse_integer(r.condition_value(0), 0, kMaxAdapters);
    if (!a) return std::nullopt;
    return static_cast<int>(*a);
}

std::optional<int> small_choice(const std::string& value, int last) {
    const auto v = parse_integer(value, 0, last);
    if (!v) return std::nullopt;
    return static_cast<int>(*v);
}

// Fires when an amount total crosses the threshold, or a period that started anew is
// already past it.
bool amount_reached(AlertView state, int i, const AlertRule& r, double now) {
    const auto a = adapter_of(r);
    const auto p = small_choice(r.condition_value(1), kPeriodChoices - 1);
    const auto d = small_choice(r.condition_value(2), kDirections - 1);
    const auto threshold = amount_threshold(r.condition_value(3), cap_bytes(state.settings));
    if (!a || !p || !d || !threshold) return false;
    EvaluationState& ev = state.alerts.evaluation;
    TotalsByChoice& current = ev.CurrentTotal[static_cast<std::size_t>(i)];
    TotalsByChoice& previous = ev.PreviousTotal[static_cast<std::size_t>(i)];
    previous = current;
    const auto pi = static_cast<std::size_t>(*p);
    const auto di = static_cast<std::size_t>(*d);
    double& cur = current[pi][di];
    cur = rule_period_total(state, *a, period_kind_of_choice(*p), *d, now);
    bool& measured = ev.TotalMeasured[static_cast<std::size_t>(i)][pi][di];
    // A total that was already past the threshold when the rule first looked is no crossing;
    // one that goes from 0 past it within a cycle is.
    if (!measured) previous[pi][di] = cur;
    measured = true;
    const double prev = previous[pi][di];
    const bool crossed = prev < *threshold && cur >= *threshold;
    const bool restarted = cur < prev && cur >= *threshold;
    if (!crossed && !restarted) return false;
    ev.FiringDirection = static_cast<std::uint8_t>(*d);
    return true;
}

// Fires each time the all-time total has grown by the amount since the step began.
bool amount_each_time(AlertView state, int i, const AlertRule& r, double now) {
    const auto a = adapter_of(r);
    const auto d = small_choice(r.condition_value(1), kDirections - 1);
    const auto threshold = amount_threshold(r.condition_value(2), cap_bytes(state.settings));
    if (!a || !d || !threshold) return false;
    std::optional<double>& base = state.alerts.evaluation.StepBase[static_cast<std::size_t>(i)];
    if (!base) base = rule_period_total(state, *a, kPeriodTotal, *d, now);
    const double current = rule_period_total(state, *a, kPeriodTotal, *d, now);
    if (current - *base < *threshold) return false;
    base = current;
    return true;
}

struct RateCheck {
    bool fire = false;
    bool first_time_only = false;
};

RateCheck rate_reached(AlertView state, int i, const AlertRule& r) {
    const auto a = adapter_of(r);
    const auto d = small_choice(r.condition_value(1), kDirections - 1);
    const auto threshold = rate_threshold(r.condition_value(2));
    const auto repeat = small_choice(r.condition_value(3), 1);
    if (!a || !d || !threshold || !repeat) return {};
    double& previous = state.alerts.evaluation.PreviousRate[static_cast<std::size_t>(i)];
    const double rate = graph_rate(state, *a, *d);
    RateCheck c;
    c.fire = rate >= *threshold && previous <= *threshold;
    c.first_time_only = *repeat == 0;
    previous = rate;
    return c;
}

// The connection speeds of one evaluation: each adapter's speed is read once per cycle,
// however many speed rules watch it, and compared with its speed at the previous cycle.
// The last speed is kept per adapter, so rules removed, reordered or moved to another
// adapter never compare one adapter's speed with another's.
class SpeedLookup {
public:
    struct Reading {
        std::optional<double> speed;
        bool changed = false;  // the adapter was seen at the previous cycle at another speed
    };

    SpeedLookup(AlertView state, Services& services) : state_(state), services_(services) {}
    // Adapters no speed rule looked at in this cycle are forgotten, so a rule switched on
    // later does not take a change it never watched for a new one.
    ~SpeedLookup() {
        EvaluationState& ev = state_.alerts.evaluation;
        for (std::size_t a = 0; a < readings_.size(); ++a)
            if (!readings_[a]) ev.SpeedSeen[a] = false;
    }
    SpeedLookup(const SpeedLookup&) = delete;
    SpeedLookup& operator=(const SpeedLookup&) = delete;

    Reading read(int adapter) {
        if (adapter < 0 || adapter > kMaxAdapters) return {};
        const auto a = static_cast<std::size_t>(adapter);
        auto& slot = readings_[a];
        if (slot) return *slot;
        EvaluationState& ev = state_.alerts.evaluation;
        Reading r;
        r.speed = connection_speed(state_, services_, adapter);
        // An adapter whose speed cannot be read now keeps the speed it had.
        if (r.speed) {
            r.changed = ev.SpeedSeen[a] && ev.LastSpeed[a] != *r.speed;
            ev.LastSpeed[a] = *r.speed;
            ev.SpeedSeen[a] = true;
        }
        slot = r;
        return r;
    }

private:
    AlertView state_;
    Services& services_;
    std::array<std::optional<Reading>, kMaxAdapters + 1> readings_{};
};

// Fires when the adapter's speed has just changed to the target: on each change to it, also
// while other rules on the same adapter are switched off.
bool speed_changed(SpeedLookup& speeds, const AlertRule& r) {
    const auto a = adapter_of(r);
    const auto target = parse_speed(r.condition_value(1));
    if (!a || !target) return false;
    const SpeedLookup::Reading reading = speeds.read(*a);
    return reading.speed && *reading.speed == *target && reading.changed;
}

}  // namespace

double rule_period_total(const AlertView& state, int adapter, int kind, int direction, double now) {
    const PeriodTotalSource source = state.alerts.totals != nullptr ? state.alerts.totals : &period_total;
    if (direction == kBothDirections) return source(state, adapter, kind, kReceived, now) + source(state, adapter, kind, kSent, now);
    return source(state, adapter, kind, direction == kSent ? kSent : kReceived, now);
}

double graph_rate(const AlertView& state, int adapter, int direction) {
    if (adapter < 0 || adapter > kMaxAdapters) return 0.0;
    if (direction == kReceived) return newest_rate(state, adapter, false);
    if (direction == kSent) return newest_rate(state, adapter, true);
    return newest_rate(state, adapter, false) + newest_rate(state, adapter, true);
}

std::optional<double> connection_speed(AlertView state, Services& services, int adapter) {
    // "Multiple adapters" has no single connection speed.
    if (adapter < 1 || services.link_speed == nullptr) return std::nullopt;
    // The interface the cycle has just read in this slot, without reading the table again.
    const auto slot = static_cast<std::size_t>(adapter - 1);
    if (adapter <= state.found_adapters && slot < state.counter_runtime.size() &&
        !state.counter_runtime[slot].description.empty()) {
        return std::round(services.link_speed->speed_bps(state.counter_runtime[slot].description) * 100.0) / 100.0;
    }
    clsIPStatistics stats(services.tables, services.dialogs, state.table_messages);
    if (adapter > stats.Found_Adaptors() || !stats.Choose_Adaptor(adapter) || !stats.chosen_entry().present)
        return std::nullopt;
    const double bps = services.link_speed->speed_bps(stats.Description());
    return std::round(bps * 100.0) / 100.0;
}

void evaluate_rules(AlertView state, Services& services) {
    const double now = services.clock.now();
    LiveRules& live = state.alerts.live;
    SpeedLookup speeds(state, services);
    for (int i = 0; i < live.count && i < kMaxRules; ++i) {
        const AlertRule& r = live.rules[static_cast<std::size_t>(i)];
        if (!r.enabled()) continue;
        switch (r.ConditionKind) {
            case AmountReached:
                if (amount_reached(state, i, r, now)) run_actions(state, services, i, false);
                break;
            case AmountEachTime:
                if (amount_each_time(state, i, r, now)) run_actions(state, services, i, false);
                break;
            case RateReached: {
                const RateCheck c = rate_reached(state, i, r);
                if (!c.fire) break;
                run_actions(state, services, i, false);
                if (c.first_time_only) {
                    // Switched off for good: stored at once so it stays off after a restart.
                    live.rules[static_cast<std::size_t>(i)].Enabled = 0;
                    save_one_rule(live, i, state.data_dir);
                }
                break;
            }
            case SpeedChanged:
                if (speed_changed(speeds, r)) run_actions(state, services, i, false);
                break;
            default:
                break;  // no condition chosen, or an unknown kind read from a file
        }
    }
}
