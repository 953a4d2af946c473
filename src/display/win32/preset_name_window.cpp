// The small window "New preset" / "Rename preset" of the Colors page.
#include "display/win32/preset_name_window.h"

#include <utility>

#include "platform/win32/dialog_controls.h"
#include "platform/win32/message_window.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/window_owner.h"

namespace {

// The window's place from the options dialog's top-left corner: 1250 x 650 twips.
constexpr int kOffsetX = 1250 / 15;
constexpr int kOffsetY = 650 / 15;
constexpr int kClientWidth = 330;
constexpr int kClientHeight = 64;

struct NameWindow {
    HWND owner = nullptr;
    HWND window = nullptr;
    HFONT font = nullptr;
    std::function<std::optional<std::string>(const std::string&)> entered;
    std::function<void()> closed;

    LRESULT handle(HWND w, UINT message, WPARAM wparam, LPARAM lparam);
    void take_name();
};

void NameWindow::take_name() {
    const HWND field = ::GetDlgItem(window, kPresetNameField);
    const int length = ::GetWindowTextLengthW(field);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(field, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    const std::optional<std::string> problem = entered(narrow(text));
    if (!problem) {
        ::DestroyWindow(window);
        return;
    }
    ::MessageBeep(MB_ICONEXCLAMATION);
    ::SetDlgItemTextW(window, kPresetNameMessage, widen(*problem).c_str());
}

LRESULT NameWindow::handle(HWND w, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) take_name();
            else if (LOWORD(wparam) == IDCANCEL) ::DestroyWindow(window);
            // The message of a refused name goes when the name is edited again.
            else if (LOWORD(wparam) == kPresetNameField && HIWORD(wparam) == EN_SETFOCUS)
                ::SetDlgItemTextW(window, kPresetNameMessage, L"");
            return 0;
        case WM_CLOSE: ::DestroyWindow(window); return 0;
        case WM_DESTROY: {
            ::RemovePropW(window, kDialogKeysProperty);
            if (font != nullptr) ::DeleteObject(font);
            ::EnableWindow(owner, TRUE);
            ::SetActiveWindow(owner);
            const std::function<void()> after = std::move(closed);
            if (after) after();
            return 0;
        }
        default: return ::DefWindowProcW(w, message, wparam, lparam);
    }
}

}  // namespace

HWND open_preset_name_window(HWND owner, bool rename, const std::string& name,
                             std::function<std::optional<std::string>(const std::string&)> entered,
                             std::function<void()> closed) {
    register_window_class(kPresetNameClass, self_owned_window_procedure<NameWindow>);
    auto* self = new NameWindow{owner, nullptr, nullptr, std::move(entered), std::move(closed)};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    RECT at{0, 0, 0, 0};
    if (owner != nullptr) ::GetWindowRect(owner, &at);
    const HWND window = ::CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, kPresetNameClass,
                                          rename ? L"Rename preset" : L"New preset", style, at.left + kOffsetX,
                                          at.top + kOffsetY, frame.right - frame.left, frame.bottom - frame.top, owner,
                                          nullptr, ::GetModuleHandleW(nullptr), self);
    if (window == nullptr) {
        delete self;
        return nullptr;
    }
    self->window = window;
    self->font = create_message_font();
    const auto make = [&](const wchar_t* cls, const std::wstring& text, DWORD s, DWORD ex, int id, RECT r) {
        const HWND w = ::CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | WS_VISIBLE | s, r.left, r.top, r.right - r.left,
                                         r.bottom - r.top, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                         ::GetModuleHandleW(nullptr), nullptr);
        const HGDIOBJ used = self->font != nullptr ? static_cast<HGDIOBJ>(self->font) : ::GetStockObject(DEFAULT_GUI_FONT);
        ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(used), FALSE);
        return w;
    };
    make(L"STATIC", L"Name:", SS_LEFT | SS_CENTERIMAGE, 0, kPresetNameCaption, RECT{10, 10, 52, 32});
    const HWND field = make(L"EDIT", widen(name), WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kPresetNameField,
                            RECT{56, 10, 240, 32});
    make(L"BUTTON", L"&OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, RECT{248, 9, 320, 33});
    make(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, kPresetNameMessage, RECT{10, 40, 320, 58});
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    ::SetPropW(window, kDialogKeysProperty, window);
    if (owner != nullptr) ::EnableWindow(owner, FALSE);
    ::ShowWindow(window, SW_SHOW);
    ::SetForegroundWindow(window);
    ::SetFocus(field);
    return window;
}
