#include "alerts/qt/mail_page.h"

#include <QComboBox>
#include <QLabel>

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
    Settings& s = host_.options_state().settings;
    add_text(mail_field_caption(MailField::sender), &s.EmailAlertMail);
    add_text(mail_field_caption(MailField::receiver), &s.EmailAlertDefault);
    add_text(mail_field_caption(MailField::server), &s.EmailAlertSMTP);
    // In the order of the setting's values (MailSecurity).
    QComboBox* security = add_choice(
        QStringLiteral("Encryption:"),
        {QStringLiteral("Automatic (STARTTLS when offered)"), QStringLiteral("STARTTLS required"),
         QStringLiteral("TLS from the first byte"), QStringLiteral("None")},
        [&s] { return static_cast<int>(s.EmailSecurity); }, [&s](int i) { s.EmailSecurity = static_cast<std::uint8_t>(i); });
    security->setToolTip(QStringLiteral("Automatic: TLS from the first byte on port 465, elsewhere STARTTLS whenever the "
                                        "server offers it. \"STARTTLS required\" never sends in clear."));
    add_check(QStringLiteral("Display alert message in e-mail subject"), &s.EmailSubBody);
    add_check(QStringLiteral("Server requires authentication"), &s.EmailAuth);
    add_text(QStringLiteral("User name:"), &s.EmailUsername);
    add_text(QStringLiteral("Password:"), &s.EmailPassword, true);
    // Where the passwords are kept: the desktop's secret store, or the private settings file.
    QLabel* store = add_note(QString());
    store->setObjectName(QStringLiteral("lblPasswordStore"));
    add_filler([this, store] {
        const SettingsBackend* backend = host_.options_services().settings_store;
        store->setText(QString::fromStdString(backend ? backend->password_store() : kPasswordsInSettingsFile));
    });
}

bool MailPage::check() {
    const MailField fault = host_.check_mail_settings();
    if (fault == MailField::none) return true;
    emit field_at_fault(kMailPage, mail_field_caption(fault));
    return false;
}
