#pragma once

#include <QObject>
#include <functional>
#include <string>

#include "net/metrics_http.h"

class QTcpServer;
class QTcpSocket;
class QTimer;

// The metrics endpoint on the wire: a QTcpServer that answers each connection's one HTTP
// request from the core (classify, respond) and closes it. Everything runs on the event
// loop; a connection never waits for another. At most `kMetricsMaxConnections` are served at
// once (further ones wait to be accepted), a request is read up to `kMetricsRequestLimit`
// bytes, and a connection still open `kMetricsRequestTimeoutMs` after it was accepted is
// dropped. An address and port it cannot listen on (the port in use, the address not up
// yet) are tried again every `kMetricsListenRetryMs` until they can be opened.

class MetricsServer : public QObject {
    Q_OBJECT
public:
    // `exposition` builds the body of a metrics answer when one is asked for.
    explicit MetricsServer(std::function<std::string()> exposition, QObject* parent = nullptr);
    ~MetricsServer() override;

    // Listens on `address` (an IPv4 or IPv6 address) and `port`; port 0 switches the
    // endpoint off. Settings equal to the last call change nothing. Returns the message for
    // the user when it cannot listen, else an empty text.
    std::string configure(const std::string& address, int port);
    bool listening() const;
    int open_connections() const { return open_; }
    // Why the endpoint does not serve on `address` and `port` (the system's words), when it
    // is meant to; empty while it serves, when it is off or set to something else.
    std::string failure(const std::string& address, int port) const;

private:
    bool listen_now();
    void accept_waiting();
    void serve(QTcpSocket* socket);

    std::function<std::string()> exposition_;
    QTcpServer* server_ = nullptr;
    QTimer* retry_ = nullptr;
    std::string reason_;  // why the last attempt to listen failed
    std::string address_;
    int port_ = 0;
    int open_ = 0;
};
