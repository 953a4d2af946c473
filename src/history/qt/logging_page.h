#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
class QCheckBox;

// "Logging": unit and decimals of the history, the first day of the week, how often the logs
// are written, the minutely log, and the remote monitoring connections.
class LoggingPage : public OptionsPage {
    Q_OBJECT
public:
    LoggingPage(OptionsHost& host, QWidget* parent = nullptr);
    // "Minutely logging" starts or stops the minutely log when the settings are stored.
    bool check() override;

    QCheckBox* minute_logging() const { return minute_logging_; }

private:
    void add_remote_rows();

    OptionsHost& host_;
    QCheckBox* minute_logging_ = nullptr;
};
