#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
class QCheckBox;

// "Logging": unit and decimals of the history, the first day of the week, how often the logs
// are written, the minutely log (started or stopped at once when the box is switched), and
// the remote monitoring connections.
class LoggingPage : public OptionsPage {
    Q_OBJECT
public:
    LoggingPage(OptionsHost& host, QWidget* parent = nullptr);
    // The Reset page may have switched minutely logging off.
    void other_page_changed() override;

    QCheckBox* minute_logging() const { return minute_logging_; }

private:

    OptionsHost& host_;
    QCheckBox* minute_logging_ = nullptr;
};
