#pragma once

#include <string>

#include "alerts/alert_rule.h"
#include "settings/settings.h"

// The SMTP server setting split into host and port: "host", "host:port", "[IPv6]",
// "[IPv6]:port" or a bare IPv6 address (port 25 unless given).
struct ServerAddress {
    std::string host;
    int port = 25;
};
ServerAddress parse_smtp_server(const std::string& setting);

// The check of the mail settings before saving the options or testing a rule.
enum class MailField { none, sender, receiver, server };
struct MailCheck {
    MailField field = MailField::none;  // none: accepted
    std::string message;
    bool accepted() const { return field == MailField::none; }
};
// "*@[A-Z,a-z,0-9]*.*": something '@', a letter, digit or comma, and a '.' further on.
bool plausible_address(const std::string& address);
MailCheck check_mail_settings(const WorkingRules& rules, const Settings& settings, bool test);
