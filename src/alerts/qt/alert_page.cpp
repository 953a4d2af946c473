#include "alerts/qt/alert_page.h"

#include "alerts/alert_state.h"

#include <QHBoxLayout>
#include <algorithm>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "alerts/alert_actions.h"
#include "alerts/qt/frm_dialog.h"
#include "alerts/qt/frm_edit.h"
#include "alerts/qt/mail_page.h"
#include "alerts/qt/rule_sentence_view.h"
#include "alerts/rule_editor.h"
#include "platform/services.h"

AlertPage::AlertPage(AlertView state, Services& services, std::function<void()> changed, QWidget* parent)
    : OptionsPage(parent), state_(state), services_(services), changed_(std::move(changed)) {
    setObjectName(QStringLiteral("AlertPage"));
    listRules = new QListWidget(this);
    listRules->setObjectName(QStringLiteral("listRules"));
    sentence_ = new RuleSentenceView(this);
    sentence_->setMinimumHeight(70);
    const auto make = [this](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    cmdNewRule = make("&New", "cmdNewRule");
    cmdModify = make("&Modify", "cmdModify");
    cmdCopy = make("&Copy", "cmdCopy");
    cmdRemove = make("&Remove", "cmdRemove");
    cmdTest = make("&Test", "cmdTest");

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdNewRule, cmdModify, cmdCopy, cmdRemove, cmdTest}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(listRules, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top, 1);
    layout->addWidget(sentence_);

    connect(listRules, &QListWidget::itemClicked, this, &AlertPage::rule_clicked);
    connect(listRules, &QListWidget::itemChanged, this, [this] { checks_changed(); });
    connect(listRules, &QListWidget::itemDoubleClicked, this, [this] { modify_rule(); });
    connect(sentence_, &RuleSentenceView::word_clicked, this, &AlertPage::word_clicked);
    connect(cmdNewRule, &QPushButton::clicked, this, &AlertPage::new_rule);
    connect(cmdModify, &QPushButton::clicked, this, &AlertPage::modify_rule);
    connect(cmdCopy, &QPushButton::clicked, this, &AlertPage::copy_rule);
    connect(cmdRemove, &QPushButton::clicked, this, &AlertPage::remove_rule);
    connect(cmdTest, &QPushButton::clicked, this, &AlertPage::test_rule);
    fill();
}

QPushButton* AlertPage::button(const QString& caption) const {
    for (QPushButton* b : {cmdNewRule, cmdModify, cmdCopy, cmdRemove, cmdTest}) {
        if (b->text().remove(QLatin1Char('&')) == caption) return b;
    }
    return nullptr;
}

frmEdit* AlertPage::editor() const { return editor_.data(); }

void AlertPage::fill() {
    const WorkingRules& table = state_.alerts.working;
    filling_ = true;
    listRules->clear();
    for (int i = 0; i < table.count; ++i) {
        const AlertRule& r = table.rules[static_cast<std::size_t>(i)];
        auto* item = new QListWidgetItem(QString::fromStdString(r.Name), listRules);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(r.enabled() ? Qt::Checked : Qt::Unchecked);
    }
    if (table.selected >= 0 && table.selected < table.count) listRules->setCurrentRow(table.selected);
    filling_ = false;
    const bool any = table.count > 0;
    for (QPushButton* b : {cmdModify, cmdCopy, cmdRemove, cmdTest}) b->setEnabled(any);
    show_sentence();
}

void AlertPage::show_sentence() {
    WorkingRules& table = state_.alerts.working;
    if (table.selected < 0 || table.selected >= table.count) {
        words_.clear();
    } else {
        words_ = build_sentence(table.rules[static_cast<std::size_t>(table.selected)]);
    }
    sentence_->show_words(words_, false);
}

void AlertPage::checks_changed() {
    if (filling_) return;
    bool flags[kMaxRules] = {};
    const int n = std::min(listRules->count(), kMaxRules);
    for (int i = 0; i < n; ++i) flags[i] = listRules->item(i)->checkState() == Qt::Checked;
    set_enabled_flags(state_.alerts.working, flags, n);
    rules_changed();
}

void AlertPage::rule_clicked(QListWidgetItem* item) {
    checks_changed();
    state_.alerts.working.selected = listRules->row(item);
    show_sentence();
    rules_changed();
}

void AlertPage::word_clicked(int index) {
    WorkingRules& table = state_.alerts.working;
    if (index < 0 || index >= static_cast<int>(words_.size()) || table.selected < 0) return;
    AlertRule& rule = table.rules[static_cast<std::size_t>(table.selected)];
    if (open_value_dialog(sentence_, state_, services_, rule, words_[static_cast<std::size_t>(index)],
                          [this] { show_sentence(); }) != nullptr) {
        rules_changed();
    }
}

void AlertPage::new_rule() {
    EditorSession session;
    if (open_new_rule(state_.alerts.working, session) == TableEdit::table_full) {
        show_refusal(services_, window(), kTooManyRules);
        return;
    }
    rules_changed();
    editor_ = new frmEdit(state_, services_, session, window());
    open_editor();
}

void AlertPage::modify_rule() {
    EditorSession session;
    if (!open_selected_rule(state_.alerts.working, session)) return;
    rules_changed();
    editor_ = new frmEdit(state_, services_, session, window());
    open_editor();
}

void AlertPage::open_editor() {
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor_, &frmEdit::editor_closed, this, &AlertPage::editor_closed);
    editor_->open();
}

void AlertPage::editor_closed() {
    fill();
    window()->activateWindow();
}

void AlertPage::copy_rule() {
    if (::copy_rule(state_.alerts.working) == TableEdit::table_full) {
        show_refusal(services_, window(), kTooManyRules);
        return;
    }
    fill();
    rules_changed();
}

void AlertPage::remove_rule() {
    ::remove_rule(state_.alerts.working);
    fill();
    rules_changed();
}

void AlertPage::test_rule() {
    rules_changed();
    const TestResult result = test_selected_rule(state_, services_);
    // Refused mail settings are shown where they are entered.
    if (result.outcome == TestOutcome::mail_refused) emit field_at_fault(kMailPage, mail_field_caption(result.mail.field));
}

void AlertPage::adapters_changed() { refresh_adapter_dialogs(state_, services_); }

void AlertPage::rules_changed() {
    if (changed_) changed_();
    report_change();
}
