#include "platform/linux/system_clock.h"

#include <ctime>

#include "platform/date.h"

double SystemClock::now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    const time_t secs = ts.tv_sec;
    tm local{};
    localtime_r(&secs, &local);
    return make_date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                     local.tm_sec + ts.tv_nsec / 1e9);
}

double SystemClock::utc_now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(day_number(1970, 1, 1)) +
           (static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9) / 86400.0;
}

double SystemClock::elapsed_seconds() const {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::int32_t MonotonicTicks::tick_ms() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const unsigned long long ms =
        static_cast<unsigned long long>(ts.tv_sec) * 1000ull + static_cast<unsigned long long>(ts.tv_nsec) / 1000000ull;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ms));
}
