#include "alerts/mail_sender.h"

#include <cctype>
#include <optional>

#include "platform/mail_socket.h"

namespace {

constexpr const char* kCrLf = "\r\n";
// A server streaming bytes without ever ending a line is dropped rather than buffered forever.
constexpr std::size_t kMaxPending = 64 * 1024;
// Server texts quoted in a problem line are cut to this length.
constexpr std::size_t kMaxQuoted = 200;

SmtpAction send(std::string bytes) {
    return SmtpAction{SmtpAction::send, std::move(bytes), 0};
}
SmtpAction timer(int ms) {
    return SmtpAction{SmtpAction::start_timer, {}, ms};
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string base64(const std::string& in) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((in.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < in.size(); i += 3) {
        const std::size_t n = in.size() - i < 3 ? in.size() - i : 3;
        unsigned v = static_cast<unsigned char>(in[i]) << 16;
        if (n > 1) v |= static_cast<unsigned char>(in[i + 1]) << 8;
        if (n > 2) v |= static_cast<unsigned char>(in[i + 2]);
        out += kDigits[(v >> 18) & 63];
        out += kDigits[(v >> 12) & 63];
        out += n > 1 ? kDigits[(v >> 6) & 63] : '=';
        out += n > 2 ? kDigits[v & 63] : '=';
    }
    return out;
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
    return s.mail.server.host + ":" + std::to_string(s.mail.server.port);
}

// Ends the dialogue from our side. A mail not yet delivered is lost; with `why` it is
// reported. The password does not outlive the connection.
void close_now(MailSender& s, SmtpActions& out, const std::string& why = {}) {
    if (!why.empty() && !s.delivered) s.problems.push_back({"Alert mail not sent: " + why, s.mail.log_file});
    s.state = SmtpState::closed;
    s.pausing = false;
    s.pending.clear();
    s.mail.password.clear();
    out.push_back(SmtpAction{SmtpAction::stop_timer, {}, 0});
    out.push_back(SmtpAction{SmtpAction::close, {}, 0});
}

void refused(MailSender& s, SmtpActions& out, const std::string& command, const std::string& reply) {
    close_now(s, out, "the SMTP server " + server_name(s) + " refused " + command + ": \"" + quoted(reply) + "\".");
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

// A body line that starts with '.' is doubled, so the message cannot end the data early.
std::string dot_stuffed(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    bool line_start = true;
    for (char c : text) {
        if (line_start && c == '.') out += '.';
        out += c;
        line_start = c == '\n';
    }
    return out;
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
    out.push_back(SmtpAction{SmtpAction::start_tls, {}, 0});
}

// The login, over TLS only. PLAIN goes first when the server offers both.
void begin_login(MailSender& s, const Extensions& offered, SmtpActions& out) {
    if (!s.encrypted) {
        return close_now(s, out, "the SMTP server " + server_name(s) +
                                     " offers no STARTTLS; the password is not sent over an unencrypted connection.");
    }
    if (offered.plain) {
        out.push_back(send("AUTH PLAIN " + base64(std::string(1, '\0') + s.mail.user + '\0' + s.mail.password) + kCrLf));
        s.state = SmtpState::AUTH;
    } else if (offered.login) {
        out.push_back(send(std::string("AUTH LOGIN") + kCrLf));
        s.state = SmtpState::AUTH_LOGIN;
    } else {
        close_now(s, out, "the SMTP server " + server_name(s) + " offers no login method this program speaks (PLAIN, LOGIN).");
    }
}

void login_refused(MailSender& s, SmtpActions& out, const std::string& reply) {
    close_now(s, out, "the SMTP server " + server_name(s) + " refused the login of user \"" + s.mail.user + "\": \"" +
                          quoted(reply) + "\".");
}

void on_ehlo_reply(MailSender& s, const std::string& reply, SmtpActions& out) {
    const bool required = s.mail.authenticate || s.encrypted;
    if (code_of(reply) != "250") {
        if (required) return refused(s, out, "EHLO", reply);
        // A server that announced ESMTP but does not speak it gets the plain dialogue.
        s.extended = false;
        out.push_back(send(std::string("HELO ") + kHeloDomain + kCrLf));
        s.state = SmtpState::HELO;
        return;
    }
    const Extensions offered = extensions_of(reply);
    if (!s.encrypted && offered.starttls) {
        out.push_back(send(std::string("STARTTLS") + kCrLf));
        s.state = SmtpState::STARTTLS;
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
            // The greeting is not examined by the plain dialogue; "ESMTP" in it, a login to
            // make or a connection already encrypted choose the extended one.
            if (s.mail.authenticate || s.encrypted || upper(reply).find("ESMTP") != std::string::npos) {
                send_ehlo(s, out);
            } else {
                out.push_back(send(std::string("HELO ") + kHeloDomain + kCrLf));
                s.state = SmtpState::HELO;
            }
            break;
        case SmtpState::HELO:
            send_mail_from(s, out);
            break;
        case SmtpState::EHLO:
            on_ehlo_reply(s, reply, out);
            if (!s.busy()) return;
            break;
        case SmtpState::STARTTLS:
            if (code != "220") return refused(s, out, "STARTTLS", reply);
            // Bytes sent before the handshake could be planted by anyone on the way.
            if (!s.pending.empty()) {
                return close_now(s, out, "the SMTP server " + server_name(s) + " sent data before TLS started.");
            }
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
            // The plain dialogue never looked at this reply; the extended one does.
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
            if (code != "250") return refused(s, out, "the mail", reply);
            s.delivered = true;
            out.push_back(send(std::string("QUIT") + kCrLf));
            s.state = SmtpState::QUIT;
            break;
        case SmtpState::QUIT:
            // The mail is delivered; a server that keeps the line open after answering QUIT
            // must not keep the sender busy.
            return close_now(s, out);
        case SmtpState::closed:
            return;
    }
    out.push_back(timer(s.reply_timeout_ms));
}

// Handles every complete reply received so far (not while the body is still to be sent, nor
// while the handshake runs).
void drain(MailSender& s, SmtpActions& out) {
    std::string reply;
    while (s.busy() && !s.pausing && s.state != SmtpState::TLS && take_reply(s.pending, reply)) on_reply(s, reply, out);
    if (s.busy() && s.pending.size() > kMaxPending) {
        close_now(s, out, "the SMTP server " + server_name(s) + " sent a reply without end.");
    }
}

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

std::string mailer_name() {
    const std::string version = KELVANTO_VERSION;
    const std::size_t dot = version.find('.');
    const std::string major = version.substr(0, dot);
    std::string minor = "0";
    if (dot != std::string::npos) {
        const std::size_t end = version.find('.', dot + 1);
        minor = version.substr(dot + 1, end == std::string::npos ? std::string::npos : end - dot - 1);
    }
    return "Kelvanto v" + std::to_string(std::stoi(major)) + "." + std::to_string(std::stoi(minor));
}

PreparedMail prepare_mail(const Settings& settings, const QueuedMail& queued) {
    const std::string& sender = settings.EmailAlertMail;
    const std::string& receiver = settings.EmailAlertDefault;
    const std::string& message = queued.message;
    const bool in_subject = settings.EmailSubBody == 1;
    PreparedMail m;
    m.mail_from = "Mail From: " + sender + kCrLf;
    m.recipient = "rcpt to: <" + receiver + ">" + kCrLf;
    m.headers = "From: Kelvanto <" + sender + ">" + kCrLf;
    m.headers += "TO: <" + receiver + ">" + kCrLf;
    m.headers += (in_subject ? "Subject: " + message : std::string("Subject: Alert from Kelvanto")) + kCrLf;
    m.headers += std::string("Importance: High") + kCrLf;
    m.headers += std::string("MIME-Version: 1.0") + kCrLf;
    m.headers += "X-Mailer: " + mailer_name() + kCrLf;
    m.headers += std::string("Content-Type: text/html") + kCrLf;
    m.headers += std::string("Content-Transfer-Encoding: 7bit") + kCrLf;
    m.body = in_subject ? std::string("\r\n\r\n") : std::string(kCrLf) + dot_stuffed(message) + kCrLf;
    m.sender = sender;
    m.receiver = receiver;
    m.server = parse_smtp_server(settings.EmailAlertSMTP);
    m.authenticate = settings.EmailAuth == 1;
    if (m.authenticate) {
        m.user = settings.EmailUsername;
        m.password = settings.EmailPassword;
    }
    m.log_file = queued.log_file;
    return m;
}

StartMail start_mail(MailSender& sender, const Settings& settings, const QueuedMail& mail, SmtpActions& out) {
    if (sender.busy()) return StartMail::busy;
    sender.mail = prepare_mail(settings, mail);
    sender.pending.clear();
    sender.pausing = false;
    sender.extended = false;
    sender.encrypted = false;
    sender.greeted = false;
    sender.delivered = false;
    sender.state = SmtpState::CONNECT;
    out.push_back(SmtpAction{SmtpAction::connect, sender.mail.server.host, sender.mail.server.port});
    out.push_back(timer(sender.reply_timeout_ms));
    return StartMail::started;
}

SmtpActions mail_connected(MailSender& sender) {
    SmtpActions out;
    // The server's greeting, not the connection, moves the plain dialogue on; on the
    // implicit-TLS port the handshake comes first.
    if (sender.state == SmtpState::CONNECT && sender.mail.server.port == sender.implicit_tls_port) {
        start_tls(sender, out);
        out.push_back(timer(sender.reply_timeout_ms));
    }
    return out;
}

SmtpActions mail_received(MailSender& sender, const std::string& bytes) {
    SmtpActions out;
    if (!sender.busy()) return out;
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
    if (!sender.busy()) return out;
    close_now(sender, out, "no secure connection to the SMTP server " + server_name(sender) + ": " + quoted(reason) + ".");
    return out;
}

SmtpActions mail_closed(MailSender& sender, const std::string& reason) {
    SmtpActions out;
    if (!sender.busy()) return out;
    const std::string because = reason.empty() ? "." : " (" + quoted(reason) + ").";
    if (sender.state == SmtpState::CONNECT && !sender.greeted && !sender.encrypted) {
        close_now(sender, out, "no connection to the SMTP server " + server_name(sender) + because);
    } else {
        close_now(sender, out, "the SMTP server " + server_name(sender) + " closed the connection" + because);
    }
    return out;
}

SmtpActions mail_timer_elapsed(MailSender& sender) {
    SmtpActions out;
    if (!sender.busy()) return out;
    if (!sender.pausing) {
        close_now(sender, out, "the SMTP server " + server_name(sender) + " did not answer within " +
                                   std::to_string((sender.reply_timeout_ms + 999) / 1000) + " seconds.");
        return out;
    }
    sender.pausing = false;
    sender.state = SmtpState::BODY;
    out.push_back(send(sender.mail.body + "." + kCrLf));
    out.push_back(timer(sender.reply_timeout_ms));
    drain(sender, out);
    return out;
}

void apply_mail_actions(const SmtpActions& actions, MailSocket& socket) {
    for (const SmtpAction& a : actions) {
        switch (a.kind) {
            case SmtpAction::connect: socket.connect_to(a.bytes, a.number); break;
            case SmtpAction::send: socket.write(a.bytes); break;
            case SmtpAction::start_tls: socket.start_tls(); break;
            case SmtpAction::close: socket.close(); break;
            case SmtpAction::start_timer: socket.start_timer(a.number); break;
            case SmtpAction::stop_timer: socket.stop_timer(); break;
        }
    }
}

void send_or_queue(MailSender& sender, MailQueue& queue, const Settings& settings, const QueuedMail& mail,
                   MailSocket* socket) {
    SmtpActions out;
    if (socket != nullptr && start_mail(sender, settings, mail, out) == StartMail::started) {
        apply_mail_actions(out, *socket);
        return;
    }
    queue.push_back(mail);
    if (queue.size() <= kMailQueueLimit) return;
    const QueuedMail& oldest = queue.front();
    sender.problems.push_back({"Alert mail dropped: " + std::to_string(kMailQueueLimit) +
                                   " mails were waiting already; the oldest was dropped: " + oldest.message,
                               oldest.log_file});
    queue.pop_front();
}

void work_off_queue(MailSender& sender, MailQueue& queue, const Settings& settings, MailSocket* socket) {
    if (queue.empty() || socket == nullptr) return;
    SmtpActions out;
    if (start_mail(sender, settings, queue.front(), out) != StartMail::started) return;
    queue.pop_front();
    apply_mail_actions(out, *socket);
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
