#pragma once

#include <vector>

#include "settings/qt/options_page.h"

class OptionsHost;
class QLabel;

// "Period": name and form of the user-defined period (from a date to a date, the last N
// minutes, hours or days, monthly from a day, from a start date) and its current range.
// Only the fields of the chosen form can be changed.
class PeriodPage : public OptionsPage {
    Q_OBJECT
public:
    PeriodPage(OptionsHost& host, QWidget* parent = nullptr);
    void fill() override;
    // The period totals are computed afresh and the current range is shown.
    void preview() override;

    QLabel* period_line() const { return lblPeriod; }
    // The warning that data is missing for the current period (empty text when there is none).
    QLabel* data_missing_line() const { return lblDataMissing; }

private:
    void refresh_period_line();

    OptionsHost& host_;
    QLabel* lblPeriod = nullptr;
    QLabel* lblDataMissing = nullptr;
};
