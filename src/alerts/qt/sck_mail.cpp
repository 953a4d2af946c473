#include "alerts/qt/sck_mail.h"

#include <QTcpSocket>
#include <QTimer>

sckMail::sckMail(MailSender& sender, QObject* parent)
    : QObject(parent), sender_(sender), socket_(new QTcpSocket(this)), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { feed(mail_timer_elapsed(sender_)); });
    connect(socket_, &QTcpSocket::connected, this, [this] { feed(mail_connected(sender_)); });
    connect(socket_, &QTcpSocket::readyRead, this, &sckMail::on_ready_read);
    connect(socket_, &QTcpSocket::disconnected, this, &sckMail::on_gone);
    connect(socket_, &QTcpSocket::errorOccurred, this, &sckMail::on_gone);
}

void sckMail::feed(const SmtpActions& actions) {
    apply_mail_actions(actions, *this);
}

void sckMail::on_ready_read() {
    const QByteArray bytes = socket_->readAll();
    if (closing_) return;
    feed(mail_received(sender_, bytes.toStdString()));
}

void sckMail::on_gone() {
    if (closing_) return;
    feed(mail_closed(sender_));
    // Release the connection so the next mail starts from a closed socket.
    closing_ = true;
    socket_->abort();
    closing_ = false;
}

void sckMail::connect_to(const std::string& host, int port) {
    closing_ = true;
    socket_->abort();
    closing_ = false;
    socket_->connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
}

void sckMail::write(const std::string& bytes) {
    socket_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void sckMail::close() {
    closing_ = true;
    socket_->abort();
    closing_ = false;
}

void sckMail::start_timer(int ms) {
    timer_->start(ms);
}

void sckMail::stop_timer() {
    timer_->stop();
}
