#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;

// "Systray": the graph picture and the rates tooltip of the tray icon, its three colours,
// and the tray graph's own download and upload scales. The tray icon shows every change at
// once, the colours while they are being picked.
class SystrayPage : public OptionsPage {
    Q_OBJECT
public:
    SystrayPage(OptionsHost& host, QWidget* parent = nullptr);
    void preview() override;

private:
    OptionsHost& host_;
};
