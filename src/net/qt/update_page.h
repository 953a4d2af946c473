#pragma once

#include "settings/qt/options_page.h"

struct Settings;

// "Update": whether the program asks for a newer version at start.
class UpdatePage : public OptionsPage {
    Q_OBJECT
public:
    UpdatePage(Settings& settings, QWidget* parent = nullptr);
};
