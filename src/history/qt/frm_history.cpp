#include "history/qt/frm_history.h"

#include "history/history_table_amounts.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QScreen>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "display/qt/main_window_behaviour.h"
#include "history/history_export.h"
#include "history/qt/c_file_dialog.h"
#include "history/qt/history_images.h"
#include "settings/settings_store.h"

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// The adapter number a Totals label starts with (-1 when none).
int leading_adapter(const QString& label) {
    bool ok = false;
    const int n = label.section(QLatin1Char(' '), 0, 0).toInt(&ok);
    return ok ? n : -1;
}

void set_item_texts(QTreeWidgetItem* item, const HistoryItem& shown) {
    for (int c = 0; c < 4; ++c) item->setText(c, qs(shown.cells[static_cast<std::size_t>(c)]));
}

QTreeWidgetItem* make_item(const HistoryItem& shown, const QIcon& icon) {
    auto* item = new QTreeWidgetItem;
    set_item_texts(item, shown);
    for (int c = 1; c < 4; ++c) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    item->setIcon(0, icon);
    return item;
}

}  // namespace

frmHistory::frmHistory(HistoryWindowContext context, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(std::move(context)) {
    setObjectName(QStringLiteral("frmHistory"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Transfer History"));
    for (int i = 0; i < 5; ++i) images_[static_cast<std::size_t>(i)] = draw_history_image(i);

    TabStrip_ = new QTabBar(this);
    TabStrip_->setObjectName(QStringLiteral("TabStrip"));
    for (int t = 0; t < kHistoryTabCount; ++t) {
        const HistoryTabInfo& info = history_tab_info(static_cast<HistoryTab>(t));
        TabStrip_->addTab(QString::fromLatin1(info.caption));
        TabStrip_->setTabToolTip(t, QString::fromLatin1(info.tooltip));
    }
    TabStrip_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(TabStrip_, &QTabBar::customContextMenuRequested, this, &frmHistory::show_popup);
    connect(TabStrip_, &QTabBar::currentChanged, this, [this](int t) {
        if (!opening_ && t >= 0) build_tab(static_cast<HistoryTab>(t), false);
    });

    ListView_ = new QTreeWidget(this);
    ListView_->setObjectName(QStringLiteral("ListView"));
    ListView_->header()->setToolTip(QStringLiteral("Click a column to sort by it; F5 shows the latest amounts; right-click to export"));
    ListView_->setColumnCount(4);
    ListView_->setRootIsDecorated(false);
    ListView_->setUniformRowHeights(true);
    ListView_->setSortingEnabled(false);
    ListView_->setAllColumnsShowFocus(true);
    ListView_->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView_->header()->setSectionsClickable(true);
    ListView_->header()->setStretchLastSection(false);
    connect(ListView_->header(), &QHeaderView::sectionClicked, this, &frmHistory::sort_by_column);
    connect(ListView_->header(), &QHeaderView::sectionResized, this, &frmHistory::column_resized);
    connect(ListView_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int) {
        choose_row(ListView_->indexOfTopLevelItem(item));
    });

    mnuPopUp_ = new QMenu(this);
    mnuPopUp_->setObjectName(QStringLiteral("mnuPopUp"));
    QAction* mnuExport = mnuPopUp_->addAction(QStringLiteral("&Export"));
    mnuExport->setObjectName(QStringLiteral("mnuExport"));
    mnuExport->setShortcut(QKeySequence::Save);
    mnuExport->setShortcutContext(Qt::WindowShortcut);
    addAction(mnuExport);  // Ctrl+S works while the menu is closed
    connect(mnuExport, &QAction::triggered, this, &frmHistory::mnuExport_Click);

    // The export is offered wherever the user right-clicks: the tab strip, the list (rows or
    // the empty area below them) and the list's header.
    ListView_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { mnuPopUp_->popup(ListView_->viewport()->mapToGlobal(pos)); });
    ListView_->header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ListView_->header(), &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { mnuPopUp_->popup(ListView_->header()->viewport()->mapToGlobal(pos)); });

    lblAdapter_ = new QLabel(this);
    lblAdapter_->setObjectName(QStringLiteral("lblAdapter"));
    lblAdapter_->setContentsMargins(4, 3, 4, 3);
    lblAdapter_->setToolTip(QStringLiteral("Click an adapter on the Totals tab to show its history on the other tabs"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TabStrip_);
    layout->addWidget(lblAdapter_);
    layout->addWidget(ListView_, 1);
}

// The main window's state may be gone when its child windows are deleted: nothing here.
frmHistory::~frmHistory() = default;

const Locale& frmHistory::locale() const { return history_locale(ctx_, fallback_locale_); }

void frmHistory::open() {
    Settings& s = ctx_.settings;
    opening_ = true;
    if (parentWidget() != nullptr) setWindowIcon(parentWidget()->windowIcon());
    if (s.AlwaysOnTop == 1) setWindowFlag(Qt::WindowStaysOnTopHint, true);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(s.frmHistoryWidth, s.frmHistoryHeight);
    const int left = s.frmHistoryLeft == kWindowPositionUnset ? area.x() + (area.width() - width()) / 2 : s.frmHistoryLeft;
    const int top = s.frmHistoryTop == kWindowPositionUnset ? area.y() + (area.height() - height()) / 2 : s.frmHistoryTop;
    // A place stored on a screen that has gone (or grown smaller) is brought onto the screens.
    move(place_on_screens(QRect(left, top, width(), height())));
    if (s.frmHistoryState == 1) setWindowState(Qt::WindowMinimized);
    if (s.frmHistoryState == 2) setWindowState(Qt::WindowMaximized);

    adapter_ = s.Adapter;
    for (int t = 0; t < kHistoryTabCount; ++t) sort_[static_cast<std::size_t>(t)] = stored_sort(s, static_cast<HistoryTab>(t));
    build_tab(static_cast<HistoryTab>(std::max(0, TabStrip_->currentIndex())), false);
    opening_ = false;
    ctx_.window_open = true;
    show();
    raise();
    activateWindow();
}

void frmHistory::refresh() {
    build_tab(static_cast<HistoryTab>(std::max(0, TabStrip_->currentIndex())), true);
}

HistoryRows frmHistory::make_rows(HistoryTab tab) const { return history_window_rows(ctx_, tab, adapter_, locale()); }

std::string frmHistory::adapter_name() const { return history_adapter_name(ctx_, adapter_); }

void frmHistory::show_adapter_line() { lblAdapter_->setText(qs(history_adapter_line(shown_tab_, adapter_, adapter_name()))); }

void frmHistory::build_tab(HistoryTab tab, bool refresh) {
    if (tab_shown_ && tab != shown_tab_ && !opening_) {
        store_column_widths(shown_tab_, kHistoryColumns);
        SettingValues widths;
        for (int c = 0; c < kHistoryColumns; ++c) {
            widths.emplace_back(column_width_name(shown_tab_, c),
                                ctx_.settings.frmHistoryColWidth[static_cast<std::size_t>(shown_tab_)][static_cast<std::size_t>(c)]);
        }
        write(widths);
    }
    const bool in_place = refresh && tab_shown_ && tab == shown_tab_ && tab != kTabTotals;
    shown_tab_ = tab;
    tab_shown_ = true;
    rows_ = make_rows(tab);
    sort_for_list(rows_, tab, sort_[static_cast<std::size_t>(tab)]);
    if (in_place) {
        refresh_in_place();
        fit_columns();
        return;
    }
    const std::array<std::string, 4> headers = history_headers(tab);
    sizing_columns_ = true;
    ListView_->setHeaderLabels({qs(headers[0]), qs(headers[1]), qs(headers[2]), qs(headers[3])});
    sizing_columns_ = false;
    show_sort_images();
    fill_list();
    if (tab == kTabTotals) mark_chosen_adapter(true);
    fit_columns();
    show_adapter_line();
}

void frmHistory::fill_list() {
    ListView_->clear();
    const HistoryItems items =
        list_items(rows_, sort_[static_cast<std::size_t>(shown_tab_)], ctx_.settings, locale());
    const QIcon& icon = image(shown_tab_ == kTabTotals ? kImageAdapter : kImageHistory);
    QList<QTreeWidgetItem*> list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const HistoryItem& shown : items) list.append(make_item(shown, icon));
    ListView_->addTopLevelItems(list);
}

void frmHistory::refresh_in_place() {
    const HistoryItems items =
        list_items(rows_, sort_[static_cast<std::size_t>(shown_tab_)], ctx_.settings, locale());
    const QTreeWidgetItem* current = ListView_->currentItem();
    const QString selected = current != nullptr && current->isSelected() ? current->text(0) : QString();
    const int existing = ListView_->topLevelItemCount();
    QList<QTreeWidgetItem*> added;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (static_cast<int>(i) < existing) {
            set_item_texts(ListView_->topLevelItem(static_cast<int>(i)), items[i]);
        } else {
            added.append(make_item(items[i], image(kImageHistory)));
        }
    }
    ListView_->addTopLevelItems(added);
    while (ListView_->topLevelItemCount() > static_cast<int>(items.size())) {
        delete ListView_->takeTopLevelItem(ListView_->topLevelItemCount() - 1);
    }
    if (selected.isEmpty()) return;
    // Keep the same row (by its label) selected, wherever the new items put it.
    for (int i = 0; i < ListView_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView_->topLevelItem(i);
        if (item->text(0) != selected) continue;
        ListView_->setCurrentItem(item);
        break;
    }
}

void frmHistory::show_sort_images() {
    const HistorySort sort = sort_[static_cast<std::size_t>(shown_tab_)];
    QTreeWidgetItem* header = ListView_->headerItem();
    for (int c = 0; c < kHistoryColumns; ++c) {
        header->setIcon(c, c == sort.column ? image(sort.order == 0 ? kImageAscending : kImageDescending) : QIcon());
        header->setTextAlignment(c, (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
}

void frmHistory::mark_chosen_adapter(bool select) {
    for (int i = 0; i < ListView_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = ListView_->topLevelItem(i);
        const bool chosen = leading_adapter(item->text(0)) == adapter_;
        item->setIcon(0, image(chosen ? kImageChosenAdapter : kImageAdapter));
        if (chosen && select) ListView_->setCurrentItem(item);
    }
}

void frmHistory::choose_row(int row) {
    if (shown_tab_ != kTabTotals || row < 0 || row >= ListView_->topLevelItemCount()) return;
    adapter_ = adapter_from_totals_label(ListView_->topLevelItem(row)->text(0).toStdString(), adapter_);
    mark_chosen_adapter(false);
    show_adapter_line();
}

void frmHistory::sort_by_column(int column) {
    if (column < 0 || column >= kHistoryColumns) return;
    HistorySort& sort = sort_[static_cast<std::size_t>(shown_tab_)];
    sort = sort_after_click(sort, column);
    // The rows may be ordered by another column now; the sort key restores build order.
    shell_sort_rows(rows_, sort.column);
    fill_list();
    if (shown_tab_ == kTabTotals) mark_chosen_adapter(true);
    show_sort_images();
    fit_columns();
    for (int t = 0; t < kHistoryTabCount; ++t) {
        store_sort(ctx_.settings, static_cast<HistoryTab>(t), sort_[static_cast<std::size_t>(t)]);
    }
    write(sort_setting_values(ctx_.settings));
}

HistoryItems frmHistory::shown_items() const {
    HistoryItems items;
    items.reserve(static_cast<std::size_t>(ListView_->topLevelItemCount()));
    for (int i = 0; i < ListView_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ListView_->topLevelItem(i);
        HistoryItem shown;
        for (int c = 0; c < 4; ++c) shown.cells[static_cast<std::size_t>(c)] = item->text(c).toStdString();
        items.push_back(std::move(shown));
    }
    return items;
}

void frmHistory::show_popup(const QPoint& pos) {
    const int t = TabStrip_->tabAt(pos);
    if (t < 0) return;
    TabStrip_->setCurrentIndex(t);
    mnuPopUp_->popup(TabStrip_->mapToGlobal(pos));
}

void frmHistory::mnuExport_Click() {
    cFileDialog dialog;
    dialog.setFilter(QString::fromLatin1(kExportFilter));
    dialog.flags = cFileDialog::kOverwritePrompt;
    dialog.hwnd = this;
    dialog.FilterIndex = ctx_.settings.LastExportFormat;
    dialog.DefaultExt = QString::fromLatin1(kExportDefaultExt);
    dialog.ShowSave();
    if (dialog.CancelError) return;
    export_to(QFile::encodeName(dialog.FileName).toStdString(), dialog.FilterIndex);
}

bool frmHistory::export_to(const std::string& path, int format) {
    std::array<std::string, 4> headers;
    for (int c = 0; c < 4; ++c) headers[static_cast<std::size_t>(c)] = ListView_->headerItem()->text(c).toStdString();
    return export_history_list(ctx_, path, format, shown_tab_, adapter_, headers, shown_items(), locale());
}

void frmHistory::write(const SettingValues& values) {
    if (ctx_.write_settings) ctx_.write_settings(values);
}

void frmHistory::keyPressEvent(QKeyEvent* event) {
    // Keys the list and the tab strip leave unhandled arrive here.
    if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier) {
        refresh();
    } else if (event->key() == Qt::Key_Escape) {
        close();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void frmHistory::closeEvent(QCloseEvent* event) {
    Settings& s = ctx_.settings;
    const Qt::WindowStates st = windowState();
    if ((st & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0) {
        s.frmHistoryLeft = x();
        s.frmHistoryTop = y();
        s.frmHistoryWidth = width();
        s.frmHistoryHeight = height();
    }
    s.frmHistoryState = (st & Qt::WindowMinimized) ? 1 : ((st & Qt::WindowMaximized) ? 2 : 0);
    if (tab_shown_) store_column_widths(shown_tab_, 3);
    write(window_setting_values(s, shown_tab_, 3));
    ctx_.window_open = false;
    QWidget::closeEvent(event);
}
