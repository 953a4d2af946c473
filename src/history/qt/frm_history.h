#pragma once

#include <QIcon>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "history/stats_record.h"
#include "platform/services.h"
#include "history/history_list.h"
#include "history/history_window.h"

class QLabel;
class QMenu;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

// The history window: totals per adapter and the daily, weekly, monthly and yearly history of
// one adapter, sortable by column, exportable as text or HTML.
class frmHistory : public QWidget {
    Q_OBJECT
public:
    frmHistory(HistoryWindowContext context, QWidget* parent = nullptr);
    ~frmHistory() override;

    // Places the window from the settings, chooses the main window's adapter, builds the
    // selected tab and shows the window.
    void open();
    // Rebuilds the shown tab with the latest amounts (F5).
    void refresh();
    // Sorts by list column 0..3 as a click on its header does.
    void sort_by_column(int column);
    // Chooses the adapter of a Totals row (list index), as a click on it does.
    void choose_row(int row);
    // Asks for a file and exports the list as shown.
    void mnuExport_Click();
    // Writes the list as shown to `path` in format 1 (text) or 2 (HTML) and remembers the
    // format; a file that cannot be written is reported and nothing else changes.
    bool export_to(const std::string& path, int format);

    HistoryTab shown_tab() const { return shown_tab_; }
    int history_adapter() const { return adapter_; }
    QTabBar* TabStrip() const { return TabStrip_; }
    QTreeWidget* ListView() const { return ListView_; }
    QMenu* mnuPopUp() const { return mnuPopUp_; }
    // The line above the list naming the adapter the history tabs show.
    QLabel* adapter_line() const { return lblAdapter_; }
    // The list as shown: the item texts and their amounts.
    HistoryItems shown_items() const;

    // The images of the list, in image-list order.
    enum Image { kImageAdapter = 0, kImageChosenAdapter, kImageHistory, kImageAscending, kImageDescending };
    const QIcon& image(Image i) const { return images_[static_cast<std::size_t>(i)]; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build_tab(HistoryTab tab, bool refresh);
    HistoryRows make_rows(HistoryTab tab) const;
    void fill_list();
    void refresh_in_place();
    void show_sort_images();
    void mark_chosen_adapter(bool select);
    // The history adapter's interface name as the lists show it ("" for the aggregate).
    std::string adapter_name() const;
    void show_adapter_line();
    const Locale& locale() const;
    void store_column_widths(HistoryTab tab, int columns);
    // Columns without a stored width fit their widest value (header included); the others
    // take their stored width.
    void fit_columns();
    int fitted_width(int column) const;
    void column_resized(int column, int old_width, int width);
    void write(const SettingValues& values);
    void show_popup(const QPoint& pos);

    HistoryWindowContext ctx_;
    QTabBar* TabStrip_ = nullptr;
    QTreeWidget* ListView_ = nullptr;
    QMenu* mnuPopUp_ = nullptr;
    QLabel* lblAdapter_ = nullptr;
    std::array<QIcon, 5> images_;
    HistoryTab shown_tab_ = kTabTotals;
    bool tab_shown_ = false;
    bool opening_ = false;
    bool sizing_columns_ = false;  // the window itself sizes the columns: no user width
    int adapter_ = 0;
    std::array<HistorySort, kHistoryTabCount> sort_{};
    HistoryRows rows_;  // the row table of the last build, sorted as listed
    EnglishLocale fallback_locale_;
};
