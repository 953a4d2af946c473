// The E-mail page on the real main window: a refused mail check turns to the page and
// selects the field at fault, whether OK, Apply or the Alerts page's Test refused.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "alerts/alert_rule.h"
#include "alerts/qt/frm_msg_box.h"
#include "support/options_driver.h"

namespace {

QLineEdit* mail_field(frmOptions& dlg, const QString& caption) {
    QLineEdit* field = control<QLineEdit>(dlg, "E-mail", caption);
    dlg.show_page("Graph");
    return field;
}

// The field the dialog turned to: shown, focused, its whole text selected; and, once the
// message is closed, where typing goes.
void expect_selected(frmOptions& dlg, QLineEdit* field, frmMsgBox* box) {
    EXPECT_EQ(dlg.current_page(), "E-mail");
    EXPECT_EQ(dlg.focusWidget(), field);
    EXPECT_FALSE(field->text().isEmpty());
    EXPECT_EQ(field->selectedText(), field->text());
    box->accept();
    EXPECT_TRUE(QTest::qWaitFor([field] { return QApplication::focusWidget() == field; }, 2000));
}

TEST(MailPage, ARefusedMailCheckShowsTheFieldAtFault) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    WorkingRules& working = run.main().state().alerts.working;
    ASSERT_EQ(new_rule(working), TableEdit::done);
    AlertRule& rule = working.rules[0];
    rule.Enabled = 255;
    rule.ConditionKind = 0;
    rule.Actions[SendMail] = 255;
    working.selected = 0;
    dlg.fill();

    QLineEdit* sender = mail_field(dlg, "Sender:");
    QLineEdit* receiver = mail_field(dlg, "Receiver:");
    QLineEdit* server = mail_field(dlg, "SMTP server:");
    sender->setText("monitor@example.org");
    receiver->setText("admin");
    server->setText("mail.example.org");
    auto* box = run.main().findChild<frmMsgBox*>();
    ASSERT_NE(box, nullptr);

    dlg.apply();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "Please check the receivers address.");
    EXPECT_TRUE(dlg.apply_button()->isEnabled());
    expect_selected(dlg, receiver, box);

    receiver->setText("admin@example.org");
    server->setText("mx");
    dlg.show_page("Period");
    dlg.ok();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(box->text(), "Please check the SMTP server.");
    expect_selected(dlg, server, box);

    // The Test button of the Alerts page checks the same way.
    server->setText("mail.example.org");
    sender->setText("monitor");
    control<QPushButton>(dlg, "Alerts", "&Test")->click();
    EXPECT_EQ(box->text(), "Please check the senders address.");
    expect_selected(dlg, sender, box);
    dlg.cancel();
}

// The mail content and encryption choices are on the page, stored on OK and shown after a
// restart.
TEST(MailPage, TheAlertMessageAsSubjectAndTheEncryptionAreChosenOnThePage) {
    ProgramRun run;
    ASSERT_TRUE(run.start());
    frmOptions& dlg = run.options();
    auto* in_subject = control<QCheckBox>(dlg, "E-mail", "Display alert message in e-mail subject");
    ASSERT_NE(in_subject, nullptr);
    EXPECT_FALSE(in_subject->isChecked());
    in_subject->click();
    control<QComboBox>(dlg, "E-mail", "Encryption:")->setCurrentText("TLS from the first byte");
    dlg.ok();
    EXPECT_EQ(run.main().state().settings.EmailSubBody, 1);
    EXPECT_EQ(run.stored("EmailSubBody"), "1");
    EXPECT_EQ(run.stored("EmailSecurity"), "2");
    ASSERT_TRUE(run.restart());
    EXPECT_TRUE(control<QCheckBox>(run.options(), "E-mail", "Display alert message in e-mail subject")->isChecked());
    EXPECT_EQ(control<QComboBox>(run.options(), "E-mail", "Encryption:")->currentText(), "TLS from the first byte");
    run.options().cancel();
}

}  // namespace
