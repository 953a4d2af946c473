#include "platform/qt/qt_shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

void QtShell::open(const std::string& path) {
    const QString p = QString::fromStdString(path);
    if (p.isEmpty()) return;
    // A link ("https://...", "mailto:...") opens as it is; anything else is a local file.
    const QUrl url(p);
    const bool is_link = url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
    QDesktopServices::openUrl(is_link ? url : QUrl::fromLocalFile(p));
}

void QtShell::run(const std::string& program, const std::string& arguments) {
    if (program.empty()) return;
    QProcess::startDetached(QString::fromStdString(program), QProcess::splitCommand(QString::fromStdString(arguments)));
}
