#pragma once

#include "platform/locale.h"

// The user's system locale (QLocale::system()).
class SystemLocale : public Locale {
public:
    std::string decimal_separator() const override;
    std::string short_date(double date) const override;
    std::string long_time(double date) const override;
    std::string short_time(double date) const override;
    std::string month_name(int month) const override;
    int first_day_of_week() const override;
};
