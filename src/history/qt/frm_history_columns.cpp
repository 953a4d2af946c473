// The history list's column widths: fitted to the values, or as the user left them.
#include "history/qt/frm_history.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>

void frmHistory::fit_columns() {
    const auto& widths = ctx_.settings.frmHistoryColWidth[static_cast<std::size_t>(shown_tab_)];
    sizing_columns_ = true;
    for (int c = 0; c < kHistoryColumns; ++c) {
        const std::int32_t stored = widths[static_cast<std::size_t>(c)];
        ListView_->setColumnWidth(c, stored == kColumnWidthUnset ? fitted_width(c) : stored);
    }
    sizing_columns_ = false;
}

int frmHistory::fitted_width(int column) const {
    // Thousands of daily rows: the widest text is found by its advance in the list's font, and
    // only that item is measured the way the list draws it (margins and image included).
    const QFontMetrics metrics(ListView_->font());
    int widest_row = -1;
    int widest = -1;
    for (int i = 0; i < ListView_->topLevelItemCount(); ++i) {
        const int advance = metrics.horizontalAdvance(ListView_->topLevelItem(i)->text(column));
        if (advance > widest) {
            widest = advance;
            widest_row = i;
        }
    }
    int width = ListView_->header()->sectionSizeHint(column);
    if (widest_row >= 0)
        width = std::max(width, ListView_->sizeHintForIndex(ListView_->model()->index(widest_row, column)).width());
    // A character's room more, so the widest values of neighbouring columns do not touch.
    return width + metrics.averageCharWidth();
}

void frmHistory::column_resized(int column, int, int width) {
    // A width the user gives a column is kept; the program's own fitting stores nothing.
    if (sizing_columns_ || !tab_shown_ || column < 0 || column >= kHistoryColumns) return;
    ctx_.settings.frmHistoryColWidth[static_cast<std::size_t>(shown_tab_)][static_cast<std::size_t>(column)] = width;
}

void frmHistory::store_column_widths(HistoryTab tab, int columns) {
    // Columns that fit their values stay without a stored width, so they fit again next time.
    auto& widths = ctx_.settings.frmHistoryColWidth[static_cast<std::size_t>(tab)];
    for (int c = 0; c < std::min(columns, kHistoryColumns); ++c) {
        std::int32_t& width = widths[static_cast<std::size_t>(c)];
        if (width != kColumnWidthUnset) width = ListView_->columnWidth(c);
    }
}
