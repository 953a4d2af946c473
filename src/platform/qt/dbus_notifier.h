#pragma once

#include <QDBusConnection>
#include <QObject>
#include <functional>
#include <string>

#include "platform/notifier.h"

// Desktop notifications through the freedesktop notification service
// (org.freedesktop.Notifications) on a D-Bus connection, the session bus in the program. The
// call does not block: where no bus is connected, no service answers or it answers with an
// error, the fallback shows the title and text instead.
class DbusNotifier : public QObject, public Notifier {
    Q_OBJECT
public:
    using Fallback = std::function<void(const std::string& title, const std::string& text)>;
    DbusNotifier(QDBusConnection bus, Fallback fallback, QObject* parent = nullptr);

    void notify(const std::string& title, const std::string& text) override;

private:
    QDBusConnection bus_;
    Fallback fallback_;
};
