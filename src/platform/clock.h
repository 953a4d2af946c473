#pragma once

#include <cstdint>

// The clocks of the machine.
class Clock {
public:
    virtual ~Clock() = default;
    // Wall clock as a date: days since 1899-12-30 in local time, the fraction being the time
    // of day. For dates only: it jumps with daylight saving and when the clock is set.
    virtual double now() const = 0;
    // The same wall clock in UTC, as the system clock is set.
    virtual double utc_now() const = 0;
    // Seconds on a steady clock that counts on while the machine sleeps and that no change of
    // the wall clock moves: for measuring elapsed time.
    virtual double elapsed_seconds() const = 0;
};

// Millisecond tick counter that wraps as a signed 32-bit value.
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual std::int32_t tick_ms() const = 0;
};
