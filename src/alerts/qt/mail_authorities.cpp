#include "alerts/qt/mail_authorities.h"

#include <QDir>
#include <QFile>
#include <QSslConfiguration>
#include <QTimer>

namespace {

// Certificates parsed per turn of the event loop: a few milliseconds' work.
constexpr int kCertificatesPerStep = 12;
// The one-file bundles of the system's authorities (Debian and its kin, Fedora and its kin,
// openSUSE, Alpine and others).
const char* const kSystemBundles[] = {"/etc/ssl/certs/ca-certificates.crt", "/etc/pki/tls/certs/ca-bundle.crt",
                                      "/etc/ssl/ca-bundle.pem", "/etc/ssl/cert.pem"};

QString variables_key() {
    const QString file = qEnvironmentVariable("SSL_CERT_FILE");
    const QString dirs = qEnvironmentVariable("SSL_CERT_DIR");
    return file.isEmpty() && dirs.isEmpty() ? QString() : file + QLatin1Char('\n') + dirs;
}

}  // namespace

MailAuthorities::MailAuthorities(QObject* parent) : QObject(parent) {}

void MailAuthorities::prepare(std::function<void()> ready) {
    const QString key = variables_key();
    if (!loading_ && (key.isEmpty() || (loaded_ && key == key_))) {
        key_ = key;
        ready();
        return;
    }
    waiting_.push_back(std::move(ready));
    if (loading_) return;
    key_ = key;
    loaded_ = false;
    loading_ = true;
    list_.clear();
    text_.clear();
    files_.clear();
    const QString file = qEnvironmentVariable("SSL_CERT_FILE");
    if (!file.isEmpty()) files_ << file;
    for (const QString& dir : qEnvironmentVariable("SSL_CERT_DIR").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Readable, QDir::Name)) {
            files_ << QDir(dir).filePath(name);
        }
    }
    system_set_ = true;
    for (const char* bundle : kSystemBundles) {
        if (QFile::exists(QString::fromLatin1(bundle))) {
            files_ << QString::fromLatin1(bundle);
            system_set_ = false;
            break;
        }
    }
    QTimer::singleShot(0, this, &MailAuthorities::step);
}

void MailAuthorities::step() {
    if (text_.isEmpty() && !files_.isEmpty()) {
        QFile f(files_.takeFirst());
        if (f.open(QIODevice::ReadOnly)) text_ = f.readAll();
    }
    const QByteArray kEnd("-----END CERTIFICATE-----");
    qsizetype cut = 0;
    for (int n = 0; n < kCertificatesPerStep; ++n) {
        const qsizetype end = text_.indexOf(kEnd, cut);
        if (end < 0) {
            cut = text_.size();
            break;
        }
        cut = end + kEnd.size();
    }
    list_ += QSslCertificate::fromData(text_.left(cut), QSsl::Pem);
    text_.remove(0, cut);
    if (!text_.isEmpty() || !files_.isEmpty()) {
        QTimer::singleShot(0, this, &MailAuthorities::step);
        return;
    }
    // Without a bundle file the system's set is read in one go, once.
    if (system_set_) list_ += QSslConfiguration::systemCaCertificates();
    loaded_ = true;
    loading_ = false;
    std::vector<std::function<void()>> waiting;
    waiting.swap(waiting_);
    for (const auto& ready : waiting) ready();
}
