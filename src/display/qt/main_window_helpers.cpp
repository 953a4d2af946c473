#include "display/qt/main_window_behaviour.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <vector>

// The main window's helpers that need no window: placement on the screens, the shortcut
// keys, the sizing edges and the colour key.

QPoint place_on_screens(const QRect& outer) {
    // The screens as they are now, the primary one first: the place was perhaps saved on a
    // screen that is no longer there, or that is smaller now.
    QList<QScreen*> all = QGuiApplication::screens();
    std::stable_partition(all.begin(), all.end(), [](const QScreen* q) { return q == QGuiApplication::primaryScreen(); });
    std::vector<ScreenArea> screens;
    for (const QScreen* q : all) {
        const QRect g = q->availableGeometry();
        screens.push_back({g.x(), g.y(), g.width(), g.height()});
    }
    const ScreenArea place = reachable_place(outer.x(), outer.y(), outer.width(), outer.height(), screens);
    return {place.x, place.y};
}

WindowKeyPress map_window_key(int qt_key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return {WindowKey::digit, qt_key - Qt::Key_0};
    if (keypad && qt_key == Qt::Key_Plus) return {WindowKey::keypad_plus, 0};
    if (keypad && qt_key == Qt::Key_Minus) return {WindowKey::keypad_minus, 0};
    if (qt_key == Qt::Key_S) return {WindowKey::soft_graph, 0};
    if (qt_key == Qt::Key_L) return {WindowKey::lock_width, 0};
    if (qt_key == Qt::Key_Escape) return {WindowKey::escape, 0};
    return {};
}

Qt::Edges edges_for(HitZone zone) {
    switch (zone) {
        case HitZone::left:
            return Qt::LeftEdge;
        case HitZone::right:
            return Qt::RightEdge;
        case HitZone::top:
            return Qt::TopEdge;
        case HitZone::bottom:
            return Qt::BottomEdge;
        case HitZone::top_left:
            return Qt::TopEdge | Qt::LeftEdge;
        case HitZone::top_right:
            return Qt::TopEdge | Qt::RightEdge;
        case HitZone::bottom_left:
            return Qt::BottomEdge | Qt::LeftEdge;
        case HitZone::bottom_right:
            return Qt::BottomEdge | Qt::RightEdge;
        case HitZone::none:
            break;
    }
    return {};
}

QImage colour_keyed(const QImage& picture, std::uint32_t key_colour) {
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(static_cast<int>(key_colour & 0xFF), static_cast<int>((key_colour >> 8) & 0xFF),
                          static_cast<int>((key_colour >> 16) & 0xFF));
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key) line[x] = 0;
        }
    }
    return out;
}
