#pragma once

#include "platform/clock_setter.h"

// Sets CLOCK_REALTIME. A setter made with `allowed` false refuses every request, as the
// system does without CAP_SYS_TIME; test runs use it so the real clock is never touched.
class LinuxClockSetter : public ClockSetter {
public:
    explicit LinuxClockSetter(bool allowed = true) : allowed_(allowed) {}
    bool set_utc(const UtcTime& time) override;

private:
    bool allowed_;
};
