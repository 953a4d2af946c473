#include "platform/win32/win32_mail_socket.h"

namespace {

constexpr unsigned kTlsFailedMessage = kSocketMessage + 10;

}  // namespace

Win32MailSocket::Win32MailSocket(MailSender& sender)
    : sender_(sender),
      connection_(WinsockConnection::Events{
          [this] { feed(mail_connected(sender_)); },
          [this](std::string_view bytes) { on_data(bytes); },
          [this] { on_gone({}); },
          [this](const std::string& reason) { on_gone(reason); },
      }),
      window_([this](unsigned message, std::uintptr_t, std::intptr_t) {
          if (message == kTlsFailedMessage) tls_failed(tls_failure_);
      }) {}

void Win32MailSocket::feed(const SmtpActions& actions) { apply_mail_actions(actions, *this); }

void Win32MailSocket::connect_to(const std::string& host, int port) {
    close();
    host_ = host;
    connection_.connect_to(host, port);
}

void Win32MailSocket::write(const std::string& bytes) {
    if (!tls_) {
        connection_.send(bytes);
        return;
    }
    if (tls_->state() == SchannelTls::State::ready) connection_.send(tls_->encrypt(bytes));
}

void Win32MailSocket::start_tls() {
    tls_ = std::make_unique<SchannelTls>(host_);
    tls_up_ = false;
    const SchannelTls::Step step = tls_->start();
    connection_.send(step.send);
    if (step.state == SchannelTls::State::failed) {
        // Told after the sender's call that asked for TLS has returned.
        tls_failure_ = step.reason;
        window_.post(kTlsFailedMessage);
    }
}

void Win32MailSocket::on_data(std::string_view bytes) {
    if (!tls_) {
        feed(mail_received(sender_, std::string(bytes)));
        return;
    }
    const bool was_handshaking = tls_->state() == SchannelTls::State::handshaking;
    const SchannelTls::Step step = tls_->feed(bytes);
    if (!step.send.empty()) connection_.send(step.send);
    if (step.state == SchannelTls::State::failed) {
        tls_failed(step.reason);
        return;
    }
    if (was_handshaking && step.state == SchannelTls::State::ready && !tls_up_) {
        tls_up_ = true;
        feed(mail_tls_ready(sender_));
    }
    if (!step.plain.empty() && tls_) feed(mail_received(sender_, step.plain));
}

void Win32MailSocket::tls_failed(const std::string& reason) {
    const bool handshaking = tls_ && !tls_up_;
    close();
    if (handshaking) feed(mail_tls_failed(sender_, reason));
    else feed(mail_closed(sender_, reason));
}

void Win32MailSocket::on_gone(const std::string& reason) {
    if (tls_ && !tls_up_) {
        tls_failed(reason.empty() ? "the server closed the connection" : reason);
        return;
    }
    tls_.reset();
    tls_up_ = false;
    feed(mail_closed(sender_, reason));
}

void Win32MailSocket::close() {
    connection_.close();
    tls_.reset();
    tls_up_ = false;
}

void Win32MailSocket::start_timer(int ms) {
    window_.start_timer(ms, [this] { feed(mail_timer_elapsed(sender_)); });
}

void Win32MailSocket::stop_timer() { window_.stop_timer(); }
