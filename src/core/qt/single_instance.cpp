#include "core/qt/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <unistd.h>

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

QString SingleInstance::server_name() {
    // Per user, and per data folder, so that test runs with their own folder do not meet.
    QString home = qEnvironmentVariable("KELVANTO_HOME");
    QString key = QStringLiteral("kelvanto-%1").arg(::getuid());
    if (!home.isEmpty()) key += QStringLiteral("-%1").arg(qHash(QDir(home).absolutePath()), 0, 16);
    return key;
}

bool SingleInstance::another_is_running() {
    QLocalSocket socket;
    socket.connectToServer(server_name());
    if (!socket.waitForConnected(500)) return false;
    socket.write("restore\n");
    socket.waitForBytesWritten(500);
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(server_name())) {
        // A stale socket left by a crashed run: nobody answered above, so take it over.
        QLocalServer::removeServer(server_name());
        if (!server_->listen(server_name())) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            emit restore_requested();
        }
    });
    return true;
}
