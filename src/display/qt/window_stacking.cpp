#include "display/qt/window_stacking.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

void set_stays_on_top(QWidget* w, bool on) {
    Qt::WindowFlags f = w->windowFlags();
    if (f.testFlag(Qt::WindowStaysOnTopHint) == on) return;
    f.setFlag(Qt::WindowStaysOnTopHint, on);
    QWindow* handle = w->windowHandle();
    if (handle == nullptr || handle->handle() == nullptr) {
        // No native window yet: the flag is taken when it is made.
        const bool visible = w->isVisible();
        w->setWindowFlags(f);
        if (visible) w->show();
        return;
    }
    // The window system is told directly (on X11 the window's above state); the widget's own
    // flags follow without making the window anew.
    w->overrideWindowFlags(f);
    handle->setFlags(f);
}

bool is_own_window(const QWidget* w, const QWidget* main_window) {
    if (w == nullptr || w == main_window || !w->isWindow()) return false;
    // Windows the window manager does not manage (the X11 tray icon's) are not stacked.
    if (w->windowFlags().testFlag(Qt::BypassWindowManagerHint)) return false;
    switch (w->windowType()) {
        case Qt::Window:
        case Qt::Dialog:
        case Qt::Sheet:
        case Qt::Tool:
            return true;
        default:
            return false;  // menus, tooltips, splash screens, the desktop
    }
}

OwnWindowsAbove::OwnWindowsAbove(QWidget* main_window, std::function<bool()> on_top, QObject* parent)
    : QObject(parent), main_window_(main_window), on_top_(std::move(on_top)) {
    qApp->installEventFilter(this);
}

void OwnWindowsAbove::apply_to_open_windows() {
    const bool on = on_top_ && on_top_();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && is_own_window(w, main_window_)) set_stays_on_top(w, on);
    }
}

bool OwnWindowsAbove::eventFilter(QObject* watched, QEvent* event) {
    // The show event comes after the native window is made and before it is mapped: the
    // window manager maps it above the main window at once.
    if (event->type() != QEvent::Show || !watched->isWidgetType()) return false;
    auto* w = static_cast<QWidget*>(watched);
    if (is_own_window(w, main_window_)) set_stays_on_top(w, on_top_ && on_top_());
    return false;
}

void ShellBeforeOpening::open(const std::string& path) {
    if (before_) before_();
    inner_.open(path);
}

void ShellBeforeOpening::run(const std::string& program, const std::string& arguments) {
    if (before_) before_();
    inner_.run(program, arguments);
}
