#pragma once

#include "settings/qt/options_page.h"

struct Settings;

class QLabel;

// "Systray": the graph picture and the rates tooltip of the tray icon, its three colours,
// and the tray graph's own download and upload scales. Where the desktop has no
// notification area, a note says that the window minimises to the task bar.
class SystrayPage : public OptionsPage {
    Q_OBJECT
public:
    SystrayPage(Settings& settings, QWidget* parent = nullptr);
    void fill() override;
    QLabel* no_tray_note() const { return no_tray_note_; }

private:
    QLabel* no_tray_note_ = nullptr;
};
