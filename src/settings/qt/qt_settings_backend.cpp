#include "settings/qt/qt_settings_backend.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>

namespace {

constexpr std::array<const char*, 3> kPasswordNames{"EmailPassword", "RemotePassword", "LocalPassword"};
// How long the start waits for the secret store to answer (an unlock prompt may be showing).
constexpr int kSecretReadMs = 10000;

bool is_password(const std::string& name) {
    for (const char* p : kPasswordNames) {
        if (name == p) return true;
    }
    return false;
}

}  // namespace

// The file is named explicitly: Qt works out its own user folder once per process, which
// would keep a later change of XDG_CONFIG_HOME (a test's own folder) from taking effect.
QtSettingsBackend::QtSettingsBackend()
    : file_(QString::fromStdString(user_config_folder()) + QStringLiteral("/Kelvanto/Kelvanto.conf")),
      settings_(file_, QSettings::NativeFormat) {}

QtSettingsBackend::~QtSettingsBackend() {
    if (!written_) return;
    settings_.sync();
    keep_private();
}

std::optional<std::string> QtSettingsBackend::read(const std::string& name) const {
    if (in_secret_store(name)) {
        const auto it = secret_values_.find(name);
        if (it == secret_values_.end()) return std::nullopt;
        return it->second;
    }
    const QVariant value = settings_.value(QString::fromStdString(name));
    if (!value.isValid() || value.typeId() != QMetaType::QString) return std::nullopt;
    std::string text = value.toString().toStdString();
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

void QtSettingsBackend::write(const std::string& name, const std::string& value) {
    if (!written_) keep_private();
    if (in_secret_store(name)) return store_secret(name, value);
    settings_.setValue(QString::fromStdString(name), QString::fromStdString(value));
}

void QtSettingsBackend::remove(const std::string& name) {
    if (!written_) keep_private();
    if (in_secret_store(name)) return store_secret(name, {});
    settings_.remove(QString::fromStdString(name));
}

void QtSettingsBackend::flush() {
    settings_.sync();
    if (written_) keep_private();
}

std::string QtSettingsBackend::password_store() const {
    choose_password_store();
    return passwords_ == Passwords::secret_store ? kPasswordsInSecretStore : kPasswordsInSettingsFile;
}

bool QtSettingsBackend::in_secret_store(const std::string& name) const {
    if (!is_password(name)) return false;
    choose_password_store();
    return passwords_ == Passwords::secret_store;
}

// Asks the secret store for the passwords once. When it answers, it holds them from now on,
// and passwords found in the file move into it.
void QtSettingsBackend::choose_password_store() const {
    if (passwords_ != Passwords::undecided) return;
    passwords_ = Passwords::settings_file;
    const std::vector<std::string> names(kPasswordNames.begin(), kPasswordNames.end());
    std::optional<std::map<std::string, std::string>> stored = secrets_.read_all(names, kSecretReadMs);
    if (!stored) return;
    passwords_ = Passwords::secret_store;
    secret_values_ = std::move(*stored);
    for (const std::string& name : names) {
        const QString key = QString::fromStdString(name);
        const QVariant in_file = settings_.value(key);
        if (!in_file.isValid()) continue;
        const std::string text = in_file.toString().toStdString();
        if (text.empty()) {
            keep_private();
            settings_.remove(key);
        } else {
            store_secret(name, text);  // leaves the file once the store has it
        }
    }
}

// The password goes into the file first and leaves it once the store has confirmed it: a
// program that ends before the store answers loses nothing (the next start moves it again).
void QtSettingsBackend::store_secret(const std::string& name, const std::string& value) const {
    const QString key = QString::fromStdString(name);
    const auto known = secret_values_.find(name);
    const bool unchanged = value.empty() ? known == secret_values_.end() : known != secret_values_.end() && known->second == value;
    if (unchanged && !settings_.contains(key)) return;
    if (value.empty()) secret_values_.erase(name);
    else secret_values_[name] = value;
    if (!written_) keep_private();
    settings_.setValue(key, QString::fromStdString(value));
    secrets_.write(name, value, [this, name, value](bool ok) { secret_written(name, value, ok); });
}

// A password the store took leaves the file (unless a newer one waits there). When the store
// refuses one, the file keeps all passwords from then on.
void QtSettingsBackend::secret_written(const std::string& name, const std::string& value, bool ok) const {
    const QString key = QString::fromStdString(name);
    if (!ok) {
        passwords_ = Passwords::settings_file;
        for (const char* p : kPasswordNames) {
            const auto it = secret_values_.find(p);
            settings_.setValue(QString::fromUtf8(p), QString::fromStdString(it == secret_values_.end() ? std::string() : it->second));
        }
    } else if (settings_.value(key).toString().toStdString() == value) {
        settings_.remove(key);
    }
    settings_.sync();
    keep_private();
}

// The settings folder 0700 and the file 0600, also when an earlier version made them open to
// others. The file is created private before QSettings first writes it (which keeps the mode
// of an existing file).
void QtSettingsBackend::keep_private() const {
    written_ = true;
    const QFileInfo info(file_);
    const QString folder = info.absolutePath();
    if (!QDir().mkpath(folder)) return;
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile file(file_);
    if (!file.exists() && file.open(QIODevice::WriteOnly)) file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}


std::string user_config_folder() {
    QString dir = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (dir.isEmpty()) dir = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(dir).toStdString();
}
