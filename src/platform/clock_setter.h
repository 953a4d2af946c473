#pragma once

#include <functional>
#include <string>
#include <utility>

// A moment in UTC, whole seconds, as the system clock is set.
struct UtcTime {
    int year = 1900;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Whether the clock was set, and why not when it was not.
struct ClockSetResult {
    bool ok = false;
    std::string reason;  // the system's words for a refusal
    static ClockSetResult done() { return {true, {}}; }
    static ClockSetResult refused(std::string why) { return {false, std::move(why)}; }
};

using ClockSetDone = std::function<void(const ClockSetResult&)>;

// Sets the system clock. `interactive`: the user asked for it and is there to confirm it,
// where the system wants a confirmation (a password). The answer goes to `done`, at once or
// later from the event loop (a system service that may wait for the user); the caller never
// waits for it. A setter that is destroyed first never calls `done`.
class ClockSetter {
public:
    virtual ~ClockSetter() = default;
    virtual void set_utc(const UtcTime& time, bool interactive, ClockSetDone done) = 0;
};

// Asks `first`, and where it refuses, `fallback` (when there is one): the process sets the
// clock itself where it may, else asks the system's time service. A refusal of both names
// both reasons.
class FallbackClockSetter : public ClockSetter {
public:
    FallbackClockSetter(ClockSetter& first, ClockSetter* fallback) : first_(first), fallback_(fallback) {}
    void set_utc(const UtcTime& time, bool interactive, ClockSetDone done) override;

private:
    ClockSetter& first_;
    ClockSetter* fallback_;
};
