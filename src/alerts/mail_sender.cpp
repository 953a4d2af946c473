#include "alerts/mail_sender.h"

#include <cctype>

#include "platform/mail_socket.h"

namespace {

constexpr const char* kCrLf = "\r\n";
// A server streaming bytes without ever ending a line is dropped rather than buffered forever.
constexpr std::size_t kMaxPending = 64 * 1024;

SmtpAction send(std::string bytes) {
    return SmtpAction{SmtpAction::send, std::move(bytes), 0};
}
SmtpAction timer(int ms) {
    return SmtpAction{SmtpAction::start_timer, {}, ms};
}

// Ends the dialogue from our side: the mail (if not yet delivered) is lost.
void close_now(MailSender& s, SmtpActions& out) {
    s.state = SmtpState::closed;
    s.pausing = false;
    s.pending.clear();
    out.push_back(SmtpAction{SmtpAction::stop_timer, {}, 0});
    out.push_back(SmtpAction{SmtpAction::close, {}, 0});
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

// One reply in the current state.
void on_reply(MailSender& s, const std::string& reply, SmtpActions& out) {
    const std::string code = reply.substr(0, 3);
    switch (s.state) {
        case SmtpState::CONNECT:
            out.push_back(send(std::string("HELO ") + kHeloDomain + kCrLf));
            s.state = SmtpState::HELO;
            break;
        case SmtpState::HELO:
            out.push_back(send(s.mail.mail_from));
            s.state = SmtpState::MAILFROM;
            break;
        case SmtpState::MAILFROM:
            out.push_back(send(s.mail.recipient));
            s.state = SmtpState::RCPT;
            break;
        case SmtpState::RCPT:
            if (code != "250") return close_now(s, out);
            out.push_back(send(std::string("DATA ") + kCrLf));
            s.state = SmtpState::DATA;
            break;
        case SmtpState::DATA:
            if (code != "354") return close_now(s, out);
            out.push_back(send(s.mail.headers));
            s.pausing = true;
            out.push_back(timer(kBodyPauseMs));
            return;
        case SmtpState::BODY:
            if (code != "250") return close_now(s, out);
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

// Handles every complete reply received so far (not while the body is still to be sent).
void drain(MailSender& s, SmtpActions& out) {
    std::string reply;
    while (s.busy() && !s.pausing && take_reply(s.pending, reply)) on_reply(s, reply, out);
    if (s.busy() && s.pending.size() > kMaxPending) close_now(s, out);
}

}  // namespace

ServerAddress parse_smtp_server(const std::string& setting) {
    ServerAddress a;
    a.host = setting;
    const std::size_t colon = setting.rfind(':');
    if (colon == std::string::npos || colon + 1 >= setting.size()) return a;
    const std::string digits = setting.substr(colon + 1);
    if (digits.size() > 5) return a;
    int port = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return a;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return a;
    a.host = setting.substr(0, colon);
    a.port = port;
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

PreparedMail prepare_mail(const Settings& settings, const std::string& message) {
    const std::string& sender = settings.EmailAlertMail;
    const std::string& receiver = settings.EmailAlertDefault;
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
    return m;
}

StartMail start_mail(MailSender& sender, const Settings& settings, const std::string& message, SmtpActions& out) {
    if (sender.busy()) return StartMail::busy;
    sender.mail = prepare_mail(settings, message);
    sender.pending.clear();
    sender.pausing = false;
    const ServerAddress server = parse_smtp_server(settings.EmailAlertSMTP);
    sender.state = SmtpState::CONNECT;
    out.push_back(SmtpAction{SmtpAction::connect, server.host, server.port});
    out.push_back(timer(sender.reply_timeout_ms));
    return StartMail::started;
}

SmtpActions mail_connected(MailSender& /*sender*/) {
    // The server's greeting, not the connection, moves the dialogue on.
    return {};
}

SmtpActions mail_received(MailSender& sender, const std::string& bytes) {
    SmtpActions out;
    if (!sender.busy()) return out;
    sender.pending += bytes;
    drain(sender, out);
    return out;
}

SmtpActions mail_closed(MailSender& sender) {
    SmtpActions out;
    if (sender.busy()) close_now(sender, out);
    return out;
}

SmtpActions mail_timer_elapsed(MailSender& sender) {
    SmtpActions out;
    if (!sender.busy()) return out;
    if (!sender.pausing) {
        close_now(sender, out);  // no reply in time
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
            case SmtpAction::close: socket.close(); break;
            case SmtpAction::start_timer: socket.start_timer(a.number); break;
            case SmtpAction::stop_timer: socket.stop_timer(); break;
        }
    }
}

void send_or_queue(MailSender& sender, MailQueue& queue, const Settings& settings, const std::string& message,
                   MailSocket* socket) {
    SmtpActions out;
    if (socket == nullptr || start_mail(sender, settings, message, out) == StartMail::busy) {
        queue.push_back(message);
        return;
    }
    apply_mail_actions(out, *socket);
}

void work_off_queue(MailSender& sender, MailQueue& queue, const Settings& settings, MailSocket* socket) {
    if (queue.empty() || socket == nullptr) return;
    SmtpActions out;
    if (start_mail(sender, settings, queue.back(), out) != StartMail::started) return;
    queue.pop_back();
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
