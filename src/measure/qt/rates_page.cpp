#include "measure/qt/rates_page.h"

#include <QComboBox>

#include "settings/settings.h"

QStringList unit_names() {
    return {QStringLiteral("b (bits)"),       QStringLiteral("kb (kilobits)"),    QStringLiteral("mb (megabits)"),
            QStringLiteral("gb (gigabits)"),  QStringLiteral("tb (terabits)"),    QStringLiteral("Automatic (bits)"),
            QStringLiteral("B (bytes)"),      QStringLiteral("KB (kilobytes)"),   QStringLiteral("MB (megabytes)"),
            QStringLiteral("GB (gigabytes)"), QStringLiteral("TB (terabytes)"),   QStringLiteral("Automatic (bytes)")};
}

RatesPage::RatesPage(Settings& s, QWidget* parent) : OptionsPage(parent) {
    add_choice(QStringLiteral("Transferring speed:"), unit_names(), [&s] { return int(s.TransferUnit); },
               [&s](int i) { s.TransferUnit = static_cast<std::uint8_t>(i); });
    add_choice(QStringLiteral("Transferred data:"), unit_names(), [&s] { return int(s.TransferredUnit); },
               [&s](int i) { s.TransferredUnit = static_cast<std::uint8_t>(i); });
    QStringList seconds{QStringLiteral("1 second")};
    for (int n = 2; n <= 10; ++n) seconds << QStringLiteral("%1 seconds").arg(n);
    add_choice(QStringLiteral("Calculated from the last"), seconds, [&s] { return s.BandwidthCalc - 1; },
               [&s](int i) { s.BandwidthCalc = static_cast<std::uint8_t>(i + 1); })
        ->setToolTip(QStringLiteral("The rates shown are the average of this many seconds (keypad + and - in the "
                                    "main window)"));
    add_choice(QStringLiteral("Decimals of rates:"), numbers(0, 9), [&s] { return int(s.TransferDec); },
               [&s](int i) { s.TransferDec = static_cast<std::uint8_t>(i); });
    add_choice(QStringLiteral("Decimals of amounts:"), numbers(0, 9), [&s] { return int(s.TransferredDec); },
               [&s](int i) { s.TransferredDec = static_cast<std::uint8_t>(i); });
}
