#include "display/qt/window_page.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>

#include "core/option_pages.h"
#include "display/qt/main_window_behaviour.h"
#include "platform/qt/compositing.h"
#include "settings/qt/options_host.h"

WindowPage::WindowPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    const OptionsView state = host_.options_state();
    add_declared(option_page_decl("Window"), state.settings, [this, &state](const std::string& slot) {
        if (slot == "placement_note") {
            wayland_note_ = add_note(QStringLiteral(
                "In this Wayland session the desktop decides where the window opens and whether it stays on top."));
        } else if (slot == "build_folder_note" && state.program_in_build_folder) {
            // A copy in a build folder is started with the session only when the box is ticked
            // here; the note says so and names the program the entry will start.
            add_note(QStringLiteral("Runs from a build folder: when ticked, the desktop session starts this copy (%1).")
                         .arg(QString::fromStdString(state.program_path)));
        } else if (slot == "see_through_note") {
            see_through_note_ = add_note(QString());
        }
    });
    see_through_ = qobject_cast<QCheckBox*>(declared("TransBack"));
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
