#include "history/data_cap.h"

#include "history/stats_record.h"
#include "history/traffic_history.h"
#include "measure/adapter_state.h"
#include "measure/interface_readings.h"
#include "measure/ip_statistics.h"
#include "settings/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/date.h"
#include "history/minute_log.h"
#include "history/period_totals.h"
#include "measure/format.h"
#include "settings/number_text.h"

namespace {

constexpr double kWarningShare = 80.0;
constexpr double kReachedShare = 100.0;

double whole(double d) { return std::floor(d); }

bool has_data(const TrafficPair& p) { return p.received > 0 || p.sent > 0; }

// The first and last whole day of the user-defined period, for the forms that have a last
// day: from a date to a date, and monthly. The last N days always end today and the form
// "starting at a date" never ends, so no pace is given for them.
struct PeriodDays {
    double first = 0.0;
    double last = 0.0;
};
std::optional<PeriodDays> period_days(const Settings& s, double today) {
    switch (s.CusPerDay) {
        case 0: return PeriodDays{whole(s.CusPerFrom), whole(s.CusPerTo)};
        case 2: {
            const double first = monthly_period_start(today, s.CusMonthStart);
            return PeriodDays{first, monthly_period_end(first)};
        }
        default: return std::nullopt;
    }
}

// Days from `first` to today on which the adapter moved any bytes: the daily log for the
// days before today (none before the log start), today's live entry for today.
int days_with_data(HistoryQuery state, int adapter, double first, double now) {
    const double today = whole(now);
    const HistoryTable& h = state.traffic.logs.history;
    int days = 0;
    for (double d = std::max(first, whole(state.stats.start_date)); d < today; ++d) {
        if (h.covers(adapter, year_of(d)) && has_data(h.at(adapter, year_of(d), day_index(d)))) ++days;
    }
    if (first <= today && has_data(state.traffic.day_entry(adapter, now))) ++days;
    return days;
}

std::optional<double> pace(HistoryQuery state, int adapter, double used, double now) {
    const double today = whole(now);
    const std::optional<PeriodDays> period = period_days(state.settings, today);
    if (!period || today < period->first || today > period->last) return std::nullopt;
    const int days = days_with_data(state, adapter, period->first, now);
    if (days < 2) return std::nullopt;
    return used + used / days * (period->last - today);
}

}  // namespace

const char* cap_unit_text(int unit) {
    static constexpr const char* kUnits[kCapUnits] = {"KB", "MB", "GB", "TB"};
    return kUnits[std::clamp(unit, 0, kCapUnits - 1)];
}

double cap_bytes(const Settings& s) {
    if (s.CapAmount <= 0) return 0.0;
    double bytes = s.CapAmount;
    for (int k = 0; k <= std::clamp<int>(s.CapUnit, 0, kCapUnits - 1); ++k) bytes *= 1024.0;
    return bytes;
}

std::string cap_amount_text(const Settings& s) {
    return decimal_text(s.CapAmount) + " " + cap_unit_text(s.CapUnit);
}

CapStatus cap_status(HistoryQuery state, int adapter, double now) {
    CapStatus c;
    c.cap = cap_bytes(state.settings);
    if (c.cap <= 0 || adapter < 0 || adapter >= kAdapterSlots || adapter > state.live_adapter_count()) return c;
    c.used = period_total(state, adapter, kPeriodUser, kReceived, now) + period_total(state, adapter, kPeriodUser, kSent, now);
    c.share = c.used * 100.0 / c.cap;  // exact where the share is a whole percent
    c.pace = pace(state, adapter, c.used, now);
    return c;
}

CapStatus cap_status_from_logs(HistoryView state, int adapter, double now) {
    if (adapter >= 0 && adapter < kAdapterSlots && adapter <= state.live_adapter_count()) {
        const auto slot = static_cast<std::size_t>(adapter);
        const HistoryTable& h = state.traffic.logs.history;
        if (h.covers(adapter, year_of(now)))
            state.traffic.take_day_from_history(adapter, now);
        state.traffic.logs.minutes[slot] = read_minute_day(state, adapter, now);
    }
    return cap_status(state, adapter, now);
}

CapLevel cap_level(double share) {
    if (share >= kReachedShare) return CapLevel::reached;
    if (share >= kWarningShare) return CapLevel::warning;
    return CapLevel::normal;
}

std::string cap_text(const CapStatus& c, const Settings& s, const Locale& locale) {
    // Whole percent, rounded down, so the text says 80 % no earlier than the colour changes.
    const auto percent = static_cast<long long>(std::floor(std::min(c.share, 1e15)));
    return format_value(c.used, s.TransferredUnit, false, true, kDecimalsFromSettings, false, s, locale) + " of " +
           cap_amount_text(s) + ", " + std::to_string(percent) + " %";
}

std::string pace_text(const CapStatus& c, const Settings& s, const Locale& locale) {
    if (!c.pace) return {};
    // An estimate: at most one decimal.
    const auto decimals = static_cast<std::uint8_t>(std::min<int>(s.TransferredDec, 1));
    return "at this pace " + format_value(*c.pace, s.TransferredUnit, false, true, decimals, false, s, locale);
}
