#include "history/period_totals.h"

#include "history/stats_record.h"
#include "history/traffic_history.h"
#include "measure/adapter_state.h"
#include "measure/interface_readings.h"
#include "measure/ip_statistics.h"
#include "settings/settings.h"

#include "history/history_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/date.h"
#include "history/minute_log.h"
#include "platform/locale.h"

namespace {

double whole(double d) { return std::floor(d); }
double first_of_month(double d) {
    const CivilDate c = civil_date(d);
    return static_cast<double>(day_number(c.year, c.month, 1));
}
double first_of_year(int y) { return static_cast<double>(day_number(y, 1, 1)); }

// Sum of the stored daily entries of whole days `from` to `to`; days outside the history
// (before the log start year, after the current year) count 0.
TrafficPair sum_days(const HistoryTable& h, int adapter, double from, double to) {
    TrafficPair sum;
    if (from > to || adapter < 0 || adapter >= h.adapters) return sum;
    const int y0 = std::max(year_of(from), h.first_year);
    const int y1 = std::min(year_of(to), h.first_year + h.years - 1);
    for (int y = y0; y <= y1; ++y) {
        const double jan1 = first_of_year(y);
        const int a = static_cast<int>(std::max(from, jan1) - jan1);
        const int b = static_cast<int>(std::min(to, static_cast<double>(day_number(y, 12, 31))) - jan1);
        for (int d = a; d <= b; ++d) {
            const TrafficPair& p = h.at(adapter, y, d);
            sum.received += p.received;
            sum.sent += p.sent;
        }
    }
    return sum;
}

struct Stored {
    TrafficPair sum;
    bool today_in_period = false;
};

Stored user_period_stored(HistoryQuery state, int adapter, double today) {
    const Settings& s = state.settings;
    const HistoryTable& h = state.traffic.logs.history;
    const double start = whole(state.stats.start_date);
    const double yesterday = today - 1;
    Stored r;
    switch (s.CusPerDay) {
        case 0: {
            const double from = std::max(whole(s.CusPerFrom), start);
            const double to = whole(s.CusPerTo);
            r.sum = sum_days(h, adapter, from, std::min(to, yesterday));
            r.today_in_period = from <= today && today <= to;
            break;
        }
        case 1: {
            const double days = std::max(1, s.CusPerDays);
            r.sum = sum_days(h, adapter, std::max(start, today - days + 1), yesterday);
            r.today_in_period = true;
            break;
        }
        case 2:
            r.sum = sum_days(h, adapter, std::max(monthly_period_start(today, s.CusMonthStart), start), yesterday);
            r.today_in_period = true;
            break;
        default: {
            const double from = std::max(whole(s.CusPerStart), start);
            r.sum = sum_days(h, adapter, from, yesterday);
            r.today_in_period = from <= today;
            break;
        }
    }
    return r;
}

Stored stored_part(HistoryQuery state, int adapter, int kind, double today, int first_day) {
    const HistoryTable& h = state.traffic.logs.history;
    const double yesterday = today - 1;
    const int y = year_of(today);
    Stored r;
    switch (kind) {
        case kPeriodYesterday: r.sum = sum_days(h, adapter, yesterday, yesterday); break;
        case kPeriodThisWeek: r.sum = sum_days(h, adapter, history_week_start(today, first_day), yesterday); break;
        case kPeriodLastWeek: {
            const double this_week = history_week_start(today, first_day);
            r.sum = sum_days(h, adapter, this_week - 7, this_week - 1);
            break;
        }
        case kPeriodThisMonth: r.sum = sum_days(h, adapter, first_of_month(today), yesterday); break;
        case kPeriodLastMonth: {
            const double last = first_of_month(today) - 1;
            r.sum = sum_days(h, adapter, first_of_month(last), last);
            break;
        }
        case kPeriodThisYear: r.sum = sum_days(h, adapter, first_of_year(y), yesterday); break;
        case kPeriodLastYear: r.sum = sum_days(h, adapter, first_of_year(y - 1), first_of_year(y) - 1); break;
        case kPeriodTotal: r.sum = sum_days(h, adapter, whole(state.stats.start_date), yesterday); break;
        case kPeriodUser: r = user_period_stored(state, adapter, today); break;
        default: break;
    }
    return r;
}

double pick(const TrafficPair& p, int direction) { return direction == kReceived ? p.received : p.sent; }

// The last N minutes or hours, from the minutely log and the daily entries after it.
double minute_window_total(HistoryQuery state, int adapter, int direction, double now) {
    const Settings& s = state.settings;
    if (s.MinuteLogging != 1) return 0.0;
    const auto n = static_cast<std::int64_t>(std::max(1, s.CusPerDays));
    const auto today = static_cast<std::int64_t>(whole(now));
    const int minute_now = minute_index(now);
    const std::int64_t now_min = today * 1440 + minute_now;
    const std::int64_t start_min = s.CusPerUnit == 0 ? now_min - (n - 1) : (now_min - minute_now % 60) - (n - 1) * 60;
    const std::int64_t start_day = start_min >= 0 ? start_min / 1440 : -((-start_min + 1439) / 1440);
    const int j = static_cast<int>(start_min - start_day * 1440);
    double total = 0.0;
    if (start_day == today) {
        const MinuteRecord& rec = state.traffic.logs.minutes[static_cast<std::size_t>(adapter)];
        for (int m = j; m <= minute_now; ++m) total += pick(rec[static_cast<std::size_t>(m)], direction);
        return total;
    }
    PeriodCache& c = state.traffic.period_cache();
    const auto slot = static_cast<std::size_t>(adapter);
    if (c.minute_day[slot] != static_cast<double>(start_day)) {
        c.minute_day[slot] = static_cast<double>(start_day);
        c.minute_records[slot] = read_minute_day(state, adapter, static_cast<double>(start_day));
    }
    for (int m = j; m < kMinutesPerDay; ++m) total += pick(c.minute_records[slot][static_cast<std::size_t>(m)], direction);
    const double from = std::max(static_cast<double>(start_day + 1), whole(state.stats.start_date));
    total += pick(sum_days(state.traffic.logs.history, adapter, from, static_cast<double>(today - 1)), direction);
    total += pick(state.traffic.day_entry(adapter, now), direction);
    return total;
}

void clear_cache(PeriodCache& c) {
    for (PeriodSlot& slot : c.period_slots) slot = PeriodSlot{};
    c.minute_day.fill(-1.0);
    c.rebuild = false;
}

}  // namespace

int first_day_of_week(HistoryQuery state) {
    const int f = state.settings.FirstDayOfWeek;
    if (f >= 1 && f <= 7) return f;
    return std::clamp(state.traffic.logs.system_first_day_of_week, 1, 7);
}

double monthly_period_start(double today, int start_day) {
    const CivilDate t = civil_date(today);
    const int s = std::clamp(start_day, 1, 31);
    if (t.day > s) return static_cast<double>(day_number(t.year, t.month, s));
    if (t.day == s) return whole(today);
    if (t.month == 1) return static_cast<double>(day_number(t.year - 1, 12, s));
    return static_cast<double>(day_number(t.year, t.month - 1, std::min(s, days_in_month(t.year, t.month - 1))));
}

double monthly_period_end(double start) {
    const CivilDate s = civil_date(start);
    if (s.day == 1) return static_cast<double>(day_number(s.year, s.month, days_in_month(s.year, s.month)));
    if (s.month < 12)
        return static_cast<double>(day_number(s.year, s.month + 1, std::min(s.day - 1, days_in_month(s.year, s.month + 1))));
    return static_cast<double>(day_number(s.year + 1, 1, s.day - 1));
}

double period_total(HistoryQuery state, int adapter, int kind, int direction, double now) {
    PeriodCache& c = state.traffic.period_cache();
    if (c.rebuild) clear_cache(c);
    if (adapter < 0 || adapter > state.live_adapter_count() || kind < 0 || kind >= kPeriodKinds) return 0.0;
    const AdapterState& a = state.adapters[static_cast<std::size_t>(adapter)];
    if (kind == kPeriodSession) return direction == kReceived ? a.session_download : a.session_upload;

    const int first_day = first_day_of_week(state);
    if (first_day != c.week_first_day) {
        c.week_first_day = first_day;
        for (int i = 0; i < kAdapterSlots; ++i) {
            c.period_slots[static_cast<std::size_t>(2 * kAdapterSlots + i)].date = -1.0;
            c.period_slots[static_cast<std::size_t>(3 * kAdapterSlots + i)].date = -1.0;
        }
    }
    const double today = whole(now);
    PeriodSlot& slot = c.period_slots[static_cast<std::size_t>(kind * kAdapterSlots + adapter)];
    if (slot.date != today) {
        const Stored s = stored_part(state, adapter, kind, today, first_day);
        slot = PeriodSlot{today, s.sum.received, s.sum.sent};
        if (kind == kPeriodUser) c.today_in_user_period = s.today_in_period;
    }
    const Settings& s = state.settings;
    if (kind == kPeriodUser && s.CusPerDay == 1 && s.CusPerUnit < 2) return minute_window_total(state, adapter, direction, now);

    const double stored = direction == kReceived ? slot.received : slot.sent;
    const bool with_today = kind == kPeriodToday || kind == kPeriodThisWeek || kind == kPeriodThisMonth ||
                            kind == kPeriodThisYear || kind == kPeriodTotal ||
                            (kind == kPeriodUser && c.today_in_user_period);
    if (!with_today) return stored;
    return stored + pick(state.traffic.day_entry(adapter, now), direction);
}

std::string period_name(HistoryQuery state, int kind) {
    static constexpr const char* kNames[kPeriodUser] = {"Today",      "Yesterday", "This week", "Last week", "This month",
                                               "Last month", "This year", "Last year", "Total",     "This session"};
    if (kind >= 0 && kind < kPeriodUser) return kNames[kind];
    if (kind == kPeriodUser) return state.settings.CusPerName;
    return {};
}

PeriodRange current_period_range(HistoryQuery state, int variant, double now) {
    const Settings& s = state.settings;
    const double start = whole(state.stats.start_date);
    const double today = whole(now);
    constexpr double kLastSecond = 86399.0 / 86400.0;
    PeriodRange r;
    switch (variant) {
        case 0:
            r.from = whole(s.CusPerFrom);
            r.to = whole(s.CusPerTo) + kLastSecond;
            r.data_missing = r.from < start;
            break;
        case 1: {
            const double n = std::max(1, s.CusPerDays);
            if (s.CusPerUnit == 0) {
                r.from = current_minute(now - (n - 1) / 1440.0);
                r.to = current_minute(now) + 59.0 / 86400.0;
                r.data_missing = r.from < state.traffic.logs.first_minute;
            } else if (s.CusPerUnit == 1) {
                const auto hour_of = [](double t) { return std::floor(t) + (minute_index(t) / 60) / 24.0; };
                r.from = hour_of(now - (n - 1) / 24.0);
                r.to = hour_of(now) + 3599.0 / 86400.0;
                r.data_missing = r.from < state.traffic.logs.first_minute;
            } else {
                r.from = whole(now - (n - 1));
                r.to = today + kLastSecond;
                r.data_missing = r.from < start;
            }
            break;
        }
        case 2:
            r.from = monthly_period_start(today, s.CusMonthStart);
            r.to = monthly_period_end(r.from) + kLastSecond;
            r.data_missing = r.from < start;
            break;
        default:
            r.from = whole(s.CusPerStart);
            r.to = now;
            r.data_missing = r.from < start;
            break;
    }
    return r;
}

std::string current_period_text(const PeriodRange& range, const DateFormatter& short_date,
                                const DateFormatter& time_of_day) {
    const auto iso_date = [](double d) {
        const CivilDate c = civil_date(d);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.year, c.month, c.day);
        return std::string(buf);
    };
    const auto iso_time = [](double d) {
        const int secs = static_cast<int>(std::floor(seconds_since_midnight(d) + 1e-4));
        char buf[16];
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
        return std::string(buf);
    };
    const auto date_text = [&](double d) { return short_date ? short_date(d) : iso_date(d); };
    const auto time_text = [&](double d) { return time_of_day ? time_of_day(d) : iso_time(d); };
    return date_text(range.from) + " " + time_text(range.from) + "  to  " + date_text(range.to) + " " +
           time_text(range.to);
}

std::string current_period_text(const PeriodRange& range, const Locale& locale) {
    return current_period_text(
        range, [&locale](double d) { return locale.short_date(d); }, [&locale](double d) { return locale.long_time(d); });
}
