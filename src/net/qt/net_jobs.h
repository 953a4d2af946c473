#pragma once

#include <QPointer>
#include <QUrl>
#include <functional>

#include "net/qt/frm_update.h"
#include "net/qt/net_clients.h"

class QWidget;

// The main window's network jobs: the three client sockets plus the "Software update"
// window a newer version opens.
class NetJobs : public NetClients {
    Q_OBJECT
public:
    NetJobs(NetJobsView state, const Clock& clock, const Locale& locale, SettingWriter* writer, QWidget* main_window,
            const NetOverrides& overrides, QObject* parent = nullptr);
    ~NetJobs() override;

    void show_update(const QString& version, const QString& date) override;

    // Test seam: how the download page is opened.
    std::function<void(const QUrl&)> open_url;

    frmUpdate* update_window() const { return update_window_; }

private:
    QWidget* main_window_;
    QPointer<frmUpdate> update_window_;
};
