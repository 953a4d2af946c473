#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "alerts/alert_actions.h"
#include "alerts/alert_test_support.h"
#include "alerts/rule_files.h"
#include "platform/file_access.h"

namespace {

struct Actions : ::testing::Test, AlertBench {
    ScriptedTotals& t = totals();
    Actions() {
        state.settings.EmailAlertMail = "monitor@example.org";
        state.settings.EmailAlertDefault = "admin@example.org";
        state.settings.EmailAlertSMTP = "127.0.0.1:2525";
        state.settings.EmailSubBody = 1;
    }
};

}  // namespace

TEST_F(Actions, LogLineAndMailCarryTheSameMessage) {
    const std::string path = state.data_dir + "alerts.txt";
    AlertRule r = amount_rule("0", "0", "100|1");
    add_action(r, SendMail);
    add_action(r, AddLogEntry, path);
    add_live(r);
    t.received = 10 * MB;
    cycle();
    t.received = 101 * MB;
    cycle();
    const std::string message = "The daily download has reached 101.00 MB.";
    EXPECT_EQ(file_contents(path), "15/06/2026 12:00:00 " + message + "\r\n");
    ASSERT_EQ(socket.connects.size(), 1u);
    EXPECT_EQ(socket.connects[0], "127.0.0.1:2525");
    EXPECT_NE(state.alerts.mail.mail.headers.find("Subject: " + message + "\r\n"), std::string::npos);

    // A second alert while the mail is in transit waits in the queue; the log gets its line.
    clock.advance_seconds(1);
    run_actions(state, services, 0, false);
    EXPECT_EQ(state.alerts.mail_queue, (MailQueue{{message, path}}));
    const std::string two_lines = "15/06/2026 12:00:00 " + message + "\r\n15/06/2026 12:00:01 " + message + "\r\n";
    EXPECT_EQ(file_contents(path), two_lines);

    // The first mail fails (for good, no tries left): the next cycle notes why in the
    // program's messages and in the rule's log, then starts the queued one.
    state.alerts.mail.retry_delays_ms.clear();
    apply_mail_actions(mail_closed(state.alerts.mail, "Connection refused"), socket);
    clock.advance_seconds(1);
    serve_mail_queue(state, services);
    const std::string why = "Alert mail not sent: no connection to the SMTP server 127.0.0.1:2525 (Connection refused).";
    EXPECT_EQ(messages.lines, std::vector<std::string>{why});
    EXPECT_EQ(file_contents(path), two_lines + "15/06/2026 12:00:02 " + why + "\r\n");
    EXPECT_TRUE(state.alerts.mail_queue.empty());
    EXPECT_EQ(socket.connects.size(), 2u);
}

TEST_F(Actions, MessagesOfEveryConditionKind) {
    t.sent = 1536.0 * 1024;
    AlertRule amount = amount_rule("6", "1", "1|2");
    state.settings.CusPerName = "Billing";
    state.settings.TransferredDec = 1;
    state.alerts.evaluation.FiringDirection = 1;
    EXPECT_EQ(compose_message(state, services, amount), "The Billing upload has reached 0.0 GB.");
    amount.value(0, 3).Value = "5|0";
    EXPECT_EQ(compose_message(state, services, amount), "The Billing upload has reached 1536.0 KB.");

    EXPECT_EQ(compose_message(state, services, each_time_rule("1", "100|1")), "100 MB has been uploaded.");
    EXPECT_EQ(compose_message(state, services, each_time_rule("2", "7|2")), "7 GB has been downloaded + uploaded.");

    state.adapters[0].download_history[0] = 8000;
    state.adapters[0].upload_history[0] = 1000;
    EXPECT_EQ(compose_message(state, services, rate_rule("0", "64|0", "1")), "Transfer rate down has reached 64 kb/s.");
    EXPECT_EQ(compose_message(state, services, rate_rule("2", "1|3", "1")), "Transfer rate down + up has reached 9 KB/s.");

    EXPECT_EQ(compose_message(state, services, speed_rule("1", "100000000")),
              "Connection speed has changed to 100000000 bps.");
}

TEST_F(Actions, RunInOrderAndOnlyMailOrLogComposeAMessage) {
    AlertRule r = rate_rule("0", "1|3", "1");
    add_action(r, PlaySound, "/snd/ding.wav");
    add_live(r);
    run_actions(state, services, 0, false);
    EXPECT_EQ(t.calls, 0);  // nothing was measured for a message
    EXPECT_TRUE(socket.connects.empty());

    AlertRule all = amount_rule("0", "0", "1|1");
    add_action(all, PlaySound, "/snd/ding.wav");
    add_action(all, RunProgram, "/bin/prog");
    all.value(RunProgram + 1, 1) = {"-x", "-x"};
    add_action(all, OpenFile, "/doc/report.html");
    add_action(all, Shutdown);
    // A log file in a folder that does not exist: the other actions still run.
    add_action(all, AddLogEntry, state.data_dir + "missing/log.txt");
    add_live(all);
    log.calls.clear();
    run_actions(state, services, 1, false);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"sound /snd/ding.wav", "run /bin/prog [-x]",
                                                   "open /doc/report.html", "shutdown"}));
    EXPECT_GT(t.calls, 0);
    EXPECT_FALSE(std::filesystem::exists(native_path(state.data_dir + "missing")));
}

TEST_F(Actions, TestAsksBeforeRebootAndChecksTheMailSettings) {
    WorkingRules& w = state.alerts.working;
    new_rule(w);
    AlertRule r = amount_rule("0", "2", "1|1");
    add_action(r, PlaySound, "ding");
    add_action(r, Reboot);
    w.rules[0] = r;

    dialogs.answer = MsgResult::cancel;
    EXPECT_EQ(test_selected_rule(state, services).outcome, TestOutcome::cancelled);
    EXPECT_TRUE(log.calls.empty());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "This will reboot your computer.");
    EXPECT_EQ(dialogs.shown[0].title, "Warning");
    EXPECT_EQ(dialogs.shown[0].buttons, MsgButtons::ok_cancel);
    EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::error);

    dialogs.answer = MsgResult::ok;
    EXPECT_EQ(test_selected_rule(state, services).outcome, TestOutcome::ran);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"sound ding", "reboot"}));

    // A switched-off rule that mails is still checked when tested.
    w.rules[0].Actions[Reboot] = 0;
    w.rules[0].Enabled = 0;
    add_action(w.rules[0], SendMail);
    state.settings.EmailAlertMail = "nobody";
    log.calls.clear();
    const TestResult refused = test_selected_rule(state, services);
    EXPECT_EQ(refused.outcome, TestOutcome::mail_refused);
    EXPECT_EQ(refused.mail.field, MailField::sender);
    EXPECT_EQ(msg_box.shown, std::vector<std::string>{"Please check the senders address."});
    EXPECT_TRUE(log.calls.empty());
    EXPECT_TRUE(socket.connects.empty());
}

TEST_F(Actions, RulesThatMailAreSavedOnlyWithSoundMailSettings) {
    for (int i = 0; i < kMaxRules; ++i) ASSERT_EQ(new_rule(state.alerts.working), TableEdit::done);
    EXPECT_EQ(copy_rule(state.alerts.working), TableEdit::table_full);

    add_action(state.alerts.working.rules[3], SendMail);
    state.settings.EmailAlertSMTP = "mx";
    EXPECT_EQ(confirm_mail_settings(state, services, false).field, MailField::server);

    state.settings.EmailAlertSMTP = "mail.example.org";
    EXPECT_TRUE(confirm_mail_settings(state, services, false).accepted());
    EXPECT_TRUE(save_all_rules(state.alerts.working, state.alerts.live, state.data_dir));
    EXPECT_EQ(state.alerts.live.count, kMaxRules);
    EXPECT_TRUE(std::filesystem::exists(native_path(state.data_dir + "Stats/Rule10.dat")));
}
