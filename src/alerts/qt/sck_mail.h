#pragma once

#include <QObject>

#include "alerts/mail_sender.h"
#include "platform/mail_socket.h"

class QTcpSocket;
class QTimer;

// The alert-mail connection: a QTcpSocket and a single-shot timer that feed their events
// into the mail sender and carry out what it answers.
class sckMail : public QObject, public MailSocket {
    Q_OBJECT
public:
    explicit sckMail(MailSender& sender, QObject* parent = nullptr);

    // MailSocket
    void connect_to(const std::string& host, int port) override;
    void write(const std::string& bytes) override;
    void close() override;
    void start_timer(int ms) override;
    void stop_timer() override;

private:
    void feed(const SmtpActions& actions);
    void on_ready_read();
    void on_gone();

    MailSender& sender_;
    QTcpSocket* socket_;
    QTimer* timer_;
    bool closing_ = false;  // our own close: its socket signals are not news
};
