#pragma once

#include "settings/qt/options_page.h"

struct Settings;

// "Connection": the downstream and upstream connection types with their custom speeds in
// kbps, which scale the graphs.
class ConnectionPage : public OptionsPage {
    Q_OBJECT
public:
    ConnectionPage(Settings& settings, QWidget* parent = nullptr);
    // The speeds follow the chosen types and custom boxes.
    void preview() override;

private:
    Settings& s_;
};
