#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "alerts/alert_test_support.h"
#include "alerts/qt/sck_mail.h"
#include "support/process.h"
#include "support/smtp_peer.h"

namespace {

// Runs the event loop until `done` holds or `ms` pass; answers `done`.
bool wait_until(const std::function<bool()>& done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Sets an environment variable for the life of the object.
struct ScopedEnv {
    const char* name;
    QByteArray old;
    ScopedEnv(const char* n, const std::string& value) : name(n), old(qgetenv(n)) {
        qputenv(name, QByteArray::fromStdString(value));
    }
    ~ScopedEnv() {
        if (old.isNull()) qunsetenv(name);
        else qputenv(name, old);
    }
};

// The longest time the event loop did not turn while the probe lived.
struct LoopProbe {
    QElapsedTimer clock;
    QTimer tick;
    qint64 last = 0, longest = 0;
    LoopProbe() {
        clock.start();
        QObject::connect(&tick, &QTimer::timeout, [this] {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        tick.start(5);
    }
};

// The mail sender with its real socket adapter, set up to send through `port`, its failures
// reported as the update cycle reports them.
struct LiveSender {
    AlertBench bench;
    sckMail socket{bench.state.alerts.mail};
    Settings& settings = bench.state.settings;
    MailSender& sender = bench.state.alerts.mail;
    MailQueue& queue = bench.state.alerts.mail_queue;
    FakeNotifier desktop;

    explicit LiveSender(int port) {
        bench.services.notifier = &desktop;
        settings.EmailAlertMail = "monitor@example.org";
        settings.EmailAlertDefault = "admin@example.org";
        settings.EmailAlertSMTP = "127.0.0.1:" + std::to_string(port);
        bench.services.mail_socket = &socket;
    }
    void log_in(const std::string& password) {
        settings.EmailAuth = 1;
        settings.EmailUsername = kSmtpPeerUser;
        settings.EmailPassword = password;
    }
    void send(const std::string& message) { send_or_queue(sender, queue, settings, {message, ""}, &socket); }
    // Serves the queue as the update cycle does, once per "cycle", until all is sent.
    bool drain(int ms = 15000, int cycle_ms = 50) {
        QElapsedTimer t;
        t.start();
        while ((sender.busy() || !queue.empty()) && t.elapsed() < ms) {
            serve_mail_queue(bench.state, bench.services);
            wait_until([] { return false; }, cycle_ms);
        }
        report_mail_problems(bench.state, bench.services);
        return !sender.busy() && queue.empty();
    }
    const std::vector<std::string>& messages() const { return bench.messages.lines; }
};

const std::string kHeaderTail =
    "Importance: High\r\nMIME-Version: 1.0\r\nX-Mailer: Kelvanto v1.0\r\nContent-Type: text/html; charset=utf-8\r\n"
    "Content-Transfer-Encoding: 7bit\r\n";
const std::string kHead = "From: Kelvanto <monitor@example.org>\r\nTO: <admin@example.org>\r\n";

// Whether the password (or its base64 forms in AUTH PLAIN and LOGIN) shows in `bytes`.
bool shows_password(const std::string& bytes, const std::string& password) {
    const std::map<std::string, std::vector<std::string>> encoded{
        {kSmtpPeerPassword, {"czNjcmV0IHBhc3M=", "AGFsZXJ0cwBzM2NyZXQgcGFzcw=="}},
        {"wrong pass", {"d3JvbmcgcGFzcw==", "AGFsZXJ0cwB3cm9uZyBwYXNz"}}};
    if (bytes.find(password) != std::string::npos) return true;
    for (const std::string& e : encoded.at(password)) {
        if (bytes.find(e) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

// EHLO first and the standard envelope; a plain server fails a mail that must be encrypted.
TEST(SckMail, PlainServerGetsEhloAndTheStandardEnvelope) {
    TempDir dir;
    SmtpPeer server(dir.path(), {});
    ASSERT_TRUE(server.ready()) << server.log();
    LiveSender live(server.port());
    const std::string message = "The daily download has reached 101.00 MB.";

    live.settings.EmailSubBody = 0;
    live.send(message);
    ASSERT_TRUE(live.drain());
    live.settings.EmailSubBody = 1;
    live.send(message);
    ASSERT_TRUE(live.drain());
    ASSERT_TRUE(wait_until([&] { return server.has_mail(1); }));
    EXPECT_EQ(without_stamps(server.mail(0)), kHead + "Subject: Alert from Kelvanto\r\n" + kHeaderTail + "\r\n" + message + "\r\n");
    EXPECT_EQ(server.envelope(0), "monitor@example.org admin@example.org tls=no login=-");
    EXPECT_EQ(without_stamps(server.mail(1)), kHead + "Subject: " + message + "\r\n" + kHeaderTail + "\r\n\r\n");

    const std::string envelope = "EHLO localhost\r\nMAIL FROM:<monitor@example.org>\r\nRCPT TO:<admin@example.org>\r\nDATA\r\n";
    EXPECT_EQ(without_stamps(server.wire()), envelope + kHead + "Subject: Alert from Kelvanto\r\n" + kHeaderTail + "\r\n" + message +
                                 "\r\n.\r\nQUIT\r\n" + envelope + kHead + "Subject: " + message + "\r\n" + kHeaderTail +
                                 "\r\n\r\n.\r\nQUIT\r\n");
    EXPECT_TRUE(live.messages().empty());

    const std::size_t before = server.wire().size();
    live.settings.EmailSecurity = 1;  // "STARTTLS required"
    live.send(message);
    ASSERT_TRUE(live.drain());
    EXPECT_EQ(server.wire().substr(before), "EHLO localhost\r\n");
    EXPECT_EQ(live.messages(), std::vector<std::string>{"Alert mail not sent: the SMTP server 127.0.0.1:" +
                                                         std::to_string(server.port()) + " offers no STARTTLS; encryption "
                                                         "is required, so nothing is sent in clear."});
}

TEST(SckMail, StartTlsAndLoginDeliverTheSameMailEncrypted) {
    TempDir dir;
    const TestCertificates certs = make_test_certificates(dir.path() / "certs");
    ASSERT_TRUE(certs.made) << slurp_file(dir.path() / "certs" / "openssl.log");
    ScopedEnv trust("SSL_CERT_FILE", certs.ca);
    SmtpPeer server(dir.path(), {.starttls = true, .auth = true, .cert = certs.cert, .key = certs.key});
    ASSERT_TRUE(server.ready()) << server.log();
    LiveSender live(server.port());
    live.log_in(kSmtpPeerPassword);
    const std::string message = "Transfer rate down has reached 2 KB/s.";

    LoopProbe probe;  // the authorities are read, the handshake runs: the loop never stalls
    live.send(message);
    ASSERT_TRUE(live.drain());
    EXPECT_LT(probe.longest, 100);
    ASSERT_TRUE(wait_until([&] { return server.has_mail(0); })) << server.log();
    EXPECT_EQ(without_stamps(server.mail(0)), kHead + "Subject: Alert from Kelvanto\r\n" + kHeaderTail + "\r\n" + message + "\r\n");
    EXPECT_EQ(server.envelope(0), "monitor@example.org admin@example.org tls=yes login=alerts");
    EXPECT_EQ(server.auth_log(), "PLAIN alerts s3cret pass\n");
    EXPECT_EQ(server.wire().rfind("EHLO localhost\r\nSTARTTLS\r\n", 0), 0u) << server.wire();
    EXPECT_FALSE(shows_password(server.wire(), kSmtpPeerPassword));
    EXPECT_EQ(server.wire().find(message), std::string::npos) << "the mail itself travels encrypted";
    EXPECT_TRUE(live.messages().empty()) << live.messages()[0];
}

// Automatic encryption away from port 465 waits for a greeting that never comes and says so;
// "TLS from the first byte" then delivers. Where the server offers only AUTH LOGIN, that is
// what the login uses.
TEST(SckMail, ImplicitTlsIsChosenOnThePageAndNoGreetingIsSaidSo) {
    TempDir dir;
    const TestCertificates certs = make_test_certificates(dir.path() / "certs");
    ASSERT_TRUE(certs.made);
    ScopedEnv trust("SSL_CERT_FILE", certs.ca);
    SmtpPeer server(dir.path(),
                    {.implicit_tls = true, .auth = true, .login_only = true, .cert = certs.cert, .key = certs.key});
    ASSERT_TRUE(server.ready()) << server.log();
    LiveSender live(server.port());
    live.log_in(kSmtpPeerPassword);
    live.sender.reply_timeout_ms = 1000;
    live.send("nobody reads this");
    ASSERT_TRUE(live.drain());
    ASSERT_EQ(live.messages().size(), 1u);
    EXPECT_EQ(live.messages()[0].find(std::to_string(server.port()) + " took the connection but sent no greeting within 1 "
                                                                      "second. A server that expects TLS from the first"),
              std::string("Alert mail not sent: the SMTP server 127.0.0.1:").size());

    live.settings.EmailSecurity = 2;  // "TLS from the first byte"
    live.sender.reply_timeout_ms = 30000;  // a busy machine's handshake may take longer than 1 s
    live.send("Connection speed has changed to 100000000 bps.");
    ASSERT_TRUE(live.drain());
    ASSERT_TRUE(wait_until([&] { return server.has_mail(0); })) << server.log();
    EXPECT_EQ(server.envelope(0), "monitor@example.org admin@example.org tls=yes login=alerts");
    EXPECT_NE(server.mail(0).find("\r\nConnection speed has changed to 100000000 bps.\r\n"), std::string::npos);
    EXPECT_EQ(server.auth_log(), "LOGIN alerts s3cret pass\n");
    EXPECT_EQ(server.wire().find("EHLO"), std::string::npos) << "nothing in clear";
    EXPECT_FALSE(shows_password(server.wire(), kSmtpPeerPassword));
}

// Without a login, a server whose greeting does not announce ESMTP and that offers STARTTLS
// gets it; the authorities in the folders of SSL_CERT_DIR are trusted as well.
TEST(SckMail, StartTlsWheneverOfferedAndSslCertDirIsTrusted) {
    TempDir dir;
    const TestCertificates certs = make_test_certificates(dir.path() / "certs");
    ASSERT_TRUE(certs.made);
    std::filesystem::create_directories(dir.path() / "authorities");
    std::filesystem::copy_file(dir.path() / "certs" / "other-ca.pem", dir.path() / "authorities" / "other-ca.pem");
    ScopedEnv folders("SSL_CERT_DIR", "/nonexistent:" + (dir.path() / "authorities").string());
    SmtpPeer server(dir.path(), {.starttls = true, .cert = certs.untrusted_cert, .key = certs.untrusted_key});
    ASSERT_TRUE(server.ready()) << server.log();
    LiveSender live(server.port());
    live.send("m");
    ASSERT_TRUE(live.drain());
    ASSERT_TRUE(wait_until([&] { return server.has_mail(0); })) << (live.messages().empty() ? "" : live.messages()[0]);
    EXPECT_EQ(server.envelope(0), "monitor@example.org admin@example.org tls=yes login=-");
}

// A wrong password, an authority nobody trusts, a server without STARTTLS: no mail, a line
// that says why, and the password never crosses the wire in clear (the server never sees it
// at all in the last two).
TEST(SckMail, FailedLoginsLoseTheMailButNeverThePassword) {
    TempDir dir;
    const TestCertificates certs = make_test_certificates(dir.path() / "certs");
    ASSERT_TRUE(certs.made);
    ScopedEnv trust("SSL_CERT_FILE", certs.ca);
    struct Case {
        const char* name;
        SmtpPeerOptions options;
        std::string password;
        std::string says;       // the line begins so, then the server's port,
        std::string goes_on;    // and goes on so
    };
    const std::vector<Case> cases{
        {"wrong password", {.starttls = true, .auth = true, .cert = certs.cert, .key = certs.key}, "wrong pass",
          "the SMTP server 127.0.0.1:", " refused the login of user \"alerts\": \"535 5.7.8 Authentication credentials "
         "invalid\"."},
        {"untrusted authority",
         {.starttls = true, .auth = true, .cert = certs.untrusted_cert, .key = certs.untrusted_key},
         kSmtpPeerPassword,
         "no secure connection to the SMTP server 127.0.0.1:", ": its certificate is not trusted (The issuer certificate "
         "of a locally looked up certificate could not be found"},
        {"no STARTTLS", {.auth_in_clear = true}, kSmtpPeerPassword,
         "the SMTP server 127.0.0.1:", " offers no STARTTLS; the password is not sent over an unencrypted connection."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir peer_dir;
        SmtpPeer server(peer_dir.path(), c.options);
        ASSERT_TRUE(server.ready()) << server.log();
        LiveSender live(server.port());
        live.log_in(c.password);
        live.send("nobody reads this");
        ASSERT_TRUE(live.drain()) << server.log();
        wait_until([] { return false; }, 300);  // anything further would reach the server now
        EXPECT_FALSE(server.has_mail(0));
        ASSERT_EQ(live.messages().size(), 1u);
        EXPECT_EQ(live.messages()[0].rfind("Alert mail not sent: " + c.says + std::to_string(server.port()) + c.goes_on, 0),
                  0u)
            << live.messages()[0];
        EXPECT_FALSE(shows_password(server.wire(), c.password)) << server.wire();
        if (c.password == kSmtpPeerPassword) {
            EXPECT_EQ(server.auth_log(), "");
        } else {
            EXPECT_EQ(server.auth_log(), "PLAIN alerts wrong pass\n");  // seen only inside TLS
        }
    }
}

TEST(SckMail, TwoRulesFiringInOneCycleDeliverBothMails) {
    TempDir dir;
    SmtpPeer server(dir.path(), {});
    ASSERT_TRUE(server.ready()) << server.log();
    LiveSender live(server.port());
    live.settings.EmailSubBody = 1;
    AlertRule down = rate_rule("0", "1|3", "1");
    AlertRule up = rate_rule("1", "1|3", "1");
    add_action(down, SendMail);
    add_action(up, SendMail);
    live.bench.add_live(down);
    live.bench.add_live(up);
    live.bench.state.adapters[0].download_history[0] = 2048;
    live.bench.state.adapters[0].upload_history[0] = 3072;
    live.bench.cycle();
    EXPECT_TRUE(live.sender.busy());
    EXPECT_EQ(live.queue, (MailQueue{{"Transfer rate up has reached 3 KB/s.", ""}}));
    ASSERT_TRUE(live.drain());
    ASSERT_TRUE(wait_until([&] { return server.has_mail(1); }));
    EXPECT_NE(server.mail(0).find("Subject: Transfer rate down has reached 2 KB/s.\r\n"), std::string::npos);
    EXPECT_NE(server.mail(1).find("Subject: Transfer rate up has reached 3 KB/s.\r\n"), std::string::npos);
}

// A period name with non-ASCII letters and line breaks that would start a header and a second
// mail, in a subject and in a body: Python's email package reads both as meant; two mails only.
TEST(SckMail, MailTextReadsAsMeantAndInjectsNothing) {
    TempDir dir;
    SmtpPeer server(dir.path(), {});
    ASSERT_TRUE(server.ready()) << server.log();
    LiveSender live(server.port());
    live.settings.CusPerName = "Zähler\r\nBcc: spy@example.org\r\n.\r\nMAIL FROM:<spy@example.org>\nÜ";
    AlertRule rule = amount_rule("6", "0", "1|1");
    add_action(rule, SendMail);
    const int index = live.bench.add_live(rule);
    for (const std::uint8_t in_subject : {1, 0}) {  // the message in the subject, then in the body
        live.settings.EmailSubBody = in_subject;
        run_actions(live.bench.state, live.bench.services, index, false);
        ASSERT_TRUE(live.drain());
    }
    ASSERT_TRUE(wait_until([&] { return server.has_mail(1); }));
    wait_until([] { return false; }, 300);
    EXPECT_EQ(server.mail_count(), 2);

    std::ofstream(dir.path() / "read.py") << R"(import email, email.policy, email.utils, sys
for path in sys.argv[1:]:
    raw = open(path, 'rb').read()
    m = email.message_from_bytes(raw, policy=email.policy.default)
    print(repr(str(m['subject'])), m['bcc'], m.get_content_type(), m.get_content_charset(),
          email.utils.parsedate_to_datetime(m['date']).tzname(), m['message-id'].endswith('@example.org>'),
          b'\n' in raw.replace(b'\r\n', b''), repr(m.get_content()), sep='|')
)";
    const std::string mails = (dir.path() / "received" / "mail").string();
    ChildProcess reader = start_process("/usr/bin/python3", {(dir.path() / "read.py").string(), mails + "0.eml", mails + "1.eml"},
                                        {}, (dir.path() / "read.txt").string());
    ASSERT_EQ(wait_process(reader, 20000), 0) << slurp_file(dir.path() / "read.txt");
    const std::string name = "Zähler Bcc: spy@example.org . MAIL FROM:<spy@example.org> Ü";
    EXPECT_EQ(slurp_file(dir.path() / "read.txt"),
              "'The " + name + " download has reached 0.00 MB.'|None|text/html|utf-8|UTC|True|False|'\\r\\n'\n"
              "'Alert from Kelvanto'|None|text/html|utf-8|UTC|True|False|'The Zähler\\r\\nBcc: spy@example.org\\r\\n."
              "\\r\\nMAIL FROM:&lt;spy@example.org&gt;\\r\\nÜ download has reached 0.00 MB.\\r\\n'\n");
}

// The desktop user hears of the first failure of a run, and again only after a mail went
// through; every failure has its line.
TEST(SckMail, RefusedRecipientGetsNoDataAndIsReportedOncePerRun) {
    TempDir dir;
    SmtpPeer server(dir.path(), {});
    ASSERT_TRUE(server.ready()) << server.log();
    LiveSender live(server.port());
    live.settings.EmailAlertDefault = "refused@example.org";
    live.send("nobody reads this");
    ASSERT_TRUE(live.drain());
    // The refusal closed our side; give the server a moment to note anything further.
    wait_until([] { return false; }, 300);
    EXPECT_FALSE(server.has_mail(0));
    EXPECT_EQ(server.wire().find("DATA"), std::string::npos) << server.wire();
    const std::string refusal = "the SMTP server 127.0.0.1:" + std::to_string(server.port()) +
                                " refused the receiver <refused@example.org>: \"550 5.1.1 no such user\".";
    EXPECT_EQ(live.messages(), std::vector<std::string>{"Alert mail not sent: " + refusal});

    for (const char* receiver : {"refused@example.org", "admin@example.org", "refused@example.org"}) {
        live.settings.EmailAlertDefault = receiver;
        live.send("m");
        live.send("m");
        ASSERT_TRUE(live.drain());
    }
    EXPECT_EQ(live.desktop.shown, (std::vector<std::pair<std::string, std::string>>(2, {"Alert mail not sent", "T" + refusal.substr(1)})));
    EXPECT_EQ(live.messages().size(), 5u);
    EXPECT_EQ(server.mail_count(), 2);
}

// A rule firing every cycle while the server stalls: at most a hundred mails wait, the
// dropped ones are reported, and once the server moves again the oldest arrive first.
TEST(SckMail, MoreThanAHundredMailsAgainstAStalledServer) {
    TempDir dir;
    SmtpPeer server(dir.path(), {.stall = true});
    ASSERT_TRUE(server.ready()) << server.log();
    LiveSender live(server.port());
    live.settings.EmailSubBody = 1;
    live.sender.body_pause_ms = 0;
    live.send("m0");
    for (int i = 1; i <= 150; ++i) {
        live.send("m" + std::to_string(i));
        serve_mail_queue(live.bench.state, live.bench.services);
        QCoreApplication::processEvents();
        ASSERT_LE(live.queue.size(), kMailQueueLimit);
    }
    EXPECT_EQ(live.queue.size(), 100u);
    ASSERT_EQ(live.messages().size(), 50u);
    EXPECT_EQ(live.messages()[0], "Alert mail dropped: 100 mails were waiting already; the oldest was dropped: m1");

    server.release_stall();
    ASSERT_TRUE(live.drain(60000, 5));
    ASSERT_TRUE(wait_until([&] { return server.has_mail(100); })) << server.log();
    EXPECT_FALSE(server.has_mail(101));
    const auto subject = [&](int n) {
        const std::string m = server.mail(n);
        const std::size_t at = m.find("Subject: ");
        return m.substr(at + 9, m.find("\r\n", at) - at - 9);
    };
    EXPECT_EQ(subject(0), "m0");
    for (int n = 1; n <= 100; ++n) ASSERT_EQ(subject(n), "m" + std::to_string(n + 50));
}

// A scripted peer: the first connection closes after its greeting, the second answers every
// line with garbage, the third never says anything, the fourth is a proper server that sends
// its replies in pieces.
TEST(SckMail, BadServersCostOnlyTheirOwnMail) {
    QTcpServer peer;
    ASSERT_TRUE(peer.listen(QHostAddress::LocalHost, 0));
    int connections = 0;
    std::string delivered;
    QObject::connect(&peer, &QTcpServer::newConnection, [&] {
        QTcpSocket* c = peer.nextPendingConnection();
        const int n = connections++;
        auto in = std::make_shared<std::string>();
        auto in_data = std::make_shared<bool>(false);
        const auto say_in_pieces = [c](const std::string& text) {
            for (std::size_t k = 0; k < text.size(); k += 3) {
                const std::string piece = text.substr(k, 3);
                QTimer::singleShot(static_cast<int>(k) * 5, c, [c, piece] {
                    c->write(piece.data(), static_cast<qint64>(piece.size()));
                });
            }
        };
        if (n == 0) {
            c->write("220 hello\r\n");
            c->flush();
            c->disconnectFromHost();
        } else if (n == 1) {
            c->write("220 hello\r\n");
        } else if (n == 3) {
            say_in_pieces("220-first\r\n220 ready\r\n");
        }
        QObject::connect(c, &QTcpSocket::readyRead, c, [=, &delivered] {
            *in += c->readAll().toStdString();
            std::size_t nl;
            while ((nl = in->find("\r\n")) != std::string::npos) {
                const std::string line = in->substr(0, nl);
                in->erase(0, nl + 2);
                if (n == 1) {
                    c->write("what?\r\n");
                } else if (n == 3 && *in_data) {
                    if (line == ".") {
                        *in_data = false;
                        say_in_pieces("250 queued\r\n");
                    } else {
                        delivered += line + "\n";
                    }
                } else if (n == 3) {
                    if (line.rfind("HELO", 0) == 0) say_in_pieces("250-peer\r\n250 HELP\r\n");
                    else if (line.rfind("DATA", 0) == 0) {
                        *in_data = true;
                        say_in_pieces("354 go on\r\n");
                    } else if (line == "QUIT") {
                        c->write("221 bye\r\n");
                        c->disconnectFromHost();
                    } else {
                        say_in_pieces("250 ok\r\n");
                    }
                }
            }
        });
    });

    LiveSender live(peer.serverPort());
    live.sender.reply_timeout_ms = 500;
    live.sender.retry_delays_ms.clear();
    live.send("A");
    live.queue = {{"B", ""}, {"C", ""}, {"D", ""}};
    ASSERT_TRUE(live.drain());
    EXPECT_EQ(connections, 4);
    // A went to the peer that closed, B (the oldest waiting) to the garbage, C to the silent one.
    EXPECT_NE(delivered.find("\n\nD\n"), std::string::npos) << delivered;
    EXPECT_NE(delivered.find("Subject: Alert from Kelvanto\n"), std::string::npos);
    EXPECT_EQ(live.messages().size(), 3u);
}

// A server that breaks the connection off while the mail goes in: the mail is tried again and
// arrives once, and the desktop user is not bothered.
TEST(SckMail, ADropDuringDataIsTriedAgainAndTheMailArrivesOnce) {
    TempDir dir;
    SmtpPeer server(dir.path(), {.drop_in_data = true});
    ASSERT_TRUE(server.ready()) << server.log();
    LiveSender live(server.port());
    live.sender.retry_delays_ms = {300};
    live.send("m");
    ASSERT_TRUE(live.drain());
    ASSERT_TRUE(wait_until([&] { return server.has_mail(0); })) << server.log();
    wait_until([] { return false; }, 300);
    EXPECT_EQ(server.mail_count(), 1);
    const std::string delayed = "Alert mail delayed: the SMTP server 127.0.0.1:" + std::to_string(server.port());
    EXPECT_EQ(live.messages(), std::vector<std::string>{delayed + " closed the connection. Trying again in 1 second."});
    EXPECT_TRUE(live.desktop.shown.empty());
}

// The program ends while a mail waits to be tried again and another is queued: both are named.
TEST(SckMail, MailsWaitingAtTheEndAreReportedAsNotSent) {
    LiveSender live(9);  // nothing listens on the loopback discard port
    live.send("first");
    live.send("second");
    ASSERT_TRUE(wait_until([&] { return live.sender.state == SmtpState::WAIT; }));
    give_up_mail(live.bench.state, live.bench.services);
    EXPECT_EQ(live.messages().back(), "2 alert mails were not sent: the program ended while they waited.");
    EXPECT_EQ(live.messages()[1], "Alert mail not sent: the program ended before it was sent: first");
    EXPECT_FALSE(live.sender.busy());
}
