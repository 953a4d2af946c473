#include "alerts/qt/sck_mail.h"

#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

sckMail::sckMail(MailSender& sender, QObject* parent)
    : QObject(parent), sender_(sender), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { feed(mail_timer_elapsed(sender_)); });
}

QSslSocket& sckMail::socket() {
    // Made for the first mail: a TLS socket loads the TLS library, which a program that never
    // mails need not hold in memory.
    if (socket_ != nullptr) return *socket_;
    socket_ = new QSslSocket(this);
    connect(socket_, &QSslSocket::connected, this, [this] { feed(mail_connected(sender_)); });
    connect(socket_, &QSslSocket::encrypted, this, [this] {
        handshaking_ = false;
        feed(mail_tls_ready(sender_));
    });
    // Certificate errors are never ignored: the handshake fails and the reason is kept.
    connect(socket_, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& errors) {
        QStringList texts;
        for (const QSslError& e : errors) texts << e.errorString();
        tls_errors_ = QStringLiteral("its certificate is not trusted (") + texts.join(QStringLiteral("; ")) +
                      QStringLiteral(")");
    });
    connect(socket_, &QSslSocket::readyRead, this, &sckMail::on_ready_read);
    connect(socket_, &QSslSocket::disconnected, this, &sckMail::on_gone);
    connect(socket_, &QSslSocket::errorOccurred, this, &sckMail::on_gone);
    return *socket_;
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
    if (handshaking_) {
        handshaking_ = false;
        const QString why = tls_errors_.isEmpty() ? socket_->errorString() : tls_errors_;
        feed(mail_tls_failed(sender_, why.toStdString()));
    } else {
        const bool error = socket_->error() != QAbstractSocket::UnknownSocketError &&
                           socket_->error() != QAbstractSocket::RemoteHostClosedError;
        feed(mail_closed(sender_, error ? socket_->errorString().toStdString() : std::string()));
    }
    // Release the connection so the next mail starts from a closed socket.
    drop();
}

void sckMail::drop() {
    ++connection_;
    closing_ = true;
    handshaking_ = false;
    if (socket_ != nullptr) socket_->abort();
    closing_ = false;
}

void sckMail::connect_to(const std::string& host, int port) {
    drop();
    tls_errors_.clear();
    socket().connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
}

void sckMail::write(const std::string& bytes) {
    socket().write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void sckMail::start_tls() {
    if (!QSslSocket::supportsSsl()) {
        QTimer::singleShot(0, this, [this] { feed(mail_tls_failed(sender_, "this system offers no TLS library")); });
        return;
    }
    handshaking_ = true;
    tls_errors_.clear();
    authorities_.prepare([this, connection = connection_] {
        if (connection != connection_ || !handshaking_) return;  // that connection is gone
        // The default configuration looks the system's authorities up as they are named.
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        if (authorities_.own_list()) tls.setCaCertificates(authorities_.list());
        tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
        socket().setSslConfiguration(tls);
        socket().startClientEncryption();
    });
}

void sckMail::close() {
    drop();
}

void sckMail::start_timer(int ms) {
    timer_->start(ms);
}

void sckMail::stop_timer() {
    timer_->stop();
}
