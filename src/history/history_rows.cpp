#include "history/history_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "platform/date.h"

namespace {

// Walks the days from `first` to `last` (whole day numbers) with their year and day index,
// without converting each day back to a calendar date.
template <typename Visit>
void for_each_day(double first, double last, Visit visit) {
    if (last < first) return;
    int year = year_of(first);
    int index = day_index(first);
    int year_days = is_leap_year(year) ? 366 : 365;
    for (double d = first; d <= last; d += 1.0) {
        visit(d, year, index);
        if (++index == year_days) {
            index = 0;
            ++year;
            year_days = is_leap_year(year) ? 366 : 365;
        }
    }
}

HistoryRow make_row(std::string label, double key, double received, double sent, double period) {
    return HistoryRow{std::move(label), key, received, sent, received + sent, period};
}

struct Bucket {
    double received = 0.0;
    double sent = 0.0;
    double first_day = 0.0;
    bool used = false;
};

HistoryRows totals_rows(const HistoryRowSource& s, double first, double last) {
    HistoryRows rows;
    rows.reserve(static_cast<std::size_t>(std::max(0, s.adapter_count)) + 1);
    for (int a = 0; a <= s.adapter_count; ++a) {
        double received = 0.0;
        double sent = 0.0;
        for_each_day(first, last, [&](double, int year, int index) {
            const TrafficPair p = s.log.day(a, year, index);
            received += p.received;
            sent += p.sent;
        });
        rows.push_back(make_row(std::to_string(a), a == 0 ? kAggregateSortKey : a, received, sent, a));
    }
    return rows;
}

HistoryRows daily_rows(const HistoryRowSource& s, double first, double last) {
    HistoryRows rows;
    if (last >= first) rows.reserve(static_cast<std::size_t>(last - first) + 1);
    for_each_day(first, last, [&](double d, int year, int index) {
        const TrafficPair p = s.log.day(s.adapter, year, index);
        rows.push_back(make_row(s.locale.short_date(d), static_cast<double>(rows.size() + 1), p.received, p.sent, d));
    });
    return rows;
}

HistoryRows weekly_rows(const HistoryRowSource& s, double first, double last) {
    // Weeks of the start year up to the year after today (the last days of December can
    // belong to week 1 of the next year); weeks 1..53.
    const int first_year = year_of(first);
    const int years = year_of(last) - first_year + 2;
    if (years <= 0) return {};
    std::vector<Bucket> buckets(static_cast<std::size_t>(years) * 54);
    for_each_day(first, last, [&](double d, int year, int index) {
        const int week_year = year_of(history_week_start(d, s.first_day) + 3);
        if (week_year < first_year) return;
        const int week = history_week_number(d, s.first_day);
        Bucket& b = buckets[static_cast<std::size_t>(week_year - first_year) * 54 + static_cast<std::size_t>(week)];
        const TrafficPair p = s.log.day(s.adapter, year, index);
        b.received += p.received;
        b.sent += p.sent;
        if (!b.used) b.first_day = history_week_start(d, s.first_day);
        b.used = true;
    });
    HistoryRows rows;
    for (int y = 0; y < years; ++y) {
        for (int w = 1; w <= 53; ++w) {
            const Bucket& b = buckets[static_cast<std::size_t>(y) * 54 + static_cast<std::size_t>(w)];
            if (!b.used) continue;
            char label[32];
            std::snprintf(label, sizeof label, "%d %02d", first_year + y, w);
            rows.push_back(make_row(label, static_cast<double>(rows.size() + 1), b.received, b.sent, b.first_day));
        }
    }
    return rows;
}

HistoryRows monthly_rows(const HistoryRowSource& s, double first, double last) {
    const int first_year = year_of(first);
    const int years = year_of(last) - first_year + 1;
    if (years <= 0) return {};
    std::vector<Bucket> buckets(static_cast<std::size_t>(years) * 12);
    for_each_day(first, last, [&](double d, int year, int index) {
        const int month = civil_date(d).month;
        Bucket& b = buckets[static_cast<std::size_t>(year - first_year) * 12 + static_cast<std::size_t>(month - 1)];
        const TrafficPair p = s.log.day(s.adapter, year, index);
        b.received += p.received;
        b.sent += p.sent;
        b.used = true;
    });
    HistoryRows rows;
    for (int y = 0; y < years; ++y) {
        for (int m = 1; m <= 12; ++m) {
            const Bucket& b = buckets[static_cast<std::size_t>(y) * 12 + static_cast<std::size_t>(m - 1)];
            if (!b.used) continue;
            rows.push_back(make_row(std::to_string(first_year + y) + " " + s.locale.month_name(m),
                                    static_cast<double>(rows.size() + 1), b.received, b.sent,
                                    static_cast<double>(day_number(first_year + y, m, 1))));
        }
    }
    return rows;
}

HistoryRows yearly_rows(const HistoryRowSource& s, double first, double last) {
    HistoryRows rows;
    const int first_year = year_of(first);
    const int last_year = year_of(last);
    for (int y = first_year; y <= last_year; ++y) {
        const int from = y == first_year ? day_index(first) : 0;
        const int to = y == last_year ? day_index(last) : 365;
        double received = 0.0;
        double sent = 0.0;
        for (int i = from; i <= to; ++i) {
            const TrafficPair p = s.log.day(s.adapter, y, i);
            received += p.received;
            sent += p.sent;
        }
        rows.push_back(make_row(std::to_string(y), static_cast<double>(rows.size() + 1), received, sent,
                                static_cast<double>(day_number(y, 1, 1))));
    }
    return rows;
}

double sort_value(const HistoryRow& r, int column) {
    switch (column) {
        case 1: return r.received;
        case 2: return r.sent;
        case 3: return r.total;
        default: return r.sort_key;
    }
}

}  // namespace

HistoryRows build_history_rows(HistoryTab tab, const HistoryRowSource& source) {
    const double first = std::floor(source.start_date);
    const double last = std::floor(source.today);
    switch (tab) {
        case kTabTotals: return totals_rows(source, first, last);
        case kTabDaily: return daily_rows(source, first, last);
        case kTabWeekly: return weekly_rows(source, first, last);
        case kTabMonthly: return monthly_rows(source, first, last);
        case kTabYearly: return yearly_rows(source, first, last);
    }
    return {};
}

void shell_sort_rows(HistoryRows& rows, int column) {
    const std::size_t n = rows.size();
    std::size_t gap = 1;
    while (gap <= n) gap = 4 * gap + 1;
    while (gap > 1) {
        gap /= 4;
        for (std::size_t i = gap; i < n; ++i) {
            HistoryRow moving = std::move(rows[i]);
            const double key = sort_value(moving, column);
            std::size_t j = i;
            while (j >= gap && sort_value(rows[j - gap], column) > key) {
                rows[j] = std::move(rows[j - gap]);
                j -= gap;
            }
            rows[j] = std::move(moving);
        }
    }
}

std::string totals_label(int adapter, const std::string& name) {
    if (adapter == 0) return "0 - Multiple";
    return std::to_string(adapter) + " - " + (name.empty() ? std::string("(unknown)") : name);
}

void label_totals_rows(HistoryRows& rows, const std::vector<std::string>& names) {
    for (HistoryRow& r : rows) {
        const int a = r.sort_key == kAggregateSortKey ? 0 : static_cast<int>(r.sort_key);
        const std::size_t i = static_cast<std::size_t>(a);
        r.label = totals_label(a, i < names.size() ? names[i] : std::string());
    }
}

int adapter_from_totals_label(const std::string& label, int current) {
    // The label starts with the adapter number; a second digit means adapter 10 or more.
    if (label.empty() || label[0] < '0' || label[0] > '9') return current;
    if (label.size() > 1 && label[1] >= '0' && label[1] <= '9') return current;
    return label[0] - '0';
}

double history_week_start(double date, int first_day) {
    const double d = std::floor(date);
    const int offset = ((weekday(d) - (first_day - 1)) % 7 + 7) % 7;
    return d - offset;
}

int history_week_number(double date, int first_day) {
    const double start = history_week_start(date, first_day);
    const int year = year_of(start + 3);
    // Week 1 is the week holding 4 January.
    const double first_week = history_week_start(static_cast<double>(day_number(year, 1, 4)), first_day);
    return static_cast<int>((start - first_week) / 7.0) + 1;
}
