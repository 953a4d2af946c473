#include "net/qt/metrics_server.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "net/metrics_http.h"

namespace {

constexpr int kAcceptPauseMs = 200;

}  // namespace

MetricsServer::MetricsServer(std::function<std::string()> exposition, QObject* parent)
    : QObject(parent), exposition_(std::move(exposition)), server_(new QTcpServer(this)), retry_(new QTimer(this)) {
    retry_->setInterval(kMetricsListenRetryMs);
    connect(retry_, &QTimer::timeout, this, [this] {
        if (!listen_now()) return;
        retry_->stop();
        std::fprintf(stderr, "kelvanto: The metrics endpoint listens on %s port %d now.\n", address_.c_str(), port_);
    });
    // Connections beyond the one taken next stay in the system's queue until a slot frees.
    server_->setMaxPendingConnections(1);
    connect(server_, &QTcpServer::newConnection, this, &MetricsServer::accept_waiting);
    // A failed accept (a connection reset while it waited in the queue, no file descriptor
    // left) makes Qt stop accepting for good; it starts again a moment later.
    connect(server_, &QTcpServer::acceptError, this, [this] {
        QTimer::singleShot(kAcceptPauseMs, this, [this] {
            if (server_->isListening()) server_->resumeAccepting();
        });
    });
}

// Open connections are children: QObject drops the connections to this object before it
// deletes them, so their ends need no bookkeeping then.
MetricsServer::~MetricsServer() = default;

bool MetricsServer::listening() const { return server_->isListening(); }

std::string MetricsServer::configure(const std::string& address, int port) {
    if (address == address_ && port == port_) return {};
    address_ = address;
    port_ = port;
    server_->close();
    retry_->stop();
    reason_.clear();
    if (port <= 0 || port > 65535) return {};
    if (!QHostAddress().setAddress(QString::fromStdString(address))) {
        reason_ = "not an IP address";
        return metrics_listen_failed_message(address, port, reason_);
    }
    if (listen_now()) return {};
    retry_->start();
    return metrics_listen_failed_message(address, port, reason_);
}

bool MetricsServer::listen_now() {
    if (server_->listen(QHostAddress(QString::fromStdString(address_)), static_cast<quint16>(port_))) {
        reason_.clear();
        return true;
    }
    reason_ = server_->errorString().toStdString();
    return false;
}

std::string MetricsServer::failure(const std::string& address, int port) const {
    if (address != address_ || port != port_ || port <= 0 || listening()) return {};
    return reason_;
}

void MetricsServer::accept_waiting() {
    while (open_ < kMetricsMaxConnections && server_->hasPendingConnections()) {
        QTcpSocket* socket = server_->nextPendingConnection();
        if (socket == nullptr) break;
        ++open_;
        serve(socket);
    }
}

void MetricsServer::serve(QTcpSocket* socket) {
    socket->setParent(this);
    // Qt reads no more from the system than one request may hold.
    socket->setReadBufferSize(static_cast<qint64>(kMetricsRequestLimit) + 1);
    // Every way a connection ends gives its place back: the deadline, the peer closing or
    // resetting, and a peer that went away while its connection waited to be taken (Qt has
    // then already seen the close, and no further signal comes).
    connect(socket, &QAbstractSocket::stateChanged, socket, [socket](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::UnconnectedState) socket->deleteLater();
    });
    connect(socket, &QTcpSocket::errorOccurred, socket, &QObject::deleteLater);
    connect(socket, &QObject::destroyed, this, [this] {
        --open_;
        accept_waiting();
    });
    if (socket->state() != QAbstractSocket::ConnectedState) {
        socket->deleteLater();
        return;
    }
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    deadline->start(kMetricsRequestTimeoutMs);

    struct Request {
        std::string received;
        bool answered = false;
    };
    auto request = std::make_shared<Request>();
    auto read_request = [this, socket, request] {
        if (request->answered) {
            socket->readAll();  // what follows an answered request is not read
            return;
        }
        const QByteArray bytes = socket->read(static_cast<qint64>(kMetricsRequestLimit + 1 - request->received.size()));
        request->received.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        const MetricsRequest kind = classify_metrics_request(request->received);
        if (kind == MetricsRequest::incomplete) return;
        request->answered = true;
        const bool metrics = kind == MetricsRequest::metrics || kind == MetricsRequest::metrics_head;
        const std::string response = metrics_response(kind, metrics ? exposition_() : std::string());
        socket->write(response.data(), static_cast<qint64>(response.size()));
        socket->disconnectFromHost();
    };
    connect(socket, &QTcpSocket::readyRead, socket, read_request);
    if (socket->bytesAvailable() > 0) read_request();
}
