#include "alerts/mail_settings_check.h"

#include <cctype>
#include <optional>

namespace {

std::optional<int> port_number(const std::string& digits) {
    if (digits.empty() || digits.size() > 5) return std::nullopt;
    int port = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

}  // namespace

ServerAddress parse_smtp_server(const std::string& setting) {
    ServerAddress a;
    a.host = setting;
    if (!setting.empty() && setting.front() == '[') {
        const std::size_t close = setting.find(']');
        if (close == std::string::npos) return a;
        const std::string rest = setting.substr(close + 1);
        if (rest.empty()) {
            a.host = setting.substr(1, close - 1);
        } else if (rest.front() == ':' && port_number(rest.substr(1))) {
            a.host = setting.substr(1, close - 1);
            a.port = *port_number(rest.substr(1));
        }
        return a;
    }
    const std::size_t colon = setting.rfind(':');
    // More than one colon without brackets: a bare IPv6 address, which has no port.
    if (colon == std::string::npos || setting.find(':') != colon) return a;
    if (const std::optional<int> port = port_number(setting.substr(colon + 1))) {
        a.host = setting.substr(0, colon);
        a.port = *port;
    }
    return a;
}

bool plausible_address(const std::string& a) {
    for (std::size_t at = a.find('@'); at != std::string::npos; at = a.find('@', at + 1)) {
        if (at + 1 >= a.size()) break;
        const char c = a[at + 1];
        const bool allowed = std::isalnum(static_cast<unsigned char>(c)) != 0 || c == ',';
        if (allowed && c >= 0 && a.find('.', at + 2) != std::string::npos) return true;
    }
    return false;
}

MailCheck check_mail_settings(const WorkingRules& rules, const Settings& settings, bool test) {
    bool applies = false;
    for (int i = 0; i < rules.count; ++i) {
        const AlertRule& r = rules.rules[static_cast<std::size_t>(i)];
        if (r.has_action(SendMail) && (test || r.enabled())) applies = true;
    }
    if (!applies) return {};
    if (!plausible_address(settings.EmailAlertMail)) return {MailField::sender, "Please check the senders address."};
    if (!plausible_address(settings.EmailAlertDefault)) {
        return {MailField::receiver, "Please check the receivers address."};
    }
    if (parse_smtp_server(settings.EmailAlertSMTP).host.size() <= 4) {
        return {MailField::server, "Please check the SMTP server."};
    }
    return {};
}
