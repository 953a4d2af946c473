#include "net/qt/net_jobs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QWidget>

#include "net/update_check.h"

NetJobs::NetJobs(NetJobsView state, const Clock& clock, const Locale& locale, SettingWriter* writer, QWidget* main_window,
                 const NetOverrides& overrides, QObject* parent)
    : NetClients(state, clock, locale, writer, overrides, parent), main_window_(main_window) {
    open_url = [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

NetJobs::~NetJobs() {
    if (update_window_) delete update_window_.data();
}

void NetJobs::show_update(const QString& version, const QString& date) {
    if (update_window_) return;
    const QString url = QString::fromStdString(download_url(kUpdateServer, running_version_));
    auto* w = new frmUpdate(
        {version, date, QString::fromLatin1(kWebAddress)}, [this, url] { open_url(QUrl(url)); },
        [this] {
            state_.update_check.window_open = false;
            if (main_window_) {
                main_window_->setEnabled(true);
                if (main_window_->isVisible()) main_window_->activateWindow();
            }
        });
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (main_window_) {
        w->setWindowIcon(main_window_->windowIcon());
        main_window_->setEnabled(false);
    }
    update_window_ = w;
    state_.update_check.window_open = true;
    w->show();
    QApplication::beep();
}
