#pragma once

#include "settings/qt/options_page.h"

struct Settings;

// "Window": always on top, the start with the desktop session (minimised or not), the
// translucency and the see-through background.
class WindowPage : public OptionsPage {
    Q_OBJECT
public:
    WindowPage(Settings& settings, QWidget* parent = nullptr);
};
