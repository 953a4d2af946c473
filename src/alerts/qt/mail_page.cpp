#include "alerts/qt/mail_page.h"

#include <QLabel>

#include "core/option_pages.h"
#include "platform/services.h"
#include "settings/qt/options_host.h"

QString mail_field_caption(MailField field) {
    switch (field) {
        case MailField::sender: return QStringLiteral("Sender:");
        case MailField::receiver: return QStringLiteral("Receiver:");
        case MailField::server: return QStringLiteral("SMTP server:");
        case MailField::none: break;
    }
    return {};
}

MailPage::MailPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    add_declared(option_page_decl("E-mail"), host_.options_state().settings, [this](const std::string&) {
        // Where the passwords are kept: the desktop's secret store, or the private settings file.
        QLabel* store = add_note(QString());
        store->setObjectName(QStringLiteral("lblPasswordStore"));
        add_filler([this, store] {
            const SettingsBackend* backend = host_.options_services().settings_store;
            store->setText(QString::fromStdString(backend ? backend->password_store() : kPasswordsInSettingsFile));
        });
    });
}

bool MailPage::check() {
    const MailField fault = host_.check_mail_settings();
    if (fault == MailField::none) return true;
    emit field_at_fault(kMailPage, mail_field_caption(fault));
    return false;
}
