#include "platform/qt/dbus_clock_setter.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDateTime>

#include "platform/date.h"

namespace {

constexpr int kInteractiveTimeoutMs = 120000;
constexpr int kTimeoutMs = 10000;
const QString kPrivateBusName = QStringLiteral("kelvanto-clock-setter");

}  // namespace

DBusClockSetter::~DBusClockSetter() {
    if (bus_ && !bus_address_.isEmpty()) QDBusConnection::disconnectFromBus(kPrivateBusName);
}

void DBusClockSetter::set_utc(const UtcTime& t, bool interactive, ClockSetDone done) {
    if (!bus_) {
        bus_ = bus_address_.isEmpty() ? QDBusConnection::systemBus()
                                      : QDBusConnection::connectToBus(bus_address_, kPrivateBusName);
    }
    if (!bus_->isConnected()) {
        const QString why = bus_->lastError().isValid() ? bus_->lastError().message()
                                                         : QStringLiteral("no connection to the system bus");
        // A bus that comes up later is tried again at the next request.
        if (!bus_address_.isEmpty()) QDBusConnection::disconnectFromBus(kPrivateBusName);
        bus_.reset();
        done(ClockSetResult::refused(why.toStdString()));
        return;
    }
    // Microseconds since 1970-01-01 UTC, sent as the step from the clock now: the service adds
    // it to the clock when it acts, after polkit (and perhaps the user) agreed.
    const qint64 days = day_number(t.year, t.month, t.day) - day_number(1970, 1, 1);
    const qint64 usec = (days * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second) * 1000000LL;
    const qint64 step = usec - QDateTime::currentMSecsSinceEpoch() * 1000LL;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.timedate1"),
                                                       QStringLiteral("/org/freedesktop/timedate1"),
                                                       QStringLiteral("org.freedesktop.timedate1"),
                                                       QStringLiteral("SetTime"));
    call << QVariant::fromValue(step) << true << interactive;
    call.setInteractiveAuthorizationAllowed(interactive);
    auto* watcher =
        new QDBusPendingCallWatcher(bus_->asyncCall(call, interactive ? kInteractiveTimeoutMs : kTimeoutMs), &calls_);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &calls_, [done](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        if (!w->isError()) {
            done(ClockSetResult::done());
            return;
        }
        const QString why = w->error().message().isEmpty() ? w->error().name() : w->error().message();
        done(ClockSetResult::refused(why.toStdString()));
    });
}
