#pragma once

#include "alerts/mail_settings_check.h"
#include "settings/qt/options_page.h"

class OptionsHost;

// "E-mail": sender, receiver and SMTP server of the alert mails, and the server's log-in.
class MailPage : public OptionsPage {
    Q_OBJECT
public:
    MailPage(OptionsHost& host, QWidget* parent = nullptr);
    // A switched-on rule that mails needs plausible mail settings; a refusal turns to this
    // page and selects the field at fault.
    bool check() override;

private:
    OptionsHost& host_;
};

// The caption of a field of the e-mail page ("Sender:", "Receiver:", "SMTP server:").
QString mail_field_caption(MailField field);
inline const QString kMailPage = QStringLiteral("E-mail");
