#pragma once

#include <cstdint>

#include "core/program_state.h"

// The jobs one timer event runs, in this order.
struct DueJobs {
    bool update_cycle = false;
    bool log_save = false;
    bool colour_refresh = false;
    bool remote_report = false;
    bool any() const { return update_cycle || log_save || colour_refresh || remote_report; }
};

inline constexpr std::int32_t kCyclePeriodMs = 1000;
inline constexpr std::int32_t kColourPeriodMs = 60000;
inline constexpr std::int32_t kReportPeriodMs = 60000;

// Difference of two tick counts modulo 2^32, read as a signed value.
std::int32_t tick_diff(std::int32_t now, std::int32_t then);

// Decides which jobs are due at tick `now` and stamps them. The first event, and the event
// after the counter passes 2^31, only set the four stamps.
DueJobs dispatch_timer(TimerStamps& stamps, std::int32_t now, std::int32_t log_write_minutes);

// Milliseconds from `now` until the next job falls due (0 when one is due already), so the
// timer can sleep until then instead of polling.
std::int32_t ms_until_next_job(const TimerStamps& stamps, std::int32_t now, std::int32_t log_write_minutes);
