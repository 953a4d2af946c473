#include "display/qt/window_page.h"

#include <QLabel>

#include "display/qt/main_window_behaviour.h"
#include "settings/settings.h"

WindowPage::WindowPage(Settings& s, QWidget* parent) : OptionsPage(parent) {
    add_check(QStringLiteral("Always on top"), &s.AlwaysOnTop);
    wayland_note_ = add_note(
        QStringLiteral("In this Wayland session the desktop decides where the window opens and whether it stays on top."));
    add_check(QStringLiteral("Start with the desktop session"), &s.Autostart);
    add_check(QStringLiteral("Start minimized"), &s.AutoStartMinimized);
    add_slider(QStringLiteral("Translucency (Win2K or better) "), 0, 90, &s.Transparency);
    add_check(QStringLiteral("Transparent background"), &s.TransBack);
}

void WindowPage::fill() {
    OptionsPage::fill();
    wayland_note_->setVisible(!places_windows());
}
