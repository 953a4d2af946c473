#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per user: the first start listens on a per-user local socket; a later
// start connects, asks the first to restore its window, and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QObject* parent = nullptr);
    // True when another copy answered (and was asked to come forward).
    bool another_is_running();
    // Starts listening; restore_requested is emitted when a later start knocks.
    bool listen();
    static QString server_name();

signals:
    void restore_requested();

private:
    QLocalServer* server_ = nullptr;
};
