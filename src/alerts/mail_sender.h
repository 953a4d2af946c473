#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "alerts/mail_message.h"

class MailSocket;

// The SMTP dialogue of one alert mail at a time, as a state machine: events go in (connected,
// bytes arrived, TLS up or failed, closed or error, timer elapsed), actions come out (connect,
// send, start TLS, close, timer). Replies are collected until complete, so a reply spread over
// several reads, or a multi-line reply, counts once.
//
// The dialogue opens with EHLO. STARTTLS is used whenever the server offers it (unless
// encryption is switched off), then EHLO again, AUTH PLAIN or LOGIN when authentication is
// on, and the envelope in its standard form. A server that refuses EHLO gets HELO and the
// envelope bytes every earlier version sent, unless a login or encryption is required. A
// failure never falls back to a plain connection.
//
// A connection that breaks off before the mail's end was sent, or a reply "try again later"
// (4xx), costs a try, not the mail: it is tried again after the waits of `retry_delays_ms`.
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
    BODY,       // the body and its end are sent
    QUIT,
    WAIT        // the connection broke off; the mail is tried again when the timer elapses
};

// A mail that was not delivered, or dropped from a full queue, or delayed: the line for the
// program's messages, the rule's log file that gets it too, and whether the desktop user is
// told (the first failure after a mail went through, not every one of a run).
struct MailProblem {
    std::string text;
    std::string log_file;
    bool tell_user = false;
};

struct SmtpAction {
    // Scoped, so the kinds do not shadow the C library's connect, send and close.
    enum class Kind { connect, send, start_tls, close, start_timer, stop_timer } kind;
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
    QueuedMail current;  // the mail in transit
    PreparedMail mail;   // its texts
    std::string pending;     // received bytes that do not yet make a complete reply
    bool pausing = false;    // the header block is out; the body follows when the timer elapses
    bool extended = false;   // the EHLO dialogue
    bool encrypted = false;  // TLS is up on this connection
    bool connected = false;  // the connection to the server stands
    bool greeted = false;    // the server's greeting has arrived
    bool delivered = false;  // the server accepted the mail
    // A server that stops answering costs this mail only: the connection is dropped after
    // this long without a reply, and the queue moves on.
    int reply_timeout_ms = kDefaultReplyTimeoutMs;
    int body_pause_ms = kBodyPauseMs;
    // With automatic encryption, connections to this port are encrypted from the start.
    int implicit_tls_port = kImplicitTlsPort;
    std::vector<int> retry_delays_ms{10000, 60000, 300000};
    std::size_t retries = 0;  // of the mail in transit
    bool failing = false;     // the last mail failed and the desktop user was told
    std::uint64_t salt = 0;   // random, with `serial` it makes every Message-ID unique
    std::uint64_t serial = 0;
    // Mails that failed, waiting to be reported by the update cycle.
    std::vector<MailProblem> problems;
    bool busy() const { return state != SmtpState::closed; }
};

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
