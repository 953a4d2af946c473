#include "service/qt/service_page.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "platform/services.h"
#include "service/service_control.h"
#include "settings/qt/options_host.h"

ServicePage::ServicePage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    add_heading(QString::fromLatin1(kServiceHeading));
    add_heading(QString::fromLatin1(kServiceLine1));
    add_heading(QString::fromLatin1(kServiceLine2))->setWordWrap(true);
    cmdInsSrv = new QPushButton(QStringLiteral("&Install"), this);
    cmdUnInsSrv = new QPushButton(QStringLiteral("&Uninstall"), this);
    cmdInsSrv->setObjectName(QStringLiteral("cmdInsSrv"));
    cmdUnInsSrv->setObjectName(QStringLiteral("cmdUnInsSrv"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdInsSrv);
    buttons->addWidget(cmdUnInsSrv);
    buttons->addStretch(1);
    form()->addRow(buttons);
    lblService = new QLabel(this);
    lblService->setObjectName(QStringLiteral("lblService"));
    add_row(lblService);
    lblHandOver = new QLabel(this);
    lblHandOver->setObjectName(QStringLiteral("lblHandOver"));
    lblHandOver->setWordWrap(true);
    add_row(lblHandOver);
    connect(cmdInsSrv, &QPushButton::clicked, this, [this] {
        if (ServiceManager* m = host_.options_service_manager()) {
            install_service(*m, host_.options_services().dialogs);
            fill();
        }
    });
    connect(cmdUnInsSrv, &QPushButton::clicked, this, [this] {
        if (ServiceManager* m = host_.options_service_manager()) {
            uninstall_service(*m, host_.options_services().dialogs);
            fill();
        }
    });
}

void ServicePage::fill() {
    OptionsPage::fill();
    const bool service_run = host_.options_state().running_as_service;
    ServiceManager* m = host_.options_service_manager();
    if (m == nullptr) {
        cmdInsSrv->setEnabled(false);
        cmdUnInsSrv->setEnabled(false);
        lblService->setText(service_run ? QString::fromLatin1(kRunningAsService) : QString());
        lblHandOver->clear();
        return;
    }
    const ServicePageState page = refresh_service_page(*m, service_run);
    cmdInsSrv->setEnabled(page.install_enabled);
    cmdUnInsSrv->setEnabled(page.uninstall_enabled);
    lblService->setText(QString::fromStdString(page.service_label));
    lblHandOver->setText(QString::fromStdString(page.hand_over_note));
}
