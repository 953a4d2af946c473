#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "history/history_window.h"
#include "platform/locale.h"

// The controls' identifiers (GetDlgItem(window, id)), stable for the tests and tools that
// drive the window: the tab strip (a common-controls tab control), the line naming the
// adapter (a static text) and the list (a report-style list view). The popup menu's one entry
// "&Export" arrives as WM_COMMAND with kHistoryExportCommand, also from Ctrl+S.
enum HistoryControl : int {
    kHistoryTabStrip = 1001,
    kHistoryAdapterLine = 1002,
    kHistoryList = 1003,
    kHistoryExportCommand = 1101,
};
// The window's class name, for FindWindowW.
inline constexpr const wchar_t* kHistoryWindowClass = L"Kelvanto.frmHistory";

// The history window `frmHistory` on Win32, caption "Transfer History": totals per adapter
// and the daily, weekly, monthly and yearly history of one adapter, sortable by a header
// click, exportable as text or HTML. The object lives as long as its owner; the window
// itself exists only while shown (closing destroys it, `open` makes it anew).
class frmHistory {
public:
    // `owner`: the main window (an HWND), or none.
    frmHistory(HistoryWindowContext context, void* owner);
    ~frmHistory();
    frmHistory(const frmHistory&) = delete;
    frmHistory& operator=(const frmHistory&) = delete;

    // Makes the window from the settings (place, state, the main window's adapter, the sort
    // of every tab), builds the selected tab and shows it; when it is open already it only
    // comes to the front.
    void open();
    bool is_open() const { return window_ != nullptr; }
    void* handle() const { return window_; }
    HistoryTab shown_tab() const { return shown_tab_; }
    int history_adapter() const { return adapter_; }

    // Called by the window procedure; false: the default handling runs.
    bool handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t* result);
    // Keys for the whole window before the control with the focus sees them (Ctrl+Tab, F5,
    // Ctrl+S, Escape), then the dialog keys (Tab between the controls); true when used.
    bool window_key(void* message);

private:
    // Window (frm_history.cpp)
    void create_controls();
    void place_from_settings();
    void layout(int width, int height);
    // A move to a screen of `dpi` dots per inch, into `place` (a RECT).
    void dpi_changed(int dpi, const void* place);
    bool notify(const void* header);
    void close();
    void destroyed();
    void select_tab(int tab);
    // Lists (frm_history_list.cpp)
    void build_tab(HistoryTab tab, bool refresh);
    void set_headers();
    void fill_list();
    void refresh_in_place();
    void show_sort_marks();
    void mark_chosen_adapter(bool select);
    void show_adapter_line();
    void sort_by_column(int column);
    void choose_row(int row);
    void fit_columns();
    void store_column_widths(HistoryTab tab, int columns);
    HistoryItems shown_items() const;
    std::array<std::string, 4> shown_headers() const;
    void show_popup(int x, int y);
    void export_list();
    void write(const SettingValues& values);
    const Locale& locale() const { return history_locale(ctx_, fallback_locale_); }

    HistoryWindowContext ctx_;
    void* owner_;
    void* window_ = nullptr;  // HWND
    void* tabs_ = nullptr;
    void* line_ = nullptr;
    void* list_ = nullptr;
    void* font_ = nullptr;     // HFONT
    void* images_ = nullptr;   // HIMAGELIST: adapter row, chosen adapter row, history row
    void* key_hook_ = nullptr;  // HHOOK: the window's keys from the thread's message loop
    HistoryTab shown_tab_ = kTabTotals;
    bool tab_shown_ = false;
    bool opening_ = false;
    bool in_menu_ = false;  // the popup menu is open
    int adapter_ = 0;
    std::array<HistorySort, kHistoryTabCount> sort_{};
    // The widths the window gave the columns itself; a different width is the user's.
    std::array<int, kHistoryColumns> fitted_{};
    int dpi_ = 96;  // the dots per inch the font and the columns are for
    HistoryRows rows_;  // the row table of the last build, sorted as listed
    std::array<std::wstring, kHistoryTabCount> tooltips_;
    EnglishLocale fallback_locale_;
};
