#include "platform/qt/sleep_watcher.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString kLogin = QStringLiteral("org.freedesktop.login1");
const QString kLoginPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");

}  // namespace

SleepWatcher::SleepWatcher(QObject* parent) : QObject(parent) {
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) return;
    watching_ = bus.connect(kLogin, kLoginPath, kManager, QStringLiteral("PrepareForSleep"), this,
                            SLOT(PrepareForSleep(bool)));
    if (watching_) take_delay_lock();
}

void SleepWatcher::PrepareForSleep(bool sleeping) {
    if (!sleeping) {
        take_delay_lock();
        emit woke();
        return;
    }
    emit about_to_sleep();
    delay_lock_ = QDBusUnixFileDescriptor();  // closing the descriptor lets the sleep go on
}

void SleepWatcher::take_delay_lock() {
    QDBusMessage call = QDBusMessage::createMethodCall(kLogin, kLoginPath, kManager, QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Kelvanto") << QStringLiteral("Saving the traffic logs")
         << QStringLiteral("delay");
    // Asked without waiting: the window never blocks on the bus.
    auto* pending = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* finished) {
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *finished;
        if (reply.isValid()) delay_lock_ = reply.value();
        finished->deleteLater();
    });
}
