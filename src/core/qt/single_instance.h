#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

// One logger per user and data folder. The running copy listens on a local socket; a later
// start knocks and says what it is:
// - a desktop start while a copy with a window runs: that window comes forward and the later
//   start ends;
// - a desktop start while the windowless service runs: the service saves its logs and ends,
//   and the later start logs on from the saved state;
// - a service start while any copy runs: it ends at once.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role { desktop, service };
    enum class Knock {
        nobody,       // no copy runs: this start logs
        restored,     // a copy with a window runs and was asked to come forward
        busy,         // a copy logs already and this service start has nothing to show
        handed_over,  // the service saved its logs and ended: this start logs on
        no_answer     // a copy runs but did not answer in time
    };

    explicit SingleInstance(Role role, QObject* parent = nullptr);
    // Asks the running copy, if there is one, and waits for its answer.
    Knock knock();
    // Starts listening; later starts are answered from the event loop.
    bool listen();
    // A start's knock and, when this start logs, listen: -1 when it goes on, else the exit
    // status it ends with (0 when the running copy answered, 1 with a line on standard
    // error when it did not).
    int claim();
    void close();
    static QString server_name();

signals:
    void restore_requested();
    // In the service: a desktop start asks for the logging. The receiver saves the logs and
    // ends the program; the desktop start is told to go on once it returns.
    void hand_over_requested();

private:
    void answer(QLocalSocket* socket);

    Role role_;
    QLocalServer* server_ = nullptr;
};
