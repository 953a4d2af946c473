#include "platform/qt/dbus_clock_setter.h"

#include <QDBusMessage>

#include "core/date.h"

namespace {

constexpr int kInteractiveTimeoutMs = 120000;
constexpr int kTimeoutMs = 10000;
const QString kPrivateBusName = QStringLiteral("kelvanto-clock-setter");

}  // namespace

DBusClockSetter::~DBusClockSetter() {
    if (bus_ && !bus_address_.isEmpty()) QDBusConnection::disconnectFromBus(kPrivateBusName);
}

ClockSetResult DBusClockSetter::set_utc(const UtcTime& t, bool interactive) {
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
        return ClockSetResult::refused(why.toStdString());
    }
    // Microseconds since 1970-01-01 UTC, absolute.
    const qint64 days = day_number(t.year, t.month, t.day) - day_number(1970, 1, 1);
    const qint64 usec = (days * 86400LL + t.hour * 3600LL + t.minute * 60LL + t.second) * 1000000LL;
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.timedate1"),
                                                       QStringLiteral("/org/freedesktop/timedate1"),
                                                       QStringLiteral("org.freedesktop.timedate1"),
                                                       QStringLiteral("SetTime"));
    call << QVariant::fromValue(usec) << false << interactive;
    call.setInteractiveAuthorizationAllowed(interactive);
    const QDBusMessage reply = bus_->call(call, QDBus::Block, interactive ? kInteractiveTimeoutMs : kTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage) return ClockSetResult::done();
    const QString why = reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
    return ClockSetResult::refused(why.toStdString());
}
