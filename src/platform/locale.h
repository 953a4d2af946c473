#pragma once

#include <string>

// Locale-dependent texts. The application answers from the user's system locale; tests use
// the fixed English locale below so that their expectations do not depend on the machine.
class Locale {
public:
    virtual ~Locale() = default;
    // The decimal separator of numbers ("." or "," for most locales).
    virtual std::string decimal_separator() const = 0;
    // A date value (days since 1899-12-30) in the short date format.
    virtual std::string short_date(double date) const = 0;
    // The time of day of a date value in the long time format (with seconds).
    virtual std::string long_time(double date) const = 0;
    // The time of day of a date value in the short time format (hours and minutes).
    virtual std::string short_time(double date) const = 0;
    // The full month name, in proper case, of month 1..12 (empty outside that range).
    virtual std::string month_name(int month) const = 0;
    // First day of the week, numbered 1 = Sunday, 2 = Monday ... 7 = Saturday.
    virtual int first_day_of_week() const = 0;
};

// A fixed English locale: "." as decimal separator, dates as dd/MM/yyyy, times as HH:mm:ss
// (short: HH:mm),
// weeks starting on Monday. Separator and first day can be changed for tests.
class EnglishLocale : public Locale {
public:
    std::string decimal = ".";
    int first_day = 2;

    std::string decimal_separator() const override { return decimal; }
    std::string short_date(double date) const override;
    std::string long_time(double date) const override;
    std::string short_time(double date) const override;
    std::string month_name(int month) const override;
    int first_day_of_week() const override { return first_day; }
};
