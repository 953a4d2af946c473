// The "Alerts" page of the Win32 options dialog: the list of rules, the selected rule's
// sentence and the buttons that edit the working table.
#include "alerts/win32/alert_page.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "alerts/alert_actions.h"
#include "alerts/alert_state.h"
#include "alerts/rule_editor.h"
#include "alerts/win32/frm_dialog.h"
#include "alerts/win32/frm_edit.h"
#include "alerts/win32/rule_sentence_view.h"
#include "platform/services.h"
#include "platform/win32/win32_text.h"
#include "settings/win32/option_controls.h"

namespace {

constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 26;
constexpr int kGap = 6;
constexpr int kSentenceHeight = 110;

// The setting of the E-mail page where a refused mail field is entered.
const char* mail_setting(MailField field) {
    switch (field) {
        case MailField::sender: return "EmailAlertMail";
        case MailField::receiver: return "EmailAlertDefault";
        case MailField::server: return "EmailAlertSMTP";
        case MailField::none: break;
    }
    return "";
}

class AlertPage final : public OptionsPageView {
public:
    AlertPage(AlertView state, Services& services, OptionsPageEvents events)
        : state_(state), services_(services), events_(std::move(events)) {}

    std::vector<void*> create(const OptionsPageArea& area) override;
    void fill() override;
    bool command(int id, unsigned code) override;
    bool notify(const void* header, std::intptr_t* result) override;

private:
    WorkingRules& table() { return state_.alerts.working; }
    void show_words();
    void changed() {
        if (events_.changed) events_.changed();
    }
    void row_changed(const NMLISTVIEW& change);
    void word_clicked(int index);
    void new_rule();
    void modify_rule();
    void open_editor(const EditorSession& session);
    void copy();
    void remove();
    void test();
    void refuse() {
        if (services_.msg_box != nullptr) services_.msg_box->show_message(kTooManyRules, false);
    }

    AlertView state_;
    Services& services_;
    OptionsPageEvents events_;
    HWND dialog_ = nullptr;
    HWND list_ = nullptr;
    HWND sentence_ = nullptr;
    std::vector<HWND> buttons_;  // New, Modify, Copy, Remove, Test
    std::vector<SentenceWord> words_;
    bool filling_ = false;  // the list is being filled from the table
};

std::vector<void*> AlertPage::create(const OptionsPageArea& area) {
    ViewWindows windows(area);
    dialog_ = windows.dialog;
    const auto font = reinterpret_cast<WPARAM>(area.font);
    const int list_width = area.width - kButtonWidth - 2 * kGap;
    const int list_height = area.height - kSentenceHeight - 2 * kGap;
    list_ = windows.check_list(kAlertRules, area.left, area.top, list_width, list_height);
    buttons_ = windows.button_column({L"&New", L"&Modify", L"&Copy", L"&Remove", L"&Test"}, kAlertNew,
                                     area.left + area.width - kButtonWidth, area.top, kButtonWidth, kButtonHeight, kGap);
    sentence_ = create_sentence_view(dialog_, kAlertSentence, area.left, area.top + list_height + 2 * kGap, area.width,
                                     kSentenceHeight);
    ::SendMessageW(sentence_, WM_SETFONT, font, FALSE);
    ::ShowWindow(sentence_, SW_HIDE);
    windows.made.push_back(sentence_);
    return windows.made;
}

void AlertPage::fill() {
    const WorkingRules& rules = table();
    filling_ = true;
    ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    for (int i = 0; i < rules.count; ++i) {
        std::wstring name = widen(rules.rules[static_cast<std::size_t>(i)].Name);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = name.data();
        ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        item.mask = 0;
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(rules.rules[static_cast<std::size_t>(i)].enabled() ? 2 : 1);
        ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }
    if (rules.selected >= 0 && rules.selected < rules.count) {
        LVITEMW item = {};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        ::SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(rules.selected), reinterpret_cast<LPARAM>(&item));
        ::SendMessageW(list_, LVM_ENSUREVISIBLE, static_cast<WPARAM>(rules.selected), FALSE);
    }
    filling_ = false;
    for (std::size_t i = 1; i < buttons_.size(); ++i) ::EnableWindow(buttons_[i], rules.count > 0 ? TRUE : FALSE);
    show_words();
}

void AlertPage::show_words() {
    WorkingRules& rules = table();
    words_.clear();
    if (rules.selected >= 0 && rules.selected < rules.count)
        words_ = build_sentence(rules.rules[static_cast<std::size_t>(rules.selected)]);
    show_sentence(sentence_, words_, false);
}

bool AlertPage::command(int id, unsigned code) {
    if (id < kAlertNew || id > kAlertTest) return false;
    if (code != BN_CLICKED) return true;
    switch (id) {
        case kAlertNew: new_rule(); break;
        case kAlertModify: modify_rule(); break;
        case kAlertCopy: copy(); break;
        case kAlertRemove: remove(); break;
        default: test(); break;
    }
    return true;
}

bool AlertPage::notify(const void* header, std::intptr_t* result) {
    const auto& nm = *static_cast<const NMHDR*>(header);
    if (nm.idFrom == kAlertRules) {
        if (nm.code == LVN_ITEMCHANGED) row_changed(*static_cast<const NMLISTVIEW*>(header));
        else if (nm.code == static_cast<UINT>(NM_DBLCLK)) modify_rule();
        *result = 0;
        return true;
    }
    if (nm.idFrom == kAlertSentence) {
        if (nm.code == static_cast<UINT>(NM_CLICK)) word_clicked(static_cast<const SentenceClick*>(header)->word);
        *result = 0;
        return true;
    }
    return false;
}

// A row's check mark switches its rule on or off; a row selected shows its rule's sentence.
void AlertPage::row_changed(const NMLISTVIEW& change) {
    if (filling_ || change.iItem < 0 || (change.uChanged & LVIF_STATE) == 0) return;
    const UINT flipped = change.uNewState ^ change.uOldState;
    if ((flipped & LVIS_STATEIMAGEMASK) != 0) {
        bool flags[kMaxRules] = {};
        const int n = std::min(static_cast<int>(::SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)), kMaxRules);
        for (int i = 0; i < n; ++i)
            flags[i] = (::SendMessageW(list_, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK) &
                        LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        set_enabled_flags(table(), flags, n);
        changed();
    }
    if ((flipped & LVIS_SELECTED) != 0 && (change.uNewState & LVIS_SELECTED) != 0) {
        table().selected = change.iItem;
        show_words();
    }
}

void AlertPage::word_clicked(int index) {
    WorkingRules& rules = table();
    if (index < 0 || static_cast<std::size_t>(index) >= words_.size() || rules.selected < 0 || rules.selected >= rules.count)
        return;
    AlertRule& rule = rules.rules[static_cast<std::size_t>(rules.selected)];
    open_value_dialog(dialog_, state_, services_, rule, words_[static_cast<std::size_t>(index)], [this](bool stored) {
        show_words();
        if (stored) changed();
    });
}

void AlertPage::new_rule() {
    EditorSession session;
    if (open_new_rule(table(), session) == TableEdit::table_full) {
        refuse();
        return;
    }
    open_editor(session);
}

void AlertPage::modify_rule() {
    EditorSession session;
    if (open_selected_rule(table(), session)) open_editor(session);
}

// The editor works on the table while it is open; what it leaves is listed when it closes.
void AlertPage::open_editor(const EditorSession& session) {
    changed();
    fill();
    open_rule_editor(dialog_, state_, services_, session, [this](bool) {
        fill();
        ::SetFocus(list_);
    });
}

void AlertPage::copy() {
    if (copy_rule(table()) == TableEdit::table_full) {
        refuse();
        return;
    }
    fill();
    changed();
}

void AlertPage::remove() {
    remove_rule(table());
    fill();
    changed();
}

void AlertPage::test() {
    changed();
    const TestResult result = test_selected_rule(state_, services_);
    // Refused mail settings are shown where they are entered.
    if (result.outcome == TestOutcome::mail_refused && events_.show_setting)
        events_.show_setting("E-mail", mail_setting(result.mail.field));
}

}  // namespace

std::unique_ptr<OptionsPageView> create_alert_page(AlertView state, Services& services, OptionsPageEvents events) {
    return std::make_unique<AlertPage>(state, services, std::move(events));
}
