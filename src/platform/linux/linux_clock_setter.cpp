#include "platform/linux/linux_clock_setter.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/date.h"

void LinuxClockSetter::set_utc(const UtcTime& t, bool /*interactive*/, ClockSetDone done) { done(set_now(t)); }

ClockSetResult LinuxClockSetter::set_now(const UtcTime& t) const {
    if (!allowed_) return ClockSetResult::refused(std::strerror(EPERM));
    // Seconds since 1970-01-01 UTC, without going through the local time zone.
    const long long days = day_number(t.year, t.month, t.day) - day_number(1970, 1, 1);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(days * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second);
    ts.tv_nsec = 0;
    if (clock_settime(CLOCK_REALTIME, &ts) == 0) return ClockSetResult::done();
    return ClockSetResult::refused(std::strerror(errno));
}
