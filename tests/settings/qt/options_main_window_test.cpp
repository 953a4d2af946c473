#include <gtest/gtest.h>

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolTip>

#include "alerts/alert_rule.h"
#include "alerts/qt/frm_msg_box.h"
#include "alerts/rule_files.h"
#include "core/qt/frm_main.h"
#include "display/qt/item_panel.h"
#include "settings/qt/frm_options.h"
#include "support/temp_home.h"

namespace {

// The line edit beside `caption` on page `page`.
QLineEdit* field(frmOptions& dlg, const QString& page, const QString& caption) {
    dlg.show_page(page);
    QWidget* current = dlg.findChild<QStackedWidget*>()->currentWidget();
    for (QFormLayout* form : current->findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* label = form->itemAt(row, QFormLayout::LabelRole);
            QLayoutItem* box = form->itemAt(row, QFormLayout::FieldRole);
            auto* l = label ? qobject_cast<QLabel*>(label->widget()) : nullptr;
            if (l && box && l->text() == caption) return qobject_cast<QLineEdit*>(box->widget());
        }
    }
    return nullptr;
}

QRadioButton* radio(frmOptions& dlg, const QString& page, const QString& caption) {
    dlg.show_page(page);
    for (QRadioButton* b : dlg.findChild<QStackedWidget*>()->currentWidget()->findChildren<QRadioButton*>())
        if (b->text() == caption) return b;
    return nullptr;
}

// The whole round trip with the real settings file: a change shows at once in the main
// window, Apply stores it and stays open, Cancel brings back what was stored.
TEST(OptionsOnMainWindow, ApplyStoresCancelRestoresTheStoredGraphType) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    ASSERT_EQ(main.state().settings.GraphType, 0);

    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(dlg->isVisible());
    main.open_options();  // a second open brings the same dialog forward
    EXPECT_EQ(main.options_window(), dlg);

    // The Items page hosts the item panel; with the standard items it has nothing to edit.
    auto* panel = dlg->findChild<ItemPanel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->list()->count(), 0);
    EXPECT_FALSE(panel->list()->isEnabled());

    radio(*dlg, "Graph", "Bar graph")->click();
    EXPECT_EQ(main.state().settings.GraphType, 1);
    dlg->apply();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->apply_button()->isEnabled());

    radio(*dlg, "Graph", "Line graph")->click();
    EXPECT_EQ(main.state().settings.GraphType, 0);
    dlg->cancel();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(main.state().settings.GraphType, 1);  // as stored by Apply
    main.UnloadKVT();
}

// OK is refused while a switched-on rule mails and the sender is not an address: the
// program's message box says why, the dialog stays open and nothing is stored.
TEST(OptionsOnMainWindow, OkWithAMailingRuleAndABadSenderStaysOpen) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);

    WorkingRules& working = main.state().alerts.working;
    ASSERT_EQ(new_rule(working), TableEdit::done);
    AlertRule& rule = working.rules[0];
    rule.Enabled = 255;
    rule.ConditionKind = 0;
    rule.Actions[SendMail] = 255;

    field(*dlg, "E-mail", "Sender:")->setText("monitor.example.org");
    field(*dlg, "E-mail", "Receiver:")->setText("admin@example.org");
    field(*dlg, "E-mail", "SMTP server:")->setText("mail.example.org");
    dlg->ok();

    EXPECT_TRUE(dlg->isVisible());
    auto* box = main.findChild<frmMsgBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->text(), "Please check the senders address.");
    const std::string data_dir = main.state().data_dir;
    EXPECT_FALSE(std::filesystem::exists(rule_file_path(data_dir, 0)));
    EXPECT_EQ(main.state().alerts.live.count, 0);

    // With a sender that is an address the same OK stores the rule and closes.
    box->accept();
    field(*dlg, "E-mail", "Sender:")->setText("monitor@example.org");
    dlg->ok();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(std::filesystem::exists(rule_file_path(data_dir, 0)));
    EXPECT_EQ(main.state().alerts.live.count, 1);
    main.UnloadKVT();
}

// Here no secret store answers (there is no session bus): the E-mail page says so, and OK
// keeps the password in the settings file, readable by the user alone.
TEST(OptionsOnMainWindow, EmailPageTellsWhereThePasswordsAreKept) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);
    field(*dlg, "E-mail", "Password:")->setText("s3cret pass");
    auto* line = dlg->findChild<QLabel*>(QStringLiteral("lblPasswordStore"));
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    EXPECT_EQ(line->text().toStdString(), "Passwords are kept in the settings file, readable only by you.");
    dlg->ok();
    main.UnloadKVT();

    namespace fs = std::filesystem;
    const fs::path folder = dir.path() / "config" / "Kelvanto";
    std::ifstream in(folder / "Kelvanto.conf");
    const std::string conf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(conf.find("\nEmailPassword=s3cret pass\n"), std::string::npos) << conf;
    EXPECT_EQ(fs::status(folder / "Kelvanto.conf").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
}

// The about box names the program, its version and the web address as a link.
TEST(AboutBox, ShowsNameVersionAndLink) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.mnuAbout_Click();
    auto* box = main.findChild<QMessageBox*>(QStringLiteral("frmAbout"));
    ASSERT_NE(box, nullptr);
    const QString title = box->windowTitle();
    const QString text = box->text();
    // The box is wide enough for its whole title, and lists the main window's keys.
    EXPECT_GT(box->sizeHint().width(), box->fontMetrics().horizontalAdvance(title) + 100);
    EXPECT_TRUE(box->informativeText().contains("<b>Esc</b>"));
    box->accept();
    EXPECT_EQ(title, "About Kelvanto");
    EXPECT_TRUE(text.contains("<b>Kelvanto</b> " KELVANTO_VERSION)) << text.toStdString();
    EXPECT_TRUE(text.contains("<a href=\"http://")) << text.toStdString();
    main.UnloadKVT();
}

// A digit picks only an adapter whose interface is there; each key says what it changed.
TEST(MainWindowKeys, DigitsPickOnlyAdaptersThatAreThereAndEveryKeySaysWhatItChanged) {
    TempDir dir;
    use_temp_home(dir);
    std::filesystem::create_directories(dir.path() / "data" / "Stats");
    std::ofstream(dir.path() / "data" / "Stats" / "Adapters.txt") << "1 lo\n2 kvgone\n";
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.state().settings.Adapter = 1;
    const auto press = [&main](int key, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(&main, key, mods);
        return QToolTip::text();
    };
    EXPECT_EQ(press(Qt::Key_2), "The interface of adapter 2 - kvgone is not present: still showing adapter 1 - lo");
    EXPECT_EQ(main.state().settings.Adapter, 1);
    EXPECT_EQ(press(Qt::Key_9), "There is no adapter 9");
    EXPECT_EQ(press(Qt::Key_0), "Showing adapter 0 - Multiple adapters");
    EXPECT_EQ(press(Qt::Key_Plus, Qt::KeypadModifier), "Rates are the average of the last 2 seconds");
    main.UnloadKVT();
}

}  // namespace
