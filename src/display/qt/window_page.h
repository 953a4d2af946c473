#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;

// "Window": always on top, the start with the desktop session (minimised or not; a note when
// the program runs from a build folder), the translucency and the see-through background.
class WindowPage : public OptionsPage {
    Q_OBJECT
public:
    WindowPage(OptionsHost& host, QWidget* parent = nullptr);
};
