#include "alerts/qt/frm_dialog.h"

#include "settings/settings.h"
#include "measure/ip_statistics.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "alerts/qt/frm_msg_box.h"
#include "platform/services.h"
#include "measure/adapter_list.h"
#include "measure/ip_statistics.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// "Sounds (*.wav)|*.wav" as Qt writes a filter: "Sounds (*.wav)".
QString qt_filter(const std::string& filter) {
    const std::size_t bar = filter.find('|');
    return qs(bar == std::string::npos ? filter : filter.substr(0, bar));
}

}  // namespace

frmDialog::frmDialog(ValueKind kind, ValueDialogSpec form, ValuePair& target, Services& services, QWidget* owner)
    : QDialog(owner), kind_(kind), form_(std::move(form)), target_(target), services_(services) {
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(qs(form_.caption));
    lblDes = new QLabel(qs(form_.prompt), this);
    lblDes->setObjectName(QStringLiteral("lblDes"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);

    auto* row = new QHBoxLayout;
    if (form_.field) {
        txt = new QLineEdit(this);
        txt->setObjectName(QStringLiteral("txt"));
        if (form_.max_length > 0) txt->setMaxLength(form_.max_length);
        if (form_.number) {
            txt->setAlignment(Qt::AlignRight);
            // Whatever reaches the field that is not a digit (typed or pasted) goes at once.
            connect(txt, &QLineEdit::textChanged, this, [this](const QString& text) {
                const QString digits = qs(digits_only(text.toStdString()));
                if (digits != text) txt->setText(digits);
            });
        }
        row->addWidget(txt, 1);
    }
    if (!form_.list.empty()) {
        Combo = new QComboBox(this);
        Combo->setObjectName(QStringLiteral("Combo"));
        for (const std::string& item : form_.list) Combo->addItem(qs(item));
        Combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        // The open list is as wide as its longest entry (adapter descriptions can be long).
        Combo->view()->setMinimumWidth(Combo->view()->sizeHintForColumn(0) + 24);
        row->addWidget(Combo, form_.field ? 0 : 1);
    }
    if (!form_.unit_label.empty()) row->addWidget(new QLabel(qs(form_.unit_label), this));
    if (!form_.filter.empty()) {
        cmdBrowse = new QPushButton(QStringLiteral("..."), this);
        cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
        cmdBrowse->setAutoDefault(false);
        row->addWidget(cmdBrowse);
        connect(cmdBrowse, &QPushButton::clicked, this, &frmDialog::browse);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDes);
    layout->addLayout(row);
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &frmDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    choose_file = [](QWidget* parent, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    };

    const ValueInput in = initial_input(kind_, target_, static_cast<int>(form_.list.size()), form_.proposed);
    if (Combo != nullptr && in.list_index >= 0) Combo->setCurrentIndex(in.list_index);
    if (txt != nullptr) {
        txt->setText(qs(in.field));
        txt->selectAll();
        txt->setFocus();
    }
}

void frmDialog::set_adapters(const std::vector<std::string>& adapter_names) {
    if (kind_ != ValueKind::adapter || Combo == nullptr) return;
    const int chosen = Combo->currentIndex();
    form_.list = value_dialog_spec(kind_, adapter_names, {}).list;
    Combo->clear();
    for (const std::string& item : form_.list) Combo->addItem(qs(item));
    Combo->view()->setMinimumWidth(Combo->view()->sizeHintForColumn(0) + 24);
    Combo->setCurrentIndex(chosen < Combo->count() ? chosen : 0);
}

void frmDialog::show_entries(const std::vector<std::string>& adapter_entries) {
    if (kind_ != ValueKind::adapter || Combo == nullptr) return;
    // Entry 0 is "Multiple adapters"; what is stored stays the list's own text.
    for (int i = 0; i < static_cast<int>(adapter_entries.size()) && i + 1 < Combo->count(); ++i)
        Combo->setItemText(i + 1, qs(adapter_entries[static_cast<std::size_t>(i)]));
    Combo->view()->setMinimumWidth(Combo->view()->sizeHintForColumn(0) + 24);
}

void frmDialog::browse() {
    const QString path = choose_file(this, qt_filter(form_.filter));
    if (!path.isEmpty() && txt != nullptr) txt->setText(path);
}

void frmDialog::accept() {
    ValueInput in;
    in.list_index = Combo != nullptr ? Combo->currentIndex() : -1;
    in.field = txt != nullptr ? txt->text().toStdString() : std::string();
    ValuePair stored = target_;
    const std::string refusal = accept_value(kind_, form_, in, stored);
    if (!refusal.empty()) {
        show_refusal(services_, this, refusal);
        return;
    }
    target_ = stored;
    QDialog::accept();
}

void show_refusal(Services& services, QWidget* owner, const std::string& text) {
    if (services.msg_box == nullptr) return;
    if (auto* box = dynamic_cast<frmMsgBox*>(services.msg_box)) box->set_owner(owner);
    services.msg_box->show_message(text, false);
}

namespace {

// The adapters as the rules store them (interface names) and as the list shows them (gone
// interfaces marked).
struct AdapterEntries {
    std::vector<std::string> names;
    std::vector<std::string> shown;
};
AdapterEntries adapter_entries(AlertView state, Services& services) {
    clsIPStatistics stats(services.tables, services.dialogs, state.table_messages);
    AdapterEntries entries;
    for (int i = 1; i <= stats.Found_Adaptors(); ++i) entries.names.push_back(stats.entry(i).description);
    entries.shown = adapter_list_names(stats);
    return entries;
}

}  // namespace

void refresh_adapter_dialogs(AlertView state, Services& services) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<frmDialog*>(w);
        if (dialog == nullptr || !dialog->isVisible() || dialog->kind() != ValueKind::adapter) continue;
        const AdapterEntries entries = adapter_entries(state, services);
        dialog->set_adapters(entries.names);
        dialog->show_entries(entries.shown);
    }
}

frmDialog* open_value_dialog(QWidget* owner, AlertView state, Services& services, AlertRule& rule,
                             const SentenceWord& word, std::function<void()> closed) {
    const ValueKind kind = value_kind_of(rule.ConditionKind, word);
    if (kind == ValueKind::none) return nullptr;
    AdapterEntries adapters;
    if (kind == ValueKind::adapter) adapters = adapter_entries(state, services);
    ValueDialogSpec form = value_dialog_spec(kind, adapters.names, state.settings.CusPerName);
    // An unfilled adapter is the one the main window monitors.
    if (kind == ValueKind::adapter) form.proposed = state.settings.Adapter;
    auto* dialog = new frmDialog(kind, std::move(form), rule.value(word.part + 1, word.slot), services, owner->window());
    if (kind == ValueKind::adapter) dialog->show_entries(adapters.shown);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QWidget* window = owner->window();
    QObject::connect(dialog, &QDialog::finished, owner, [window, closed = std::move(closed)](int) {
        closed();
        window->activateWindow();
    });
    dialog->open();
    return dialog;
}
