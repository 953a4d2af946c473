#pragma once

#include "platform/clock_setter.h"

// Sets CLOCK_REALTIME, which needs CAP_SYS_TIME. A setter made with `allowed` false refuses
// every request as the system does without it; test runs use it so the real clock is never
// touched. Answers at once.
class LinuxClockSetter : public ClockSetter {
public:
    explicit LinuxClockSetter(bool allowed = true) : allowed_(allowed) {}
    void set_utc(const UtcTime& time, bool interactive, ClockSetDone done) override;

private:
    ClockSetResult set_now(const UtcTime& time) const;
    bool allowed_;
};
