// The Alerts page of the options dialog on the real main window of a real run: a rule built
// through New and the editor, stored with Apply, switched off by its check mark.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"
#include <commctrl.h>
#include <fstream>
#include <iterator>

#include "alerts/alert_state.h"
#include "alerts/rule_files.h"
#include "alerts/win32/alert_page.h"
#include "alerts/win32/frm_dialog.h"
#include "alerts/win32/frm_edit.h"
#include "alerts/win32/rule_sentence_view.h"
#include "support/win32_program.h"

namespace {

// A click at the check box of row `row` of a list view.
void click_check(HWND list, int row) {
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM(r.left + 8, (r.top + r.bottom) / 2);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
}

// A click on word `index` of a sentence; answers the value dialog it opened.
HWND click_word(HWND sentence, int index) {
    RECT r{};
    ::SendMessageW(sentence, kSentenceWordRect, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::SendMessageW(sentence, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(sentence, WM_LBUTTONUP, 0, at);
    return ::FindWindowW(kValueDialogClass, nullptr);
}

void click(HWND window, int id) { ::SendMessageW(::GetDlgItem(window, id), BM_CLICK, 0, 0); }

TEST(AlertPageWin32, NewRuleThroughTheEditorIsListedAndStoredWithApplyAndSwitchedOffByItsCheckMark) {
    Win32Program program;
    ASSERT_TRUE(program.started);
    std::unique_ptr<Application>& app = program.app;
    const std::string& data = program.data;
    const HWND dialog = program.open_options("Alerts");
    const HWND list = ::GetDlgItem(dialog, kAlertRules);
    ASSERT_TRUE(::IsWindowVisible(list));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(dialog, kAlertModify)));

    click(dialog, kAlertNew);
    const HWND editor = ::FindWindowW(kRuleEditorClass, nullptr);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(dialog));
    click_check(::GetDlgItem(editor, kEditConditions), SpeedChanged);
    click_check(::GetDlgItem(editor, kEditActions), Reboot);
    const HWND words = ::GetDlgItem(editor, kEditSentence);
    HWND value = click_word(words, 1);
    ASSERT_NE(value, nullptr);
    ::SendMessageW(::GetDlgItem(value, kValueList), CB_SETCURSEL, 0, 0);
    click(value, IDOK);
    value = click_word(words, 6);
    ASSERT_NE(value, nullptr);
    ::SetWindowTextW(::GetDlgItem(value, kValueField), L"9600");
    click(value, IDOK);
    ::SetWindowTextW(::GetDlgItem(editor, kEditName), L"Line watch");
    click(editor, IDOK);
    ASSERT_FALSE(::IsWindow(editor));
    EXPECT_TRUE(::IsWindowEnabled(dialog));

    // Listed, ticked, its sentence shown; Apply stores it in the live table and the files.
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    const auto ticked = [&] { return ::SendMessageW(list, LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2); };
    EXPECT_TRUE(ticked());
    wchar_t sentence[256] = {};
    ::GetWindowTextW(::GetDlgItem(dialog, kAlertSentence), sentence, 256);
    EXPECT_NE(std::wstring(sentence).find(L"9600 bps reboot computer"), std::wstring::npos) << narrow(sentence);
    const HWND apply = ::GetDlgItem(dialog, kOptionsApplyId);
    EXPECT_TRUE(::IsWindowEnabled(apply));
    const auto on_disk = [&] {
        std::ifstream in(rule_file_path(data, 0), std::ios::binary);
        return decode_rule(std::string(std::istreambuf_iterator<char>(in), {}));
    };
    click(dialog, kOptionsApplyId);
    EXPECT_FALSE(::IsWindowEnabled(apply));
    const AlertState& alerts = app->state().alerts;
    ASSERT_EQ(alerts.live.count, 1);
    EXPECT_EQ(alerts.live.rules[0].Name, "Line watch");
    std::optional<AlertRule> stored = on_disk();
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->Name, "Line watch");
    EXPECT_EQ(stored->ConditionKind, SpeedChanged);
    EXPECT_TRUE(stored->enabled() && stored->has_action(Reboot));
    EXPECT_EQ(stored->value(0, 1).Value, "9600");

    // Unticked and applied: stored switched off.
    click_check(list, 0);
    EXPECT_FALSE(ticked());
    EXPECT_TRUE(::IsWindowEnabled(apply));
    click(dialog, kOptionsApplyId);
    stored = on_disk();
    ASSERT_TRUE(stored.has_value());
    EXPECT_FALSE(stored->enabled());
    EXPECT_FALSE(alerts.live.rules[0].enabled());
}

}  // namespace
