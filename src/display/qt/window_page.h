#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
class QCheckBox;
class QLabel;

// "Window": always on top, the start with the desktop session (minimised or not; a note when
// the program runs from a build folder), the translucency and the see-through background; the
// last two act on the window at once. In
// a Wayland session a note says that the desktop decides where the window opens and whether
// it stays on top.
class WindowPage : public OptionsPage {
    Q_OBJECT
public:
    WindowPage(OptionsHost& host, QWidget* parent = nullptr);
    void fill() override;
    void preview() override;
    QLabel* wayland_note() const { return wayland_note_; }
    // Why "Transparent background" is greyed out or shows black; hidden when there is no why.
    QLabel* see_through_note() const { return see_through_note_; }

private:
    void follow_translucency();

    OptionsHost& host_;
    QCheckBox* see_through_ = nullptr;
    QLabel* wayland_note_ = nullptr;
    QLabel* see_through_note_ = nullptr;
};
