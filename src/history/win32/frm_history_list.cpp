// The history window's list on Win32: building a tab, sorting, choosing the adapter, the
// column widths and the export of the list as shown.
#include "history/win32/frm_history.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "history/history_export.h"
#include "history/win32/c_file_dialog.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/win32_text.h"

namespace {

HWND as_window(void* p) { return static_cast<HWND>(p); }

enum : int { kImageAdapter = 0, kImageChosenAdapter = 1, kImageHistory = 2 };

std::string item_text(HWND list, int item, int column) {
    std::vector<wchar_t> buffer(512, L'\0');
    LVITEMW lv = {};
    lv.iSubItem = column;
    lv.pszText = buffer.data();
    lv.cchTextMax = static_cast<int>(buffer.size());
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return narrow(std::wstring(buffer.data()));
}

void set_item_text(HWND list, int item, int column, const std::string& text) {
    std::wstring wide = widen(text);
    LVITEMW lv = {};
    lv.iSubItem = column;
    lv.pszText = wide.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
}

void insert_item(HWND list, int at, const HistoryItem& shown, int image) {
    std::wstring label = widen(shown.cells[0]);
    LVITEMW lv = {};
    lv.mask = LVIF_TEXT | LVIF_IMAGE;
    lv.iItem = at;
    lv.pszText = label.data();
    lv.iImage = image;
    const int item = static_cast<int>(::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lv)));
    for (int c = 1; c < 4; ++c) set_item_text(list, item, c, shown.cells[static_cast<std::size_t>(c)]);
}

void set_item_image(HWND list, int item, int image) {
    LVITEMW lv = {};
    lv.mask = LVIF_IMAGE;
    lv.iItem = item;
    lv.iImage = image;
    ::SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&lv));
}

void select_item(HWND list, int item) {
    LVITEMW lv = {};
    lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    lv.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    ::SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

int item_count(HWND list) { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

// The adapter number a Totals label starts with (-1 when none).
int leading_adapter(const std::string& label) {
    const std::size_t digits = label.find_first_not_of("0123456789");
    const std::string number = label.substr(0, digits);
    if (number.empty() || number.size() > 3 || (digits != std::string::npos && label[digits] != ' ')) return -1;
    return std::stoi(number);
}

int text_width(HWND list, const std::string& text) {
    const std::wstring wide = widen(text);
    return static_cast<int>(::SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(wide.c_str())));
}

}  // namespace

void frmHistory::build_tab(HistoryTab tab, bool refresh) {
    if (list_ == nullptr) return;
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
    rows_ = history_window_rows(ctx_, tab, adapter_, locale());
    sort_for_list(rows_, tab, sort_[static_cast<std::size_t>(tab)]);
    if (in_place) {
        refresh_in_place();
        fit_columns();
        return;
    }
    set_headers();
    show_sort_marks();
    fill_list();
    if (tab == kTabTotals) mark_chosen_adapter(true);
    fit_columns();
    show_adapter_line();
}

void frmHistory::set_headers() {
    const std::array<std::string, 4> headers = history_headers(shown_tab_);
    for (int c = 0; c < kHistoryColumns; ++c) {
        std::wstring text = widen(headers[static_cast<std::size_t>(c)]);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = text.data();
        ::SendMessageW(as_window(list_), LVM_SETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
}

void frmHistory::fill_list() {
    const HWND list = as_window(list_);
    const HistoryItems items = list_items(rows_, sort_[static_cast<std::size_t>(shown_tab_)], ctx_.settings, locale());
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    ::SendMessageW(list, LVM_SETITEMCOUNT, items.size(), 0);
    const int image = shown_tab_ == kTabTotals ? kImageAdapter : kImageHistory;
    for (std::size_t i = 0; i < items.size(); ++i) insert_item(list, static_cast<int>(i), items[i], image);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void frmHistory::refresh_in_place() {
    const HWND list = as_window(list_);
    const HistoryItems items = list_items(rows_, sort_[static_cast<std::size_t>(shown_tab_)], ctx_.settings, locale());
    const int selected = static_cast<int>(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    const std::string selected_label = selected >= 0 ? item_text(list, selected, 0) : std::string();
    const int existing = item_count(list);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const int at = static_cast<int>(i);
        if (at >= existing) {
            insert_item(list, at, items[i], kImageHistory);
            continue;
        }
        for (int c = 0; c < 4; ++c) set_item_text(list, at, c, items[i].cells[static_cast<std::size_t>(c)]);
    }
    while (item_count(list) > static_cast<int>(items.size()))
        ::SendMessageW(list, LVM_DELETEITEM, static_cast<WPARAM>(item_count(list) - 1), 0);
    if (selected_label.empty()) return;
    // The same row (by its label) stays selected, wherever the new items put it.
    for (int i = 0; i < item_count(list); ++i) {
        if (item_text(list, i, 0) != selected_label) continue;
        select_item(list, i);
        break;
    }
}

void frmHistory::show_sort_marks() {
    const HistorySort sort = sort_[static_cast<std::size_t>(shown_tab_)];
    const auto header = reinterpret_cast<HWND>(::SendMessageW(as_window(list_), LVM_GETHEADER, 0, 0));
    for (int c = 0; c < kHistoryColumns; ++c) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (c == sort.column) item.fmt |= sort.order == 0 ? HDF_SORTUP : HDF_SORTDOWN;
        ::SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&item));
    }
}

void frmHistory::mark_chosen_adapter(bool select) {
    const HWND list = as_window(list_);
    for (int i = 0; i < item_count(list); ++i) {
        const bool chosen = leading_adapter(item_text(list, i, 0)) == adapter_;
        set_item_image(list, i, chosen ? kImageChosenAdapter : kImageAdapter);
        if (chosen && select) select_item(list, i);
    }
}

void frmHistory::show_adapter_line() {
    const std::wstring line = widen(history_adapter_line(shown_tab_, adapter_, history_adapter_name(ctx_, adapter_)));
    ::SetWindowTextW(as_window(line_), line.c_str());
}

void frmHistory::choose_row(int row) {
    if (shown_tab_ != kTabTotals || row < 0 || row >= item_count(as_window(list_))) return;
    adapter_ = adapter_from_totals_label(item_text(as_window(list_), row, 0), adapter_);
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
    show_sort_marks();
    fit_columns();
    for (int t = 0; t < kHistoryTabCount; ++t)
        store_sort(ctx_.settings, static_cast<HistoryTab>(t), sort_[static_cast<std::size_t>(t)]);
    write(sort_setting_values(ctx_.settings));
}

void frmHistory::fit_columns() {
    // Columns without a stored width fit their widest value or their header (with room for
    // the sort mark), a character's room more; the others take their stored width.
    const HWND list = as_window(list_);
    const auto& widths = ctx_.settings.frmHistoryColWidth[static_cast<std::size_t>(shown_tab_)];
    const std::array<std::string, 4> headers = shown_headers();
    const int room = text_width(list, "0");
    for (int c = 0; c < kHistoryColumns; ++c) {
        const std::int32_t stored = widths[static_cast<std::size_t>(c)];
        // Stored widths are for 96 dots per inch, as the window's size.
        int width = stored == kColumnWidthUnset ? 0 : scaled(list, stored);
        if (stored == kColumnWidthUnset) {
            ::SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), LVSCW_AUTOSIZE);
            const int values = static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
            width = std::max(values, text_width(list, headers[static_cast<std::size_t>(c)]) + 32) + room;
        }
        ::SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(c), MAKELPARAM(width, 0));
        fitted_[static_cast<std::size_t>(c)] =
            static_cast<int>(::SendMessageW(list, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
    }
}

void frmHistory::store_column_widths(HistoryTab tab, int columns) {
    // A width the user gave a column is kept; a column the window fitted stays without a
    // stored width, so that it fits again next time.
    auto& widths = ctx_.settings.frmHistoryColWidth[static_cast<std::size_t>(tab)];
    for (int c = 0; c < std::min(columns, kHistoryColumns); ++c) {
        const int width = static_cast<int>(::SendMessageW(as_window(list_), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0));
        std::int32_t& stored = widths[static_cast<std::size_t>(c)];
        if (stored != kColumnWidthUnset || width != fitted_[static_cast<std::size_t>(c)]) stored = unscaled(as_window(list_), width);
    }
}

HistoryItems frmHistory::shown_items() const {
    const HWND list = as_window(list_);
    HistoryItems items(static_cast<std::size_t>(item_count(list)));
    for (std::size_t i = 0; i < items.size(); ++i)
        for (int c = 0; c < 4; ++c) items[i].cells[static_cast<std::size_t>(c)] = item_text(list, static_cast<int>(i), c);
    return items;
}

std::array<std::string, 4> frmHistory::shown_headers() const {
    std::array<std::string, 4> headers;
    for (int c = 0; c < kHistoryColumns; ++c) {
        std::vector<wchar_t> buffer(128, L'\0');
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT;
        column.pszText = buffer.data();
        column.cchTextMax = static_cast<int>(buffer.size());
        ::SendMessageW(as_window(list_), LVM_GETCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
        headers[static_cast<std::size_t>(c)] = narrow(std::wstring(buffer.data()));
    }
    return headers;
}

void frmHistory::show_popup(int x, int y) {
    // On the tab strip the tab under the pointer is selected (and built) first; away from
    // the tabs there is no menu. The list and its header offer it everywhere.
    const HWND tabs = as_window(tabs_);
    RECT strip{};
    ::GetWindowRect(tabs, &strip);
    const POINT at{x, y};
    if (::PtInRect(&strip, at) != FALSE) {
        TCHITTESTINFO hit = {};
        hit.pt = at;
        ::ScreenToClient(tabs, &hit.pt);
        const int tab = static_cast<int>(::SendMessageW(tabs, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
        if (tab < 0) return;
        if (tab != static_cast<int>(shown_tab_)) select_tab(tab);
    }
    const HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) return;
    ::AppendMenuW(menu, MF_STRING, kHistoryExportCommand, L"&Export\tCtrl+S");
    // The menu's own loop takes the keys meanwhile (Escape closes the menu, not the window).
    in_menu_ = true;
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, as_window(window_), nullptr));
    in_menu_ = false;
    ::DestroyMenu(menu);
    if (chosen == kHistoryExportCommand) export_list();
}

void frmHistory::export_list() {
    if (window_ == nullptr) return;
    cFileDialog dialog;
    dialog.setFilter(kExportFilter);
    dialog.flags = cFileDialog::kOverwritePrompt;
    dialog.hwnd = window_;
    dialog.FilterIndex = ctx_.settings.LastExportFormat;
    dialog.DefaultExt = kExportDefaultExt;
    dialog.ShowSave();
    if (dialog.CancelError || window_ == nullptr) return;
    export_history_list(ctx_, dialog.FileName, dialog.FilterIndex, shown_tab_, adapter_, shown_headers(), shown_items(),
                        locale());
}

void frmHistory::write(const SettingValues& values) {
    if (ctx_.write_settings) ctx_.write_settings(values);
}
