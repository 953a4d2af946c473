#include "display/qt/frm_edit_item.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "display/item_list.h"
#include "history/period_totals.h"

frmEditItem::frmEditItem(DisplayView state, const std::vector<std::string>& adapter_names, QWidget* parent)
    : QDialog(parent), state_(state) {
    setWindowTitle(QStringLiteral("Edit Item"));
    setWindowFlag(Qt::WindowStaysOnTopHint, state_.settings.AlwaysOnTop != 0);

    txtName = new QLineEdit(this);
    cboType = new QComboBox(this);
    for (int t = kItemDownloadRate; t <= kItemTextLabel; ++t)
        cboType->addItem(QString::fromStdString(item_type_name(t)));
    cboPeriod = new QComboBox(this);
    for (int k = 0; k < kPeriodKinds - 1; ++k) cboPeriod->addItem(QString::fromStdString(period_name(state_, k)));
    const std::string custom = state_.settings.CusPerName.empty() ? "User defined" : state_.settings.CusPerName;
    cboPeriod->addItem(QString::fromStdString(custom));
    cboAdapter = new QComboBox(this);
    set_adapter_names(adapter_names);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Name:"), txtName);
    form->addRow(QStringLiteral("Type:"), cboType);
    form->addRow(QStringLiteral("Period:"), cboPeriod);
    form->addRow(QStringLiteral("Adapter:"), cboAdapter);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmEditItem::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEditItem::reject);
    connect(txtName, &QLineEdit::textChanged, this, [this] { apply_fields(); });
    for (QComboBox* box : {cboType, cboPeriod, cboAdapter})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { apply_fields(); });
}

void frmEditItem::set_adapter_names(const std::vector<std::string>& adapter_names) {
    loading_ = true;
    cboAdapter->clear();
    cboAdapter->addItem(QStringLiteral("Multiple adapters"));
    for (const std::string& name : adapter_names) cboAdapter->addItem(QString::fromStdString(name));
    cboAdapter->view()->setMinimumWidth(GetComboWidth());
    // An adapter that has gone keeps its number in the item; the list then shows no entry.
    if (const FormItem* i = current()) cboAdapter->setCurrentIndex(i->Adapter < cboAdapter->count() ? i->Adapter : -1);
    loading_ = false;
}

int frmEditItem::GetComboWidth() const {
    int widest = 0;
    const QFontMetrics metrics(cboAdapter->font());
    for (int i = 0; i < cboAdapter->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(QStringLiteral("  ") + cboAdapter->itemText(i)));
    return widest;
}

FormItem* frmEditItem::current() {
    if (item_ < 1 || item_ > static_cast<int>(state_.display_list.size())) return nullptr;
    return &state_.display_list[static_cast<std::size_t>(item_ - 1)];
}

void frmEditItem::start_new(int item, int previous_selection) {
    item_ = item;
    previous_selection_ = previous_selection;
    creating_ = true;
    load_fields();
    apply_fields();
}

void frmEditItem::start_modify(int item) {
    item_ = item;
    creating_ = false;
    if (const FormItem* i = current()) kept_ = *i;
    load_fields();
    apply_fields();
}

void frmEditItem::load_fields() {
    const FormItem* i = current();
    if (!i) return;
    loading_ = true;
    txtName->setText(QString::fromStdString(i->Name));
    cboType->setCurrentIndex(i->Type < cboType->count() ? i->Type : 0);
    cboPeriod->setCurrentIndex(i->Period < cboPeriod->count() ? i->Period : 0);
    cboAdapter->setCurrentIndex(i->Adapter < cboAdapter->count() ? i->Adapter : 0);
    loading_ = false;
}

void frmEditItem::apply_fields() {
    if (loading_) return;
    FormItem* i = current();
    if (!i) return;
    i->Type = static_cast<std::uint8_t>(std::max(0, cboType->currentIndex()));
    i->Period = static_cast<std::uint8_t>(std::max(0, cboPeriod->currentIndex()));
    i->Adapter = static_cast<std::uint8_t>(std::max(0, cboAdapter->currentIndex()));
    i->Name = txtName->text().toStdString();
    cboPeriod->setEnabled(i->Type == kItemTransferred);
    cboAdapter->setEnabled(i->Type != kItemTextLabel);
    if (redraw) redraw();
}

void frmEditItem::accept() {
    apply_fields();
    StoreCustomList(state_);
    QDialog::accept();
}

void frmEditItem::reject() {
    if (creating_) {
        if (current()) state_.display_list.erase(state_.display_list.begin() + (item_ - 1));
    } else if (FormItem* i = current()) {
        *i = kept_;
    }
    StoreCustomList(state_);
    item_ = 0;
    if (redraw) redraw();
    QDialog::reject();
}
