#include "platform/qt/data_folder.h"

#include <QDir>
#include <QFile>

std::string data_folder_path() {
    QString dir = qEnvironmentVariable("KELVANTO_HOME");
    if (dir.isEmpty()) {
        QString base = qEnvironmentVariable("XDG_DATA_HOME");
        if (base.isEmpty()) base = QDir::homePath() + QStringLiteral("/.local/share");
        dir = base + QStringLiteral("/kelvanto");
    }
    std::string s = QDir(dir).absolutePath().toStdString();
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

std::string data_folder() {
    const std::string dir = data_folder_path();
    // Private to the user, as the settings are: it holds the traffic history.
    if (QDir().mkpath(QString::fromStdString(dir)))
        QFile::setPermissions(QString::fromStdString(dir), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return dir;
}
