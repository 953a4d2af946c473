#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
class QLabel;
class QPushButton;

// "Service": installs or removes the service that logs while nobody is logged on, and says
// whether this run is that service, or else that the service logs when this run has ended.
class ServicePage : public OptionsPage {
    Q_OBJECT
public:
    ServicePage(OptionsHost& host, QWidget* parent = nullptr);
    // The buttons follow whether the service is installed.
    void fill() override;

private:
    OptionsHost& host_;
    QPushButton* cmdInsSrv = nullptr;
    QPushButton* cmdUnInsSrv = nullptr;
    QLabel* lblService = nullptr;
    QLabel* lblHandOver = nullptr;
};
