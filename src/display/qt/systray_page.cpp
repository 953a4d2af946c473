#include "display/qt/systray_page.h"

#include <QLabel>

#include "display/qt/frm_sys_tray.h"
#include "settings/qt/options_host.h"

SystrayPage::SystrayPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    Settings& s = host_.options_state().settings;
    no_tray_note_ = add_note(QStringLiteral("This desktop has no notification area: the window minimises to the task bar."));
    add_check(QStringLiteral("Graph in systray"), &s.SysTrayGraph);
    add_check(QStringLiteral("Transfer rates as tooltip"), &s.SysTrayToolTip);
    add_colour(QStringLiteral("Background:"), &s.SysTrayColorBackground, &s.AlwaysOnTop);
    add_colour(QStringLiteral("Download:"), &s.SysTrayColorDownload, &s.AlwaysOnTop);
    add_colour(QStringLiteral("Upload:"), &s.SysTrayColorUpload, &s.AlwaysOnTop);
    add_heading(QStringLiteral("Custom graph scale "));
    add_check(QStringLiteral("Use a different scale than the main graph (download)"), &s.SysDl);
    add_setting_number(QStringLiteral("Download scale (kbps):"), "SysDlSpeed", &s.SysDlSpeed);
    add_check(QStringLiteral("Use a different scale than the main graph (upload)"), &s.SysUl);
    add_setting_number(QStringLiteral("Upload scale (kbps):"), "SysUlSpeed", &s.SysUlSpeed);
}

void SystrayPage::fill() {
    OptionsPage::fill();
    // The tray icon belongs to the main window, which owns the options dialog.
    const frmSysTray* tray = nullptr;
    for (const QWidget* w = parentWidget(); w != nullptr && tray == nullptr; w = w->parentWidget())
        tray = w->findChild<frmSysTray*>(QString(), Qt::FindDirectChildrenOnly);
    no_tray_note_->setVisible(tray != nullptr && !tray->tray_available());
}

void SystrayPage::preview() { host_.options_update_tray(); }
