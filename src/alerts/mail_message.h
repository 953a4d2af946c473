#pragma once

#include <cstdint>
#include <string>

#include "alerts/mail_settings_check.h"
#include "settings/settings.h"

// How the connection to the SMTP server is encrypted (setting EmailSecurity).
enum class MailSecurity : std::uint8_t {
    automatic = 0,  // TLS from the first byte on port 465, elsewhere STARTTLS whenever offered
    starttls = 1,   // STARTTLS, and no mail when the server offers none: never in clear
    tls = 2,        // TLS from the first byte, on any port
    none = 3        // never encrypted (a server whose certificate cannot be checked)
};

// One alert mail waiting or in transit: the alert message and the log file of the rule that
// sent it ("" when the rule keeps no log), where a failure is noted too.
struct QueuedMail {
    std::string message;
    std::string log_file;
    std::int64_t time = 0;  // when the alert was raised, seconds since 1970 (UTC); 0: now
    bool operator==(const QueuedMail& o) const { return message == o.message && log_file == o.log_file; }
};

// The texts of one mail, each ending in CR LF, built when the mail is started, with what the
// dialogue needs to reach and log into the server.
struct PreparedMail {
    std::string mail_from;  // "Mail From: " + sender (dialogue after a refused EHLO)
    std::string recipient;  // "rcpt to: <" + receiver + ">" (dialogue after a refused EHLO)
    std::string headers;    // From, To, Subject, Importance, MIME, X-Mailer, Content-Type,
                            // encoding, Date, Message-ID
    std::string body;       // begins with CR LF, so an empty line follows the headers
    std::string sender;
    std::string receiver;
    ServerAddress server;
    MailSecurity security = MailSecurity::automatic;
    bool authenticate = false;  // "Server requires authentication"
    std::string user;
    std::string password;
    std::string log_file;
};

// "Kelvanto v<major>.<minor>" of this build's version.
std::string mailer_name();
// `unique` makes the Message-ID unique: no two mails of any run share it.
PreparedMail prepare_mail(const Settings& settings, const QueuedMail& queued, const std::string& unique);

std::string base64(const std::string& bytes);
// Text fit for a header: every line break, tab or other control character becomes a blank,
// so nothing in it can start a header of its own.
std::string header_safe(const std::string& text);
// "Subject: " + the text, as encoded words (UTF-8, base64) on folded lines where it is not
// plain ASCII of a sensible length.
std::string subject_header(const std::string& text);
// The date as mail headers write it: "Tue, 02 Jun 2026 12:00:00 +0000".
std::string mail_date(std::int64_t unix_seconds);
// Quoted-printable of a text whose lines end in CR LF: lines of at most 76 characters.
std::string quoted_printable(const std::string& text);
// A body line that starts with '.' is doubled, so the message cannot end the data early.
std::string dot_stuffed(const std::string& text);
