#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;
class QLabel;
class QPushButton;
class QTimer;

// "Reset": clears the daily logs, the minutely logs or the session, and shows since when the
// program logs and how long this session runs (refreshed every second while shown). The
// minutely logs can be cleared while they are kept or while files of them are left.
class ResetPage : public OptionsPage {
    Q_OBJECT
public:
    ResetPage(OptionsHost& host, QWidget* parent = nullptr);
    void fill() override;
    // "Minutely logging" may have been switched on the Logging page.
    void other_page_changed() override;

    QPushButton* reset_daily() const { return cmdResetDaily; }
    QPushButton* reset_minutely() const { return cmdResetMinutely; }
    QPushButton* reset_session() const { return cmdResetSession; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refresh_lines();
    void enable_minutely_reset();

    OptionsHost& host_;
    QPushButton* cmdResetDaily = nullptr;
    QPushButton* cmdResetMinutely = nullptr;
    QPushButton* cmdResetSession = nullptr;
    QLabel* lblLoggingStarted = nullptr;
    QLabel* lblLoggingTime = nullptr;
    QTimer* timer_ = nullptr;
};
