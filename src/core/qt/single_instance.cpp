#include "core/qt/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <cstdio>
#include <unistd.h>

#include "platform/qt/data_folder.h"

namespace {

// The service saves its logs before it answers; a slow disk may take a while.
constexpr int kAnswerTimeoutMs = 15000;
// After its answer the service only ends its process.
constexpr int kServiceEndTimeoutMs = 5000;

void reply(QLocalSocket* socket, const char* word) {
    socket->write(QByteArray(word) + '\n');
    socket->flush();
    socket->waitForBytesWritten(1000);
}

}  // namespace

SingleInstance::SingleInstance(Role role, QObject* parent) : QObject(parent), role_(role) {}

QString SingleInstance::server_name() {
    // Per user and per data folder: copies that log into different folders never meet.
    const QByteArray folder = QDir(QString::fromStdString(data_folder_path())).absolutePath().toUtf8();
    const QByteArray hash = QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("kelvanto-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

SingleInstance::Knock SingleInstance::knock() {
    // A copy that ends while this start waits (a service handing over to another start)
    // drops the connection unanswered: knock again, and whoever logs then answers.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(server_name());
        if (!socket.waitForConnected(500)) return Knock::nobody;
        socket.write(role_ == Role::service ? "service\n" : "desktop\n");
        socket.flush();
        QElapsedTimer waited;
        waited.start();
        while (!socket.canReadLine()) {
            const qint64 left = kAnswerTimeoutMs - waited.elapsed();
            if (left <= 0 || !socket.waitForReadyRead(static_cast<int>(left))) break;
        }
        if (!socket.canReadLine()) {
            if (socket.state() == QLocalSocket::ConnectedState) return Knock::no_answer;
            QThread::msleep(200);
            continue;
        }
        const QByteArray answer = socket.readLine().trimmed();
        if (answer == "restored") return Knock::restored;
        if (answer == "busy") return Knock::busy;
        if (answer != "saved") return Knock::no_answer;
        if (socket.state() == QLocalSocket::ConnectedState) socket.waitForDisconnected(kServiceEndTimeoutMs);
        return Knock::handed_over;
    }
    return Knock::no_answer;
}

bool SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(server_name())) {
        // A stale socket left by a crashed run, or by a service that has just handed over:
        // nobody answers on it any more, so take it over.
        QLocalServer::removeServer(server_name());
        if (!server_->listen(server_name())) return false;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (server_ != nullptr && server_->hasPendingConnections()) {
            QLocalSocket* s = server_->nextPendingConnection();
            s->setParent(this);  // outlives the server, which closes when the service hands over
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] { answer(s); });
            answer(s);
        }
    });
    return true;
}

void SingleInstance::close() {
    if (server_ == nullptr) return;
    server_->close();
    server_->deleteLater();
    server_ = nullptr;
}

void SingleInstance::answer(QLocalSocket* socket) {
    if (!socket->canReadLine()) return;
    const QByteArray request = socket->readLine().trimmed();
    if (request == "service") {
        reply(socket, "busy");
    } else if (role_ == Role::service) {
        // Stop answering first, so the next copy to listen is the desktop start.
        close();
        emit hand_over_requested();
        reply(socket, "saved");
    } else {
        emit restore_requested();
        reply(socket, "restored");
    }
}

int SingleInstance::claim() {
    switch (knock()) {
        case Knock::nobody:
        case Knock::handed_over: break;
        case Knock::no_answer:
            std::fputs("kelvanto: another copy is running but does not answer\n", stderr);
            return 1;
        default: return 0;
    }
    listen();
    return -1;
}
