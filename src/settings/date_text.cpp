#include "settings/date_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/date.h"

namespace {

constexpr long long kSecondsPerDay = 86400;

// Reads exactly `digits` decimal digits at `pos`.
std::optional<int> field(std::string_view text, std::size_t pos, std::size_t digits) {
    if (pos + digits > text.size()) return std::nullopt;
    int value = 0;
    const char* begin = text.data() + pos;
    const auto [end, ec] = std::from_chars(begin, begin + digits, value);
    if (ec != std::errc{} || end != begin + digits || *begin == '-' || *begin == '+') return std::nullopt;
    return value;
}

}  // namespace

std::string format_date_time(double date) {
    const long long total = std::llround(date * kSecondsPerDay);
    long long days = total / kSecondsPerDay;
    long long seconds = total % kSecondsPerDay;
    if (seconds < 0) {
        seconds += kSecondsPerDay;
        --days;
    }
    const CivilDate d = civil_date(static_cast<double>(days));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02lld:%02lld:%02lld", d.year, d.month, d.day, seconds / 3600,
                  seconds / 60 % 60, seconds % 60);
    return text;
}

std::optional<double> parse_date_time(std::string_view text) {
    if (text.size() != 10 && text.size() != 19) return std::nullopt;
    if (text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = field(text, 0, 4), month = field(text, 5, 2), day = field(text, 8, 2);
    if (!year || !month || !day || *month < 1 || *month > 12 || *day < 1 || *day > days_in_month(*year, *month))
        return std::nullopt;
    int hour = 0, minute = 0, second = 0;
    if (text.size() == 19) {
        if (text[10] != ' ' || text[13] != ':' || text[16] != ':') return std::nullopt;
        const auto h = field(text, 11, 2), m = field(text, 14, 2), s = field(text, 17, 2);
        if (!h || !m || !s || *h > 23 || *m > 59 || *s > 59) return std::nullopt;
        hour = *h;
        minute = *m;
        second = *s;
    }
    return make_date(*year, *month, *day, hour, minute, second);
}
