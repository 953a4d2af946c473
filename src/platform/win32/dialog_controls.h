#pragma once

#include "platform/win32/windows_api.h"
#include <commctrl.h>

#include <string>

#include "platform/win32/message_window.h"
#include "platform/win32/win32_text.h"

// Small helpers the program's dialog windows (editors, value and name windows) share for
// their controls.

// The system's message font (the caller deletes it), nullptr when there is none; with `dpi`,
// the font for a screen of that density, bold when asked.
inline HFONT create_message_font(UINT dpi = 0, bool bold = false) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    const BOOL got = dpi != 0 ? ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)
                              : ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (!got) return nullptr;
    if (bold) metrics.lfMessageFont.lfWeight = FW_BOLD;
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

// Places and sizes are written for 96 dots per inch; on a screen of another density the
// window's DPI scales them.
inline int scaled(HWND window, int length) {
    const UINT dpi = ::GetDpiForWindow(window);
    return dpi == 0 ? length : ::MulDiv(length, static_cast<int>(dpi), 96);
}
// A length on the window's screen as it is for 96 dots per inch, as it is stored.
inline int unscaled(HWND window, int length) {
    const UINT dpi = ::GetDpiForWindow(window);
    return dpi == 0 ? length : ::MulDiv(length, 96, static_cast<int>(dpi));
}
inline RECT scaled(HWND window, RECT r) {
    return RECT{scaled(window, r.left), scaled(window, r.top), scaled(window, r.right), scaled(window, r.bottom)};
}

namespace dialog_controls_detail {
struct Scaling {
    HWND parent;
    int from;  // dots per inch the children are placed for
    int to;    // and for which they are placed now
    HFONT fonts[4];  // a font of the children, and the font it is replaced by (two pairs)
};
inline BOOL CALLBACK scale_child(HWND child, LPARAM scaling) {
    const Scaling& s = *reinterpret_cast<const Scaling*>(scaling);
    // Only the window's own children: a list's header or a combo box's field follow them.
    if (::GetParent(child) != s.parent) return TRUE;
    const auto by = [&s](long length) { return ::MulDiv(static_cast<int>(length), s.to, s.from); };
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
    for (int i = 0; i < 4; i += 2)
        if (font != nullptr && font == s.fonts[i] && s.fonts[i + 1] != nullptr)
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(s.fonts[i + 1]), FALSE);
    RECT place{};
    ::GetWindowRect(child, &place);
    ::MapWindowPoints(nullptr, s.parent, reinterpret_cast<POINT*>(&place), 2);
    long height = place.bottom - place.top;
    wchar_t kind[32] = {};
    ::GetClassNameW(child, kind, 32);
    const std::wstring name = kind;
    // A combo box is sized with its list open; its field takes the font's height itself.
    RECT dropped{};
    if (name == WC_COMBOBOXW && ::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)))
        height = dropped.bottom - dropped.top;
    ::SetWindowPos(child, nullptr, by(place.left), by(place.top), by(place.right - place.left), by(height),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    if (name == WC_LISTVIEWW) {
        const HWND header = ListView_GetHeader(child);
        const int columns = header != nullptr ? Header_GetItemCount(header) : 0;
        for (int c = 0; c < columns; ++c) ListView_SetColumnWidth(child, c, by(ListView_GetColumnWidth(child, c)));
    }
    ::InvalidateRect(child, nullptr, TRUE);
    return TRUE;
}
}  // namespace dialog_controls_detail

// Moves and sizes the children of `parent`, placed for `from` dots per inch, for `to`; a
// child in font `old_font` (or `old_bold`) gets `new_font` (or `new_bold`) on the way.
inline void scale_children(HWND parent, int from, int to, HFONT old_font = nullptr, HFONT new_font = nullptr,
                           HFONT old_bold = nullptr, HFONT new_bold = nullptr) {
    if (from <= 0 || to <= 0 || from == to) return;
    dialog_controls_detail::Scaling scaling{parent, from, to, {old_font, new_font, old_bold, new_bold}};
    ::EnumChildWindows(parent, dialog_controls_detail::scale_child, reinterpret_cast<LPARAM>(&scaling));
}

// The children of `parent`, placed for 96 dots per inch, moved and sized for the window's DPI
// once they are all made: the text of the system's font, which follows the DPI, then fits them.
inline void scale_children(HWND parent) { scale_children(parent, 96, static_cast<int>(::GetDpiForWindow(parent))); }

// A child control at its place (scaled), in the given font.
inline HWND make_control(HWND parent, const wchar_t* window_class, const std::wstring& text, DWORD style, DWORD ex_style,
                         int id, RECT given, HFONT font) {
    const RECT place = scaled(parent, given);
    const HWND control = ::CreateWindowExW(ex_style, window_class, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left,
                                           place.top, place.right - place.left, place.bottom - place.top, parent,
                                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                           ::GetModuleHandleW(nullptr), nullptr);
    const HGDIOBJ used = font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(used), FALSE);
    return control;
}

// A tooltip window for the controls of `owner`, which destroys it with itself.
inline HWND create_tooltips(HWND owner) {
    return ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, owner, nullptr,
                             nullptr, nullptr);
}

// `control` shows `text` in the tooltip window `tips` while the pointer rests on it.
inline void add_tooltip(HWND tips, HWND control, const std::wstring& text) {
    if (tips == nullptr || control == nullptr) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// A control's text in UTF-8.
inline std::string control_text(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return narrow(text);
}

// What an editor or name window gives back as it goes (WM_DESTROY): the dialog keys, its
// font (`font` is set to nullptr), and the window it kept disabled, usable again.
inline void release_window(HWND window, HFONT& font, HWND owner) {
    ::RemovePropW(window, kDialogKeysProperty);
    if (font != nullptr) ::DeleteObject(font);
    font = nullptr;
    if (owner != nullptr) ::EnableWindow(owner, TRUE);
}

// Places a window of the given client size (scaled) centred over `over` (the screen's work
// area when there is none).
inline void centre_window(HWND window, HWND over, int client_width, int client_height) {
    RECT frame{0, 0, scaled(window, client_width), scaled(window, client_height)};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE)));
    RECT area{0, 0, 1024, 768};
    if (over == nullptr || !::IsWindowVisible(over) || !::GetWindowRect(over, &area))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    int left = area.left + (area.right - area.left - width) / 2;
    int top = area.top + (area.bottom - area.top - height) / 2;
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    ::SetWindowPos(window, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The answer to DM_GETDEFID: Enter clicks the push button that has the focus, else OK.
inline LRESULT default_button(HWND window) {
    const HWND focus = ::GetFocus();
    wchar_t name[16] = {};
    if (focus != nullptr && ::IsChild(window, focus) && ::GetClassNameW(focus, name, 16) > 0 &&
        ::lstrcmpiW(name, L"Button") == 0) {
        const LONG kind = ::GetWindowLongW(focus, GWL_STYLE) & BS_TYPEMASK;
        if (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON) return MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
    }
    return MAKELRESULT(IDOK, DC_HASDEFID);
}
