#include "display/qt/item_panel.h"

#include "settings/form_item.h"
#include "settings/settings.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "display/item_list.h"
#include "display/qt/frm_edit_item.h"

ItemPanel::ItemPanel(DisplayView state, Dialogs& dialogs, ItemPanelHooks hooks, QWidget* parent)
    : OptionsPage(parent), state_(state), dialogs_(dialogs), hooks_(std::move(hooks)) {
    lstItems = new QListWidget(this);
    cmdNew = new QPushButton(QStringLiteral("&New"), this);
    cmdModify = new QPushButton(QStringLiteral("&Modify"), this);
    cmdCopy = new QPushButton(QStringLiteral("&Copy"), this);
    cmdRemove = new QPushButton(QStringLiteral("&Remove"), this);
    cmdUp = new QPushButton(QString(QChar(0x2191)), this);
    cmdUp->setToolTip(QStringLiteral("Move item up"));
    cmdDown = new QPushButton(QString(QChar(0x2193)), this);
    cmdDown->setToolTip(QStringLiteral("Move item down"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(lstItems, 0, 0, 6, 1);
    grid->addWidget(cmdNew, 0, 1);
    grid->addWidget(cmdModify, 1, 1);
    grid->addWidget(cmdCopy, 2, 1);
    grid->addWidget(cmdRemove, 3, 1);
    grid->addWidget(cmdUp, 4, 1);
    grid->addWidget(cmdDown, 5, 1);
    lblSwitch = new QLabel(QStringLiteral("Your own items are made here once \"Enable custom items\" is ticked on the "
                                          "Layout page; until then the Layout page chooses the standard items."),
                           this);
    lblSwitch->setWordWrap(true);
    grid->addWidget(lblSwitch, 6, 0, 1, 2);

    connect(cmdNew, &QPushButton::clicked, this, &ItemPanel::NewItem);
    connect(cmdModify, &QPushButton::clicked, this, &ItemPanel::ModifyItem);
    connect(cmdCopy, &QPushButton::clicked, this, &ItemPanel::CopyItem);
    connect(cmdRemove, &QPushButton::clicked, this, &ItemPanel::RemoveItem);
    connect(cmdUp, &QPushButton::clicked, this, &ItemPanel::MoveUp);
    connect(cmdDown, &QPushButton::clicked, this, &ItemPanel::MoveDown);
    connect(lstItems, &QListWidget::itemChanged, this, &ItemPanel::on_item_changed);
    connect(lstItems, &QListWidget::currentRowChanged, this, &ItemPanel::on_row_changed);
    fill();
}

void ItemPanel::fill() {
    const bool custom = state_.settings.ShowAdvItems != 0;
    lblSwitch->setVisible(!custom);
    lstItems->setEnabled(custom);
    cmdNew->setEnabled(custom);
    if (custom) {
        UpdateItemList();
        return;
    }
    filling_ = true;
    lstItems->clear();
    filling_ = false;
    for (QPushButton* b : {cmdModify, cmdCopy, cmdRemove, cmdUp, cmdDown}) b->setEnabled(false);
}

void ItemPanel::adapters_changed() {
    if (hooks_.adapter_names) set_adapter_names(hooks_.adapter_names());
}

void ItemPanel::set_adapter_names(std::vector<std::string> names) {
    adapter_names_ = std::move(names);
    if (editor_ != nullptr && editor_->isVisible()) editor_->set_adapter_names(adapter_names_);
}

void ItemPanel::UpdateItemList() {
    filling_ = true;
    const int count = static_cast<int>(state_.display_list.size());
    for (int i = 0; i < count; ++i) {
        const FormItem& item = state_.display_list[static_cast<std::size_t>(i)];
        QListWidgetItem* line = lstItems->item(i);
        if (!line) {
            line = new QListWidgetItem(lstItems);
            line->setFlags(line->flags() | Qt::ItemIsUserCheckable);
        }
        line->setText(QString::fromStdString(item.Name));
        line->setCheckState(item.Enabled != 0 ? Qt::Checked : Qt::Unchecked);
    }
    while (lstItems->count() > count) delete lstItems->takeItem(lstItems->count() - 1);
    if (selected_ > count) selected_ = count;
    if (selected_ == 0 && count > 0) selected_ = 1;
    lstItems->setCurrentRow(selected_ - 1);
    filling_ = false;
    update_buttons();
}

void ItemPanel::update_buttons() {
    const ItemButtons b = item_buttons(static_cast<int>(state_.display_list.size()), selected_);
    cmdRemove->setEnabled(b.remove);
    cmdCopy->setEnabled(b.copy);
    cmdModify->setEnabled(b.modify);
    cmdUp->setEnabled(b.up);
    cmdDown->setEnabled(b.down);
}

void ItemPanel::on_row_changed(int row) {
    if (filling_) return;
    selected_ = row + 1;
    update_buttons();
}

void ItemPanel::on_item_changed(QListWidgetItem* /*item*/) {
    if (filling_) return;
    for (int i = 0; i < lstItems->count() && i < static_cast<int>(state_.display_list.size()); ++i)
        state_.display_list[static_cast<std::size_t>(i)].Enabled = lstItems->item(i)->checkState() == Qt::Checked ? 255 : 0;
    after_edit(true);
}

void ItemPanel::after_edit(bool fit) {
    StoreCustomList(state_);
    if (fit && hooks_.fit_window_height) hooks_.fit_window_height();
    update_buttons();
    if (hooks_.enable_apply) hooks_.enable_apply();
    report_change();
    if (hooks_.redraw) hooks_.redraw();
}

bool ItemPanel::refuse_when_full() {
    if (static_cast<int>(state_.display_list.size()) < kMaxItems) return false;
    MessageBoxRequest request;
    request.text = kListFullMessage;
    request.title = "Kelvanto";
    request.icon = MsgIcon::information;
    dialogs_.message_box(request);
    return true;
}

void ItemPanel::CopyItem() {
    if (refuse_when_full()) return;
    if (!copy_item(state_.display_list, selected_)) return;
    UpdateItemList();
    after_edit(true);
}

void ItemPanel::RemoveItem() {
    if (!remove_item(state_.display_list, selected_)) return;
    UpdateItemList();
    after_edit(true);
}

void ItemPanel::MoveUp() {
    if (!move_item_up(state_.display_list, selected_)) return;
    UpdateItemList();
    after_edit(false);
}

void ItemPanel::MoveDown() {
    if (!move_item_down(state_.display_list, selected_)) return;
    UpdateItemList();
    after_edit(false);
}

frmEditItem* ItemPanel::editor() const { return editor_.data(); }

frmEditItem* ItemPanel::open_editor() {
    delete editor_;
    editor_ = new frmEditItem(state_, adapter_names_, this);
    editor_->setAttribute(Qt::WA_DeleteOnClose);
    editor_->setWindowModality(Qt::WindowModal);
    editor_->redraw = hooks_.redraw;
    connect(editor_, &QDialog::finished, this, [this](int result) { editor_closed(result == QDialog::Accepted); });
    return editor_;
}

void ItemPanel::NewItem() {
    if (refuse_when_full()) return;
    const int previous = selected_;
    if (!append_new_item(state_.display_list, selected_, static_cast<int>(adapter_names_.size()))) return;
    frmEditItem* editor = open_editor();
    editor->start_new(selected_, previous);
    editor->show();
    if (hooks_.fit_window_height) hooks_.fit_window_height();
}

void ItemPanel::ModifyItem() {
    selected_ = lstItems->currentRow() + 1;
    if (selected_ < 1) return;
    if (hooks_.set_owner_enabled) hooks_.set_owner_enabled(false);
    frmEditItem* editor = open_editor();
    editor->start_modify(selected_);
    editor->show();
}

void ItemPanel::editor_closed(bool accepted) {
    if (!accepted && editor_ && editor_->creating()) selected_ = editor_->previous_selection();
    UpdateItemList();
    if (!accepted && hooks_.fit_window_height) hooks_.fit_window_height();
    if (hooks_.set_owner_enabled) hooks_.set_owner_enabled(true);
    if (accepted && hooks_.enable_apply) hooks_.enable_apply();
    if (accepted) report_change();
    if (hooks_.redraw) hooks_.redraw();
}
