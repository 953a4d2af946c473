#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
class QCheckBox;

// "Window": always on top, the start with the desktop session (minimised or not), the
// translucency and the see-through background; the last two act on the window at once.
class WindowPage : public OptionsPage {
    Q_OBJECT
public:
    WindowPage(OptionsHost& host, QWidget* parent = nullptr);
    void fill() override;
    void preview() override;

private:
    void follow_translucency();

    OptionsHost& host_;
    QCheckBox* see_through_ = nullptr;
};
