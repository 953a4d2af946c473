// "Edit alert" on Win32: the condition, the actions, the sentence and the name of one rule.
#include "alerts/win32/frm_edit.h"

#include <commctrl.h>

#include <utility>
#include <vector>

#include "alerts/alert_state.h"
#include "platform/win32/dialog_controls.h"
#include "alerts/win32/frm_dialog.h"
#include "alerts/win32/rule_sentence_view.h"
#include "platform/services.h"
#include "platform/win32/message_window.h"
#include "platform/win32/window_owner.h"

namespace {

constexpr int kClientWidth = 460;
constexpr int kClientHeight = 440;

class frmEdit {
public:
    frmEdit(AlertView state, Services& services, const EditorSession& session, HWND owner,
            std::function<void(bool)> closed)
        : state_(state), services_(services), session_(session), owner_(owner), closed_(std::move(closed)) {}

    HWND create();
    LRESULT handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

private:
    AlertRule& rule() { return session_rule(state_.alerts.working, session_); }
    HWND make_list(int id, const char* const* entries, int count, RECT place);
    void show_checks();
    void rebuild();
    void item_changed(const NMLISTVIEW& change);
    void word_clicked(int word);
    void accept();
    void cancel();
    void finish(bool stored);

    AlertView state_;
    Services& services_;
    EditorSession session_;
    HWND owner_;
    std::function<void(bool)> closed_;
    HWND window_ = nullptr;
    HWND conditions_ = nullptr;
    HWND actions_ = nullptr;
    HWND sentence_ = nullptr;
    HWND name_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<SentenceWord> words_;
    bool filling_ = false;  // the check marks are being set from the rule
    bool finished_ = false;
};

bool checked(HWND list, int row) {
    const auto state = static_cast<UINT>(::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
}

void set_checked(HWND list, int row, bool on) {
    if (checked(list, row) == on) return;
    LVITEMW item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

HWND frmEdit::create() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    register_window_class(kRuleEditorClass, self_owned_window_procedure<frmEdit>);
    const HWND w = ::CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, kRuleEditorClass, L"Edit alert",
                                     WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100, 100, owner_, nullptr,
                                     ::GetModuleHandleW(nullptr), this);
    if (w == nullptr) return nullptr;
    window_ = w;
    font_ = create_message_font();
    make_control(w, L"STATIC", L"Condition:", SS_LEFT, 0, 0, RECT{10, 8, 450, 24}, font_);
    conditions_ = make_list(kEditConditions, kConditionEntries, 4, RECT{10, 26, 450, 102});
    make_control(w, L"STATIC", L"Actions:", SS_LEFT, 0, 0, RECT{10, 110, 450, 126}, font_);
    actions_ = make_list(kEditActions, kActionEntries, kUsedActionKinds, RECT{10, 128, 450, 268});
    make_control(w, L"STATIC", L"Rule (click an underlined value to change it):", SS_LEFT, 0, 0, RECT{10, 276, 450, 292},
                 font_);
    const RECT words = scaled(w, RECT{10, 294, 450, 364});
    sentence_ = create_sentence_view(w, kEditSentence, words.left, words.top, words.right - words.left,
                                     words.bottom - words.top);
    ::SendMessageW(sentence_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    make_control(w, L"STATIC", L"Name:", SS_LEFT | SS_CENTERIMAGE, 0, 0, RECT{10, 374, 60, 396}, font_);
    name_ = make_control(w, L"EDIT", widen(rule().Name), WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kEditName,
                         RECT{62, 374, 450, 396}, font_);
    make_control(w, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, RECT{294, 406, 369, 430}, font_);
    make_control(w, L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL, RECT{375, 406, 450, 430}, font_);
    show_checks();
    rebuild();
    centre_window(w, owner_, kClientWidth, kClientHeight);
    ::SetPropW(w, kDialogKeysProperty, w);
    if (owner_ != nullptr) ::EnableWindow(owner_, FALSE);
    ::ShowWindow(w, SW_SHOW);
    ::SetForegroundWindow(w);
    ::SetFocus(conditions_);
    return w;
}

HWND frmEdit::make_list(int id, const char* const* entries, int count, RECT place) {
    const HWND list = make_control(window_, WC_LISTVIEWW, L"",
                                   WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                   WS_EX_CLIENTEDGE, id, place, font_);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = scaled(window_, place.right - place.left) - ::GetSystemMetrics(SM_CXVSCROLL) - 4;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    filling_ = true;
    for (int i = 0; i < count; ++i) {
        std::wstring text = widen(entries[i]);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = text.data();
        ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    // The keyboard starts on the first row (Space ticks it).
    LVITEMW focus = {};
    focus.stateMask = focus.state = LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focus));
    filling_ = false;
    return list;
}

// The check marks as the rule has them.
void frmEdit::show_checks() {
    filling_ = true;
    for (int k = 0; k < 4; ++k) set_checked(conditions_, k, rule().ConditionKind == k);
    for (int k = 0; k < kUsedActionKinds; ++k) set_checked(actions_, k, rule().has_action(k));
    filling_ = false;
}

void frmEdit::rebuild() {
    words_ = build_sentence(rule());
    show_sentence(sentence_, words_, session_.highlight_missing);
}

LRESULT frmEdit::handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto& nm = *reinterpret_cast<const NMHDR*>(lparam);
            if (nm.code == LVN_ITEMCHANGED && (nm.idFrom == kEditConditions || nm.idFrom == kEditActions))
                item_changed(*reinterpret_cast<const NMLISTVIEW*>(lparam));
            else if (nm.code == static_cast<UINT>(NM_CLICK) && nm.idFrom == kEditSentence)
                word_clicked(reinterpret_cast<const SentenceClick*>(lparam)->word);
            return 0;
        }
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) accept();
            else if (LOWORD(wparam) == IDCANCEL) cancel();
            else break;
            return 0;
        case DM_GETDEFID: return default_button(window);
        case WM_CLOSE: cancel(); return 0;
        case WM_DESTROY:
            // Destroyed with its owner: the rule is left as the session found it.
            if (!finished_) {
                finished_ = true;
                cancel_session(state_.alerts.working, session_);
            }
            release_window(window, font_, owner_);
            return 0;
        default: break;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

void frmEdit::item_changed(const NMLISTVIEW& change) {
    if (filling_ || change.iItem < 0 || (change.uChanged & LVIF_STATE) == 0 ||
        ((change.uNewState ^ change.uOldState) & LVIS_STATEIMAGEMASK) == 0)
        return;
    const bool on = (change.uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
    const int row = change.iItem;
    if (change.hdr.idFrom == kEditConditions) {
        // One condition at a time: checking one unchecks the others.
        if (on && rule().ConditionKind == row) return;
        if (on) choose_condition(rule(), session_, row);
        else if (rule().ConditionKind == row) choose_condition(rule(), session_, kNoCondition);
        else return;
    } else {
        if (rule().has_action(row) == on) return;
        set_action(rule(), row, on);  // Reboot and Shutdown exclude each other
    }
    show_checks();
    rebuild();
}

void frmEdit::word_clicked(int word) {
    if (word < 0 || word >= static_cast<int>(words_.size())) return;
    open_value_dialog(window_, state_, services_, rule(), words_[static_cast<std::size_t>(word)], [this](bool) {
        rebuild();
        ::SetFocus(sentence_);
    });
}

void frmEdit::accept() {
    const std::string name = control_text(name_);
    const std::string refusal = check_rule(rule(), session_, name);
    if (!refusal.empty()) {
        rebuild();
        if (services_.msg_box != nullptr) services_.msg_box->show_message(refusal, false);
        return;
    }
    accept_rule(rule(), name);
    finish(true);
}

void frmEdit::cancel() {
    if (finished_) return;
    cancel_session(state_.alerts.working, session_);
    finish(false);
}

void frmEdit::finish(bool stored) {
    finished_ = true;
    // The owner is enabled before the editor goes, so that the activation returns to it.
    if (owner_ != nullptr) ::EnableWindow(owner_, TRUE);
    const HWND owner = owner_;
    std::function<void(bool)> closed = std::move(closed_);
    ::DestroyWindow(window_);  // deletes this
    if (owner != nullptr) {
        ::SetActiveWindow(owner);
        ::SetFocus(owner);
    }
    if (closed) closed(stored);
}

}  // namespace

HWND open_rule_editor(HWND owner, AlertView state, Services& services, const EditorSession& session,
                      std::function<void(bool stored)> closed) {
    // The window owns the editor from its creation on and deletes it when destroyed.
    auto* editor = new frmEdit(state, services, session, owner, std::move(closed));
    return editor->create();
}
