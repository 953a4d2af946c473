#include "settings/qt/frm_options.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "display/qt/secondary_windows.h"
#include "settings/qt/options_page.h"
#include "settings/qt/options_pages.h"

QString frmOptions::digits_only(const QString& text) { return OptionsPage::digits_only(text); }

frmOptions::frmOptions(OptionsHost& host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Settings"));
    setModal(false);
    // A window of its own, on top from the start when the main window is: Apply then finds
    // nothing to change and the dialog keeps its native window.
    Qt::WindowFlags flags = windowFlags() | Qt::Window;
    flags.setFlag(Qt::WindowStaysOnTopHint, host_.options_state().settings.AlwaysOnTop != 0);
    setWindowFlags(flags);
    tree_ = new QTreeWidget(this);
    tree_->setHeaderHidden(true);
    tree_->setMinimumWidth(130);
    stack_ = new QStackedWidget(this);
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdApply = new QPushButton(QStringLiteral("&Apply"), this);
    cmdApply->setEnabled(false);
    cmdOK->setDefault(true);
    cmdOK->setToolTip(QStringLiteral("Keep the changes and close"));
    cmdCancel->setToolTip(QStringLiteral("Throw the changes away: the stored settings come back"));
    cmdApply->setToolTip(QStringLiteral("Keep the changes and stay here"));

    auto* body = new QHBoxLayout;
    body->addWidget(tree_);
    body->addWidget(stack_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    buttons->addWidget(cmdApply);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(body, 1);
    outer->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::ok);
    connect(cmdCancel, &QPushButton::clicked, this, &frmOptions::cancel);
    connect(cmdApply, &QPushButton::clicked, this, &frmOptions::apply);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr) stack_->setCurrentIndex(item->data(0, Qt::UserRole).toInt());
    });

    build_pages();
    tree_->expandAll();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && stack_->isAncestorOf(now)) last_field_ = now;
    });
    fill();
    show_page(host_.last_page.isEmpty() || page(host_.last_page) == nullptr ? pages_.front().caption : host_.last_page);
    resize(560, 420);
    host_.options_opened(this);
}

void frmOptions::build_pages() {
    for (const OptionsPageEntry& entry : options_pages()) {
        // Each page sits under its bold caption.
        auto* holder = new QWidget(stack_);
        holder->setObjectName(entry.caption);
        auto* layout = new QVBoxLayout(holder);
        layout->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(entry.caption.toHtmlEscaped()), holder));
        OptionsPage* page = entry.make(host_, holder);
        layout->addWidget(page);
        layout->addStretch(1);
        const int index = stack_->addWidget(holder);

        QTreeWidgetItem* parent_node = nullptr;
        if (!entry.parent.isEmpty()) {
            const auto found = tree_->findItems(entry.parent, Qt::MatchExactly | Qt::MatchRecursive);
            if (!found.isEmpty()) parent_node = found.first();
        }
        auto* node = parent_node ? new QTreeWidgetItem(parent_node) : new QTreeWidgetItem(tree_);
        node->setText(0, entry.caption);
        node->setData(0, Qt::UserRole, index);

        pages_.push_back({entry.caption, page});
        connect(page, &OptionsPage::changed, this, [this, page] { page_changed(page); });
        connect(page, &OptionsPage::show_requested, this, [this, caption = entry.caption] { show_page(caption); });
        connect(page, &OptionsPage::field_at_fault, this, &frmOptions::show_field);
    }
}

void frmOptions::show_page(const QString& caption) {
    const auto found = tree_->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
    if (!found.isEmpty()) tree_->setCurrentItem(found.first());
}

QString frmOptions::current_page() const {
    return tree_->currentItem() ? tree_->currentItem()->text(0) : QString();
}

OptionsPage* frmOptions::page(const QString& caption) const {
    for (const Page& p : pages_) {
        if (p.caption == caption) return p.page;
    }
    return nullptr;
}

void frmOptions::fill() {
    for (const Page& p : pages_) p.page->fill();
}

void frmOptions::show_field(const QString& caption_of_page, const QString& caption) {
    OptionsPage* shown = page(caption_of_page);
    if (shown == nullptr) return;
    show_page(caption_of_page);
    for (QFormLayout* form : shown->findChildren<QFormLayout*>()) {
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* label = form->itemAt(row, QFormLayout::LabelRole);
            QLayoutItem* field = form->itemAt(row, QFormLayout::FieldRole);
            auto* l = label ? qobject_cast<QLabel*>(label->widget()) : nullptr;
            if (l == nullptr || field == nullptr || field->widget() == nullptr || l->text() != caption) continue;
            field->widget()->setFocus(Qt::OtherFocusReason);
            if (auto* edit = qobject_cast<QLineEdit*>(field->widget())) edit->selectAll();
            return;
        }
    }
}

QWidget* frmOptions::front_window() {
    const OpenWindows open = open_windows();
    OpenWindows inner;
    inner.options = true;
    inner.colour_dialog = open.colour_dialog;
    inner.new_preset = open.new_preset;
    inner.rename_preset = open.rename_preset;
    inner.value_dialog = open.value_dialog;
    inner.rule_editor = open.rule_editor;
    QWidget* front = find_open_window(window_to_bring_forward(inner));
    return front != nullptr ? front : this;
}

void frmOptions::adapters_changed() {
    for (const Page& p : pages_) p.page->adapters_changed();
}

void frmOptions::page_changed(OptionsPage* page) {
    cmdApply->setEnabled(true);
    page->preview();
    host_.options_preview();
    for (const Page& p : pages_) {
        if (p.page != page) p.page->other_page_changed();
    }
}

void frmOptions::store(bool close_after) {
    // A fraction in a box for whole numbers is mended before anything is stored.
    for (const Page& p : pages_) {
        QLineEdit* box = p.page->box_with_fraction();
        if (box == nullptr) continue;
        show_page(p.caption);
        box->setFocus(Qt::OtherFocusReason);
        host_.show_message(this, OptionsPage::whole_numbers_message(box->property("kelvanto_caption").toString())
                                     .toStdString());
        return;
    }
    for (const Page& p : pages_) {
        if (!p.page->check()) return;
    }
    host_.options_store();
    for (const Page& p : pages_) p.page->store(close_after);
    if (close_after) {
        close_dialog();
        return;
    }
    // The pages show what is stored now (a number brought into range, for example).
    fill();
    // A disabled Apply hands its focus on down the tab order, selecting the text of the field
    // it lands in; the focus goes back to the field the user was in instead.
    const QPointer<QWidget> field = last_field_;
    cmdApply->setEnabled(false);
    activateWindow();
    if (field != nullptr && field->isVisible() && field->isEnabled())
        field->setFocus(Qt::OtherFocusReason);
    else
        cmdOK->setFocus(Qt::OtherFocusReason);
    host_.options_preview();
}

void frmOptions::ok() { store(true); }

void frmOptions::apply() { store(false); }

void frmOptions::cancel() {
    if (closing_) return;
    host_.options_discard();
    close_dialog();
}

void frmOptions::close_dialog() {
    closing_ = true;
    host_.last_page = current_page();
    hide();
    host_.options_closed();
}

void frmOptions::reject() { cancel(); }

void frmOptions::closeEvent(QCloseEvent* event) {
    if (!closing_) cancel();
    event->accept();
}
