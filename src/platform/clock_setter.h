#pragma once

// A moment in UTC, whole seconds, as the system clock is set.
struct UtcTime {
    int year = 1900;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Sets the system clock. Returns false when the system refuses (for example for want of
// the privilege to change the time).
class ClockSetter {
public:
    virtual ~ClockSetter() = default;
    virtual bool set_utc(const UtcTime& time) = 0;
};
