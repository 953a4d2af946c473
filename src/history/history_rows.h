#pragma once

#include <string>
#include <vector>

#include "measure/traffic_pair.h"
#include "platform/locale.h"

// The five tabs of the history window, in tab-strip order.
enum HistoryTab : int { kTabTotals = 0, kTabDaily = 1, kTabWeekly = 2, kTabMonthly = 3, kTabYearly = 4 };
inline constexpr int kHistoryTabCount = 5;

// Read-only view of the daily log: the amounts of one adapter (0 = the aggregate) on one day,
// given as year and day index (0 = 1 January). Days the log does not cover read as zero.
class DailyAmounts {
public:
    virtual ~DailyAmounts() = default;
    virtual TrafficPair day(int adapter, int year, int day_index) const = 0;
};

// A log with no days: every amount reads zero.
class NoDailyAmounts : public DailyAmounts {
public:
    TrafficPair day(int, int, int) const override { return {}; }
};

// One row of a history list: label, sort key and the amounts in bytes.
struct HistoryRow {
    std::string label;
    double sort_key = 0.0;
    double received = 0.0;
    double sent = 0.0;
    double total = 0.0;
    // First day of the row's period: the day, the week's first day, the 1st of the month or
    // 1 January (whole day numbers); on the Totals tab the adapter number.
    double period = 0.0;
};
using HistoryRows = std::vector<HistoryRow>;

// The sort key that puts the aggregate after every adapter on the Totals tab.
inline constexpr double kAggregateSortKey = 99.0;

// What the row tables are built from.
struct HistoryRowSource {
    const DailyAmounts& log;
    double start_date = 0.0;  // the day logging began
    double today = 0.0;       // the current date; its time of day is ignored
    int adapter = 0;          // the history adapter shown on tabs Daily .. Yearly
    int adapter_count = 0;    // adapters 1..n listed on the Totals tab, besides the aggregate
    int first_day = 2;        // first day of the week, 1 = Sunday .. 7 = Saturday
    const Locale& locale;
};

// The rows of one tab in build (chronological) order. On the Totals tab the label is the
// adapter number; `label_totals` turns it into the shown text.
HistoryRows build_history_rows(HistoryTab tab, const HistoryRowSource& source);

// Sorts ascending by column 0 (sort key), 1 (received), 2 (sent) or 3 (total) with a Shell
// sort: gaps ..., 85, 21, 5, 1, each pass an insertion sort over elements that far apart.
void shell_sort_rows(HistoryRows& rows, int column);

// "<n> - <interface>" for adapter n ("<n> - (unknown)" when no interface holds the number),
// "0 - Multiple" for the aggregate.
std::string totals_label(int adapter, const std::string& name);
// Relabels Totals rows (labelled with their adapter number) with `totals_label`; element i of
// `names` is adapter i's interface name as the lists show it.
void label_totals_rows(HistoryRows& rows, const std::vector<std::string>& names);

// The adapter a click on a Totals row chooses: the row's adapter when it is 0 to 9, else
// `current` (adapters from 10 on cannot be chosen by a click).
int adapter_from_totals_label(const std::string& label, int current);

// First day of the week holding `date` (weeks starting on `first_day`, 1 = Sunday).
double history_week_start(double date, int first_day);
// Week of the year: week 1 is the first week with at least four days in the new year, so a
// week belongs to the year holding its fourth day.
int history_week_number(double date, int first_day);
