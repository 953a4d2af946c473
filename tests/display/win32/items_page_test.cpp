// The Items page of the options dialog on the real main window of a real run: an item made
// through New and the editor grows the window by its row and is stored with Apply; removed,
// the window is as before.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#include <commctrl.h>

#include "display/win32/frm_edit_item.h"
#include "display/win32/items_page.h"
#include "support/win32_program.h"

namespace {

void click(HWND window, int id) { ::SendMessageW(::GetDlgItem(window, id), BM_CLICK, 0, 0); }

int height(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r.bottom - r.top;
}

TEST(ItemsPageWin32, NewItemThroughTheEditorGrowsTheWindowIsStoredWithApplyAndRemovedAgain) {
    Win32Program program;
    ASSERT_TRUE(program.started);
    RegistrySettings& store = program.store;
    std::unique_ptr<MainWindow>& window = program.window;
    const HWND dialog = program.open_options("Items");
    const HWND main = static_cast<HWND>(window->handle());

    // Custom items off: the page says where the switch is and has nothing to edit.
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(dialog, kItemsSwitchNote)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, kItemsNew)));
    window->options_dialog()->show_page("Layout");
    const HWND custom = ::FindWindowExW(dialog, nullptr, L"Button", L"Enable custom items");
    ASSERT_NE(custom, nullptr);
    ::SendMessageW(custom, BM_CLICK, 0, 0);
    window->options_dialog()->show_page("Items");
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, kItemsSwitchNote)));
    const HWND list = ::GetDlgItem(dialog, kItemsList);
    const auto rows = [&] { return static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); };
    const int seeded = rows();
    const int before = height(main);

    click(dialog, kItemsNew);
    const HWND editor = ::FindWindowW(kItemEditorClass, nullptr);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(dialog));
    ::SetWindowTextW(::GetDlgItem(editor, kItemName), L"Mine");
    const HWND type = ::GetDlgItem(editor, kItemType);
    ::SendMessageW(type, CB_SETCURSEL, kItemTextLabel, 0);
    ::SendMessageW(editor, WM_COMMAND, MAKEWPARAM(kItemType, CBN_SELCHANGE), reinterpret_cast<LPARAM>(type));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(editor, kItemAdapter)));
    click(editor, IDOK);
    ASSERT_FALSE(::IsWindow(editor));
    EXPECT_TRUE(::IsWindowEnabled(dialog));
    ASSERT_EQ(rows(), seeded + 1);
    EXPECT_GT(height(main), before);

    const HWND apply = ::GetDlgItem(dialog, kOptionsApplyId);
    EXPECT_TRUE(::IsWindowEnabled(apply));
    click(dialog, kOptionsApplyId);
    const std::string n = std::to_string(seeded + 1);
    EXPECT_EQ(store.read("FormItem(" + n + ").Name").value_or(""), "Mine");
    EXPECT_EQ(store.read("FormItem(" + n + ").Type").value_or(""), std::to_string(kItemTextLabel));
    EXPECT_EQ(store.read("AdvItems").value_or(""), n);

    // Removed (it is the one selected) and applied: the window has its old height.
    click(dialog, kItemsRemove);
    EXPECT_EQ(rows(), seeded);
    EXPECT_EQ(height(main), before);
    click(dialog, kOptionsApplyId);
    EXPECT_EQ(store.read("AdvItems").value_or(""), std::to_string(seeded));
}

}  // namespace
