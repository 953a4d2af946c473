#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
struct Settings;
class QLabel;
class QTimer;

// "Metrics": the port and address of the Prometheus endpoint. The endpoint follows the
// stored settings, so a change takes effect with OK or Apply.
class MetricsPage : public OptionsPage {
    Q_OBJECT
public:
    MetricsPage(OptionsHost& host, QWidget* parent = nullptr);
    void fill() override;
    // The address line tells where the endpoint answers, or why it does not.
    void preview() override;
    // An address that is not an IP address is not stored; the page says so.
    bool check() override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void show_where();
    OptionsHost& host_;
    Settings& s_;
    QLabel* where_ = nullptr;
    QLabel* problem_ = nullptr;
    // While the page is shown, its line follows the endpoint (a port that became free).
    QTimer* follow_ = nullptr;
};
