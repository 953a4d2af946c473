#pragma once

#include <memory>
#include <string>

#include "alerts/mail_sender.h"
#include "platform/mail_socket.h"
#include "platform/win32/message_window.h"
#include "platform/win32/schannel_tls.h"
#include "platform/win32/winsock_connection.h"

// The alert-mail connection on Windows: a Winsock connection, TLS through Schannel when the
// sender asks for it, and one single-shot timer, feeding their events into the mail sender
// and carrying out what it answers.
class Win32MailSocket : public MailSocket {
public:
    explicit Win32MailSocket(MailSender& sender);

    void connect_to(const std::string& host, int port) override;
    void write(const std::string& bytes) override;
    void start_tls() override;
    void close() override;
    void start_timer(int ms) override;
    void stop_timer() override;

private:
    void feed(const SmtpActions& actions);
    void on_data(std::string_view bytes);
    void on_gone(const std::string& reason);
    void tls_failed(const std::string& reason);

    MailSender& sender_;
    WinsockConnection connection_;
    MessageWindow window_;  // the sender's timer, and failures told after the call that found them
    std::unique_ptr<SchannelTls> tls_;
    std::string host_;
    bool tls_up_ = false;  // the handshake has completed on this connection
    std::string tls_failure_;
};
