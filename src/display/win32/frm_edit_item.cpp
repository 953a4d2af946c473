// "Edit Item" on Win32: name, type, period and adapter of one display item, applied at once.
#include "display/win32/frm_edit_item.h"

#include <algorithm>
#include <utility>

#include "display/item_list.h"
#include "settings/form_item.h"
#include "settings/settings.h"
#include "history/period_kind.h"
#include "history/period_totals.h"
#include "platform/win32/dialog_controls.h"
#include "platform/win32/message_window.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/window_owner.h"

namespace {

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 166;

class frmEditItem {
public:
    frmEditItem(DisplayView state, ItemEditorSession session, HWND owner)
        : state_(state), session_(std::move(session)), owner_(owner) {}

    HWND create();
    LRESULT handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

private:
    FormItem* current();
    HWND make(const wchar_t* cls, const std::wstring& text, DWORD style, DWORD ex, int id, int x, int y, int cx, int cy);
    HWND make_list(int id, int y, const std::vector<std::string>& entries, int chosen);
    void apply_fields();
    void finish(bool accepted);

    DisplayView state_;
    ItemEditorSession session_;
    HWND owner_;
    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    FormItem kept_;
    bool loading_ = true;
    bool finished_ = false;
};

FormItem* frmEditItem::current() {
    if (session_.item < 1 || session_.item > static_cast<int>(state_.display_list.size())) return nullptr;
    return &state_.display_list[static_cast<std::size_t>(session_.item - 1)];
}

HWND frmEditItem::make(const wchar_t* cls, const std::wstring& text, DWORD style, DWORD ex, int id, int x, int y, int cx,
                       int cy) {
    return make_control(window_, cls, text, style, ex, id, RECT{x, y, x + cx, y + cy}, font_);
}

HWND frmEditItem::make_list(int id, int y, const std::vector<std::string>& entries, int chosen) {
    const HWND list = make(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, id, 80, y, 230, 200);
    for (const std::string& e : entries) ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(e).c_str()));
    // An adapter that has gone keeps its number in the item; the list then shows no entry.
    ::SendMessageW(list, CB_SETCURSEL, chosen < static_cast<int>(entries.size()) ? static_cast<WPARAM>(chosen)
                                                                                 : static_cast<WPARAM>(-1), 0);
    return list;
}

HWND frmEditItem::create() {
    register_window_class(kItemEditorClass, self_owned_window_procedure<frmEditItem>);
    const DWORD ex = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME | (state_.settings.AlwaysOnTop != 0 ? WS_EX_TOPMOST : 0);
    const HWND w = ::CreateWindowExW(ex, kItemEditorClass, L"Edit Item", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 100,
                                     100, owner_, nullptr, ::GetModuleHandleW(nullptr), this);
    if (w == nullptr) return nullptr;
    window_ = w;
    font_ = create_message_font();
    const FormItem item = current() != nullptr ? *current() : FormItem{};
    kept_ = item;
    std::vector<std::string> types;
    for (int t = kItemDownloadRate; t <= kItemTextLabel; ++t) types.push_back(item_type_name(t));
    std::vector<std::string> periods;
    for (int k = 0; k < kPeriodKinds - 1; ++k) periods.push_back(period_name(state_, k));
    periods.push_back(state_.settings.CusPerName.empty() ? "User defined" : state_.settings.CusPerName);
    std::vector<std::string> adapters{"Multiple adapters"};
    adapters.insert(adapters.end(), session_.adapter_names.begin(), session_.adapter_names.end());
    const wchar_t* captions[] = {L"Name:", L"Type:", L"Period:", L"Adapter:"};
    for (int i = 0; i < 4; ++i) make(L"STATIC", captions[i], SS_LEFT | SS_CENTERIMAGE, 0, 0, 10, 10 + i * 32, 66, 22);
    const HWND name = make(L"EDIT", widen(item.Name), WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kItemName, 80, 10, 230, 22);
    make_list(kItemType, 42, types, item.Type);
    make_list(kItemPeriod, 74, periods, item.Period);
    make_list(kItemAdapter, 106, adapters, item.Adapter);
    make(L"BUTTON", L"&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, 154, 136, 75, 24);
    make(L"BUTTON", L"&Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL, 235, 136, 75, 24);
    RECT frame{0, 0, scaled(w, kClientWidth), scaled(w, kClientHeight)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(w, GWL_STYLE)), FALSE, ex);
    RECT over{0, 0, 1024, 768};
    if (owner_ == nullptr || !::GetWindowRect(owner_, &over)) ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::SetWindowPos(w, nullptr, std::max(0L, over.left + (over.right - over.left - width) / 2),
                   std::max(0L, over.top + (over.bottom - over.top - height) / 2), width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    loading_ = false;
    apply_fields();
    ::SetPropW(w, kDialogKeysProperty, w);
    if (owner_ != nullptr) ::EnableWindow(owner_, FALSE);
    ::ShowWindow(w, SW_SHOW);
    ::SetForegroundWindow(w);
    ::SetFocus(name);
    ::SendMessageW(name, EM_SETSEL, 0, -1);
    return w;
}

// The fields go into the item; the period counts for transferred amounts only, the adapter
// for everything but a text label.
void frmEditItem::apply_fields() {
    FormItem* i = current();
    if (loading_ || i == nullptr) return;
    const auto chosen = [this](int id) {
        return static_cast<std::uint8_t>(std::max(0, static_cast<int>(::SendDlgItemMessageW(window_, id, CB_GETCURSEL, 0, 0))));
    };
    i->Type = chosen(kItemType);
    i->Period = chosen(kItemPeriod);
    i->Adapter = chosen(kItemAdapter);
    const HWND name = ::GetDlgItem(window_, kItemName);
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(name)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(name, text.data(), static_cast<int>(text.size()))));
    i->Name = narrow(text);
    ::EnableWindow(::GetDlgItem(window_, kItemPeriod), i->Type == kItemTransferred ? TRUE : FALSE);
    ::EnableWindow(::GetDlgItem(window_, kItemAdapter), i->Type != kItemTextLabel ? TRUE : FALSE);
    // The preview shows the custom list; Cancel puts it back.
    StoreCustomList(state_);
    if (session_.redraw) session_.redraw();
}

void frmEditItem::finish(bool accepted) {
    if (finished_) return;
    finished_ = true;
    if (accepted) {
        apply_fields();
    } else if (session_.creating) {
        if (current() != nullptr) state_.display_list.erase(state_.display_list.begin() + (session_.item - 1));
    } else if (FormItem* i = current()) {
        *i = kept_;
    }
    StoreCustomList(state_);
    if (owner_ != nullptr) ::EnableWindow(owner_, TRUE);
    auto closed = std::move(session_.closed);
    const HWND owner = owner_;
    ::DestroyWindow(window_);
    if (closed) closed(accepted);
    if (owner != nullptr) ::SetForegroundWindow(owner);
}

LRESULT frmEditItem::handle(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            const unsigned code = HIWORD(wparam);
            if (id == IDOK) finish(true);
            else if (id == IDCANCEL) finish(false);
            else if ((id == kItemName && code == EN_CHANGE) || (id != kItemName && code == CBN_SELCHANGE)) apply_fields();
            return 0;
        }
        case DM_GETDEFID: return MAKELRESULT(IDOK, DC_HASDEFID);
        case WM_CLOSE: finish(false); return 0;
        case WM_DESTROY:
            // Destroyed with its owner: the item is put back as Cancel does.
            if (!finished_) {
                finished_ = true;
                if (session_.creating && current() != nullptr)
                    state_.display_list.erase(state_.display_list.begin() + (session_.item - 1));
                else if (FormItem* i = current())
                    *i = kept_;
                StoreCustomList(state_);
            }
            release_window(window, font_, owner_);
            return 0;
        default: break;
    }
    return ::DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

HWND open_item_editor(HWND owner, DisplayView state, ItemEditorSession session) {
    auto* editor = new frmEditItem(state, std::move(session), owner);
    const HWND w = editor->create();
    if (w == nullptr) delete editor;
    return w;
}
