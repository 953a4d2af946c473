#pragma once

#include "settings/qt/options_page.h"

class OptionsHost;

// "E-mail": sender, receiver and SMTP server of the alert mails, and the server's log-in.
class MailPage : public OptionsPage {
    Q_OBJECT
public:
    MailPage(OptionsHost& host, QWidget* parent = nullptr);
    // A switched-on rule that mails needs plausible mail settings.
    bool check() override;

private:
    OptionsHost& host_;
};
