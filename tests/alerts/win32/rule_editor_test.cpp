// The Win32 rule editor and its value dialogs, driven through their controls as a user does.
#include "platform/win32/windows_api.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "alerts/alert_test_support.h"
#include "alerts/win32/frm_dialog.h"
#include "alerts/win32/frm_edit.h"
#include "alerts/win32/rule_sentence_view.h"
#include "platform/win32/message_window.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/dialog_controls.h"

namespace {

bool ticked(HWND list, int row) {
    return (::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK) &
            LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

// A click on the check box of a list row.
void tick(HWND editor, int list_id, int row) {
    const HWND list = ::GetDlgItem(editor, list_id);
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    ::SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM(r.left + 8, (r.top + r.bottom) / 2);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
}

// A click on word `index` of the sentence; answers the value dialog it opened.
HWND click_word(HWND editor, int index) {
    const HWND sentence = ::GetDlgItem(editor, kEditSentence);
    RECT r{};
    if (!::SendMessageW(sentence, kSentenceWordRect, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r))) return nullptr;
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ::SendMessageW(sentence, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(sentence, WM_LBUTTONUP, 0, at);
    return ::FindWindowW(kValueDialogClass, nullptr);
}

// Typed (or pasted) over the whole text of a field.
void type_into(HWND field, const wchar_t* text) {
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    ::SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

// A key pressed in a control, through the thread's message loop.
void press(HWND target, UINT vk) {
    ::PostMessageW(target, WM_KEYDOWN, vk, 1);
    pump_messages([] { return false; }, 100);
}

struct RuleEditorWin32 : ::testing::Test {
    AlertBench b;
    EditorSession session;
    int closings = 0;
    bool stored = false;

    RuleEditorWin32() {
        b.tables.add_interface(1, "lo");
        b.tables.add_address(1, 127, 0, 0, 1);
        b.tables.add_interface(2, "eth0");
        b.tables.add_address(2, 127, 0, 0, 2);
    }
    HWND open() {
        return open_rule_editor(nullptr, b.state, b.services, session, [this](bool s) {
            ++closings;
            stored = s;
        });
    }
    AlertRule& rule() { return session_rule(b.state.alerts.working, session); }
};

TEST_F(RuleEditorWin32, BuildsANewRuleFromTheListsTheSentenceAndTheName) {
    ASSERT_EQ(open_new_rule(b.state.alerts.working, session), TableEdit::done);
    const HWND w = open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(control_text(w), "Edit alert");
    const HWND conditions = ::GetDlgItem(w, kEditConditions);
    const HWND actions = ::GetDlgItem(w, kEditActions);

    // One condition at a time; Reboot and Shutdown exclude each other.
    tick(w, kEditConditions, 0);
    tick(w, kEditConditions, 3);
    EXPECT_FALSE(ticked(conditions, 0));
    EXPECT_TRUE(ticked(conditions, 3));
    for (int row : {5, 4, 0, 6}) tick(w, kEditActions, row);
    EXPECT_FALSE(ticked(actions, 5));
    const HWND sentence = ::GetDlgItem(w, kEditSentence);
    EXPECT_EQ(control_text(sentence), "When <ADAPTER> connection speed changes to <BAUD> bps send an e-mail alert , reboot "
                                 "computer and add entry to <FILE>");

    // OK with values missing is refused with the core's text; the editor stays.
    ::SendMessageW(::GetDlgItem(w, IDOK), BM_CLICK, 0, 0);
    ASSERT_FALSE(b.msg_box.shown.empty());
    EXPECT_EQ(b.msg_box.shown.back(), "Please fill out all the values.");
    EXPECT_TRUE(::IsWindow(w));

    // The adapter from the list, the speed typed with a stray letter, the log file refused once.
    HWND d = click_word(w, 1);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(control_text(d), "Select adapter");
    EXPECT_FALSE(::IsWindowEnabled(w));
    const HWND list = ::GetDlgItem(d, kValueList);
    ASSERT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), 3);
    ::SendMessageW(list, CB_SETCURSEL, 1, 0);
    ::SendMessageW(::GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindow(d));
    EXPECT_TRUE(::IsWindowEnabled(w));
    d = click_word(w, 6);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(control_text(d), "Enter connection speed");
    EXPECT_EQ(control_text(::GetDlgItem(d, kValueUnit)), "bps");
    type_into(::GetDlgItem(d, kValueField), L"12a3");
    EXPECT_EQ(control_text(::GetDlgItem(d, kValueField)), "123");
    press(::GetDlgItem(d, kValueField), VK_RETURN);
    EXPECT_FALSE(::IsWindow(d));
    d = click_word(w, 19);
    ASSERT_NE(d, nullptr);
    EXPECT_NE(::GetDlgItem(d, kValueBrowse), nullptr);
    type_into(::GetDlgItem(d, kValueField), L"C:\\lo?gs\\alerts.txt");
    press(::GetDlgItem(d, kValueField), VK_RETURN);
    EXPECT_EQ(b.msg_box.shown.back(), "Please select a valid file.");
    ASSERT_TRUE(::IsWindow(d));
    type_into(::GetDlgItem(d, kValueField), L"C:\\logs\\alerts.txt");
    ::SendMessageW(::GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(control_text(sentence), "When lo connection speed changes to 123 bps send an e-mail alert , reboot computer and "
                                 "add entry to alerts.txt");

    // The name typed; Enter is OK.
    type_into(::GetDlgItem(w, kEditName), L"Line watch");
    press(::GetDlgItem(w, kEditName), VK_RETURN);
    EXPECT_FALSE(::IsWindow(w));
    EXPECT_EQ(closings, 1);
    EXPECT_TRUE(stored);
    const AlertRule& r = b.state.alerts.working.rules[0];
    EXPECT_EQ(b.state.alerts.working.count, 1);
    EXPECT_EQ(r.ConditionKind, SpeedChanged);
    EXPECT_TRUE(r.has_action(SendMail) && r.has_action(Reboot) && r.has_action(AddLogEntry));
    EXPECT_FALSE(r.has_action(Shutdown) || r.has_action(PlaySound));
    EXPECT_EQ(r.value(0, 0), (ValuePair{"lo", "1"}));
    EXPECT_EQ(r.value(0, 1), (ValuePair{"123", "123"}));
    EXPECT_EQ(r.value(AddLogEntry + 1, 0), (ValuePair{"alerts.txt", "C:\\logs\\alerts.txt"}));
    EXPECT_EQ(r.Name, "Line watch");
}

TEST_F(RuleEditorWin32, EscapeGivesAModifiedRuleBackAsItWas) {
    b.state.alerts.working.rules[0] = each_time_rule("0", "5|1");
    b.state.alerts.working.rules[0].Actions[SendMail] = 1;
    b.state.alerts.working.count = 1;
    b.state.alerts.working.selected = 0;
    const AlertRule before = b.state.alerts.working.rules[0];
    ASSERT_TRUE(open_selected_rule(b.state.alerts.working, session));
    const HWND w = open();
    EXPECT_TRUE(ticked(::GetDlgItem(w, kEditConditions), AmountEachTime));
    EXPECT_EQ(control_text(::GetDlgItem(w, kEditName)), "rule");
    tick(w, kEditConditions, RateReached);
    tick(w, kEditActions, SendMail);
    EXPECT_NE(rule(), before);
    press(::GetDlgItem(w, kEditActions), VK_ESCAPE);
    EXPECT_FALSE(::IsWindow(w));
    EXPECT_EQ(closings, 1);
    EXPECT_FALSE(stored);
    EXPECT_EQ(b.state.alerts.working.rules[0], before);
    EXPECT_EQ(b.state.alerts.working.selected, 0);
}

}  // namespace
