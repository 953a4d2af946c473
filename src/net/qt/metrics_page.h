#pragma once

#include "settings/qt/options_page.h"

struct Settings;
class QLabel;

// "Metrics": the port and address of the Prometheus endpoint. The endpoint follows the
// stored settings, so a change takes effect with OK or Apply.
class MetricsPage : public OptionsPage {
    Q_OBJECT
public:
    MetricsPage(Settings& settings, QWidget* parent = nullptr);
    void fill() override;
    // The address line tells where the endpoint will answer.
    void preview() override;
    // An address that is not an IP address is not stored; the page says so.
    bool check() override;

private:
    Settings& s_;
    QLabel* where_ = nullptr;
    QLabel* problem_ = nullptr;
};
