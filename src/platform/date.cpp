#include "platform/date.h"

#include <cmath>

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian), after H. Hinnant's algorithm.
std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CivilDate civil_from_days(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return CivilDate{static_cast<int>(y + (m <= 2 ? 1 : 0)), static_cast<int>(m), static_cast<int>(d)};
}

// 1899-12-30 counted from 1970-01-01.
constexpr std::int64_t kEpochOffset = -25569;

}  // namespace

bool is_leap_year(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && is_leap_year(year) ? 29 : kDays[month - 1];
}

std::int64_t day_number(int year, int month, int day) {
    return days_from_civil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochOffset;
}

double make_date(int year, int month, int day, int hour, int minute, double second) {
    return static_cast<double>(day_number(year, month, day)) +
           (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

CivilDate civil_date(double date) {
    return civil_from_days(static_cast<std::int64_t>(std::floor(date)) + kEpochOffset);
}

int year_of(double date) { return civil_date(date).year; }

int day_index(double date) {
    const CivilDate c = civil_date(date);
    return static_cast<int>(static_cast<std::int64_t>(std::floor(date)) - day_number(c.year, 1, 1));
}

double seconds_since_midnight(double date) {
    return (date - std::floor(date)) * 86400.0;
}

int minute_index(double date) {
    // A small epsilon keeps 10:00:00 from reading as 09:59 through rounding of the fraction;
    // a date near 46000 carries an error of about 1e-8 minutes, so it must be larger than that.
    int m = static_cast<int>(std::floor(seconds_since_midnight(date) / 60.0 + 1e-6));
    return m < 0 ? 0 : (m > 1439 ? 1439 : m);
}

int weekday(double date) {
    // 1899-12-30 was a Saturday.
    const std::int64_t d = static_cast<std::int64_t>(std::floor(date));
    return static_cast<int>(((d + 6) % 7 + 7) % 7);
}
