#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <optional>

#include "platform/clock_setter.h"

// Asks systemd-timedated to set the clock (org.freedesktop.timedate1.SetTime on the system
// bus), for a process that may not set it itself: polkit decides, and for a request the
// user made (`interactive`) may ask the user to confirm. The call is asynchronous: the event
// loop runs on while the service works or the user types a password, and the answer comes
// up to two minutes later for a request the user made, ten seconds otherwise. The time is
// sent as a step from the clock, so the time the service waits is not lost from it.
class DBusClockSetter : public ClockSetter {
public:
    // The system bus, connected at the first request; tests name a bus of their own.
    explicit DBusClockSetter(QString bus_address = {}) : bus_address_(std::move(bus_address)) {}
    ~DBusClockSetter() override;
    void set_utc(const UtcTime& time, bool interactive, ClockSetDone done) override;

private:
    QString bus_address_;
    std::optional<QDBusConnection> bus_;
    // Parent of the calls under way: destroyed with the setter, they call back no one.
    QObject calls_;
};
