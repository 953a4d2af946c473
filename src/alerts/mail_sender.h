#pragma once

#include <string>
#include <vector>

#include "alerts/alert_rule.h"
#include "settings/settings.h"

class MailSocket;

// The SMTP dialogue of one alert mail at a time, as a state machine: events go in (connected,
// bytes arrived, closed or error, timer elapsed), actions come out (connect, send, close,
// timer). Replies are collected until complete, so a reply spread over several reads, or a
// multi-line reply, counts once.
enum class SmtpState { closed, CONNECT, HELO, MAILFROM, RCPT, DATA, BODY, QUIT };

// The texts of one mail, each ending in CR LF, built when the mail is started.
struct PreparedMail {
    std::string mail_from;  // "Mail From: " + sender
    std::string recipient;  // "rcpt to: <" + receiver + ">"
    std::string headers;    // From, To, Subject, Importance, MIME, X-Mailer, Content-Type, encoding
    std::string body;       // begins with CR LF, so an empty line follows the headers
};

struct SmtpAction {
    enum Kind { connect, send, close, start_timer, stop_timer } kind;
    std::string bytes;  // send: the bytes; connect: the host
    int number = 0;     // connect: the port; start_timer: milliseconds
};
using SmtpActions = std::vector<SmtpAction>;

inline constexpr int kBodyPauseMs = 200;
inline constexpr int kDefaultReplyTimeoutMs = 60000;
inline constexpr const char* kHeloDomain = "localhost";

struct MailSender {
    SmtpState state = SmtpState::closed;
    PreparedMail mail;
    std::string pending;  // received bytes that do not yet make a complete reply
    bool pausing = false; // the header block is out; the body follows when the timer elapses
    // A server that stops answering costs this mail only: the connection is dropped after
    // this long without a reply, and the queue moves on.
    int reply_timeout_ms = kDefaultReplyTimeoutMs;
    bool busy() const { return state != SmtpState::closed; }
};

// The SMTP server setting split into host and port: "host" or "host:port" (port 25 by default).
struct ServerAddress {
    std::string host;
    int port = 25;
};
ServerAddress parse_smtp_server(const std::string& setting);

// "Kelvanto v<major>.<minor>" of this build's version.
std::string mailer_name();
PreparedMail prepare_mail(const Settings& settings, const std::string& message);

enum class StartMail { started, busy };
StartMail start_mail(MailSender& sender, const Settings& settings, const std::string& message, SmtpActions& out);
SmtpActions mail_connected(MailSender& sender);
SmtpActions mail_received(MailSender& sender, const std::string& bytes);
// The connection was closed by the peer or failed.
SmtpActions mail_closed(MailSender& sender);
SmtpActions mail_timer_elapsed(MailSender& sender);

void apply_mail_actions(const SmtpActions& actions, MailSocket& socket);

// The mail queue: alert messages waiting while a mail is in transit. New messages go to the
// end; the update cycle takes from the end, so the newest waiting message goes first.
using MailQueue = std::vector<std::string>;

// Starts a mail over `socket`, or appends the message to the queue when the sender is busy
// (or there is no socket to send with).
void send_or_queue(MailSender& sender, MailQueue& queue, const Settings& settings, const std::string& message,
                   MailSocket* socket);
// Once per update cycle: starts the last queued message when the sender is free.
void work_off_queue(MailSender& sender, MailQueue& queue, const Settings& settings, MailSocket* socket);

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
