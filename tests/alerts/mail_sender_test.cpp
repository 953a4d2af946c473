#include <gtest/gtest.h>

#include "alerts/mail_queue.h"
#include "alerts/alert_fakes.h"

namespace {

struct Mail : ::testing::Test {
    Settings settings;
    MailSender sender;
    MailQueue queue;
    FakeMailSocket socket;

    Mail() {
        settings.EmailAlertMail = "monitor@example.org";
        settings.EmailAlertDefault = "admin@example.org";
        settings.EmailAlertSMTP = "mail.example.org";
        sender.retry_delays_ms.clear();
    }
    void reply(const std::string& bytes) { apply_mail_actions(mail_received(sender, bytes), socket); }
    void elapse() { apply_mail_actions(mail_timer_elapsed(sender), socket); }
    void closed() { apply_mail_actions(mail_closed(sender), socket); }
    void tls_up() { apply_mail_actions(mail_tls_ready(sender), socket); }
    void send(const std::string& message) { send_or_queue(sender, queue, settings, {message, ""}, &socket); }
    void serve() { work_off_queue(sender, queue, settings, &socket); }
    // The one problem the failed mail left, taken off the list.
    std::string problem() {
        if (sender.problems.size() != 1) return "problems: " + std::to_string(sender.problems.size());
        const std::string text = sender.problems[0].text;
        sender.problems.clear();
        return text;
    }
    // Runs a whole well-behaved dialogue and returns what was written.
    std::string deliver(const std::string& message) {
        socket.written.clear();
        send(message);
        reply("220 ready\r\n");
        reply("250 hello\r\n");
        reply("250 ok\r\n");
        reply("250 ok\r\n");
        reply("354 go ahead\r\n");
        elapse();
        reply("250 queued\r\n");
        reply("221 bye\r\n");
        return socket.written;
    }
};

const std::string kHeadersAfterSubject =
    "Importance: High\r\n"
    "MIME-Version: 1.0\r\n"
    "X-Mailer: Kelvanto v1.0\r\n"
    "Content-Type: text/html; charset=utf-8\r\n"
    "Content-Transfer-Encoding: 7bit\r\n";

}  // namespace

TEST_F(Mail, DialogueBytesWithTheMessageAsBody) {
    EXPECT_EQ(without_stamps(deliver("Link is up.")),
              "EHLO localhost\r\n"
              "MAIL FROM:<monitor@example.org>\r\n"
              "RCPT TO:<admin@example.org>\r\n"
              "DATA\r\n"
              "From: Kelvanto <monitor@example.org>\r\n"
              "TO: <admin@example.org>\r\n"
              "Subject: Alert from Kelvanto\r\n" +
                  kHeadersAfterSubject + "\r\nLink is up.\r\n.\r\nQUIT\r\n");
    EXPECT_EQ(socket.connects, std::vector<std::string>{"mail.example.org:25"});
    EXPECT_FALSE(sender.busy());
    EXPECT_EQ(socket.closes, 1);  // closed after the answer to QUIT
}

TEST_F(Mail, DialogueBytesWithTheMessageAsSubject) {
    settings.EmailSubBody = 1;
    settings.EmailAlertSMTP = "mail.example.org:2525";
    const std::string sent = without_stamps(deliver("Link is up."));
    EXPECT_NE(sent.find("Subject: Link is up.\r\n" + kHeadersAfterSubject + "\r\n\r\n.\r\nQUIT\r\n"), std::string::npos);
    EXPECT_EQ(socket.connects, std::vector<std::string>{"mail.example.org:2525"});
}

TEST_F(Mail, BodyFollowsTheHeadersOnlyAfterThePause) {
    send(".starts with a dot");
    for (const char* r : {"220 x\r\n", "250 x\r\n", "250 x\r\n", "250 x\r\n"}) reply(r);
    socket.written.clear();
    reply("354 go\r\n");
    EXPECT_EQ(socket.timer_ms, kBodyPauseMs);
    EXPECT_EQ(socket.written.find("\r\n.."), std::string::npos);
    EXPECT_EQ(sender.state, SmtpState::DATA);
    elapse();
    EXPECT_EQ(sender.state, SmtpState::BODY);
    EXPECT_NE(socket.written.find("\r\n\r\n..starts with a dot\r\n.\r\n"), std::string::npos);  // dot doubled
    EXPECT_EQ(socket.timer_ms, sender.reply_timeout_ms);
}

TEST_F(Mail, RepliesSplitOverReadsAndMultiLineReplies) {
    send("m");
    reply("220-first line\r\n22");
    EXPECT_EQ(socket.written, "");
    reply("0-second\r\n220 last\r");
    EXPECT_EQ(socket.written, "");
    reply("\n");
    EXPECT_EQ(socket.written, "EHLO localhost\r\n");
    reply("250-kelvanto\r\n250-SIZE 1000\r\n250 HELP\r\n");
    EXPECT_EQ(sender.state, SmtpState::MAILFROM);
    reply("25");
    reply("0 ok\r\n");
    EXPECT_EQ(sender.state, SmtpState::RCPT);
    reply("2");
    reply("50 ok\r\n");
    EXPECT_EQ(sender.state, SmtpState::DATA);
}

TEST_F(Mail, RefusedRecipientGetsNoData) {
    send("m");
    for (const char* r : {"220 x\r\n", "250 x\r\n", "250 x\r\n"}) reply(r);
    reply("550 no such user\r\n");
    EXPECT_EQ(socket.written.find("DATA"), std::string::npos);
    EXPECT_EQ(socket.closes, 1);
    EXPECT_FALSE(sender.busy());
}

TEST_F(Mail, GarbageStallsAndEarlyClosesCostOnlyThatMail) {
    // Garbage where a code is checked.
    send("first");
    for (const char* r : {"\x01\x02garbage\r\n", "\r\n", "?\r\n", "!\r\n"}) reply(r);
    reply("hello there\r\n");
    EXPECT_FALSE(sender.busy());
    EXPECT_EQ(socket.written.find("DATA"), std::string::npos);

    // An endless line without an end is dropped, not buffered for ever.
    send("second");
    reply(std::string(70000, 'x'));
    EXPECT_FALSE(sender.busy());

    // A stalled server: the reply timer ends the attempt. Meanwhile messages queue up.
    send("third");
    reply("220 hi\r\n");
    send("fourth");
    send("fifth");
    EXPECT_EQ(queue, (MailQueue{{"fourth", ""}, {"fifth", ""}}));
    serve();
    EXPECT_EQ(queue.size(), 2u);  // still busy
    elapse();
    EXPECT_FALSE(sender.busy());

    // The oldest waiting message goes first, one per cycle.
    serve();
    EXPECT_EQ(queue, (MailQueue{{"fifth", ""}}));
    EXPECT_NE(sender.mail.body.find("fourth"), std::string::npos);
    // The server closes early.
    reply("220 hi\r\n");
    closed();
    EXPECT_FALSE(sender.busy());
    EXPECT_NE(deliver("sixth").find("DATA\r\n"), std::string::npos);
    serve();
    EXPECT_TRUE(queue.empty());
    EXPECT_NE(sender.mail.body.find("fifth"), std::string::npos);

    // Each lost mail left a line saying why.
    ASSERT_EQ(sender.problems.size(), 4u);
    EXPECT_EQ(sender.problems[0].text,
              "Alert mail not sent: the SMTP server mail.example.org:25 refused the receiver <admin@example.org>: "
              "\"hello there\".");
    EXPECT_EQ(sender.problems[1].text, "Alert mail not sent: the SMTP server mail.example.org:25 sent a reply without end.");
    EXPECT_EQ(sender.problems[2].text,
              "Alert mail not sent: the SMTP server mail.example.org:25 did not answer EHLO within 60 seconds.");
    EXPECT_EQ(sender.problems[3].text, "Alert mail not sent: the SMTP server mail.example.org:25 closed the connection.");
}

// What a server says that no real one in the tests does: the mail is lost with a line saying
// why, and the password never goes out before TLS is up.
TEST_F(Mail, APasswordNeverTravelsInClear) {
    settings.EmailAuth = 1;
    settings.EmailUsername = "alerts";
    settings.EmailPassword = "s3cret pass";
    const std::string server = "the SMTP server mail.example.org:25 ";
    const auto starttls = [&] {
        socket.written.clear();
        send("m");
        reply("220 mx\r\n");
        reply("250-mx\r\n250 STARTTLS\r\n");
    };

    starttls();
    reply("454 4.7.0 TLS not available\r\n");
    EXPECT_EQ(problem(), "Alert mail not sent: " + server + "refused STARTTLS: \"454 4.7.0 TLS not available\".");
    EXPECT_EQ(socket.written, "EHLO localhost\r\nSTARTTLS\r\n");

    starttls();
    reply("220 go ahead\r\n250 planted\r\n");  // bytes before the handshake are not to be trusted
    EXPECT_EQ(problem(), "Alert mail not sent: " + server + "sent data before TLS started.");
    EXPECT_EQ(socket.written, "EHLO localhost\r\nSTARTTLS\r\n");

    starttls();
    reply("220 go ahead\r\n");
    tls_up();
    reply("250-mx\r\n250 AUTH CRAM-MD5\r\n");
    EXPECT_EQ(problem(), "Alert mail not sent: " + server + "offers no login method this program speaks (PLAIN, LOGIN).");
    EXPECT_EQ(socket.written, "EHLO localhost\r\nSTARTTLS\r\n<TLS>EHLO localhost\r\n");
    EXPECT_FALSE(sender.busy());
}

// Without a login, a server whose greeting announces ESMTP gets EHLO and STARTTLS when it
// offers it; one that then refuses EHLO gets the plain dialogue.
TEST_F(Mail, EsmtpServersWithoutLogin) {
    send("m");
    reply("220 mx.example.org ESMTP Postfix\r\n");
    reply("250-mx.example.org\r\n250-PIPELINING\r\n250 STARTTLS\r\n");
    reply("220 2.0.0 Ready\r\n");
    tls_up();
    reply("250-mx.example.org\r\n250 AUTH PLAIN\r\n");
    EXPECT_EQ(socket.written, "EHLO localhost\r\nSTARTTLS\r\n<TLS>EHLO localhost\r\nMAIL FROM:<monitor@example.org>\r\n");
    closed();
    sender.problems.clear();

    socket.written.clear();
    send("m");
    reply("220 old.example.org ESMTP\r\n");
    reply("502 5.5.2 Error: command not recognized\r\n");
    reply("250 hello\r\n");
    reply("250 ok\r\n");
    EXPECT_EQ(socket.written, "EHLO localhost\r\nHELO localhost\r\nMail From: monitor@example.org\r\n"
                              "rcpt to: <admin@example.org>\r\n");
}

TEST(MailSettings, ServerAndAddressChecks) {
    EXPECT_EQ(parse_smtp_server("smtp.host").port, 25);
    EXPECT_EQ(parse_smtp_server("smtp.host:587").port, 587);
    EXPECT_EQ(parse_smtp_server("smtp.host:587").host, "smtp.host");
    EXPECT_EQ(parse_smtp_server("smtp.host:99999").host, "smtp.host:99999");
    EXPECT_EQ(parse_smtp_server("smtp.host:").port, 25);
    EXPECT_EQ(parse_smtp_server("[2001:db8::25]:587").host, "2001:db8::25");
    EXPECT_EQ(parse_smtp_server("[2001:db8::25]:587").port, 587);
    EXPECT_EQ(parse_smtp_server("[2001:db8::25]").host, "2001:db8::25");
    EXPECT_EQ(parse_smtp_server("[2001:db8::25]").port, 25);
    EXPECT_EQ(parse_smtp_server("2001:db8::25").host, "2001:db8::25");  // bare: the last group is no port
    EXPECT_EQ(parse_smtp_server("2001:db8::25").port, 25);
    EXPECT_EQ(parse_smtp_server("[2001:db8::25]:x").host, "[2001:db8::25]:x");

    EXPECT_TRUE(plausible_address("a@b.c"));
    EXPECT_TRUE(plausible_address("@b.c"));
    EXPECT_TRUE(plausible_address("first.last@Example.org"));
    EXPECT_FALSE(plausible_address("a@b"));
    EXPECT_FALSE(plausible_address("a@.bc"));  // no letter or digit right after '@'
    EXPECT_TRUE(plausible_address("a@b."));  // any '.' after the character that follows '@'
    EXPECT_FALSE(plausible_address("ab.c"));
    EXPECT_FALSE(plausible_address(""));

    WorkingRules rules;
    new_rule(rules);
    Settings s;
    s.EmailAlertMail = "bad";
    EXPECT_TRUE(check_mail_settings(rules, s, false).accepted());  // no rule sends mail
    rules.rules[0].Actions[SendMail] = kSwitchedOn;
    EXPECT_EQ(check_mail_settings(rules, s, false).message, "Please check the senders address.");
    rules.rules[0].Enabled = 0;
    EXPECT_TRUE(check_mail_settings(rules, s, false).accepted());
    EXPECT_EQ(check_mail_settings(rules, s, true).field, MailField::sender);
    s.EmailAlertMail = "me@host.org";
    s.EmailAlertDefault = "you@host";
    const MailCheck receiver = check_mail_settings(rules, s, true);
    EXPECT_EQ(receiver.field, MailField::receiver);
    EXPECT_EQ(receiver.message, "Please check the receivers address.");
    s.EmailAlertDefault = "you@host.org";
    s.EmailAlertSMTP = "smtp";
    EXPECT_EQ(check_mail_settings(rules, s, true).message, "Please check the SMTP server.");
    s.EmailAlertSMTP = "smtp:2525";  // the length rule looks at the host part
    EXPECT_EQ(check_mail_settings(rules, s, true).field, MailField::server);
    s.EmailAlertSMTP = "smtp1";
    EXPECT_TRUE(check_mail_settings(rules, s, true).accepted());
}
