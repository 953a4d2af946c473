#pragma once

#include <string>

#include "alerts/mail_queue.h"
#include "alerts/alert_view.h"
#include "platform/services.h"

// The alert message of a rule, from the current totals and rates (empty for a rule without
// a condition). Amount rules report the direction in the evaluation's FiringDirection.
std::string compose_message(AlertView state, Services& services, const AlertRule& rule);
// One line of an alert log file: date, time and message, ending in CR LF.
std::string log_line(const Locale& locale, double now, const std::string& message);

// Carries out the actions of rule `index` in their order: mail (or the mail queue), log
// line, desktop notification (the condition's sentence as its title, the message as its
// text), sound, program, file, reboot, shutdown. A real alert takes the rule from the live
// table; a test (`test` set) from the working table. A log file that cannot be opened is
// skipped and the other actions still run.
void run_actions(AlertView state, Services& services, int index, bool test);

// Reports the mails that failed or were dropped since the last call: a line in the program's
// messages and in the log file of the rule that sent the mail; the first failure after a
// delivered mail is shown to the desktop user as well.
void report_mail_problems(AlertView state, Services& services);
// The mail step of the update cycle: reports failed mails, then starts the oldest queued one
// when the sender is free.
void serve_mail_queue(AlertView state, Services& services);
// At the program's end: the mails still waiting are reported as not sent.
void give_up_mail(AlertView state, Services& services);

// The mail-settings check as the options dialog and the Test command use it: a refusal is
// shown in the program's message box.
MailCheck confirm_mail_settings(AlertView state, Services& services, bool test);

enum class TestOutcome { ran, cancelled, mail_refused, no_rule };
struct TestResult {
    TestOutcome outcome = TestOutcome::no_rule;
    MailCheck mail;  // the refused field, for the options dialog to focus
};
// The Test command of the options dialog: confirms a reboot or shutdown, checks the mail
// settings when the rule sends mail, then runs the selected rule's actions.
TestResult test_selected_rule(AlertView state, Services& services);
