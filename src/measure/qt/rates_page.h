#pragma once

#include "settings/qt/options_page.h"

struct Settings;

// "Rates": the units of rates and amounts, the seconds the rates are averaged over, and
// their decimals.
class RatesPage : public OptionsPage {
    Q_OBJECT
public:
    RatesPage(Settings& settings, QWidget* parent = nullptr);
};
