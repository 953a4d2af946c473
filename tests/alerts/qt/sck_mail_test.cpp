#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "alerts/qt/sck_mail.h"
#include "alerts/alert_test_support.h"

namespace {

// An aiosmtpd server on 127.0.0.1 that stores each message it accepts as mail<N>.eml,
// refuses recipients starting with "refuse" and notes every DATA command in commands.log.
// It stops when the test closes its input, and on its own after two minutes.
constexpr const char* kServerScript = R"PY(
import os, signal, sys
from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP

signal.alarm(120)
port, out = int(sys.argv[1]), sys.argv[2]

class Recorder(SMTP):
    async def smtp_DATA(self, arg):
        with open(os.path.join(out, 'commands.log'), 'a') as f:
            f.write('DATA\n')
        await super().smtp_DATA(arg)

class Handler:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith('refuse'):
            return '550 5.1.1 no such user'
        envelope.rcpt_tos.append(address)
        return '250 OK'

    async def handle_DATA(self, server, session, envelope):
        n = len([f for f in os.listdir(out) if f.endswith('.eml')])
        with open(os.path.join(out, 'mail%d.tmp' % n), 'wb') as f:
            f.write(envelope.original_content)
        with open(os.path.join(out, 'envelope%d.txt' % n), 'w') as f:
            f.write(envelope.mail_from + ' ' + ','.join(envelope.rcpt_tos))
        os.rename(os.path.join(out, 'mail%d.tmp' % n), os.path.join(out, 'mail%d.eml' % n))
        return '250 Message accepted'

class Recording(Controller):
    def factory(self):
        return Recorder(self.handler)

server = Recording(Handler(), hostname='127.0.0.1', port=port)
server.start()
print('ready', flush=True)
try:
    sys.stdin.read()
finally:
    server.stop()
)PY";

std::string slurp(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs the event loop until `done` holds or `ms` pass; answers `done`.
bool wait_until(const std::function<bool()>& done, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

int free_port() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

struct SmtpServer {
    TempDir dir;
    std::filesystem::path out = dir.path() / "received";
    int port = free_port();
    QProcess process;

    SmtpServer() {
        std::filesystem::create_directories(out);
        const std::string script = (dir.path() / "smtp_server.py").string();
        std::ofstream(script) << kServerScript;
        process.start(QStringLiteral("/usr/bin/python3"),
                      {QString::fromStdString(script), QString::number(port), QString::fromStdString(out.string())});
        wait_until([this] { return process.canReadLine() || process.state() == QProcess::NotRunning; });
    }
    ~SmtpServer() {
        process.closeWriteChannel();
        if (!process.waitForFinished(5000)) process.kill();
        process.waitForFinished(2000);
    }
    bool ready() { return process.readLine().startsWith("ready"); }
    std::string mail(int n) const { return slurp(out / ("mail" + std::to_string(n) + ".eml")); }
    bool has_mail(int n) const { return std::filesystem::exists(out / ("mail" + std::to_string(n) + ".eml")); }
};

// The mail sender with its real socket adapter, set up to send through `port`.
struct LiveSender {
    AlertBench bench;
    sckMail socket{bench.state.alerts.mail};
    Settings& settings = bench.state.settings;
    MailSender& sender = bench.state.alerts.mail;
    MailQueue& queue = bench.state.alerts.mail_queue;

    explicit LiveSender(int port) {
        settings.EmailAlertMail = "monitor@example.org";
        settings.EmailAlertDefault = "admin@example.org";
        settings.EmailAlertSMTP = "127.0.0.1:" + std::to_string(port);
        bench.services.mail_socket = &socket;
    }
    void send(const std::string& message) { send_or_queue(sender, queue, settings, message, &socket); }
    // Works the queue off as the update cycle does, once per "cycle", until all is sent.
    bool drain(int ms = 15000) {
        QElapsedTimer t;
        t.start();
        while ((sender.busy() || !queue.empty()) && t.elapsed() < ms) {
            work_off_queue(sender, queue, settings, &socket);
            wait_until([] { return false; }, 50);
        }
        return !sender.busy() && queue.empty();
    }
};

const std::string kHeaderTail =
    "Importance: High\r\nMIME-Version: 1.0\r\nX-Mailer: Kelvanto v1.0\r\nContent-Type: text/html\r\n"
    "Content-Transfer-Encoding: 7bit\r\n";

}  // namespace

TEST(SckMail, DeliversBothMailFormsToARealServer) {
    SmtpServer server;
    ASSERT_TRUE(server.ready());
    LiveSender live(server.port);
    const std::string message = "The daily download has reached 101.00 MB.";
    const std::string head = "From: Kelvanto <monitor@example.org>\r\nTO: <admin@example.org>\r\n";

    live.settings.EmailSubBody = 0;
    live.send(message);
    ASSERT_TRUE(live.drain());
    ASSERT_TRUE(wait_until([&] { return server.has_mail(0); }));
    EXPECT_EQ(server.mail(0), head + "Subject: Alert from Kelvanto\r\n" + kHeaderTail + "\r\n" + message + "\r\n");
    EXPECT_EQ(slurp(server.out / "envelope0.txt"), "monitor@example.org admin@example.org");

    live.settings.EmailSubBody = 1;
    live.send(message);
    ASSERT_TRUE(live.drain());
    ASSERT_TRUE(wait_until([&] { return server.has_mail(1); }));
    EXPECT_EQ(server.mail(1), head + "Subject: " + message + "\r\n" + kHeaderTail + "\r\n\r\n");
}

TEST(SckMail, TwoRulesFiringInOneCycleDeliverBothMails) {
    SmtpServer server;
    ASSERT_TRUE(server.ready());
    LiveSender live(server.port);
    live.settings.EmailSubBody = 1;
    AlertRule down = rate_rule("0", "1|3", "1");
    AlertRule up = rate_rule("1", "1|3", "1");
    add_action(down, SendMail);
    add_action(up, SendMail);
    live.bench.add_live(down);
    live.bench.add_live(up);
    live.bench.state.adapters[0].download_graph[0] = 2048;
    live.bench.state.adapters[0].upload_graph[0] = 3072;
    live.bench.cycle();
    EXPECT_TRUE(live.sender.busy());
    EXPECT_EQ(live.queue, MailQueue{"Transfer rate up has reached 3 KB/s."});
    ASSERT_TRUE(live.drain());
    ASSERT_TRUE(wait_until([&] { return server.has_mail(1); }));
    EXPECT_NE(server.mail(0).find("Subject: Transfer rate down has reached 2 KB/s.\r\n"), std::string::npos);
    EXPECT_NE(server.mail(1).find("Subject: Transfer rate up has reached 3 KB/s.\r\n"), std::string::npos);
}

TEST(SckMail, RefusedRecipientGetsNoData) {
    SmtpServer server;
    ASSERT_TRUE(server.ready());
    LiveSender live(server.port);
    live.settings.EmailAlertDefault = "refused@example.org";
    live.send("nobody reads this");
    ASSERT_TRUE(live.drain());
    // The refusal closed our side; give the server a moment to note anything further.
    wait_until([] { return false; }, 300);
    EXPECT_FALSE(server.has_mail(0));
    EXPECT_FALSE(std::filesystem::exists(server.out / "commands.log"));
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
    live.send("A");
    live.queue = {"B", "C", "D"};
    ASSERT_TRUE(live.drain());
    EXPECT_EQ(connections, 4);
    // A went to the peer that closed, D (the newest) to the garbage, C to the silent one.
    EXPECT_NE(delivered.find("\n\nB\n"), std::string::npos) << delivered;
    EXPECT_NE(delivered.find("Subject: Alert from Kelvanto\n"), std::string::npos);
}
