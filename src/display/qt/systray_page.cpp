#include "display/qt/systray_page.h"

#include <QLabel>

#include "core/option_pages.h"
#include "display/qt/frm_sys_tray.h"
#include "settings/qt/options_host.h"

SystrayPage::SystrayPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    add_declared(option_page_decl("Systray"), host_.options_state().settings, [this](const std::string&) {
        no_tray_note_ =
            add_note(QStringLiteral("This desktop has no notification area: the window minimises to the task bar."));
    });
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
