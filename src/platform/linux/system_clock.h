#pragma once

#include "platform/clock.h"

// The local wall clock as a date value; elapsed time from CLOCK_BOOTTIME.
class SystemClock : public Clock {
public:
    double now() const override;
    double utc_now() const override;
    double elapsed_seconds() const override;
};

// Monotonic milliseconds, wrapping as a signed 32-bit value.
class MonotonicTicks : public TickSource {
public:
    std::int32_t tick_ms() const override;
};
