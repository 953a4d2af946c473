#include "settings/qt/qt_settings_backend.h"

#include <QDir>
#include <QGuiApplication>
#include <QPalette>

// The file is named explicitly: Qt works out its own user folder once per process, which
// would keep a later change of XDG_CONFIG_HOME (a test's own folder) from taking effect.
QtSettingsBackend::QtSettingsBackend()
    : settings_(QString::fromStdString(user_config_folder()) + QStringLiteral("/Kelvanto/Kelvanto.conf"),
                QSettings::NativeFormat) {}

std::optional<std::string> QtSettingsBackend::read(const std::string& name) const {
    const QVariant value = settings_.value(QString::fromStdString(name));
    if (!value.isValid() || value.typeId() != QMetaType::QString) return std::nullopt;
    std::string text = value.toString().toStdString();
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

void QtSettingsBackend::write(const std::string& name, const std::string& value) {
    settings_.setValue(QString::fromStdString(name), QString::fromStdString(value));
}

void QtSettingsBackend::remove(const std::string& name) { settings_.remove(QString::fromStdString(name)); }

void QtSettingsBackend::flush() { settings_.sync(); }

namespace {

std::optional<std::uint32_t> palette_colour(QPalette::ColorRole role) {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return std::nullopt;
    const QColor c = QGuiApplication::palette().color(QPalette::Active, role);
    if (!c.isValid()) return std::nullopt;
    return static_cast<std::uint32_t>(c.red()) + 256u * static_cast<std::uint32_t>(c.green()) +
           65536u * static_cast<std::uint32_t>(c.blue());
}

}  // namespace

std::optional<std::uint32_t> desktop_dark_colour() { return palette_colour(QPalette::Dark); }
std::optional<std::uint32_t> desktop_light_colour() { return palette_colour(QPalette::Light); }

std::string user_config_folder() {
    QString dir = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (dir.isEmpty()) dir = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(dir).toStdString();
}
