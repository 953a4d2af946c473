#include "history/qt/period_page.h"

#include <QLabel>

#include "core/option_pages.h"
#include "history/period_totals.h"
#include "settings/qt/options_host.h"

PeriodPage::PeriodPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    add_declared(option_page_decl("Period"), host_.options_state().settings, [this](const std::string&) {
        lblPeriod = new QLabel(this);
        add_row(QString::fromLatin1(kCurrentPeriodCaption), lblPeriod);
        lblDataMissing = new QLabel(this);
        lblDataMissing->setStyleSheet(QStringLiteral("color: red"));
        // The warning's two lines keep their room while there is no warning, so choosing a form
        // never moves the fields below under the pointer.
        lblDataMissing->setMinimumHeight(2 * lblDataMissing->fontMetrics().lineSpacing() + 2);
        add_row(lblDataMissing);
    });
}

void PeriodPage::fill() {
    OptionsPage::fill();
    refresh_period_line();
}

void PeriodPage::preview() {
    host_.period_changed();
    // A cap adds two rows to the period's sections in the main window.
    host_.options_fit_window_height();
    refresh_period_line();
}

void PeriodPage::refresh_period_line() {
    bool warning = false;
    const std::string line = host_.current_period_text(host_.options_state().settings.CusPerDay, &warning);
    lblPeriod->setText(QString::fromStdString(line));
    lblDataMissing->setText(
        warning ? QStringLiteral("The displayed amounts may be incorrect.\nThere is not sufficient data for the current period.")
                : QString());
}
