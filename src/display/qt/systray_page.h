#pragma once

#include "settings/qt/options_page.h"

struct Settings;

// "Systray": the graph picture and the rates tooltip of the tray icon, its three colours,
// and the tray graph's own download and upload scales.
class SystrayPage : public OptionsPage {
    Q_OBJECT
public:
    SystrayPage(Settings& settings, QWidget* parent = nullptr);
};
