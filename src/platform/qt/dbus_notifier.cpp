#include "platform/qt/dbus_notifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QVariantMap>

namespace {

constexpr int kAnswerTimeoutMs = 10000;
constexpr int kServerDecidesTimeout = -1;

}  // namespace

DbusNotifier::DbusNotifier(QDBusConnection bus, Fallback fallback, QObject* parent)
    : QObject(parent), bus_(std::move(bus)), fallback_(std::move(fallback)) {}

void DbusNotifier::notify(const std::string& title, const std::string& text) {
    if (!bus_.isConnected()) {
        if (fallback_) fallback_(title, text);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("kelvanto"));
    call << QStringLiteral("Kelvanto") << 0u << QStringLiteral("kelvanto") << QString::fromStdString(title)
         << QString::fromStdString(text) << QStringList() << hints << kServerDecidesTimeout;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kAnswerTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, title, text] {
        watcher->deleteLater();
        if (watcher->isError() && fallback_) fallback_(title, text);
    });
}
