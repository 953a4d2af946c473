// The value dialog on Win32: one value of a rule, from a list, a field or both.
#include "alerts/win32/frm_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "alerts/alert_state.h"
#include "platform/win32/dialog_controls.h"
#include "history/win32/c_file_dialog.h"
#include "measure/adapter_list.h"
#include "measure/ip_statistics.h"
#include "platform/services.h"
#include "platform/win32/message_window.h"
#include "platform/win32/window_owner.h"
#include "settings/settings.h"

namespace {

constexpr int kClientWidth = 340;
constexpr int kClientHeight = 104;

class frmDialog {
public:
    frmDialog(ValueKind kind, ValueDialogSpec form, ValuePair& target, Services& services, HWND owner,
              std::function<void(bool)> closed)
        : kind_(kind), form_(std::move(form)), target_(target), services_(services), owner_(owner),
          closed_(std::move(closed)) {}

    HWND create(const std::vector<std::string>& shown_adapters);
    LRESULT handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

private:
    void create_controls(const std::vector<std::string>& shown_adapters);
    void accept();
    void browse();
    void keep_digits();
    void finish(bool stored);

    ValueKind kind_;
    ValueDialogSpec form_;
    ValuePair& target_;
    Services& services_;
    HWND owner_;
    std::function<void(bool)> closed_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND field_ = nullptr;
    HFONT font_ = nullptr;
    bool cleaning_ = false;  // the field is being rid of what is not a digit
};

HWND frmDialog::create(const std::vector<std::string>& shown_adapters) {
    register_window_class(kValueDialogClass, self_owned_window_procedure<frmDialog>);
    const HWND window = ::CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, kValueDialogClass,
                                          widen(form_.caption).c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100,
                                          100, owner_, nullptr, ::GetModuleHandleW(nullptr), this);
    if (window == nullptr) return nullptr;
    window_ = window;
    font_ = create_message_font();
    create_controls(shown_adapters);
    centre_window(window, owner_, kClientWidth, kClientHeight);
    ::SetPropW(window, kDialogKeysProperty, window);
    if (owner_ != nullptr) ::EnableWindow(owner_, FALSE);
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    ::SetFocus(field_ != nullptr ? field_ : list_);
    return window;
}

void frmDialog::create_controls(const std::vector<std::string>& shown_adapters) {
    const HWND w = window_;
    make_control(w, L"STATIC", widen(form_.prompt), SS_LEFT | SS_NOPREFIX, 0, kValuePrompt, RECT{10, 10, 330, 28}, font_);
    const bool browse = !form_.filter.empty();
    const bool unit = !form_.unit_label.empty();
    int x = 10;
    if (form_.field) {
        int width = 320 - (browse ? 34 : 0) - (unit ? 34 : 0) - (form_.list.empty() ? 0 : 110);
        DWORD style = WS_TABSTOP | ES_AUTOHSCROLL | (form_.number ? ES_NUMBER | ES_RIGHT : ES_LEFT);
        field_ = make_control(w, L"EDIT", L"", style, WS_EX_CLIENTEDGE, kValueField, RECT{x, 34, x + width, 56}, font_);
        if (form_.max_length > 0) ::SendMessageW(field_, EM_SETLIMITTEXT, static_cast<WPARAM>(form_.max_length), 0);
        x += width + 6;
    }
    if (!form_.list.empty()) {
        const int width = form_.field ? 104 : 320;
        list_ = make_control(w, WC_COMBOBOXW, L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, kValueList,
                             RECT{x, 34, x + width, 234}, font_);
        // Adapters 1..N are shown as the adapter list shows them; the value stored is the
        // core's own entry.
        const HDC dc = ::GetDC(list_);
        const HGDIOBJ old = ::SelectObject(dc, font_ != nullptr ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));
        int widest = scaled(w, width);
        for (std::size_t i = 0; i < form_.list.size(); ++i) {
            const bool adapter = kind_ == ValueKind::adapter && i >= 1 && i - 1 < shown_adapters.size();
            const std::wstring entry = widen(adapter ? shown_adapters[i - 1] : form_.list[i]);
            ::SendMessageW(list_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
            SIZE size{};
            ::GetTextExtentPoint32W(dc, entry.c_str(), static_cast<int>(entry.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx) + 24);
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(list_, dc);
        // The open list is as wide as its longest entry.
        ::SendMessageW(list_, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(widest), 0);
        x += width + 6;
    }
    if (unit)
        make_control(w, L"STATIC", widen(form_.unit_label), SS_LEFT | SS_CENTERIMAGE, 0, kValueUnit,
                     RECT{x, 34, x + 30, 56}, font_);
    if (browse)
        make_control(w, L"BUTTON", L"...", WS_TABSTOP | BS_PUSHBUTTON, 0, kValueBrowse, RECT{302, 33, 330, 57}, font_);
    make_control(w, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, RECT{174, 70, 249, 94}, font_);
    make_control(w, L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL, RECT{255, 70, 330, 94}, font_);

    const ValueInput in = initial_input(kind_, target_, static_cast<int>(form_.list.size()), form_.proposed);
    if (list_ != nullptr && in.list_index >= 0) ::SendMessageW(list_, CB_SETCURSEL, static_cast<WPARAM>(in.list_index), 0);
    if (field_ != nullptr) {
        ::SetWindowTextW(field_, widen(in.field).c_str());
        ::SendMessageW(field_, EM_SETSEL, 0, -1);
    }
}

LRESULT frmDialog::handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDOK: accept(); return 0;
                case IDCANCEL: finish(false); return 0;
                case kValueBrowse:
                    if (HIWORD(wparam) == BN_CLICKED) browse();
                    return 0;
                case kValueField:
                    if (HIWORD(wparam) == EN_CHANGE && form_.number) keep_digits();
                    return 0;
                default: break;
            }
            break;
        case DM_GETDEFID: return default_button(window);
        case WM_CLOSE: finish(false); return 0;
        case WM_DESTROY:
            release_window(window, font_, owner_);
            return 0;
        default: break;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

// Whatever reaches a number field that is not a digit (pasted) goes at once.
void frmDialog::keep_digits() {
    if (cleaning_) return;
    const std::string text = control_text(field_);
    const std::string digits = digits_only(text);
    if (digits == text) return;
    cleaning_ = true;
    ::SetWindowTextW(field_, widen(digits).c_str());
    ::SendMessageW(field_, EM_SETSEL, static_cast<WPARAM>(digits.size()), static_cast<LPARAM>(digits.size()));
    cleaning_ = false;
}

void frmDialog::browse() {
    cFileDialog chooser;
    chooser.setFilter(form_.filter);
    chooser.hwnd = window_;
    chooser.ShowOpen();
    if (!chooser.CancelError && field_ != nullptr) {
        ::SetWindowTextW(field_, widen(chooser.FileName).c_str());
        ::SendMessageW(field_, EM_SETSEL, 0, -1);
    }
    ::SetFocus(field_);
}

void frmDialog::accept() {
    ValueInput in;
    in.list_index = list_ != nullptr ? static_cast<int>(::SendMessageW(list_, CB_GETCURSEL, 0, 0)) : -1;
    in.field = field_ != nullptr ? control_text(field_) : std::string();
    ValuePair stored = target_;
    const std::string refusal = accept_value(kind_, form_, in, stored);
    if (!refusal.empty()) {
        if (services_.msg_box != nullptr) services_.msg_box->show_message(refusal, false);
        return;
    }
    target_ = stored;
    finish(true);
}

void frmDialog::finish(bool stored) {
    // The owner is enabled before the dialog goes, so that the activation returns to it.
    if (owner_ != nullptr) ::EnableWindow(owner_, TRUE);
    const HWND owner = owner_;
    std::function<void(bool)> closed = std::move(closed_);
    ::DestroyWindow(window_);  // deletes this
    if (owner != nullptr) ::SetActiveWindow(owner);
    if (closed) closed(stored);
}

}  // namespace

HWND open_value_dialog(HWND owner, AlertView state, Services& services, AlertRule& rule, const SentenceWord& word,
                       std::function<void(bool stored)> closed) {
    const ValueKind kind = value_kind_of(rule.ConditionKind, word);
    if (kind == ValueKind::none) return nullptr;
    std::vector<std::string> names;
    std::vector<std::string> shown;
    if (kind == ValueKind::adapter) {
        clsIPStatistics stats(services.tables, services.dialogs, state.table_messages);
        for (int i = 1; i <= stats.Found_Adaptors(); ++i) names.push_back(stats.entry(i).description);
        shown = adapter_list_names(stats);
    }
    ValueDialogSpec form = value_dialog_spec(kind, names, state.settings.CusPerName);
    // An unfilled adapter is the one the main window monitors.
    if (kind == ValueKind::adapter) form.proposed = state.settings.Adapter;
    // The window owns the dialog from its creation on and deletes it when destroyed.
    auto* dialog = new frmDialog(kind, std::move(form), rule.value(word.part + 1, word.slot), services, owner,
                                 std::move(closed));
    return dialog->create(shown);
}
