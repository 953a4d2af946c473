#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the event loop, through a socket pair
// that the signal handler writes one byte to.
class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(QObject* parent = nullptr);
    ~UnixSignals() override;

signals:
    void terminate_requested(int signal_number);

private:
    void on_readable();
    QSocketNotifier* notifier_ = nullptr;
};
