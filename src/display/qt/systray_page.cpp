#include "display/qt/systray_page.h"

#include "settings/settings.h"

SystrayPage::SystrayPage(Settings& s, QWidget* parent) : OptionsPage(parent) {
    add_check(QStringLiteral("Graph in systray"), &s.SysTrayGraph);
    add_check(QStringLiteral("Transfer rates as tooltip"), &s.SysTrayToolTip);
    add_colour(QStringLiteral("Background:"), &s.SysTrayColorBackground);
    add_colour(QStringLiteral("Download:"), &s.SysTrayColorDownload);
    add_colour(QStringLiteral("Upload:"), &s.SysTrayColorUpload);
    add_heading(QStringLiteral("Custom graph scale "));
    add_check(QStringLiteral("Use a different scale than the main graph (download)"), &s.SysDl);
    add_number(QStringLiteral("Download scale (kbps):"), &s.SysDlSpeed);
    add_check(QStringLiteral("Use a different scale than the main graph (upload)"), &s.SysUl);
    add_number(QStringLiteral("Upload scale (kbps):"), &s.SysUlSpeed);
}
