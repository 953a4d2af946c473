#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
class QLabel;

// "Systray": the graph picture and the rates tooltip of the tray icon, its three colours,
// and the tray graph's own download and upload scales. The tray icon shows every change at
// once, the colours while they are being picked. Where the desktop has no notification
// area, a note says that the window minimises to the task bar.
class SystrayPage : public OptionsPage {
    Q_OBJECT
public:
    SystrayPage(OptionsHost& host, QWidget* parent = nullptr);
    void fill() override;
    void preview() override;
    QLabel* no_tray_note() const { return no_tray_note_; }

private:
    OptionsHost& host_;
    QLabel* no_tray_note_ = nullptr;
};
