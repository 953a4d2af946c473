#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/clock_setter.h"

// The local wall clock as a date value; elapsed time from GetTickCount64, which counts on
// while the machine sleeps and which setting the clock does not move.
class Win32Clock : public Clock {
public:
    double now() const override;
    double utc_now() const override;
    double elapsed_seconds() const override;
};

// GetTickCount: milliseconds since the start of Windows, wrapping as a signed 32-bit value.
class Win32Ticks : public TickSource {
public:
    std::int32_t tick_ms() const override;
};

// SetSystemTime, after enabling the SE_SYSTEMTIME_NAME privilege of the process. Without
// the privilege (a user who is no administrator) the refusal carries the system's reason.
// A setter made with `allowed` false refuses every request the same way without asking:
// test runs use it, so the real clock is never touched.
class Win32ClockSetter : public ClockSetter {
public:
    explicit Win32ClockSetter(bool allowed = true) : allowed_(allowed) {}
    // Answers at once.
    void set_utc(const UtcTime& time, bool interactive, ClockSetDone done) override;
    ClockSetResult set_now(const UtcTime& time);

private:
    bool allowed_;
};

// Enables privilege `name` (SE_SHUTDOWN_NAME, SE_SYSTEMTIME_NAME) in the process's token;
// empty when it is enabled, else the system's reason.
std::string enable_privilege(const wchar_t* name);
