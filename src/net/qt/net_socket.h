#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "net/socket_actions.h"

class QTcpSocket;

// A TCP client socket that feeds a core dialogue: connected, bytes arrived, closed by the
// peer, error. Each connection gets a fresh QTcpSocket; closing drops it without events.
class NetSocket : public QObject {
    Q_OBJECT
public:
    struct Events {
        std::function<void()> connected;
        std::function<void(std::string_view)> data;
        std::function<void()> closed;
        std::function<void(const std::string& reason)> error;  // the system's words
    };

    NetSocket(Events events, QObject* parent = nullptr);
    ~NetSocket() override;

    // Send every connection to this host and/or port instead of the dialogue's (test seam;
    // empty host or port 0 leaves that part alone).
    void set_override(const QString& host, int port);
    // Close, connect, send, as the dialogue asked.
    void apply(const SocketActions& actions);
    bool is_open() const { return socket_ != nullptr; }

private:
    void drop();
    void on_ready_read();
    void on_disconnected();
    void on_error(int code, const QString& reason);

    Events events_;
    QTcpSocket* socket_ = nullptr;
    QString host_override_;
    int port_override_ = 0;
};
