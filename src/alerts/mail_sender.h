#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "alerts/alert_rule.h"
#include "settings/settings.h"

class MailSocket;

// The SMTP dialogue of one alert mail at a time, as a state machine: events go in (connected,
// bytes arrived, TLS up or failed, closed or error, timer elapsed), actions come out (connect,
// send, start TLS, close, timer). Replies are collected until complete, so a reply spread over
// several reads, or a multi-line reply, counts once.
//
// Two dialogues. The plain one (HELO, no TLS, no login) is used when authentication is off,
// the port is not the implicit-TLS port and the server's greeting does not announce ESMTP;
// its bytes are those every earlier version sent. Otherwise the extended one: EHLO, STARTTLS
// when offered (required before a password is sent), EHLO again, AUTH PLAIN or LOGIN when
// authentication is on, and the envelope in its standard form. A failure never falls back
// to a plain connection.
enum class SmtpState {
    closed,
    CONNECT,    // waiting for the greeting
    HELO,
    EHLO,
    STARTTLS,   // STARTTLS sent, waiting for its 220
    TLS,        // the TLS handshake runs
    AUTH,       // AUTH PLAIN with the credentials sent
    AUTH_LOGIN, // AUTH LOGIN sent, waiting for the user name prompt
    AUTH_USER,  // user name sent, waiting for the password prompt
    AUTH_PASS,  // password sent
    MAILFROM,
    RCPT,
    DATA,
    BODY,
    QUIT
};

// The SMTP server setting split into host and port: "host", "host:port", "[IPv6]",
// "[IPv6]:port" or a bare IPv6 address (port 25 unless given).
struct ServerAddress {
    std::string host;
    int port = 25;
};
ServerAddress parse_smtp_server(const std::string& setting);

// One alert mail waiting or in transit: the alert message and the log file of the rule that
// sent it ("" when the rule keeps no log), where a failure is noted too.
struct QueuedMail {
    std::string message;
    std::string log_file;
    bool operator==(const QueuedMail&) const = default;
};

// The texts of one mail, each ending in CR LF, built when the mail is started, with what the
// dialogue needs to reach and log into the server.
struct PreparedMail {
    std::string mail_from;  // "Mail From: " + sender (plain dialogue)
    std::string recipient;  // "rcpt to: <" + receiver + ">" (plain dialogue)
    std::string headers;    // From, To, Subject, Importance, MIME, X-Mailer, Content-Type, encoding
    std::string body;       // begins with CR LF, so an empty line follows the headers
    std::string sender;
    std::string receiver;
    ServerAddress server;
    bool authenticate = false;  // "Server requires authentication"
    std::string user;
    std::string password;
    std::string log_file;
};

// A mail that was not delivered, or dropped from a full queue: the line for the program's
// messages, and the rule's log file that gets it too.
struct MailProblem {
    std::string text;
    std::string log_file;
};

struct SmtpAction {
    enum Kind { connect, send, start_tls, close, start_timer, stop_timer } kind;
    std::string bytes;  // send: the bytes; connect: the host
    int number = 0;     // connect: the port; start_timer: milliseconds
};
using SmtpActions = std::vector<SmtpAction>;

inline constexpr int kBodyPauseMs = 200;
inline constexpr int kDefaultReplyTimeoutMs = 60000;
inline constexpr int kImplicitTlsPort = 465;
inline constexpr const char* kHeloDomain = "localhost";

struct MailSender {
    SmtpState state = SmtpState::closed;
    PreparedMail mail;
    std::string pending;     // received bytes that do not yet make a complete reply
    bool pausing = false;    // the header block is out; the body follows when the timer elapses
    bool extended = false;   // the EHLO dialogue
    bool encrypted = false;  // TLS is up on this connection
    bool greeted = false;    // the server's greeting has arrived
    bool delivered = false;  // the server accepted the mail
    // A server that stops answering costs this mail only: the connection is dropped after
    // this long without a reply, and the queue moves on.
    int reply_timeout_ms = kDefaultReplyTimeoutMs;
    int body_pause_ms = kBodyPauseMs;
    // Connections to this port are encrypted from the start (SMTP over TLS).
    int implicit_tls_port = kImplicitTlsPort;
    // Mails that failed, waiting to be reported by the update cycle.
    std::vector<MailProblem> problems;
    bool busy() const { return state != SmtpState::closed; }
};

// "Kelvanto v<major>.<minor>" of this build's version.
std::string mailer_name();
PreparedMail prepare_mail(const Settings& settings, const QueuedMail& queued);

enum class StartMail { started, busy };
StartMail start_mail(MailSender& sender, const Settings& settings, const QueuedMail& mail, SmtpActions& out);
SmtpActions mail_connected(MailSender& sender);
SmtpActions mail_received(MailSender& sender, const std::string& bytes);
// TLS is up on the connection, or could not be set up (`reason` says why, for the user).
SmtpActions mail_tls_ready(MailSender& sender);
SmtpActions mail_tls_failed(MailSender& sender, const std::string& reason);
// The connection was closed by the peer or failed (`reason`: the socket's error text, if any).
SmtpActions mail_closed(MailSender& sender, const std::string& reason = {});
SmtpActions mail_timer_elapsed(MailSender& sender);

void apply_mail_actions(const SmtpActions& actions, MailSocket& socket);

// The mail queue: alert mails waiting while a mail is in transit, at most kMailQueueLimit.
// New mails go to the end; the update cycle takes from the front, so the oldest goes first.
using MailQueue = std::deque<QueuedMail>;
inline constexpr std::size_t kMailQueueLimit = 100;

// Starts a mail over `socket`, or appends it to the queue when the sender is busy (or there
// is no socket to send with). A full queue drops its oldest mail, noted in the problems.
void send_or_queue(MailSender& sender, MailQueue& queue, const Settings& settings, const QueuedMail& mail,
                   MailSocket* socket);
// Once per update cycle: starts the oldest queued mail when the sender is free.
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
