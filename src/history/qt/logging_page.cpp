#include "history/qt/logging_page.h"

#include <QCheckBox>
#include <QLineEdit>

#include "measure/qt/rates_page.h"
#include "settings/qt/options_host.h"

LoggingPage::LoggingPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    Settings& s = host_.options_state().settings;
    add_heading(QStringLiteral("Transfer History "));
    add_choice(QStringLiteral("Unit:"), unit_names(), [&s] { return int(s.TransferredUnitHis); },
               [&s](int i) { s.TransferredUnitHis = static_cast<std::uint8_t>(i); });
    add_choice(QStringLiteral("Decimals:"), numbers(0, 9), [&s] { return int(s.TransferredDecHis); },
               [&s](int i) { s.TransferredDecHis = static_cast<std::uint8_t>(i); });
    add_choice(QStringLiteral("First day of week:"),
               {QStringLiteral("System"), QStringLiteral("Sunday"), QStringLiteral("Monday"), QStringLiteral("Tuesday"),
                QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                QStringLiteral("Saturday")},
               [&s] { return int(s.FirstDayOfWeek); }, [&s](int i) { s.FirstDayOfWeek = static_cast<std::uint8_t>(i); });
    add_setting_number(QStringLiteral("Diskwrite interval:"), "LogWriteInt", &s.LogWriteInt, 1, QStringLiteral("minutes"))
        ->setToolTip(QStringLiteral("How often the traffic logs are written to disk"));
    minute_logging_ = new QCheckBox(QStringLiteral("Minutely logging"), this);
    add_row(minute_logging_);
    connect(minute_logging_, &QCheckBox::toggled, this, [this, &s](bool on) {
        if (loading()) return;
        // Switched off it asks whether the minutely files go as well.
        if (!host_.minute_logging_changed(on)) {
            Filling filling(*this);
            minute_logging_->setChecked(s.MinuteLogging != 0);
            return;
        }
        report_change();
    });
    add_filler([this, &s] { minute_logging_->setChecked(s.MinuteLogging != 0); });
    add_remote_rows();
}

// The remote monitoring settings: what this machine reports to a remote logging server.
void LoggingPage::add_remote_rows() {
    Settings& s = host_.options_state().settings;
    add_heading(QStringLiteral("Incoming connections "));
    add_check(QStringLiteral("Accept incoming connections on port"), &s.LocalAccept);
    add_setting_number(QStringLiteral("Port:"), "LocalPort", &s.LocalPort);
    add_choice(QStringLiteral("Max connections:"), numbers(1, 10), [&s] { return s.LocalMaxCon - 1; },
               [&s](int i) { s.LocalMaxCon = static_cast<std::uint8_t>(i + 1); });
    add_text(QStringLiteral("Password:"), &s.LocalPassword, true);
    add_heading(QStringLiteral("Outgoing connection "));
    add_check(QStringLiteral("Enable outgoing connection to remote logging server"), &s.RemoteOut);
    add_text(QStringLiteral("IP/Domain : port:"), &s.RemoteIP);
    add_setting_number(QStringLiteral("Remote port:"), "RemotePort", &s.RemotePort);
    add_text(QStringLiteral("Password:"), &s.RemotePassword, true);
    add_text(QStringLiteral("Client name:"), &s.ClientName);
}

void LoggingPage::other_page_changed() {
    Filling filling(*this);
    minute_logging_->setChecked(host_.options_state().settings.MinuteLogging != 0);
}
