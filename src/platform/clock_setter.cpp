#include "platform/clock_setter.h"

void FallbackClockSetter::set_utc(const UtcTime& time, bool interactive, ClockSetDone done) {
    first_.set_utc(time, interactive, [this, time, interactive, done](const ClockSetResult& own) {
        if (own.ok || fallback_ == nullptr) {
            done(own);
            return;
        }
        fallback_->set_utc(time, interactive, [own, done](const ClockSetResult& asked) {
            if (asked.ok || own.reason.empty()) {
                done(asked);
            } else if (asked.reason.empty()) {
                done(own);
            } else {
                done(ClockSetResult::refused(own.reason + "; " + asked.reason));
            }
        });
    });
}
