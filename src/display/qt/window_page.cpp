#include "display/qt/window_page.h"

#include <QLabel>

#include "core/program_state.h"
#include "display/qt/main_window_behaviour.h"
#include "settings/qt/options_host.h"

WindowPage::WindowPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent) {
    const ProgramState& state = host.options_state();
    Settings& s = host.options_state().settings;
    add_check(QStringLiteral("Always on top"), &s.AlwaysOnTop);
    wayland_note_ = add_note(
        QStringLiteral("In this Wayland session the desktop decides where the window opens and whether it stays on top."));
    add_check(QStringLiteral("Start with the desktop session"), &s.Autostart);
    // A copy in a build folder is started with the session only when the box is ticked here;
    // the note says so and names the program the entry will start.
    if (state.program_in_build_folder) {
        add_note(QStringLiteral("Runs from a build folder: when ticked, the desktop session starts this copy (%1).")
                     .arg(QString::fromStdString(state.program_path)));
    }
    add_check(QStringLiteral("Start minimized"), &s.AutoStartMinimized);
    add_slider(QStringLiteral("Translucency (Win2K or better) "), 0, 90, &s.Transparency);
    add_check(QStringLiteral("Transparent background"), &s.TransBack);
}

void WindowPage::fill() {
    OptionsPage::fill();
    wayland_note_->setVisible(!places_windows());
}
