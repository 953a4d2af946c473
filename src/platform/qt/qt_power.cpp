#include "platform/qt/qt_power.h"

#include <QProcess>
#include <QStringList>

void QtPower::reboot() {
    QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("reboot")});
}

void QtPower::shutdown() {
    QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}
