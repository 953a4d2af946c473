#include "platform/qt/system_locale.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <QTime>
#include <cmath>

#include "platform/date.h"

namespace {

QDate to_qdate(double date) {
    const CivilDate d = civil_date(date);
    return QDate(d.year, d.month, d.day);
}

QTime to_qtime(double date) {
    long long secs = std::llround(seconds_since_midnight(date));
    if (secs >= 86400) secs = 86399;
    if (secs < 0) secs = 0;
    return QTime(0, 0).addSecs(static_cast<int>(secs));
}

}  // namespace

std::string SystemLocale::decimal_separator() const {
    return QLocale::system().decimalPoint().toStdString();
}

std::string SystemLocale::short_date(double date) const {
    return QLocale::system().toString(to_qdate(date), QLocale::ShortFormat).toStdString();
}

std::string SystemLocale::long_time(double date) const {
    // The long format with seconds, without the time-zone name some locales append.
    const QLocale locale = QLocale::system();
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return locale.toString(to_qtime(date), format.trimmed()).toStdString();
}

std::string SystemLocale::short_time(double date) const {
    const QLocale locale = QLocale::system();
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+")));
    return locale.toString(to_qtime(date), format.trimmed()).toStdString();
}

std::string SystemLocale::month_name(int month) const {
    if (month < 1 || month > 12) return {};
    QString name = QLocale::system().standaloneMonthName(month, QLocale::LongFormat);
    if (!name.isEmpty()) name[0] = name[0].toUpper();
    return name.toStdString();
}

int SystemLocale::first_day_of_week() const {
    // Qt numbers Monday 1 .. Sunday 7; here Sunday is 1 and Saturday 7.
    const int qt_day = static_cast<int>(QLocale::system().firstDayOfWeek());
    return qt_day % 7 + 1;
}
