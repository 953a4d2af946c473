#include "alerts/qt/frm_edit.h"

#include "alerts/alert_state.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "alerts/qt/frm_dialog.h"
#include "alerts/qt/rule_sentence_view.h"
#include "platform/services.h"

namespace {

QListWidgetItem* check_item(QListWidget* list, const char* text, bool checked) {
    auto* item = new QListWidgetItem(QString::fromLatin1(text), list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

}  // namespace

frmEdit::frmEdit(AlertView state, Services& services, const EditorSession& session, QWidget* parent)
    : QDialog(parent), state_(state), services_(services), session_(session) {
    setObjectName(QStringLiteral("frmEdit"));
    setWindowTitle(QStringLiteral("Edit alert"));
    listConditions = new QListWidget(this);
    listConditions->setObjectName(QStringLiteral("listConditions"));
    listAction = new QListWidget(this);
    listAction->setObjectName(QStringLiteral("listAction"));
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    sentence_ = new RuleSentenceView(this);
    sentence_->setMinimumHeight(70);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdOK->setDefault(true);

    filling_ = true;
    const AlertRule& r = rule();
    for (int k = 0; k < 4; ++k) check_item(listConditions, kConditionEntries[k], r.ConditionKind == k);
    for (int k = 0; k < kUsedActionKinds; ++k) check_item(listAction, kActionEntries[k], r.has_action(k));
    txtName->setText(QString::fromStdString(r.Name));
    filling_ = false;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Condition:"), this));
    layout->addWidget(listConditions);
    layout->addWidget(new QLabel(QStringLiteral("Actions:"), this));
    layout->addWidget(listAction);
    layout->addWidget(new QLabel(QStringLiteral("Rule (click an underlined value to change it):"), this));
    layout->addWidget(sentence_);
    auto* name_row = new QHBoxLayout;
    name_row->addWidget(new QLabel(QStringLiteral("Name:"), this));
    name_row->addWidget(txtName, 1);
    layout->addLayout(name_row);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(listConditions, &QListWidget::itemChanged, this, &frmEdit::condition_changed);
    connect(listAction, &QListWidget::itemChanged, this, &frmEdit::action_changed);
    connect(sentence_, &RuleSentenceView::word_clicked, this, &frmEdit::word_clicked);
    connect(cmdOK, &QPushButton::clicked, this, &frmEdit::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEdit::reject);
    resize(460, 440);
    rebuild();
}

AlertRule& frmEdit::rule() { return session_rule(state_.alerts.working, session_); }

void frmEdit::rebuild() {
    words_ = build_sentence(rule());
    sentence_->show_words(words_, session_.highlight_missing);
}

void frmEdit::condition_changed(QListWidgetItem* item) {
    if (filling_) return;
    const int row = listConditions->row(item);
    int kind = kNoCondition;
    filling_ = true;
    if (item->checkState() == Qt::Checked) {
        kind = row;
        for (int k = 0; k < listConditions->count(); ++k) {
            if (k != row) listConditions->item(k)->setCheckState(Qt::Unchecked);
        }
    }
    filling_ = false;
    choose_condition(rule(), session_, kind);
    rebuild();
}

void frmEdit::action_changed(QListWidgetItem* item) {
    if (filling_) return;
    set_action(rule(), listAction->row(item), item->checkState() == Qt::Checked);
    filling_ = true;
    for (int k = 0; k < listAction->count(); ++k) {
        listAction->item(k)->setCheckState(rule().has_action(k) ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
    rebuild();
}

void frmEdit::word_clicked(int index) {
    if (index < 0 || index >= static_cast<int>(words_.size())) return;
    open_value_dialog(sentence_, state_, services_, rule(), words_[static_cast<std::size_t>(index)], [this] {
        rebuild();
        activateWindow();
    });
}

void frmEdit::accept() {
    const std::string name = txtName->text().toStdString();
    const std::string refusal = check_rule(rule(), session_, name);
    if (!refusal.empty()) {
        rebuild();
        show_refusal(services_, this, refusal);
        return;
    }
    accept_rule(rule(), name);
    closed_ = true;
    QDialog::accept();
    emit editor_closed(true);
}

void frmEdit::reject() {
    if (closed_) return;
    closed_ = true;
    cancel_session(state_.alerts.working, session_);
    QDialog::reject();
    emit editor_closed(false);
}
