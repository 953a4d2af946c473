#include "net/qt/metrics_page.h"

#include <QHostAddress>
#include <QLabel>
#include <QLayout>
#include <QTimer>

#include "core/option_pages.h"
#include "net/qt/metrics_server.h"
#include "settings/qt/options_host.h"
#include "settings/settings.h"

MetricsPage::MetricsPage(OptionsHost& host, QWidget* parent)
    : OptionsPage(parent), host_(host), s_(host.options_state().settings), follow_(new QTimer(this)) {
    follow_->setInterval(1000);
    connect(follow_, &QTimer::timeout, this, &MetricsPage::preview);
    add_declared(option_page_decl("Metrics"), s_, [this](const std::string&) {
        where_ = add_note({});
        problem_ = add_note({});
        problem_->setStyleSheet(QStringLiteral("color: #c00000"));
        problem_->hide();
    });
}

void MetricsPage::fill() {
    OptionsPage::fill();
    problem_->clear();
    problem_->hide();
    preview();
}

void MetricsPage::preview() {
    const QString before = where_->text();
    show_where();
    // A line that wraps differently now: the page and the rows below are laid out again at
    // once (left to themselves, the rows keep the height of the old text and the last is cut).
    if (where_->text() != before && layout()) {
        layout()->invalidate();
        updateGeometry();
        if (parentWidget() && parentWidget()->layout()) {
            parentWidget()->layout()->invalidate();
            parentWidget()->layout()->activate();
        }
    }
}

void MetricsPage::show_where() {
    if (s_.MetricsPort == 0) {
        where_->setText(QStringLiteral("The endpoint is off."));
        return;
    }
    QString host = QString::fromStdString(s_.MetricsAddress);
    if (host.contains(QLatin1Char(':'))) host = QLatin1Char('[') + host + QLatin1Char(']');
    const std::string failure = host_.metrics_failure(s_.MetricsAddress, s_.MetricsPort);
    if (!failure.empty()) {
        where_->setText(QStringLiteral("Not serving: port %1 on %2 cannot be opened (%3). Tried again every %4 seconds.")
                            .arg(s_.MetricsPort)
                            .arg(host, QString::fromStdString(failure))
                            .arg(kMetricsListenRetryMs / 1000));
        return;
    }
    where_->setText(QStringLiteral("Prometheus scrapes http://%1:%2/metrics").arg(host).arg(s_.MetricsPort));
}

void MetricsPage::showEvent(QShowEvent* event) {
    OptionsPage::showEvent(event);
    preview();
    follow_->start();
}

void MetricsPage::hideEvent(QHideEvent* event) {
    follow_->stop();
    OptionsPage::hideEvent(event);
}

bool MetricsPage::check() {
    if (QHostAddress().setAddress(QString::fromStdString(s_.MetricsAddress))) {
        problem_->clear();
        problem_->hide();
        return true;
    }
    problem_->setText(QStringLiteral("\"%1\" is not an IP address (such as 127.0.0.1 or 0.0.0.0).")
                          .arg(QString::fromStdString(s_.MetricsAddress)));
    problem_->show();
    emit show_requested();
    return false;
}
