#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <fstream>
#include <iterator>

#include "alerts/alert_test_support.h"
#include "alerts/qt/alert_page.h"
#include "alerts/qt/frm_dialog.h"
#include "alerts/qt/frm_edit.h"
#include "alerts/qt/rule_sentence_view.h"
#include "alerts/rule_files.h"
#include "core/qt/frm_main.h"
#include "settings/qt/frm_options.h"
#include "support/temp_home.h"

namespace {

SentenceLabel* word_label(RuleSentenceView* view, const QString& text) {
    for (int i = 0; i < view->word_count(); ++i) {
        SentenceLabel* l = view->labels()[static_cast<std::size_t>(i)];
        if (l->text() == text) return l;
    }
    return nullptr;
}

QStringList shown_words(RuleSentenceView* view) {
    QStringList out;
    for (int i = 0; i < view->word_count(); ++i) out << view->labels()[static_cast<std::size_t>(i)]->text();
    return out;
}

// Clicks a word of the sentence and answers the value dialog it opened.
frmDialog* click_word(RuleSentenceView* view, const QString& text) {
    SentenceLabel* label = word_label(view, text);
    if (label == nullptr) return nullptr;
    QTest::mouseClick(label, Qt::LeftButton);
    for (frmDialog* d : view->window()->findChildren<frmDialog*>()) {
        if (d->isVisible()) return d;
    }
    return nullptr;
}

void check(QListWidget* list, const QString& entry, bool on = true) {
    const QList<QListWidgetItem*> found = list->findItems(entry, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << entry.toStdString();
    found.first()->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

QColor colour_of(QLabel* label) { return label->palette().color(QPalette::WindowText); }

// A state with two adapters ("lo" and "eth0") and the program's message box replaced.
struct PageBench : AlertBench {
    int changes = 0;
    PageBench() {
        tables.add_interface(1, "lo");
        tables.add_address(1, 127, 0, 0, 1);
        tables.add_interface(2, "eth0");
        tables.add_address(2, 127, 0, 0, 2);
    }
};

// Fills the condition of kind 0 through its dialogs: the adapter proposed, monthly, download + upload.
void fill_amount_condition_but_amount(RuleSentenceView* view) {
    frmDialog* d = click_word(view, "<ADAPTER>");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Select adapter");
    ASSERT_EQ(d->list()->count(), 3);
    EXPECT_EQ(d->list()->currentIndex(), 2);  // the monitored adapter is proposed
    d->ok_button()->click();
    d = click_word(view, "<PERIOD>");
    ASSERT_NE(d, nullptr);
    d->list()->setCurrentIndex(2);
    d->ok_button()->click();
    d = click_word(view, "<TRANSFER>");
    ASSERT_NE(d, nullptr);
    d->list()->setCurrentIndex(2);
    d->ok_button()->click();
}

TEST(RuleEditorWindow, OkRefusesAnUnfilledAmountAndShowsItInRed) {
    PageBench b;
    AlertPage page(b.state, b.services, [&b] { ++b.changes; });
    page.show();
    EXPECT_FALSE(page.button("Modify")->isEnabled());
    page.button("New")->click();
    frmEdit* editor = page.editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle(), "Edit alert");
    EXPECT_GT(b.changes, 0);  // OK and Apply of the options dialog are enabled

    editor->ok_button()->click();
    EXPECT_EQ(b.msg_box.shown.back(), "Please select a condition for this alert.");
    check(editor->conditions(), "When a specific amount of data has been transferred");
    editor->ok_button()->click();
    EXPECT_EQ(b.msg_box.shown.back(), "Please select an action for this alert.");
    check(editor->actions(), "Send e-mail");
    fill_amount_condition_but_amount(editor->sentence());
    EXPECT_EQ(shown_words(editor->sentence()),
              (QStringList{"When", "eth0", "monthly", "download + upload", "reaches", "<AMOUNT>", "send", "an", "e-mail",
                           "alert"}));
    EXPECT_EQ(colour_of(word_label(editor->sentence(), "<AMOUNT>")), QColor(0, 0, 255));

    editor->ok_button()->click();
    EXPECT_EQ(b.msg_box.shown.back(), "Please fill out all the values.");
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(colour_of(word_label(editor->sentence(), "<AMOUNT>")), QColor(255, 0, 0));
    EXPECT_EQ(colour_of(word_label(editor->sentence(), "eth0")), QColor(0, 0, 255));
    EXPECT_EQ(colour_of(word_label(editor->sentence(), "reaches")), QColor(Qt::black));
    EXPECT_TRUE(word_label(editor->sentence(), "<AMOUNT>")->font().underline());
    EXPECT_FALSE(word_label(editor->sentence(), "reaches")->font().underline());
    EXPECT_EQ(word_label(editor->sentence(), "eth0")->cursor().shape(), Qt::PointingHandCursor);

    frmDialog* amount = click_word(editor->sentence(), "<AMOUNT>");
    ASSERT_NE(amount, nullptr);
    EXPECT_EQ(amount->field()->text(), "0");
    EXPECT_EQ(amount->list()->currentText(), "MB");
    amount->field()->clear();
    QTest::keyClicks(amount->field(), "0a07");
    EXPECT_EQ(amount->field()->text(), "007");
    amount->list()->setCurrentIndex(2);
    amount->ok_button()->click();
    EXPECT_NE(word_label(editor->sentence(), "7 GB"), nullptr);

    editor->name_field()->clear();
    editor->ok_button()->click();
    EXPECT_EQ(b.msg_box.shown.back(), "Please enter a name for this alert.");
    editor->name_field()->setText("Monthly cap");
    editor->ok_button()->click();
    EXPECT_FALSE(editor->isVisible());

    const AlertRule& r = b.state.alerts.working.rules[0];
    EXPECT_EQ(r.Name, "Monthly cap");
    EXPECT_EQ(r.value(0, 0), (ValuePair{"eth0", "2"}));
    EXPECT_EQ(r.value(0, 1), (ValuePair{"monthly", "2"}));
    EXPECT_EQ(r.value(0, 2), (ValuePair{"download + upload", "2"}));
    EXPECT_EQ(r.value(0, 3), (ValuePair{"7 GB", "7|2"}));
    ASSERT_EQ(page.rules()->count(), 1);
    EXPECT_EQ(page.rules()->item(0)->text(), "Monthly cap");
    EXPECT_EQ(page.rules()->item(0)->checkState(), Qt::Checked);
    EXPECT_TRUE(page.button("Modify")->isEnabled());
    EXPECT_EQ(shown_words(page.sentence()).first(), "When");
}

// A new rule proposes the monitored adapter; a gone interface is marked, stored by its name.
TEST(RuleEditorWindow, TheAdapterListProposesTheMonitoredAdapterAndMarksGoneInterfaces) {
    PageBench b;
    b.state.settings.Adapter = 1;
    clsIPStatistics numbered(b.tables, b.dialogs, b.state.table_messages);  // lo 1, eth0 2
    b.tables.interfaces.pop_back();  // eth0 unplugged
    AlertPage page(b.state, b.services, [] {});
    page.button("New")->click();
    check(page.editor()->conditions(), "When a specific amount of data has been transferred");
    frmDialog* d = click_word(page.editor()->sentence(), "<ADAPTER>");
    EXPECT_EQ(d->list()->currentText(), "lo");
    EXPECT_EQ(d->list()->itemText(2), "eth0 (not present)");
    d->list()->setCurrentIndex(2);
    d->ok_button()->click();
    EXPECT_EQ(b.state.alerts.working.rules[0].value(0, 0), (ValuePair{"eth0", "2"}));
}

TEST(RuleEditorWindow, SwitchingTheConditionAndBackKeepsTheValues) {
    PageBench b;
    AlertPage page(b.state, b.services, [] {});
    page.button("New")->click();
    frmEdit* editor = page.editor();
    check(editor->conditions(), "When a specific amount of data has been transferred");
    fill_amount_condition_but_amount(editor->sentence());
    const QStringList kind0 = shown_words(editor->sentence());

    check(editor->conditions(), "When transfer rate reaches a specific level");
    EXPECT_EQ(editor->conditions()->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(shown_words(editor->sentence()), (QStringList{"<WHEN>", "<ADAPTER>", "<TRANSFER>", "reaches", "<RATE>"}));
    frmDialog* when = click_word(editor->sentence(), "<WHEN>");
    ASSERT_NE(when, nullptr);
    EXPECT_EQ(when->list()->currentText(), "Every time");
    when->list()->setCurrentIndex(1);
    when->ok_button()->click();

    check(editor->conditions(), "When a specific amount of data has been transferred");
    EXPECT_EQ(shown_words(editor->sentence()), kind0);
    check(editor->conditions(), "When transfer rate reaches a specific level");
    EXPECT_EQ(shown_words(editor->sentence()).first(), "The first time");
    EXPECT_EQ(b.state.alerts.working.rules[0].value(0, 3), (ValuePair{"The first time", "0"}));

    // Unchecking the condition leaves none.
    check(editor->conditions(), "When transfer rate reaches a specific level", false);
    EXPECT_EQ(b.state.alerts.working.rules[0].ConditionKind, kNoCondition);
    EXPECT_TRUE(shown_words(editor->sentence()).isEmpty());

    check(editor->actions(), "Reboot computer");
    check(editor->actions(), "Shutdown computer");
    EXPECT_EQ(editor->actions()->item(Reboot)->checkState(), Qt::Unchecked);
    EXPECT_FALSE(b.state.alerts.working.rules[0].has_action(Reboot));
    EXPECT_TRUE(b.state.alerts.working.rules[0].has_action(Shutdown));
}

TEST(RuleEditorWindow, CancelBringsBackTheRuleAsItWas) {
    PageBench b;
    AlertRule kept;
    kept.Name = "Kept";
    kept.Enabled = 0;
    kept.ConditionKind = SpeedChanged;
    kept.Actions[OpenFile] = kSwitchedOn;
    kept.value(0, 0) = {"Multiple adapters", "0"};
    kept.value(0, 1) = {"100", "100"};
    kept.value(OpenFile + 1, 0) = {"a.txt", "/tmp/a.txt"};
    b.state.alerts.working.rules[0] = kept;
    b.state.alerts.working.count = 1;
    b.state.alerts.working.selected = 0;
    AlertPage page(b.state, b.services, [] {});
    EXPECT_EQ(page.rules()->item(0)->checkState(), Qt::Unchecked);

    page.button("Modify")->click();
    frmEdit* editor = page.editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->name_field()->text(), "Kept");
    EXPECT_EQ(editor->conditions()->item(SpeedChanged)->checkState(), Qt::Checked);
    EXPECT_EQ(editor->actions()->item(OpenFile)->checkState(), Qt::Checked);
    check(editor->conditions(), "When a specific amount of data has been transferred");
    check(editor->actions(), "Send e-mail");
    editor->name_field()->setText("Changed");
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(b.state.alerts.working.rules[0], kept);
    EXPECT_EQ(b.state.alerts.working.selected, 0);

    // A new rule cancelled goes away again.
    page.button("New")->click();
    EXPECT_EQ(b.state.alerts.working.count, 2);
    page.editor()->cancel_button()->click();
    EXPECT_EQ(b.state.alerts.working.count, 1);
    EXPECT_EQ(page.rules()->count(), 1);
    EXPECT_EQ(b.state.alerts.working.selected, 0);

    // The table holds ten rules at most.
    for (int i = 0; i < 9; ++i) page.button("Copy")->click();
    EXPECT_EQ(page.rules()->count(), 10);
    EXPECT_EQ(page.rules()->item(9)->text(), "Copy of Copy of Copy of Copy of Copy of Copy of Copy of Copy of Copy of Kept");
    const frmEdit* cancelled = page.editor();
    page.button("New")->click();
    EXPECT_EQ(b.msg_box.shown.back(), "No more than 10 rules are supported.");
    EXPECT_EQ(page.editor(), cancelled);  // no editor opened
    EXPECT_EQ(b.state.alerts.working.count, 10);
}

TEST(ValueDialogWindow, NumberFieldsKeepOnlyDigitsUpToTheirLength) {
    PageBench b;
    QWidget owner;
    ValuePair pair{"<AMOUNT>", ""};
    frmDialog d(ValueKind::amount, value_dialog_spec(ValueKind::amount, {}, ""), pair, b.services, &owner);
    EXPECT_EQ(d.field()->alignment() & Qt::AlignRight, Qt::AlignRight);
    d.field()->clear();
    QApplication::clipboard()->setText("12a3");
    d.field()->paste();
    EXPECT_EQ(d.field()->text(), "123");
    d.field()->clear();
    QTest::keyClicks(d.field(), "99999999999");
    EXPECT_EQ(d.field()->text(), "9999999999");
    d.ok_button()->click();
    EXPECT_EQ(pair, (ValuePair{"2147483647 MB", "2147483647|1"}));

    // A filled value comes back into the dialog; Cancel stores nothing.
    frmDialog again(ValueKind::amount, value_dialog_spec(ValueKind::amount, {}, ""), pair, b.services, &owner);
    EXPECT_EQ(again.field()->text(), "2147483647");
    EXPECT_EQ(again.list()->currentText(), "MB");
    again.field()->setText("5");
    QTest::keyClick(&again, Qt::Key_Escape);
    EXPECT_EQ(pair.Value, "2147483647|1");
}

TEST(ValueDialogWindow, FilesAreCheckedAndBrowsingFillsThePath) {
    PageBench b;
    QWidget owner;
    ValuePair pair{"<FILE>", ""};
    frmDialog d(ValueKind::sound_file, value_dialog_spec(ValueKind::sound_file, {}, ""), pair, b.services, &owner);
    d.show();
    ASSERT_NE(d.browse_button(), nullptr);
    EXPECT_EQ(d.browse_button()->text(), "...");
    const std::string wav = b.tmp.str() + "/ding.wav";
    QString asked_filter;
    d.choose_file = [&](QWidget*, const QString& filter) {
        asked_filter = filter;
        return QString::fromStdString(b.tmp.str() + "/missing.wav");
    };
    d.browse_button()->click();
    EXPECT_EQ(asked_filter, "Sounds (*.wav)");
    d.ok_button()->click();
    EXPECT_EQ(b.msg_box.shown.back(), "Please select a valid sound file.");
    EXPECT_EQ(pair, (ValuePair{"<FILE>", ""}));

    std::ofstream(wav) << "RIFF";
    d.choose_file = [&](QWidget*, const QString&) { return QString::fromStdString(wav); };
    d.browse_button()->click();
    d.choose_file = [&](QWidget*, const QString&) { return QString(); };  // cancelled: path stays
    d.browse_button()->click();
    QTest::keyClick(&d, Qt::Key_Return);
    EXPECT_EQ(pair, (ValuePair{"ding.wav", wav}));
}

TEST(RuleSentenceWindow, LongSentencesGetAScrollBar) {
    RuleSentenceView view;
    view.resize(120, 40);
    view.show();
    std::vector<SentenceWord> words;
    for (int i = 0; i < 40; ++i) words.push_back(SentenceWord{"word" + std::to_string(i), -1, -1});
    view.show_words(words, false);
    ASSERT_TRUE(view.scroll_bar()->isVisible());
    EXPECT_GT(view.scroll_bar()->maximum(), 0);
    view.scroll_bar()->setValue(1);
    EXPECT_EQ(view.frame()->y(), -16);
    view.show_words({SentenceWord{"short", -1, -1}}, false);
    EXPECT_FALSE(view.scroll_bar()->isVisible());
    EXPECT_EQ(view.frame()->y(), 0);
    view.show_words({}, false);
    ASSERT_EQ(view.labels().size(), 1u);  // the first label stays, hidden
    EXPECT_FALSE(view.labels()[0]->isVisible());
}

// One rule record as its file holds it: length-prefixed strings, pairs slot-major.
struct RecordBytes {
    std::string bytes;
    void u8(int v) { bytes += static_cast<char>(v); }
    void u16(int v) {
        u8(v & 0xff);
        u8((v >> 8) & 0xff);
    }
    void str(const std::string& s) {
        u16(static_cast<int>(s.size()));
        bytes += s;
    }
};

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The whole road: a rule made on the options dialog's alert page by clicking its words,
// stored by the dialog's OK, is in Stats/Rule1.dat byte for byte.
TEST(RuleEditorOnMainWindow, ARuleMadeByClickingIsStoredByTheOptionsDialog) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);
    dlg->show_page("Alerts");
    AlertPage* page = dlg->findChild<AlertPage*>();
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(dlg->apply_button()->isEnabled());

    page->button("New")->click();
    EXPECT_TRUE(dlg->apply_button()->isEnabled());
    frmEdit* editor = page->editor();
    ASSERT_NE(editor, nullptr);
    check(editor->conditions(), "When a specific amount of data has been transferred");
    check(editor->actions(), "Add entry to log file");
    RuleSentenceView* s = editor->sentence();
    frmDialog* d = click_word(s, "<ADAPTER>");
    ASSERT_NE(d, nullptr);
    d->list()->setCurrentIndex(0);
    d->ok_button()->click();
    d = click_word(s, "<PERIOD>");
    d->list()->setCurrentIndex(2);
    d->ok_button()->click();
    d = click_word(s, "<TRANSFER>");
    d->list()->setCurrentIndex(2);
    d->ok_button()->click();
    d = click_word(s, "<AMOUNT>");
    d->field()->setText("007");
    d->list()->setCurrentIndex(2);
    d->ok_button()->click();
    const std::string log = dir.str() + "/alerts.txt";
    d = click_word(s, "<FILE>");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "Select file");
    d->field()->setText(QString::fromStdString(log));
    d->ok_button()->click();
    EXPECT_EQ(shown_words(s), (QStringList{"When", "Multiple adapters", "monthly", "download + upload", "reaches", "7 GB",
                                           "add", "entry", "to", "alerts.txt"}));
    editor->ok_button()->click();
    ASSERT_FALSE(editor->isVisible());
    dlg->ok();
    EXPECT_FALSE(dlg->isVisible());

    RecordBytes want;
    want.str("Alert #1");
    want.u8(255);
    want.u16(0);
    for (int k = 0; k < 10; ++k) want.u8(k == AddLogEntry ? 255 : 0);
    for (int slot = 0; slot < 10; ++slot) {
        for (int part = 0; part < 11; ++part) {
            std::pair<std::string, std::string> p;
            if (part == 0 && slot == 0) p = {"Multiple adapters", "0"};
            if (part == 0 && slot == 1) p = {"monthly", "2"};
            if (part == 0 && slot == 2) p = {"download + upload", "2"};
            if (part == 0 && slot == 3) p = {"7 GB", "7|2"};
            if (part == AddLogEntry + 1 && slot == 0) p = {"alerts.txt", log};
            want.str(p.first);
            want.str(p.second);
        }
    }
    const std::string data_dir = main.state().data_dir;
    EXPECT_EQ(read_file(rule_file_path(data_dir, 0)), want.bytes);
    EXPECT_EQ(read_file(rule_count_path(data_dir)), std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(main.state().alerts.live.count, 1);

    // Cancel drops what changed since: the rule removed and the dialog cancelled stays stored.
    main.open_options();
    dlg = main.options_window();
    page = dlg->findChild<AlertPage*>();
    ASSERT_EQ(page->rules()->count(), 1);
    page->button("Remove")->click();
    EXPECT_EQ(page->rules()->count(), 0);
    dlg->cancel();
    EXPECT_EQ(main.state().alerts.working.count, 1);
    EXPECT_EQ(read_file(rule_file_path(data_dir, 0)), want.bytes);
    main.UnloadKVT();
}

// A rule at a share of the data cap that shows a desktop notification, made on the alert
// page: the new action takes code 7 and the share unit digit 3 in the usual layout, and the
// file reads back into the same sentence and is written again byte for byte.
TEST(RuleEditorOnMainWindow, ACapShareWithANotificationIsWrittenAndReadBackByteForByte) {
    TempDir dir;
    use_temp_home(dir);
    frmMain main(StartOptions{});
    ASSERT_TRUE(main.Form_Load());
    main.open_options();
    frmOptions* dlg = main.options_window();
    dlg->show_page("Alerts");
    AlertPage* page = dlg->findChild<AlertPage*>();
    page->button("New")->click();
    frmEdit* editor = page->editor();
    check(editor->conditions(), "When a specific amount of data has been transferred");
    check(editor->actions(), "Show desktop notification");
    RuleSentenceView* s = editor->sentence();
    for (const auto& [word, index] : {std::pair{"<ADAPTER>", 0}, {"<PERIOD>", 6}, {"<TRANSFER>", 2}}) {
        frmDialog* d = click_word(s, word);
        ASSERT_NE(d, nullptr) << word;
        d->list()->setCurrentIndex(index);
        d->ok_button()->click();
    }
    frmDialog* d = click_word(s, "<AMOUNT>");
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->list()->count(), 4);
    EXPECT_EQ(d->list()->itemText(3), "% of the cap");
    d->field()->setText("80");
    d->list()->setCurrentIndex(3);
    d->ok_button()->click();
    const QStringList words{"When", "Multiple adapters", "User defined", "download + upload", "reaches", "80 % of the cap",
                            "show", "a", "desktop", "notification"};
    EXPECT_EQ(shown_words(s), words);
    editor->ok_button()->click();
    dlg->ok();

    RecordBytes want;
    want.str("Alert #1");
    want.u8(255);
    want.u16(0);
    for (int k = 0; k < 10; ++k) want.u8(k == 7 ? 255 : 0);
    for (int slot = 0; slot < 10; ++slot) {
        for (int part = 0; part < 11; ++part) {
            std::pair<std::string, std::string> p;
            if (part == 0 && slot == 0) p = {"Multiple adapters", "0"};
            if (part == 0 && slot == 1) p = {"User defined", "6"};
            if (part == 0 && slot == 2) p = {"download + upload", "2"};
            if (part == 0 && slot == 3) p = {"80 % of the cap", "80|3"};
            want.str(p.first);
            want.str(p.second);
        }
    }
    const std::string path = rule_file_path(main.state().data_dir, 0);
    EXPECT_EQ(read_file(path), want.bytes);

    // Opened again, the page shows the same sentence; stored again, the same bytes.
    main.open_options();
    dlg = main.options_window();
    dlg->show_page("Alerts");
    page = dlg->findChild<AlertPage*>();
    EXPECT_EQ(shown_words(page->sentence()), words);
    page->button("Modify")->click();
    page->editor()->ok_button()->click();
    dlg->ok();
    EXPECT_EQ(read_file(path), want.bytes);
    main.UnloadKVT();
}

}  // namespace
