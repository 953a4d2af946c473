#pragma once

#include "settings/qt/options_page.h"

struct Settings;

class QLabel;

// "Window": always on top, the start with the desktop session (minimised or not), the
// translucency and the see-through background. In a Wayland session a note says that the
// desktop decides where the window opens and whether it stays on top.
class WindowPage : public OptionsPage {
    Q_OBJECT
public:
    WindowPage(Settings& settings, QWidget* parent = nullptr);
    void fill() override;
    QLabel* wayland_note() const { return wayland_note_; }

private:
    QLabel* wayland_note_ = nullptr;
};
