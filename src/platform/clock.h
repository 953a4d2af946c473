#pragma once

#include <cstdint>

// Wall clock as a date: days since 1899-12-30 in local time, the fraction being the time of day.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

// Millisecond tick counter that wraps as a signed 32-bit value.
class TickSource {
public:
    virtual ~TickSource() = default;
    virtual std::int32_t tick_ms() const = 0;
};
