#include "alerts/mail_message.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>

namespace {

constexpr const char* kCrLf = "\r\n";
// A header line longer than this (of at most 998 allowed) is sent as folded encoded words.
constexpr std::size_t kLongestPlainSubject = 900;
// Text bytes per encoded word: base64 of 45 bytes and the "=?UTF-8?B?" "?=" frame make 72.
constexpr std::size_t kEncodedWordBytes = 45;
constexpr std::size_t kLongestBodyLine = 998;

bool is_ascii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

bool is_control(char c) {
    return (c >= 0 && c < 0x20) || c == 0x7f;
}

// An address as it goes between angle brackets: no blank, control or bracket in it.
std::string address_safe(const std::string& address) {
    std::string out;
    for (char c : address) {
        if (!is_control(c) && c != ' ' && c != '<' && c != '>') out += c;
    }
    return out;
}

// The body text for "text/html": the characters HTML gives a meaning escaped, every line
// break (CR LF, a lone CR or a lone LF) made CR LF.
std::string html_lines(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += kCrLf;
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
    return out;
}

bool has_long_line(const std::string& text) {
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(kCrLf, start);
        if ((end == std::string::npos ? text.size() : end) - start > kLongestBodyLine) return true;
        if (end == std::string::npos) return false;
        start = end + 2;
    }
}

// The right-hand side of the Message-ID: the sender's domain where it is a plain host name.
std::string id_domain(const std::string& sender) {
    const std::size_t at = sender.rfind('@');
    std::string domain = at == std::string::npos ? std::string() : sender.substr(at + 1);
    for (char c : domain) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-') return "localhost";
    }
    return domain.empty() ? "localhost" : domain;
}

}  // namespace

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

std::string header_safe(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!is_control(text[i])) {
            out += text[i];
        } else if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r')) {
            out += ' ';  // CR LF together make one blank
        }
    }
    return out;
}

std::string subject_header(const std::string& text) {
    const std::string clean = header_safe(text);
    if (is_ascii(clean) && clean.size() <= kLongestPlainSubject) return "Subject: " + clean + kCrLf;
    std::string out = "Subject:";
    for (std::size_t pos = 0; pos < clean.size();) {
        std::size_t n = std::min(kEncodedWordBytes, clean.size() - pos);
        // A word ends before a UTF-8 continuation byte, so no character is cut in two.
        while (n > 1 && pos + n < clean.size() && (static_cast<unsigned char>(clean[pos + n]) & 0xC0) == 0x80) --n;
        if (pos > 0) out += kCrLf;
        out += " =?UTF-8?B?" + base64(clean.substr(pos, n)) + "?=";
        pos += n;
    }
    return out + kCrLf;
}

std::string mail_date(std::int64_t unix_seconds) {
    using namespace std::chrono;
    static constexpr const char* kDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const sys_seconds t{seconds{unix_seconds}};
    const sys_days day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss<seconds> time{t - day};
    char text[48];
    std::snprintf(text, sizeof text, "%s, %02u %s %04d %02d:%02d:%02d +0000", kDays[weekday{day}.c_encoding()],
                  static_cast<unsigned>(ymd.day()), kMonths[static_cast<unsigned>(ymd.month()) - 1],
                  static_cast<int>(ymd.year()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()), static_cast<int>(time.seconds().count()));
    return text;
}

std::string quoted_printable(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    std::size_t column = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += kCrLf;
            column = 0;
            ++i;
            continue;
        }
        const bool line_ends = i + 1 == text.size() || text[i + 1] == '\r';
        bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !line_ends);
        if (c == '.' && column == 0) literal = false;  // no line of the body starts with '.'
        const std::string piece = literal ? std::string(1, static_cast<char>(c))
                                          : std::string{'=', kHex[c >> 4], kHex[c & 15]};
        if (column + piece.size() > 75) {
            out += "=\r\n";  // a soft line break
            column = 0;
        }
        out += piece;
        column += piece.size();
    }
    return out;
}

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

PreparedMail prepare_mail(const Settings& settings, const QueuedMail& queued, const std::string& unique) {
    const std::string sender = address_safe(settings.EmailAlertMail);
    const std::string receiver = address_safe(settings.EmailAlertDefault);
    const bool in_subject = settings.EmailSubBody == 1;
    std::string body = in_subject ? std::string() : html_lines(queued.message);
    const bool seven_bit = is_ascii(body) && !has_long_line(body);
    if (!seven_bit) body = quoted_printable(body);
    const std::int64_t time = queued.time != 0 ? queued.time
                                               : std::chrono::duration_cast<std::chrono::seconds>(
                                                     std::chrono::system_clock::now().time_since_epoch())
                                                     .count();
    PreparedMail m;
    m.mail_from = "Mail From: " + sender + kCrLf;
    m.recipient = "rcpt to: <" + receiver + ">" + kCrLf;
    m.headers = "From: Kelvanto <" + sender + ">" + kCrLf;
    m.headers += "TO: <" + receiver + ">" + kCrLf;
    m.headers += subject_header(in_subject ? queued.message : std::string("Alert from Kelvanto"));
    m.headers += std::string("Importance: High") + kCrLf;
    m.headers += std::string("MIME-Version: 1.0") + kCrLf;
    m.headers += "X-Mailer: " + mailer_name() + kCrLf;
    m.headers += std::string("Content-Type: text/html; charset=utf-8") + kCrLf;
    m.headers += std::string("Content-Transfer-Encoding: ") + (seven_bit ? "7bit" : "quoted-printable") + kCrLf;
    m.headers += "Date: " + mail_date(time) + kCrLf;
    m.headers += "Message-ID: <" + std::to_string(time) + "." + unique + "@" + id_domain(sender) + ">" + kCrLf;
    m.body = in_subject ? std::string("\r\n\r\n") : std::string(kCrLf) + dot_stuffed(body) + kCrLf;
    m.sender = sender;
    m.receiver = receiver;
    m.server = parse_smtp_server(settings.EmailAlertSMTP);
    m.security = settings.EmailSecurity <= 3 ? static_cast<MailSecurity>(settings.EmailSecurity) : MailSecurity::automatic;
    m.authenticate = settings.EmailAuth == 1;
    if (m.authenticate) {
        m.user = settings.EmailUsername;
        m.password = settings.EmailPassword;
    }
    m.log_file = queued.log_file;
    return m;
}
