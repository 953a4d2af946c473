#include "alerts/mail_sender.h"

#include <cctype>
#include <random>

#include "platform/mail_socket.h"

namespace {

constexpr const char* kCrLf = "\r\n";
// A server streaming bytes without ever ending a line is dropped rather than buffered forever.
constexpr std::size_t kMaxPending = 64 * 1024;
// Server texts quoted in a problem line are cut to this length.
constexpr std::size_t kMaxQuoted = 200;
constexpr const char* kMayHaveArrived = " It may have arrived all the same.";

SmtpAction send(std::string bytes) {
    return SmtpAction{SmtpAction::Kind::send, std::move(bytes), 0};
}
SmtpAction timer(int ms) {
    return SmtpAction{SmtpAction::Kind::start_timer, {}, ms};
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string seconds_text(int ms) {
    const int seconds = (ms + 999) / 1000;
    return std::to_string(seconds) + (seconds == 1 ? " second" : " seconds");
}

// A server's reply made fit for a line of text: printable characters only, the lines of a
// multi-line reply joined with " / ", cut to a sensible length.
std::string quoted(const std::string& reply) {
    std::string out;
    bool line_break = false;
    for (char c : reply) {
        if (c == '\r' || c == '\n') {
            line_break = !out.empty();
            continue;
        }
        if (line_break) out += " / ";
        line_break = false;
        out += (c >= 0x20 && c < 0x7f) ? c : '?';
        if (out.size() >= kMaxQuoted) return out + "...";
    }
    return out;
}

std::string server_name(const MailSender& s) {
    return "the SMTP server " + s.mail.server.host + ":" + std::to_string(s.mail.server.port);
}

bool implicit_tls(const MailSender& s) {
    return s.mail.security == MailSecurity::tls ||
           (s.mail.security == MailSecurity::automatic && s.mail.server.port == s.implicit_tls_port);
}

void connect(MailSender& s, SmtpActions& out) {
    s.pending.clear();
    s.pausing = s.extended = s.encrypted = s.connected = s.greeted = false;
    s.state = SmtpState::CONNECT;
    out.push_back(SmtpAction{SmtpAction::Kind::connect, s.mail.server.host, s.mail.server.port});
    out.push_back(timer(s.reply_timeout_ms));
}

// Ends the dialogue from our side. A mail not yet delivered is lost; with `why` it is
// reported. The password does not outlive the mail.
void close_now(MailSender& s, SmtpActions& out, const std::string& why = {}) {
    if (!why.empty() && !s.delivered) {
        s.problems.push_back({"Alert mail not sent: " + why, s.mail.log_file, !s.failing});
        s.failing = true;
    }
    s.state = SmtpState::closed;
    s.pausing = false;
    s.pending.clear();
    s.mail.password.clear();
    out.push_back(SmtpAction{SmtpAction::Kind::stop_timer, {}, 0});
    out.push_back(SmtpAction{SmtpAction::Kind::close, {}, 0});
}

// A failure that may pass: the connection is dropped and the mail tried again after the next
// wait, while waits are left.
void try_again(MailSender& s, SmtpActions& out, const std::string& why) {
    if (s.retries >= s.retry_delays_ms.size()) {
        const std::string tries = s.retries > 0 ? " Tried " + std::to_string(s.retries + 1) + " times." : "";
        return close_now(s, out, why + tries);
    }
    const int wait = s.retry_delays_ms[s.retries++];
    s.problems.push_back({"Alert mail delayed: " + why + " Trying again in " + seconds_text(wait) + ".", {}, false});
    s.state = SmtpState::WAIT;
    s.pausing = false;
    s.pending.clear();
    out.push_back(SmtpAction{SmtpAction::Kind::close, {}, 0});
    out.push_back(timer(wait));
}

void refused(MailSender& s, SmtpActions& out, const std::string& command, const std::string& reply) {
    const std::string why = server_name(s) + " refused " + command + ": \"" + quoted(reply) + "\".";
    if (!reply.empty() && reply[0] == '4') return try_again(s, out, why);  // "try again later"
    close_now(s, out, why);
}

// Takes one complete reply off the front of `pending`: lines up to one whose fourth character
// is not '-' (the last line of a multi-line reply, or a short line).
bool take_reply(std::string& pending, std::string& reply) {
    std::size_t start = 0;
    while (true) {
        const std::size_t nl = pending.find('\n', start);
        if (nl == std::string::npos) return false;
        std::string line = pending.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = nl + 1;
        if (line.size() < 4 || line[3] != '-') {
            reply = pending.substr(0, start);
            pending.erase(0, start);
            return true;
        }
    }
}

// What an EHLO reply offers: STARTTLS and the login methods this sender speaks.
struct Extensions {
    bool starttls = false;
    bool plain = false;
    bool login = false;
};

Extensions extensions_of(const std::string& reply) {
    Extensions e;
    std::size_t start = reply.find('\n');  // the first line greets; the extensions follow
    while (start != std::string::npos && start + 1 < reply.size()) {
        const std::size_t end = reply.find('\n', start + 1);
        std::string line = upper(reply.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end;
        if (line.size() < 4) continue;
        const std::string keyword = line.substr(4);
        if (keyword == "STARTTLS") e.starttls = true;
        // "AUTH PLAIN LOGIN", or the older "AUTH=PLAIN LOGIN".
        if (keyword.rfind("AUTH", 0) == 0 && keyword.size() > 4 && (keyword[4] == ' ' || keyword[4] == '=')) {
            const std::string methods = " " + keyword.substr(5) + " ";
            if (methods.find(" PLAIN ") != std::string::npos) e.plain = true;
            if (methods.find(" LOGIN ") != std::string::npos) e.login = true;
        }
    }
    return e;
}

std::string code_of(const std::string& reply) {
    return reply.substr(0, 3);
}

void send_ehlo(MailSender& s, SmtpActions& out) {
    out.push_back(send(std::string("EHLO ") + kHeloDomain + kCrLf));
    s.extended = true;
    s.state = SmtpState::EHLO;
}

void send_mail_from(MailSender& s, SmtpActions& out) {
    out.push_back(send(s.extended ? "MAIL FROM:<" + s.mail.sender + ">" + kCrLf : s.mail.mail_from));
    s.state = SmtpState::MAILFROM;
}

void start_tls(MailSender& s, SmtpActions& out) {
    s.state = SmtpState::TLS;
    s.pending.clear();
    out.push_back(SmtpAction{SmtpAction::Kind::start_tls, {}, 0});
}

// The login, over TLS only. PLAIN goes first when the server offers both.
void begin_login(MailSender& s, const Extensions& offered, SmtpActions& out) {
    if (!s.encrypted) {
        const std::string why = s.mail.security == MailSecurity::none ? " is reached without encryption, as chosen;"
                                                                       : " offers no STARTTLS;";
        return close_now(s, out, server_name(s) + why + " the password is not sent over an unencrypted connection.");
    }
    if (offered.plain) {
        out.push_back(send("AUTH PLAIN " + base64(std::string(1, '\0') + s.mail.user + '\0' + s.mail.password) + kCrLf));
        s.state = SmtpState::AUTH;
    } else if (offered.login) {
        out.push_back(send(std::string("AUTH LOGIN") + kCrLf));
        s.state = SmtpState::AUTH_LOGIN;
    } else {
        close_now(s, out, server_name(s) + " offers no login method this program speaks (PLAIN, LOGIN).");
    }
}

void login_refused(MailSender& s, SmtpActions& out, const std::string& reply) {
    refused(s, out, "the login of user \"" + s.mail.user + "\"", reply);
}

void on_ehlo_reply(MailSender& s, const std::string& reply, SmtpActions& out) {
    if (code_of(reply) != "250") {
        // HELO cannot start TLS or log in.
        if (s.mail.authenticate || s.encrypted || s.mail.security == MailSecurity::starttls) {
            return refused(s, out, "EHLO", reply);
        }
        s.extended = false;
        out.push_back(send(std::string("HELO ") + kHeloDomain + kCrLf));
        s.state = SmtpState::HELO;
        return;
    }
    const Extensions offered = extensions_of(reply);
    if (!s.encrypted && offered.starttls && s.mail.security != MailSecurity::none) {
        out.push_back(send(std::string("STARTTLS") + kCrLf));
        s.state = SmtpState::STARTTLS;
    } else if (!s.encrypted && s.mail.security == MailSecurity::starttls) {
        close_now(s, out, server_name(s) + " offers no STARTTLS; encryption is required, so nothing is sent in clear.");
    } else if (s.mail.authenticate) {
        begin_login(s, offered, out);
    } else {
        send_mail_from(s, out);
    }
}

// One reply in the current state.
void on_reply(MailSender& s, const std::string& reply, SmtpActions& out) {
    const std::string code = code_of(reply);
    switch (s.state) {
        case SmtpState::CONNECT:
            s.greeted = true;
            if (!code.empty() && (code[0] == '4' || code[0] == '5')) return refused(s, out, "the connection", reply);
            send_ehlo(s, out);
            break;
        case SmtpState::HELO:
            send_mail_from(s, out);
            break;
        case SmtpState::EHLO:
            on_ehlo_reply(s, reply, out);
            if (s.state == SmtpState::closed || s.state == SmtpState::WAIT) return;
            break;
        case SmtpState::STARTTLS:
            if (code != "220") return refused(s, out, "STARTTLS", reply);
            // Bytes sent before the handshake could be planted by anyone on the way.
            if (!s.pending.empty()) return close_now(s, out, server_name(s) + " sent data before TLS started.");
            start_tls(s, out);
            break;
        case SmtpState::TLS:
            return refused(s, out, "STARTTLS", reply);  // no plain replies while the handshake runs
        case SmtpState::AUTH:
        case SmtpState::AUTH_PASS:
            if (code != "235") return login_refused(s, out, reply);
            send_mail_from(s, out);
            break;
        case SmtpState::AUTH_LOGIN:
        case SmtpState::AUTH_USER: {
            if (code != "334") return login_refused(s, out, reply);
            const bool user = s.state == SmtpState::AUTH_LOGIN;
            out.push_back(send(base64(user ? s.mail.user : s.mail.password) + kCrLf));
            s.state = user ? SmtpState::AUTH_USER : SmtpState::AUTH_PASS;
            break;
        }
        case SmtpState::MAILFROM:
            // The dialogue after HELO never looked at this reply; the extended one does.
            if (s.extended && code != "250") return refused(s, out, "the sender <" + s.mail.sender + ">", reply);
            out.push_back(send(s.extended ? "RCPT TO:<" + s.mail.receiver + ">" + kCrLf : s.mail.recipient));
            s.state = SmtpState::RCPT;
            break;
        case SmtpState::RCPT:
            if (code != "250" && !(s.extended && code == "251")) {
                return refused(s, out, "the receiver <" + s.mail.receiver + ">", reply);
            }
            out.push_back(send(s.extended ? std::string("DATA") + kCrLf : std::string("DATA ") + kCrLf));
            s.state = SmtpState::DATA;
            break;
        case SmtpState::DATA:
            if (code != "354") return refused(s, out, "DATA", reply);
            out.push_back(send(s.mail.headers));
            s.pausing = true;
            out.push_back(timer(s.body_pause_ms));
            return;
        case SmtpState::BODY:
            // After the end of the data a mail is not sent twice: the server may hold it.
            if (code != "250") return close_now(s, out, server_name(s) + " refused the mail: \"" + quoted(reply) + "\".");
            s.delivered = true;
            s.failing = false;
            out.push_back(send(std::string("QUIT") + kCrLf));
            s.state = SmtpState::QUIT;
            break;
        case SmtpState::QUIT:
            // The mail is delivered; a server that keeps the line open after answering QUIT
            // must not keep the sender busy.
            return close_now(s, out);
        case SmtpState::closed:
        case SmtpState::WAIT:
            return;
    }
    out.push_back(timer(s.reply_timeout_ms));
}

// Handles every complete reply received so far (not while the body is still to be sent, nor
// while the handshake runs).
void drain(MailSender& s, SmtpActions& out) {
    std::string reply;
    const auto reading = [&s] {
        return s.busy() && s.state != SmtpState::WAIT && !s.pausing && s.state != SmtpState::TLS;
    };
    while (reading() && take_reply(s.pending, reply)) on_reply(s, reply, out);
    if (reading() && s.pending.size() > kMaxPending) close_now(s, out, server_name(s) + " sent a reply without end.");
}

// What the server was asked last, for a reply that does not come.
std::string awaited(SmtpState state) {
    switch (state) {
        case SmtpState::HELO: return "HELO";
        case SmtpState::EHLO: return "EHLO";
        case SmtpState::STARTTLS: return "STARTTLS";
        case SmtpState::MAILFROM: return "MAIL FROM";
        case SmtpState::RCPT: return "RCPT TO";
        case SmtpState::DATA: return "DATA";
        default: return "the login";
    }
}

std::string unique_token(MailSender& s) {
    if (s.salt == 0) {
        std::random_device random;
        s.salt = (static_cast<std::uint64_t>(random()) << 32 | random()) | 1;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    for (int shift = 60; shift >= 0; shift -= 4) token += kHex[(s.salt >> shift) & 15];
    return token + "." + std::to_string(++s.serial);
}

}  // namespace

StartMail start_mail(MailSender& sender, const Settings& settings, const QueuedMail& mail, SmtpActions& out) {
    if (sender.busy()) return StartMail::busy;
    sender.current = mail;
    sender.mail = prepare_mail(settings, mail, unique_token(sender));
    sender.delivered = false;
    sender.retries = 0;
    connect(sender, out);
    return StartMail::started;
}

SmtpActions mail_connected(MailSender& sender) {
    SmtpActions out;
    if (sender.state != SmtpState::CONNECT) return out;
    sender.connected = true;
    // The server's greeting, not the connection, moves the dialogue on; with TLS from the
    // first byte the handshake comes first.
    if (implicit_tls(sender)) {
        start_tls(sender, out);
        out.push_back(timer(sender.reply_timeout_ms));
    }
    return out;
}

SmtpActions mail_received(MailSender& sender, const std::string& bytes) {
    SmtpActions out;
    if (!sender.busy() || sender.state == SmtpState::WAIT) return out;
    sender.connected = true;  // bytes came over it
    sender.pending += bytes;
    drain(sender, out);
    return out;
}

SmtpActions mail_tls_ready(MailSender& sender) {
    SmtpActions out;
    if (sender.state != SmtpState::TLS) return out;
    sender.encrypted = true;
    if (sender.greeted) {
        send_ehlo(sender, out);  // what the server offers is asked again over TLS
    } else {
        sender.state = SmtpState::CONNECT;
    }
    out.push_back(timer(sender.reply_timeout_ms));
    drain(sender, out);
    return out;
}

SmtpActions mail_tls_failed(MailSender& sender, const std::string& reason) {
    SmtpActions out;
    if (!sender.busy() || sender.state == SmtpState::WAIT) return out;
    std::string why = "no secure connection to " + server_name(sender) + ": " + quoted(reason) + ".";
    if (!sender.greeted) {
        why += " If the server starts in clear, choose \"Automatic (STARTTLS when offered)\" or \"STARTTLS required\" "
               "as its encryption on the E-mail page.";
    }
    close_now(sender, out, why);
    return out;
}

SmtpActions mail_closed(MailSender& sender, const std::string& reason) {
    SmtpActions out;
    if (!sender.busy() || sender.state == SmtpState::WAIT) return out;
    if (sender.delivered) {
        close_now(sender, out);
        return out;
    }
    const std::string because = reason.empty() ? "." : " (" + quoted(reason) + ").";
    if (!sender.connected) {
        try_again(sender, out, "no connection to " + server_name(sender) + because);
    } else if (!sender.greeted) {
        try_again(sender, out, server_name(sender) + " closed the connection before its greeting" + because);
    } else if (sender.state == SmtpState::BODY) {
        close_now(sender, out, server_name(sender) + " closed the connection before it confirmed the mail" + because +
                                   kMayHaveArrived);
    } else {
        try_again(sender, out, server_name(sender) + " closed the connection" + because);
    }
    return out;
}

SmtpActions mail_timer_elapsed(MailSender& sender) {
    SmtpActions out;
    if (!sender.busy()) return out;
    const std::string within = " within " + seconds_text(sender.reply_timeout_ms) + ".";
    if (sender.state == SmtpState::WAIT) {
        connect(sender, out);
    } else if (sender.pausing) {
        sender.pausing = false;
        sender.state = SmtpState::BODY;
        out.push_back(send(sender.mail.body + "." + kCrLf));
        out.push_back(timer(sender.reply_timeout_ms));
        drain(sender, out);
    } else if (!sender.connected) {
        close_now(sender, out, "no connection to " + server_name(sender) + within);
    } else if (sender.state == SmtpState::TLS) {
        close_now(sender, out, "the TLS handshake with " + server_name(sender) + " did not end" + within);
    } else if (!sender.greeted) {
        const char* hint = sender.encrypted ? ""
                                            : " A server that expects TLS from the first byte waits so: then choose "
                                              "\"TLS from the first byte\" as its encryption on the E-mail page.";
        close_now(sender, out, server_name(sender) + " took the connection but sent no greeting" + within + hint);
    } else if (sender.state == SmtpState::BODY) {
        close_now(sender, out, server_name(sender) + " did not confirm the mail" + within + kMayHaveArrived);
    } else {
        close_now(sender, out, server_name(sender) + " did not answer " + awaited(sender.state) + within);
    }
    return out;
}

void apply_mail_actions(const SmtpActions& actions, MailSocket& socket) {
    for (const SmtpAction& a : actions) {
        switch (a.kind) {
            case SmtpAction::Kind::connect: socket.connect_to(a.bytes, a.number); break;
            case SmtpAction::Kind::send: socket.write(a.bytes); break;
            case SmtpAction::Kind::start_tls: socket.start_tls(); break;
            case SmtpAction::Kind::close: socket.close(); break;
            case SmtpAction::Kind::start_timer: socket.start_timer(a.number); break;
            case SmtpAction::Kind::stop_timer: socket.stop_timer(); break;
        }
    }
}
