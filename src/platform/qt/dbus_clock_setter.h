#pragma once

#include <QDBusConnection>
#include <QString>
#include <optional>

#include "platform/clock_setter.h"

// Asks systemd-timedated to set the clock (org.freedesktop.timedate1.SetTime on the system
// bus), for a process that may not set it itself: polkit decides, and for a request the
// user made (`interactive`) may ask the user to confirm. Waits for the answer: up to two
// minutes while the user may be typing a password, ten seconds otherwise.
class DBusClockSetter : public ClockSetter {
public:
    // The system bus, connected at the first request; tests name a bus of their own.
    explicit DBusClockSetter(QString bus_address = {}) : bus_address_(std::move(bus_address)) {}
    ~DBusClockSetter() override;
    ClockSetResult set_utc(const UtcTime& time, bool interactive) override;

private:
    QString bus_address_;
    std::optional<QDBusConnection> bus_;
};
