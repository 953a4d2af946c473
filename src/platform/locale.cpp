#include "platform/locale.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "platform/date.h"

std::string EnglishLocale::short_date(double date) const {
    const CivilDate d = civil_date(date);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", d.day, d.month, d.year);
    return buf;
}

std::string EnglishLocale::long_time(double date) const {
    // Round to whole seconds first, so 11:59:59.9995 does not read as 11:59:59.
    long long secs = std::llround(seconds_since_midnight(date));
    if (secs >= 86400) secs = 86399;
    if (secs < 0) secs = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", secs / 3600, secs / 60 % 60, secs % 60);
    return buf;
}

std::string EnglishLocale::short_time(double date) const {
    long long mins = static_cast<long long>(std::floor(seconds_since_midnight(date) / 60.0 + 1e-9));
    if (mins >= 1440) mins = 1439;
    if (mins < 0) mins = 0;
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld", mins / 60, mins % 60);
    return buf;
}

std::string EnglishLocale::month_name(int month) const {
    static constexpr std::array<const char*, 12> kNames{"January", "February", "March",     "April",
                                                        "May",     "June",     "July",      "August",
                                                        "September", "October", "November", "December"};
    if (month < 1 || month > 12) return {};
    return kNames[static_cast<std::size_t>(month - 1)];
}
