#include "history/qt/reset_page.h"

#include <QDate>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "history/log_files.h"
#include "history/stats_record.h"
#include "measure/format.h"
#include "settings/qt/options_host.h"

ResetPage::ResetPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    cmdResetDaily = new QPushButton(QStringLiteral("&Reset daily logs"), this);
    cmdResetMinutely = new QPushButton(QStringLiteral("R&eset minutely logs"), this);
    cmdResetSession = new QPushButton(QStringLiteral("Re&set session"), this);
    add_row(cmdResetDaily);
    add_row(cmdResetMinutely);
    add_row(cmdResetSession);
    lblLoggingStarted = new QLabel(this);
    lblLoggingTime = new QLabel(this);
    add_row(lblLoggingStarted);
    add_row(lblLoggingTime);
    connect(cmdResetDaily, &QPushButton::clicked, this, [this] {
        host_.reset_daily_logs();
        refresh_lines();
        enable_minutely_reset();
    });
    connect(cmdResetMinutely, &QPushButton::clicked, this, [this] {
        const std::uint8_t logging = host_.options_state().settings.MinuteLogging;
        host_.reset_minutely_logs();
        refresh_lines();
        enable_minutely_reset();
        // Answered with switching minute logging off: the Logging page shows it.
        if (host_.options_state().settings.MinuteLogging != logging) report_change();
    });
    connect(cmdResetSession, &QPushButton::clicked, this, [this] {
        host_.reset_session();
        refresh_lines();
    });
    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &ResetPage::refresh_lines);
}

void ResetPage::fill() {
    OptionsPage::fill();
    refresh_lines();
    enable_minutely_reset();
}

void ResetPage::other_page_changed() { enable_minutely_reset(); }

void ResetPage::enable_minutely_reset() {
    const OptionsView st = host_.options_state();
    cmdResetMinutely->setEnabled(st.settings.MinuteLogging != 0 || minutely_files_left(st.data_dir));
}

void ResetPage::showEvent(QShowEvent* event) {
    OptionsPage::showEvent(event);
    refresh_lines();
    timer_->start();
}

void ResetPage::hideEvent(QHideEvent* event) {
    OptionsPage::hideEvent(event);
    timer_->stop();
}

void ResetPage::refresh_lines() {
    const OptionsView st = host_.options_state();
    lblLoggingStarted->setText(QStringLiteral("Logging started: ") +
                               QDate(1899, 12, 30).addDays(static_cast<qint64>(st.stats.start_date)).toString(Qt::ISODate));
    lblLoggingTime->setText(QStringLiteral("Logging time: ") +
                            QString::fromStdString(format_duration(st.cycle.session_seconds)));
}
