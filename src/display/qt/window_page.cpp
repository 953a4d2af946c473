#include "display/qt/window_page.h"

#include "settings/settings.h"

WindowPage::WindowPage(Settings& s, QWidget* parent) : OptionsPage(parent) {
    add_check(QStringLiteral("Always on top"), &s.AlwaysOnTop);
    add_check(QStringLiteral("Start with the desktop session"), &s.Autostart);
    add_check(QStringLiteral("Start minimized"), &s.AutoStartMinimized);
    add_slider(QStringLiteral("Translucency (Win2K or better) "), 0, 90, &s.Transparency);
    add_check(QStringLiteral("Transparent background"), &s.TransBack);
}
