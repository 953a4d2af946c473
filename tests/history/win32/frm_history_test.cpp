// The Win32 history window on day files the core wrote, driven through its controls.
#include "platform/win32/windows_api.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "history/history_export.h"
#include "history/history_table_amounts.h"
#include "history/history_window.h"
#include "history/log_fixture.h"
#include "history/win32/frm_history.h"
#include "platform/win32/message_window.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/dialog_controls.h"

namespace {

// Year files of adapters 1 and 2 with traffic on 10 to 15 June 2026, read back as the
// program starts; the window opens on adapter 1 with amounts in whole bytes.
struct HistoryWindowWin32 : ::testing::Test {
    LogFixture f{2, make_date(2026, 6, 15, 12, 0, 0)};
    EnglishLocale locale;
    std::vector<SettingValues> written;

    HistoryWindowWin32() {
        prepare_directories(f.state);
        for (int a = 1; a <= 2; ++a) {
            std::array<TrafficPair, kDaysPerYearTable> table{};
            for (int d = 10; d <= 15; ++d) table[static_cast<std::size_t>(150 + d)] = {1000.0 * a * (17 - d), 7.0 * d};
            const Bytes bytes = encode_day_table(table);
            spit(year_file_path(f.state.data_dir, 2026, a), bytes);
        }
        load_state(f.state, f.services);
        f.state.stats.start_date = make_date(2026, 6, 10);
        load_logs(f.state, f.services);
        load_history(f.state, f.services);
        f.services.locale = &locale;
        f.state.settings.Adapter = 1;
        f.state.settings.TransferredUnitHis = 6;
    }
    HistoryWindowContext context() {
        return {f.state.settings, f.state.stats, f.state.history_window_open, f.services,
                std::make_shared<HistoryTableAmounts>(f.state.traffic.logs.history),
                [](int) { return std::vector<std::string>{"", "eth1", "eth2"}; },
                [this](const SettingValues& v) { written.push_back(v); }};
    }
    // What the core lists for a tab, as the window should show it.
    HistoryItems expected(HistoryTab tab, int adapter) {
        HistoryRows rows = history_window_rows(context(), tab, adapter, locale);
        const HistorySort sort = stored_sort(f.state.settings, tab);
        sort_for_list(rows, tab, sort);
        return list_items(rows, sort, f.state.settings, locale);
    }
    std::int64_t last_written(const std::string& name) const {
        for (auto it = written.rbegin(); it != written.rend(); ++it)
            for (const auto& [n, v] : *it)
                if (n == name) return v;
        return -1;
    }
};

HWND item(HWND window, int id) { return ::GetDlgItem(window, id); }

HistoryItems shown(HWND window) {
    const HWND list = item(window, kHistoryList);
    HistoryItems items(static_cast<std::size_t>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (int c = 0; c < 4; ++c) {
            wchar_t text[256] = {};
            LVITEMW lv = {};
            lv.iSubItem = c;
            lv.pszText = text;
            lv.cchTextMax = 256;
            ::SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&lv));
            items[i].cells[static_cast<std::size_t>(c)] = narrow(text);
        }
    }
    return items;
}

void choose_tab(HWND window, int tab) {
    const HWND tabs = item(window, kHistoryTabStrip);
    ::SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    NMHDR nm{tabs, static_cast<UINT_PTR>(kHistoryTabStrip), static_cast<UINT>(TCN_SELCHANGE)};
    ::SendMessageW(window, WM_NOTIFY, kHistoryTabStrip, reinterpret_cast<LPARAM>(&nm));
}

void list_notice(HWND window, UINT code, int row, int column) {
    NMITEMACTIVATE nm = {};
    nm.hdr = {item(window, kHistoryList), static_cast<UINT_PTR>(kHistoryList), code};
    nm.iItem = row;
    nm.iSubItem = column;
    ::SendMessageW(window, WM_NOTIFY, kHistoryList, reinterpret_cast<LPARAM>(&nm));
}

int header_format(HWND window, int column) {
    const auto header = reinterpret_cast<HWND>(::SendMessageW(item(window, kHistoryList), LVM_GETHEADER, 0, 0));
    HDITEMW hd = {};
    hd.mask = HDI_FORMAT;
    ::SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&hd));
    return hd.fmt & (HDF_SORTUP | HDF_SORTDOWN);
}

// The save dialog, as a user fills it: the file name typed, the type chosen, Save. Its
// wanted answer is a property of the window that opened it.
void CALLBACK answer_save_dialog(HWND window, UINT, UINT_PTR timer, DWORD) {
    const HWND dialog = ::FindWindowW(L"#32770", nullptr);
    if (dialog == nullptr || ::GetWindow(dialog, GW_OWNER) != window) return;
    ::KillTimer(window, timer);
    const auto* name = static_cast<const wchar_t*>(::GetPropW(window, L"save.name"));
    const HWND type = ::GetDlgItem(dialog, cmb1);
    ::SendMessageW(type, CB_SETCURSEL, reinterpret_cast<WPARAM>(::GetPropW(window, L"save.type")), 0);
    for (const WORD notice : {CBN_SELCHANGE, CBN_SELENDOK})
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb1, notice), reinterpret_cast<LPARAM>(type));
    // The name box is an edit inside a combo box (cmb13), or an edit of its own (edt1).
    HWND edit = ::GetDlgItem(dialog, edt1);
    for (HWND box = ::GetDlgItem(dialog, cmb13); box != nullptr; box = ::GetWindow(box, GW_CHILD)) edit = box;
    ::SetWindowTextW(edit, name);
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

void key(HWND target, UINT vk, bool ctrl) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::PostMessageW(target, WM_KEYDOWN, vk, 1);
    pump_messages([] { return false; }, 200);
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
}

// The export asked for by the popup menu's command or by Ctrl+S in the list.
void export_as(HWND window, const std::string& path, int type_index, bool by_key) {
    std::wstring name = widen(path);
    std::replace(name.begin(), name.end(), L'/', L'\\');
    ::SetPropW(window, L"save.name", const_cast<wchar_t*>(name.c_str()));
    ::SetPropW(window, L"save.type", reinterpret_cast<HANDLE>(static_cast<INT_PTR>(type_index)));
    ::SetTimer(window, 7, 50, answer_save_dialog);
    if (by_key) key(item(window, kHistoryList), 'S', true);
    else ::SendMessageW(window, WM_COMMAND, kHistoryExportCommand, 0);
    ::RemovePropW(window, L"save.name");
    ::RemovePropW(window, L"save.type");
}

TEST_F(HistoryWindowWin32, ShowsSortsExportsAndClosesAsTheUserDrivesIt) {
    frmHistory history(context(), nullptr);
    history.open();
    const HWND w = static_cast<HWND>(history.handle());
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(f.state.history_window_open);
    EXPECT_EQ(control_text(w), "Transfer History");

    // Totals: each adapter and the aggregate, adapter 1 chosen; a click chooses adapter 2.
    const HistoryItems totals = shown(w);
    ASSERT_EQ(totals.size(), 3u);
    EXPECT_EQ(totals[0].cells[0], "1 - eth1");
    EXPECT_EQ(totals[2].cells[0], "0 - Multiple");
    EXPECT_EQ(totals, expected(kTabTotals, 1));
    EXPECT_EQ(control_text(item(w, kHistoryAdapterLine)), "History of adapter 1 - eth1: click another adapter to choose it");
    list_notice(w, NM_CLICK, 1, 0);
    EXPECT_EQ(history.history_adapter(), 2);

    // Daily of adapter 2, then sorted by Download: ascending, and reversed by a second click.
    choose_tab(w, kTabDaily);
    EXPECT_EQ(control_text(item(w, kHistoryAdapterLine)), "Adapter 2 - eth2");
    ASSERT_EQ(shown(w), expected(kTabDaily, 2));
    EXPECT_EQ(shown(w)[0].cells[0], "15/06/2026");
    list_notice(w, LVN_COLUMNCLICK, -1, 1);
    EXPECT_EQ(shown(w)[0].cells[1], "4000 B");
    EXPECT_EQ(header_format(w, 1), HDF_SORTUP);
    list_notice(w, LVN_COLUMNCLICK, -1, 1);
    EXPECT_EQ(shown(w)[0].cells[1], "14000 B");
    EXPECT_EQ(header_format(w, 1), HDF_SORTDOWN);
    EXPECT_EQ(header_format(w, 0), 0);
    EXPECT_EQ(last_written("lvwSortKey1"), 1);
    EXPECT_EQ(last_written("lvwSortOrder1"), 1);
    EXPECT_EQ(shown(w), expected(kTabDaily, 2));

    // The export through the save dialog writes the core's report of the list as shown.
    const std::string html = f.dir.str() + "/daily.htm";
    export_as(w, html, 1, false);
    const HistoryItems daily = shown(w);
    EXPECT_EQ(file_contents(html),
              history_list_report(context(), kExportHtml, kTabDaily, 2, history_headers(kTabDaily), daily, locale));
    EXPECT_EQ(f.state.settings.LastExportFormat, kExportHtml);
    const std::string text = f.dir.str() + "/daily.txt";
    export_as(w, text, 0, true);
    EXPECT_EQ(file_contents(text),
              history_list_report(context(), kExportText, kTabDaily, 2, history_headers(kTabDaily), daily, locale));

    // Asked again it is the same window; Ctrl+Tab goes to the next tab, Escape closes it.
    history.open();
    EXPECT_EQ(history.handle(), w);
    key(item(w, kHistoryList), VK_TAB, true);
    EXPECT_EQ(history.shown_tab(), kTabWeekly);
    EXPECT_EQ(::SendMessageW(item(w, kHistoryTabStrip), TCM_GETCURSEL, 0, 0), kTabWeekly);
    ::SetWindowPos(w, nullptr, 40, 30, 500, 400, SWP_NOZORDER);
    key(item(w, kHistoryList), VK_ESCAPE, false);
    EXPECT_FALSE(history.is_open());
    EXPECT_FALSE(::IsWindow(w));
    EXPECT_FALSE(f.state.history_window_open);
    EXPECT_EQ(last_written("frmHistoryLeft"), 40);
    EXPECT_EQ(last_written("frmHistoryWidth"), 500);

    // Opened again: where it was left, on Totals, with the main window's adapter.
    history.open();
    RECT r{};
    ::GetWindowRect(static_cast<HWND>(history.handle()), &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(history.history_adapter(), 1);
}

TEST_F(HistoryWindowWin32, F5ShowsTodaysLatestAmountsInPlaceAndADenserScreenScalesTheColumns) {
    frmHistory history(context(), nullptr);
    history.open();
    const HWND w = static_cast<HWND>(history.handle());
    choose_tab(w, kTabDaily);
    const HWND list = item(w, kHistoryList);
    LVITEMW selection = {};
    selection.stateMask = selection.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&selection));
    f.state.traffic.logs.history.at(1, 2026, 165).received = 123456;
    key(list, VK_F5, false);
    EXPECT_EQ(shown(w), expected(kTabDaily, 1));
    EXPECT_EQ(shown(w)[0].cells[1], "123456 B");  // today, listed first
    EXPECT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);

    // Dragged to a screen of 144 dots per inch: the columns grow by half, the list fills the
    // place the system suggests, and the rows stay.
    const int column = ListView_GetColumnWidth(list, 1);
    RECT suggested{20, 20, 20 + 900, 20 + 600};
    ::SendMessageW(w, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(ListView_GetColumnWidth(list, 1), column * 3 / 2);
    RECT client{}, area{};
    ::GetClientRect(w, &client);
    ::GetWindowRect(list, &area);
    EXPECT_EQ(area.right - area.left, client.right);
    EXPECT_EQ(shown(w), expected(kTabDaily, 1));
}

}  // namespace
