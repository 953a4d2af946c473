#include "display/qt/window_page.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QSlider>

#include "display/qt/main_window_behaviour.h"
#include "platform/qt/compositing.h"
#include "settings/qt/options_host.h"

namespace {

#ifdef _WIN32
constexpr const char* kTranslucency = "Translucency (Win2K or better) ";
#else
// Every system the program runs on here can make its window translucent.
constexpr const char* kTranslucency = "Translucency ";
#endif

}  // namespace

WindowPage::WindowPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    Settings& s = host_.options_state().settings;
    const OptionsView state = host_.options_state();
    add_check(QStringLiteral("Always on top"), &s.AlwaysOnTop)
        ->setToolTip(QStringLiteral("The window and its dialogs stay above other windows"));
    wayland_note_ = add_note(
        QStringLiteral("In this Wayland session the desktop decides where the window opens and whether it stays on top."));
    add_check(QStringLiteral("Start with the desktop session"), &s.Autostart);
    // A copy in a build folder is started with the session only when the box is ticked here;
    // the note says so and names the program the entry will start.
    if (state.program_in_build_folder) {
        add_note(QStringLiteral("Runs from a build folder: when ticked, the desktop session starts this copy (%1).")
                     .arg(QString::fromStdString(state.program_path)));
    }
    add_check(QStringLiteral("Start minimized"), &s.AutoStartMinimized)
        ->setToolTip(QStringLiteral("Started with the session, the program shows only its tray icon"));
    add_setting_slider(QString::fromLatin1(kTranslucency), "Transparency", &s.Transparency)
        ->setToolTip(QStringLiteral("How much of the desktop shows through the whole window, in percent"));
    see_through_ = add_check(QStringLiteral("Transparent background"), &s.TransBack);
    see_through_->setToolTip(QStringLiteral("Pixels of the Background colour let the desktop show through"));
    see_through_note_ = add_note(QString());
}

void WindowPage::fill() {
    OptionsPage::fill();
    wayland_note_->setVisible(!places_windows());
    follow_translucency();
}

void WindowPage::preview() {
    follow_translucency();
    host_.options_window_changed();
}

// A translucent window has no see-through background besides, as at settings load.
void WindowPage::follow_translucency() {
    Settings& s = host_.options_state().settings;
    const bool translucent = s.Transparency > 0;
    if (translucent && s.TransBack != 0) {
        s.TransBack = 0;
        Filling filling(*this);
        see_through_->setChecked(false);
    }
    see_through_->setEnabled(!translucent);
    // Say why the box is greyed out, and why a see-through background may show black.
    QString why;
    if (translucent) {
        why = QStringLiteral("Not with translucency: set the translucency to 0 to use a transparent background.");
    } else if (s.TransBack != 0 && !desktop_composites()) {
        why = QStringLiteral("No compositing manager runs on this desktop: the see-through background shows "
                             "black, and black texts vanish. Start one (xcompmgr, picom) or switch it off.");
    }
    see_through_note_->setText(why);
    see_through_note_->setVisible(!why.isEmpty());
    // The wrapped note gets the height of its lines at once, not the one of its last text.
    form()->invalidate();
}
