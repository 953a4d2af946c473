// The Adapters page of the options dialog on the real main window of a real run: the
// machine's adapters listed, one ticked and stored with Apply, another monitored adapter
// shown at once, and a retired interface named.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "measure/win32/adapters_page.h"
#include "platform/file_access.h"
#include "platform/win32/dialog_controls.h"
#include "support/win32_program.h"

namespace {

TEST(AdaptersPageWin32, ListsTheAdaptersStoresTheTickedOneAndShowsTheMonitoredOne) {
    Win32Program program(
        [](const std::string& data) { std::filesystem::create_directories(native_path(data + "Stats/Retired/eth9")); });
    ASSERT_TRUE(program.started);
    const Settings& s = program.app->state().settings;
    const HWND dialog = program.open_options("Adapters");
    const HWND list = ::GetDlgItem(dialog, kAdaptersList);
    const HWND monitored = ::GetDlgItem(dialog, kAdaptersMonitored);
    ASSERT_TRUE(::IsWindowVisible(list));

    // Every row is one of the machine's interfaces; the monitored list has them after
    // "Multiple adapters".
    std::vector<InterfaceRow> rows;
    program.tables.read_interfaces(rows);
    const int count = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GE(count, 1);
    for (int i = 0; i < count; ++i) {
        wchar_t name[256] = {};
        LVITEMW item = {};
        item.pszText = name;
        item.cchTextMax = 256;
        ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const InterfaceRow& r) { return widen(r.description) == name; }))
            << narrow(name);
    }
    EXPECT_EQ(::SendMessageW(monitored, CB_GETCOUNT, 0, 0), count + 1);
    wchar_t first[64] = {};
    ::SendMessageW(monitored, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(first, L"Multiple adapters");
    EXPECT_EQ(control_text(::GetDlgItem(dialog, kAdaptersNotCounted)),
              "Retired after 90 days unseen, history in Stats/Retired/: eth9");

    // Ticked: summed from now on, and in the registry after Apply.
    const HWND apply = ::GetDlgItem(dialog, kOptionsApplyId);
    EXPECT_FALSE(::IsWindowEnabled(apply));
    ListView_SetCheckState(list, 0, TRUE);
    EXPECT_EQ(s.LogAdapter[1], 1);
    EXPECT_TRUE(::IsWindowEnabled(apply));
    ::SendMessageW(apply, BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindowEnabled(apply));
    EXPECT_EQ(program.store.read("LogAdapter1").value_or(""), "1");

    // Another monitored adapter: the window shows its address at once.
    ASSERT_EQ(s.Adapter, 1);
    EXPECT_EQ(program.app->state().ip_text, "127.0.0.1");
    ::SendMessageW(monitored, CB_SETCURSEL, 0, 0);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kAdaptersMonitored, CBN_SELCHANGE), reinterpret_cast<LPARAM>(monitored));
    EXPECT_EQ(s.Adapter, 0);
    EXPECT_EQ(program.app->state().ip_text, "Multiple");
    EXPECT_TRUE(::IsWindowEnabled(apply));
    ::SendMessageW(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_EQ(program.store.read("Adapter").value_or(""), "0");
}

}  // namespace
