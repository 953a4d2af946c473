#include "net/qt/net_socket.h"

#include <QTcpSocket>

NetSocket::NetSocket(Events events, QObject* parent) : QObject(parent), events_(std::move(events)) {}

NetSocket::~NetSocket() { drop(); }

void NetSocket::set_override(const QString& host, int port) {
    host_override_ = host;
    port_override_ = port;
}

void NetSocket::drop() {
    if (!socket_) return;
    QTcpSocket* s = socket_;
    socket_ = nullptr;
    s->disconnect(this);
    s->abort();
    s->deleteLater();
}

void NetSocket::apply(const SocketActions& a) {
    if (a.close) drop();
    if (a.connect) {
        drop();
        socket_ = new QTcpSocket(this);
        QTcpSocket* s = socket_;
        connect(s, &QTcpSocket::connected, this, [this, s] {
            if (s == socket_ && events_.connected) events_.connected();
        });
        connect(s, &QTcpSocket::readyRead, this, [this, s] {
            if (s == socket_) on_ready_read();
        });
        connect(s, &QTcpSocket::disconnected, this, [this, s] {
            if (s == socket_) on_disconnected();
        });
        connect(s, &QTcpSocket::errorOccurred, this, [this, s](QAbstractSocket::SocketError e) {
            if (s == socket_) on_error(static_cast<int>(e), s->errorString());
        });
        const QString host = host_override_.isEmpty() ? QString::fromStdString(a.host) : host_override_;
        const int port = port_override_ > 0 ? port_override_ : a.port;
        s->connectToHost(host, static_cast<quint16>(port));
    }
    if (!a.send.empty() && socket_) socket_->write(a.send.data(), static_cast<qint64>(a.send.size()));
}

void NetSocket::on_ready_read() {
    const QByteArray bytes = socket_->readAll();
    if (!bytes.isEmpty() && events_.data) events_.data(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void NetSocket::on_disconnected() {
    // Bytes that arrived together with the close are handed on first.
    QTcpSocket* s = socket_;
    if (s->bytesAvailable() > 0) on_ready_read();
    if (socket_ != s) return;
    drop();
    if (events_.closed) events_.closed();
}

void NetSocket::on_error(int code, const QString& reason) {
    // The peer closing is the end of the exchange, reported by the disconnect that follows.
    if (code == QAbstractSocket::RemoteHostClosedError) return;
    drop();
    if (events_.error) events_.error(reason.toStdString());
}
