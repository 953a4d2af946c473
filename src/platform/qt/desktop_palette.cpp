#include "platform/qt/desktop_palette.h"

#include <QGuiApplication>
#include <QPalette>

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
