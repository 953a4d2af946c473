#pragma once

#include <cstdint>

// Dates are days since 1899-12-30 as 64-bit floats; the fraction is the time of day.

struct CivilDate {
    int year = 1899;
    int month = 12;  // 1..12
    int day = 30;    // 1..31
};

bool is_leap_year(int year);
int days_in_month(int year, int month);
// Whole day number of a calendar date (1899-12-30 is 0, 2005-01-01 is 38353).
std::int64_t day_number(int year, int month, int day);
double make_date(int year, int month, int day, int hour = 0, int minute = 0, double second = 0.0);
// Calendar date of a date value (its whole day; negative fractions round toward the earlier day).
CivilDate civil_date(double date);
int year_of(double date);
// Whole days since 1 January of the date's year (0..365).
int day_index(double date);
// Minutes since midnight (0..1439).
int minute_index(double date);
double seconds_since_midnight(double date);
// Day of the week, 0 = Sunday .. 6 = Saturday.
int weekday(double date);
