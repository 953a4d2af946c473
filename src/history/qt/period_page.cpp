#include "history/qt/period_page.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>

#include "settings/qt/options_host.h"

PeriodPage::PeriodPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    Settings& s = host_.options_state().settings;
    add_heading(QStringLiteral("User defined time period "));
    add_text(QStringLiteral("Name:"), &s.CusPerName);
    add_radios(QStringLiteral("Form:"),
               {QStringLiteral("From a date to a date"), QStringLiteral("The last"),
                QStringLiteral("Monthly, starting on day"), QStringLiteral("Starting at a date")},
               [&s] { return int(s.CusPerDay); }, [&s](int i) { s.CusPerDay = static_cast<std::uint8_t>(i); });
    form_fields_[0] = {add_date(QStringLiteral("From:"), &s.CusPerFrom), add_date(QStringLiteral("To:"), &s.CusPerTo)};
    form_fields_[1] = {
        add_setting_number(QStringLiteral("Last:"), "CusPerDays", &s.CusPerDays, 1),
        add_choice(QStringLiteral("Unit:"), {QStringLiteral("Minutes"), QStringLiteral("Hours"), QStringLiteral("Days")},
                   [&s] { return int(s.CusPerUnit); }, [&s](int i) { s.CusPerUnit = static_cast<std::uint8_t>(i); })};
    form_fields_[2] = {add_choice(QStringLiteral("Month starts on day:"), numbers(1, 31), [&s] { return s.CusMonthStart - 1; },
                                  [&s](int i) { s.CusMonthStart = static_cast<std::uint8_t>(i + 1); })};
    form_fields_[3] = {add_date(QStringLiteral("Start:"), &s.CusPerStart)};
    lblPeriod = new QLabel(this);
    add_row(QStringLiteral("Current period:"), lblPeriod);
    lblDataMissing = new QLabel(this);
    lblDataMissing->setStyleSheet(QStringLiteral("color: red"));
    // The warning's two lines keep their room while there is no warning, so choosing a form
    // never moves the fields below under the pointer.
    lblDataMissing->setMinimumHeight(2 * lblDataMissing->fontMetrics().lineSpacing() + 2);
    add_row(lblDataMissing);
    // The data cap of this period.
    add_decimal(QStringLiteral("Data cap:"), &s.CapAmount, 0, 999999999);
    add_choice(QStringLiteral("Cap unit:"), {QStringLiteral("KB"), QStringLiteral("MB"), QStringLiteral("GB"), QStringLiteral("TB")},
               [&s] { return int(s.CapUnit); }, [&s](int i) { s.CapUnit = static_cast<std::uint8_t>(i); });
    add_note(QStringLiteral("The amount the period may use (0: no cap). The main window shows how much of it is "
                            "used; alert rules can name a share of it."));
}

void PeriodPage::fill() {
    OptionsPage::fill();
    enable_form_fields();
    refresh_period_line();
}

void PeriodPage::preview() {
    enable_form_fields();
    host_.period_changed();
    // A cap adds two rows to the period's sections in the main window.
    host_.options_fit_window_height();
    refresh_period_line();
}

void PeriodPage::enable_form_fields() {
    const std::size_t form = host_.options_state().settings.CusPerDay;
    for (std::size_t f = 0; f < form_fields_.size(); ++f) {
        for (QWidget* w : form_fields_[f]) w->setEnabled(f == form);
    }
}

void PeriodPage::refresh_period_line() {
    bool warning = false;
    const std::string line = host_.current_period_text(host_.options_state().settings.CusPerDay, &warning);
    lblPeriod->setText(QString::fromStdString(line));
    lblDataMissing->setText(
        warning ? QStringLiteral("The displayed amounts may be incorrect.\nThere is not sufficient data for the current period.")
                : QString());
}
