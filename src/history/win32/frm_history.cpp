// The history window on Win32: the window, its controls, their layout, keys and closing.
#include "history/win32/frm_history.h"

#include "platform/win32/windows_api.h"

#include <commctrl.h>

#include <algorithm>
#include <string_view>

#include "platform/win32/dialog_controls.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/window_owner.h"

namespace {

HWND as_window(void* p) { return static_cast<HWND>(p); }

LRESULT CALLBACK history_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = window_owner<frmHistory>(window, message, lparam);
    std::intptr_t result = 0;
    if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    else if (self != nullptr && self->handle(message, wparam, lparam, &result)) return result;
    return ::DefWindowProcW(window, message, wparam, lparam);
}

// The history window a message of the thread's loop is for: the top-level window of its
// target when that is one, else null.
frmHistory* history_window_of(HWND target) {
    const HWND root = target != nullptr ? ::GetAncestor(target, GA_ROOT) : nullptr;
    if (root == nullptr) return nullptr;
    wchar_t name[64] = {};
    if (::GetClassNameW(root, name, 64) == 0 || std::wstring_view(name) != kHistoryWindowClass) return nullptr;
    return reinterpret_cast<frmHistory*>(::GetWindowLongPtrW(root, GWLP_USERDATA));
}

// The window is not a dialog box and the program's loop knows no dialogs: its keys are taken
// from the loop by this hook, while the window exists. A key it uses becomes WM_NULL.
LRESULT CALLBACK history_keys(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HC_ACTION && wparam == PM_REMOVE) {
        auto* msg = reinterpret_cast<MSG*>(lparam);
        if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) {
            frmHistory* self = history_window_of(msg->hwnd);
            if (self != nullptr && self->window_key(msg)) msg->message = WM_NULL;
        }
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
}

HWND child(HWND parent, const wchar_t* window_class, DWORD style, DWORD ex_style, int id) {
    return ::CreateWindowExW(ex_style, window_class, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
}

// One of the three row images, 16 by 16: a network card (the adapter rows, the chosen one
// brighter and marked) or a page of a list (the history rows).
HBITMAP row_image(int kind, HDC screen) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 16;
    info.bmiHeader.biHeight = -16;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const auto fill = [pixels](int x, int y, int w, int h, std::uint32_t rgb) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) pixels[j * 16 + i] = 0xFF000000u | rgb;
    };
    std::fill(pixels, pixels + 256, 0u);
    if (kind < 2) {
        fill(2, 4, 12, 7, kind == 0 ? 0x608060u : 0x28AA28u);
        fill(4, 11, 2, 2, 0xC8A028u);
        fill(8, 11, 2, 2, 0xC8A028u);
        fill(11, 5, 2, 3, 0x000000u);
        if (kind == 1) fill(3, 5, 3, 3, 0xFFFFFFu);
    } else {
        fill(2, 2, 12, 12, 0x787878u);
        fill(3, 3, 10, 10, 0xFFFFFFu);
        fill(3, 3, 10, 2, 0x3C5AC8u);
        for (int y = 7; y <= 11; y += 2) fill(4, y, 8, 1, 0x787878u);
    }
    return bitmap;
}

}  // namespace

frmHistory::frmHistory(HistoryWindowContext context, void* owner) : ctx_(std::move(context)), owner_(owner) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    register_window_class(kHistoryWindowClass, history_procedure);
    for (int t = 0; t < kHistoryTabCount; ++t)
        tooltips_[static_cast<std::size_t>(t)] = widen(history_tab_info(static_cast<HistoryTab>(t)).tooltip);
}

frmHistory::~frmHistory() {
    if (window_ != nullptr) ::DestroyWindow(as_window(window_));
}

void frmHistory::open() {
    if (window_ != nullptr) {
        const HWND w = as_window(window_);
        if (::IsIconic(w)) ::ShowWindow(w, SW_RESTORE);
        ::ShowWindow(w, SW_SHOW);
        ::SetForegroundWindow(w);
        ::BringWindowToTop(w);
        return;
    }
    const Settings& s = ctx_.settings;
    const DWORD ex_style = WS_EX_CONTROLPARENT | (s.AlwaysOnTop == 1 ? WS_EX_TOPMOST : 0);
    window_ = ::CreateWindowExW(ex_style, kHistoryWindowClass, L"Transfer History", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                CW_USEDEFAULT, CW_USEDEFAULT, s.frmHistoryWidth, s.frmHistoryHeight, as_window(owner_),
                                nullptr, ::GetModuleHandleW(nullptr), this);
    if (window_ == nullptr) return;
    const HWND w = as_window(window_);
    // The main window's icon.
    if (owner_ != nullptr) {
        auto icon = ::SendMessageW(as_window(owner_), WM_GETICON, ICON_SMALL, 0);
        if (icon == 0) icon = static_cast<LRESULT>(::GetClassLongPtrW(as_window(owner_), GCLP_HICON));
        ::SendMessageW(w, WM_SETICON, ICON_SMALL, icon);
        ::SendMessageW(w, WM_SETICON, ICON_BIG, icon);
    }
    key_hook_ = ::SetWindowsHookExW(WH_GETMESSAGE, history_keys, nullptr, ::GetCurrentThreadId());
    create_controls();
    opening_ = true;
    adapter_ = s.Adapter;
    for (int t = 0; t < kHistoryTabCount; ++t) sort_[static_cast<std::size_t>(t)] = stored_sort(s, static_cast<HistoryTab>(t));
    tab_shown_ = false;
    build_tab(kTabTotals, false);
    opening_ = false;
    ctx_.window_open = true;
    place_from_settings();
    ::SetFocus(as_window(list_));
}

void frmHistory::create_controls() {
    const HWND w = as_window(window_);
    dpi_ = static_cast<int>(::GetDpiForWindow(w));
    if (dpi_ <= 0) dpi_ = 96;
    font_ = create_message_font(static_cast<UINT>(dpi_));
    const auto font = reinterpret_cast<WPARAM>(font_ != nullptr ? font_ : ::GetStockObject(DEFAULT_GUI_FONT));

    tabs_ = child(w, WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS | TCS_FOCUSONBUTTONDOWN, 0, kHistoryTabStrip);
    ::SendMessageW(as_window(tabs_), WM_SETFONT, font, FALSE);
    for (int t = 0; t < kHistoryTabCount; ++t) {
        std::wstring caption = widen(history_tab_info(static_cast<HistoryTab>(t)).caption);
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        ::SendMessageW(as_window(tabs_), TCM_INSERTITEMW, static_cast<WPARAM>(t), reinterpret_cast<LPARAM>(&item));
    }
    // Each tab's tooltip: a tool of its own over the tab (the tooltip watches the tab strip's
    // mouse messages itself); the tooltip window goes with the history window, its owner.
    const HWND tips = create_tooltips(w);
    for (int t = 0; t < kHistoryTabCount && tips != nullptr; ++t) {
        TOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = as_window(tabs_);
        tool.uId = static_cast<UINT_PTR>(t);
        ::SendMessageW(as_window(tabs_), TCM_GETITEMRECT, static_cast<WPARAM>(t), reinterpret_cast<LPARAM>(&tool.rect));
        tool.lpszText = tooltips_[static_cast<std::size_t>(t)].data();
        ::SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // SS_NOTIFY: the line takes the pointer, so that its tooltip shows.
    line_ = child(w, L"STATIC", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_ENDELLIPSIS | SS_NOTIFY, 0, kHistoryAdapterLine);
    ::SendMessageW(as_window(line_), WM_SETFONT, font, FALSE);
    add_tooltip(tips, as_window(line_), L"Click an adapter on the Totals tab to show its history on the other tabs");

    list_ = child(w, WC_LISTVIEWW, WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, WS_EX_CLIENTEDGE,
                  kHistoryList);
    const HWND list = as_window(list_);
    ::SendMessageW(list, WM_SETFONT, font, FALSE);
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    add_tooltip(tips, ListView_GetHeader(list),
                L"Click a column to sort by it; F5 shows the latest amounts; right-click to export");
    for (int c = 0; c < kHistoryColumns; ++c) {
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = c == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        column.cx = 80;
        column.pszText = const_cast<wchar_t*>(L"");
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    const HIMAGELIST images = ::ImageList_Create(16, 16, ILC_COLOR32, 3, 0);
    const HDC screen = ::GetDC(nullptr);
    for (int i = 0; i < 3; ++i) {
        const HBITMAP bitmap = row_image(i, screen);
        ::ImageList_Add(images, bitmap, nullptr);
        ::DeleteObject(bitmap);
    }
    ::ReleaseDC(nullptr, screen);
    images_ = images;
    ::SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void frmHistory::place_from_settings() {
    const Settings& s = ctx_.settings;
    const HWND w = as_window(window_);
    RECT work{0, 0, 1024, 768};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    // The stored size is for 96 dots per inch: the window keeps its size on a denser screen.
    const int width = scaled(w, std::max(200, static_cast<int>(s.frmHistoryWidth)));
    const int height = scaled(w, std::max(150, static_cast<int>(s.frmHistoryHeight)));
    int left = s.frmHistoryLeft == kWindowPositionUnset ? work.left + (work.right - work.left - width) / 2
                                                         : static_cast<int>(s.frmHistoryLeft);
    int top = s.frmHistoryTop == kWindowPositionUnset ? work.top + (work.bottom - work.top - height) / 2
                                                       : static_cast<int>(s.frmHistoryTop);
    // A place stored on a screen that has gone (or grown smaller) is brought onto the nearest.
    RECT wanted{left, top, left + width, top + height};
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(::MonitorFromRect(&wanted, MONITOR_DEFAULTTONEAREST), &info)) {
        const RECT& m = info.rcWork;
        left = std::max(static_cast<int>(m.left), std::min(left, static_cast<int>(m.right) - width));
        top = std::max(static_cast<int>(m.top), std::min(top, static_cast<int>(m.bottom) - height));
    }
    ::SetWindowPos(w, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(w, s.frmHistoryState == 1 ? SW_SHOWMINIMIZED : (s.frmHistoryState == 2 ? SW_SHOWMAXIMIZED : SW_SHOW));
    ::SetForegroundWindow(w);
    RECT client{};
    ::GetClientRect(w, &client);
    layout(client.right, client.bottom);
}

// Moved to a screen of another density: the font and the columns follow, the controls are
// laid out again in the place the system suggests.
void frmHistory::dpi_changed(int dpi, const void* suggested) {
    const HWND list = as_window(list_);
    if (void* font = create_message_font(static_cast<UINT>(dpi))) {
        for (void* control : {tabs_, line_, list_})
            ::SendMessageW(as_window(control), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (font_ != nullptr) ::DeleteObject(static_cast<HFONT>(font_));
        font_ = font;
    }
    for (int c = 0; c < kHistoryColumns; ++c) {
        const int width = ListView_GetColumnWidth(list, c);
        ListView_SetColumnWidth(list, c, ::MulDiv(width, dpi, dpi_));
        // A column the window fitted stays one it fitted.
        if (fitted_[static_cast<std::size_t>(c)] == width) fitted_[static_cast<std::size_t>(c)] = ListView_GetColumnWidth(list, c);
    }
    dpi_ = dpi;
    const RECT& place = *static_cast<const RECT*>(suggested);
    ::SetWindowPos(as_window(window_), nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    ::GetClientRect(as_window(window_), &client);
    layout(client.right, client.bottom);
}

void frmHistory::layout(int width, int height) {
    if (tabs_ == nullptr) return;
    RECT first{};
    ::SendMessageW(as_window(tabs_), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
    const int tab_height = first.bottom + 3;
    TEXTMETRICW text = {};
    const HDC dc = ::GetDC(as_window(line_));
    const HGDIOBJ old = ::SelectObject(dc, static_cast<HFONT>(font_));
    ::GetTextMetricsW(dc, &text);
    ::SelectObject(dc, old);
    ::ReleaseDC(as_window(line_), dc);
    const int line_height = static_cast<int>(text.tmHeight) + 8;
    ::MoveWindow(as_window(tabs_), 0, 0, width, tab_height, TRUE);
    ::MoveWindow(as_window(line_), 4, tab_height, std::max(0, width - 8), line_height, TRUE);
    ::MoveWindow(as_window(list_), 0, tab_height + line_height, width, std::max(0, height - tab_height - line_height), TRUE);
}

void frmHistory::select_tab(int tab) {
    if (tab < 0 || tab >= kHistoryTabCount) return;
    ::SendMessageW(as_window(tabs_), TCM_SETCURSEL, static_cast<WPARAM>(tab), 0);
    build_tab(static_cast<HistoryTab>(tab), false);
}

bool frmHistory::window_key(void* message) {
    MSG& msg = *static_cast<MSG*>(message);
    if (window_ == nullptr || in_menu_) return false;
    if (msg.message == WM_KEYDOWN) {
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        const bool shift = ::GetKeyState(VK_SHIFT) < 0;
        const int current = static_cast<int>(::SendMessageW(as_window(tabs_), TCM_GETCURSEL, 0, 0));
        const bool back = (msg.wParam == VK_TAB && shift) || msg.wParam == VK_PRIOR;
        if (ctrl && (msg.wParam == VK_TAB || msg.wParam == VK_PRIOR || msg.wParam == VK_NEXT)) {
            select_tab((current + (back ? kHistoryTabCount - 1 : 1)) % kHistoryTabCount);
            return true;
        }
        if (msg.wParam == VK_F5 && !ctrl && !shift) {
            build_tab(shown_tab_, true);
            return true;
        }
        if (msg.wParam == VK_ESCAPE) {
            close();
            return true;
        }
        if (msg.wParam == 'S' && ctrl && !shift) {
            export_list();
            return true;
        }
    }
    return ::IsDialogMessageW(as_window(window_), &msg) != FALSE;
}

bool frmHistory::handle(unsigned message, std::uintptr_t wparam, std::intptr_t lparam, std::intptr_t* result) {
    switch (message) {
        case WM_SIZE: layout(LOWORD(lparam), HIWORD(lparam)); return true;
        case WM_DPICHANGED: dpi_changed(HIWORD(wparam), reinterpret_cast<const void*>(lparam)); return true;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
            limits->ptMinTrackSize = POINT{200, 150};
            return true;
        }
        case WM_NOTIFY: {
            const bool used = notify(reinterpret_cast<const void*>(lparam));
            *result = used ? 1 : 0;
            return used;
        }
        case WM_CONTEXTMENU:
            // From the keyboard (Shift+F10, the menu key) the position is -1, -1: below the tabs.
            if (lparam == -1) {
                RECT tabs{};
                ::GetWindowRect(as_window(tabs_), &tabs);
                show_popup(tabs.left + 8, tabs.bottom);
            } else {
                show_popup(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
            }
            return true;
        case WM_COMMAND: {
            const unsigned command = LOWORD(wparam);
            if (command == kHistoryExportCommand) export_list();
            else if (command == IDCANCEL) close();
            // Enter in the list chooses the focused Totals row.
            else if (command == IDOK)
                choose_row(static_cast<int>(
                    ::SendMessageW(as_window(list_), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)));
            else return false;
            return true;
        }
        case WM_CLOSE: close(); return true;
        case WM_DESTROY: destroyed(); return true;
        default: return false;
    }
}

bool frmHistory::notify(const void* header) {
    const auto& nm = *static_cast<const NMHDR*>(header);
    if (nm.idFrom == kHistoryTabStrip) {
        if (nm.code == TCN_SELCHANGE) {
            if (!opening_) build_tab(static_cast<HistoryTab>(::SendMessageW(as_window(tabs_), TCM_GETCURSEL, 0, 0)), false);
            return false;
        }
        if (nm.code == NM_RCLICK) {
            POINT at{};
            ::GetCursorPos(&at);
            show_popup(at.x, at.y);
            return true;
        }
        return false;
    }
    if (nm.idFrom != kHistoryList) return false;
    switch (nm.code) {
        case LVN_COLUMNCLICK: sort_by_column(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem); return false;
        case NM_CLICK: choose_row(reinterpret_cast<const NMITEMACTIVATE*>(header)->iItem); return false;
        case NM_RCLICK: {
            POINT at{};
            ::GetCursorPos(&at);
            show_popup(at.x, at.y);
            return true;
        }
        default: return false;
    }
}

void frmHistory::close() {
    if (window_ == nullptr) return;
    Settings& s = ctx_.settings;
    const HWND w = as_window(window_);
    const bool minimised = ::IsIconic(w) != FALSE;
    const bool maximised = ::IsZoomed(w) != FALSE;
    if (!minimised && !maximised) {
        RECT r{};
        ::GetWindowRect(w, &r);
        s.frmHistoryLeft = r.left;
        s.frmHistoryTop = r.top;
        s.frmHistoryWidth = unscaled(w, r.right - r.left);
        s.frmHistoryHeight = unscaled(w, r.bottom - r.top);
    }
    s.frmHistoryState = static_cast<std::uint8_t>(minimised ? 1 : (maximised ? 2 : 0));
    if (tab_shown_) store_column_widths(shown_tab_, 3);
    write(window_setting_values(s, shown_tab_, 3));
    ::DestroyWindow(w);
}

void frmHistory::destroyed() {
    if (key_hook_ != nullptr) ::UnhookWindowsHookEx(static_cast<HHOOK>(key_hook_));
    key_hook_ = nullptr;
    ctx_.window_open = false;
    tabs_ = line_ = list_ = nullptr;
    if (images_ != nullptr) ::ImageList_Destroy(static_cast<HIMAGELIST>(images_));
    if (font_ != nullptr) ::DeleteObject(static_cast<HFONT>(font_));
    images_ = font_ = nullptr;
    rows_.clear();
    tab_shown_ = false;
    const HWND owner = as_window(owner_);
    void* const was = window_;
    window_ = nullptr;
    // The owner comes back to the front when the window it opened goes.
    if (owner != nullptr && ::GetForegroundWindow() == as_window(was) && ::IsWindowVisible(owner)) ::SetForegroundWindow(owner);
}
