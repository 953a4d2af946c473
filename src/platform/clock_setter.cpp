#include "platform/clock_setter.h"

ClockSetResult FallbackClockSetter::set_utc(const UtcTime& time, bool interactive) {
    ClockSetResult own = first_.set_utc(time, interactive);
    if (own.ok || fallback_ == nullptr) return own;
    ClockSetResult asked = fallback_->set_utc(time, interactive);
    if (asked.ok) return asked;
    if (own.reason.empty()) return asked;
    if (asked.reason.empty()) return own;
    return ClockSetResult::refused(own.reason + "; " + asked.reason);
}
