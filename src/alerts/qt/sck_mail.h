#pragma once

#include <QObject>
#include <QString>

#include "alerts/mail_sender.h"
#include "alerts/qt/mail_authorities.h"
#include "platform/mail_socket.h"

class QSslSocket;
class QTimer;

// The alert-mail connection: a QSslSocket (plain until the sender asks for TLS) and a
// single-shot timer that feed their events into the mail sender and carry out what it answers.
// The server's certificate is checked against the system's authorities, plus those named by
// SSL_CERT_FILE and SSL_CERT_DIR when set (see MailAuthorities), and against the host name
// connected to.
class sckMail : public QObject, public MailSocket {
    Q_OBJECT
public:
    explicit sckMail(MailSender& sender, QObject* parent = nullptr);

    // MailSocket
    void connect_to(const std::string& host, int port) override;
    void write(const std::string& bytes) override;
    void start_tls() override;
    void close() override;
    void start_timer(int ms) override;
    void stop_timer() override;

private:
    void feed(const SmtpActions& actions);
    void on_ready_read();
    void on_gone();
    void drop();
    QSslSocket& socket();

    MailSender& sender_;
    QSslSocket* socket_ = nullptr;  // made for the first mail
    QTimer* timer_;
    MailAuthorities authorities_;
    quint64 connection_ = 0;   // counts connections, so a late TLS start finds its own
    bool closing_ = false;     // our own close: its socket signals are not news
    bool handshaking_ = false; // TLS is being set up
    QString tls_errors_;       // why the certificate was refused, for the report
};
