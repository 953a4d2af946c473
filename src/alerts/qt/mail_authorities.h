#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// The authorities a mail server's certificate may chain to.
//
// Without SSL_CERT_FILE and SSL_CERT_DIR nothing is loaded: the TLS library looks up in the
// system's folder only the authority a certificate names, when it names it. With them the
// list is theirs plus the system's set, read once for the run (again only when the variables
// change), a few certificates per turn of the event loop, so that no mail holds up the window
// or the counting while it is read.
class MailAuthorities : public QObject {
    Q_OBJECT
public:
    explicit MailAuthorities(QObject* parent = nullptr);
    // Calls `ready` once the authorities are at hand: at once when they are, else from the
    // event loop. `ready` then asks own_list() and list().
    void prepare(std::function<void()> ready);
    // false: the system's own lookup serves (no variable is set).
    bool own_list() const { return !key_.isEmpty(); }
    const QList<QSslCertificate>& list() const { return list_; }

private:
    void step();

    QString key_;  // the variables the list was read for
    bool loaded_ = false;
    bool loading_ = false;
    bool system_set_ = false;  // no system bundle file: the system's set comes whole at the end
    QStringList files_;        // still to read
    QByteArray text_;          // read and not yet parsed
    QList<QSslCertificate> list_;
    std::vector<std::function<void()>> waiting_;
};
