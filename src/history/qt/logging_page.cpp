#include "history/qt/logging_page.h"

#include <QCheckBox>

#include "core/option_pages.h"
#include "settings/qt/options_host.h"

LoggingPage::LoggingPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    Settings& s = host_.options_state().settings;
    add_declared(option_page_decl("Logging"), s, [this, &s](const std::string&) {
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
    });
}

void LoggingPage::other_page_changed() {
    Filling filling(*this);
    minute_logging_->setChecked(host_.options_state().settings.MinuteLogging != 0);
}
