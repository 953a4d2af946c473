#pragma once

#include <functional>
#include <string>

#include "history/history_view.h"
#include "history/period_kind.h"


// Bytes adapter `adapter` received (direction 0) or sent (1) in period `kind`, as of `now`.
// Past days are summed once a day per kind and adapter; today's live entry is added.
double period_total(HistoryQuery state, int adapter, int kind, int direction, double now);
// The period's name as shown ("Today", ..., the user-defined period's name).
std::string period_name(HistoryQuery state, int kind);

// The first day of the week in effect: 1 = Sunday .. 7 = Saturday (FirstDayOfWeek, or the
// system's when it is 0).
int first_day_of_week(HistoryQuery state);

// The monthly user-defined period with start day `start_day` (1..31) as of `today`.
double monthly_period_start(double today, int start_day);
double monthly_period_end(double start);

// The user-defined period of variant `variant` (0..3, with the unit for variant 1) as shown
// in the options: from and to as moments, and whether the logs reach back far enough.
struct PeriodRange {
    double from = 0.0;
    double to = 0.0;
    bool data_missing = false;
};
PeriodRange current_period_range(HistoryQuery state, int variant, double now);

inline constexpr const char* kCurrentPeriodCaption = "Current period:";
inline constexpr const char* kDataWarning1 = "The displayed amounts may be incorrect.";
inline constexpr const char* kDataWarning2 = "There is not sufficient data for the current period.";

// "<date> <time>  to  <date> <time>"; the formatters give the system's short date and time
// (ISO dates and 24-hour times when none are given).
using DateFormatter = std::function<std::string(double)>;
std::string current_period_text(const PeriodRange& range, const DateFormatter& short_date = {},
                                const DateFormatter& time_of_day = {});
// The same with the locale's short date and long time.
class Locale;
std::string current_period_text(const PeriodRange& range, const Locale& locale);
