#include "core/main_timer.h"

#include <algorithm>

std::int32_t tick_diff(std::int32_t now, std::int32_t then) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(then));
}

namespace {

std::int32_t log_period_ms(std::int32_t minutes) {
    return std::clamp(minutes, 1, 999) * 60000;
}

}  // namespace

DueJobs dispatch_timer(TimerStamps& st, std::int32_t now, std::int32_t log_write_minutes) {
    DueJobs jobs;
    if (now < st.last_log_tick || st.last_log_tick == 0) {
        st.last_cycle_tick = st.last_log_tick = st.last_colour_tick = st.last_report_tick = now;
    }
    if (tick_diff(now, st.last_cycle_tick) >= st.cycle_period_ms) {
        st.last_cycle_tick = now;
        jobs.update_cycle = true;
    }
    if (tick_diff(now, st.last_log_tick) >= log_period_ms(log_write_minutes)) {
        st.last_log_tick = now;
        jobs.log_save = true;
    }
    if (tick_diff(now, st.last_colour_tick) >= kColourPeriodMs) {
        st.last_colour_tick = now;
        jobs.colour_refresh = true;
    }
    if (tick_diff(now, st.last_report_tick) >= kReportPeriodMs) {
        st.last_report_tick = now;
        jobs.remote_report = true;
    }
    return jobs;
}

std::int32_t ms_until_next_job(const TimerStamps& st, std::int32_t now, std::int32_t log_write_minutes) {
    // Before the first event, or once the counter passed 2^31, the next event resets the stamps.
    if (now < st.last_log_tick || st.last_log_tick == 0) return 0;
    const auto left = [now](std::int32_t stamp, std::int32_t period) {
        return std::max<std::int32_t>(0, period - tick_diff(now, stamp));
    };
    std::int32_t wait = left(st.last_cycle_tick, st.cycle_period_ms);
    wait = std::min(wait, left(st.last_log_tick, log_period_ms(log_write_minutes)));
    wait = std::min(wait, left(st.last_colour_tick, kColourPeriodMs));
    wait = std::min(wait, left(st.last_report_tick, kReportPeriodMs));
    // The counter passing 2^31 is a reset point of its own: wake for it.
    if (now > 0) {
        const std::int64_t to_wrap = static_cast<std::int64_t>(INT32_MAX) - now + 1;
        if (to_wrap < wait) wait = static_cast<std::int32_t>(to_wrap);
    }
    return wait;
}
