#include "app/win32/program_menu.h"

#include <windows.h>

#include "platform/win32/win32_text.h"

namespace {

enum : UINT { kRestore = 1, kSettings, kHistory, kAbout, kOnTop, kExit };

MenuCommand command_of(UINT id) {
    switch (id) {
        case kRestore: return MenuCommand::restore_or_hide;
        case kSettings: return MenuCommand::settings;
        case kHistory: return MenuCommand::history;
        case kAbout: return MenuCommand::about;
        case kOnTop: return MenuCommand::always_on_top;
        case kExit: return MenuCommand::exit;
        default: return MenuCommand::none;
    }
}

std::wstring folder_text(const std::string& data_dir) {
    std::wstring folder = widen(data_dir);
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    return folder;
}

}  // namespace

bool menu_said_hide(const MenuState& state) { return state.from_main_window || !state.minimised; }

MenuCommand show_program_menu(void* owner, const MenuState& state) {
    HMENU menu = ::CreatePopupMenu();
    if (menu == nullptr) return MenuCommand::none;
    ::AppendMenuW(menu, MF_STRING, kRestore, menu_said_hide(state) ? L"Hide" : L"&Restore");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kSettings, L"&Settings...");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kHistory, L"&History...");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, kAbout, L"&About...");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    if (state.from_main_window) {
        ::AppendMenuW(menu, MF_STRING | (state.always_on_top ? MF_CHECKED : MF_UNCHECKED), kOnTop, L"Always on top");
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    }
    ::AppendMenuW(menu, MF_STRING, kExit, L"E&xit");
    ::SetMenuDefaultItem(menu, kRestore, FALSE);
    POINT at{};
    ::GetCursorPos(&at);
    const HWND window = static_cast<HWND>(owner);
    ::SetForegroundWindow(window);
    const UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr));
    // The menu closes properly only after the window got a message of its own.
    ::PostMessageW(window, WM_NULL, 0, 0);
    ::DestroyMenu(menu);
    return command_of(chosen);
}

void rebuild_system_menu(void* window, bool always_on_top) {
    HMENU menu = ::GetSystemMenu(static_cast<HWND>(window), FALSE);
    if (menu == nullptr) return;
    ::DeleteMenu(menu, kAlwaysOnTopCommand, MF_BYCOMMAND);
    // The separator we put after the entry sits just above "Close" now: take it out too.
    const int close_at = [&] {
        for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i)
            if (::GetMenuItemID(menu, i) == SC_CLOSE) return i;
        return -1;
    }();
    if (close_at > 0) {
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA;
        if (::GetMenuItemInfoW(menu, close_at - 1, TRUE, &info) && (info.fType & MFT_SEPARATOR) != 0 &&
            info.dwItemData == kAlwaysOnTopCommand)
            ::DeleteMenu(menu, close_at - 1, MF_BYPOSITION);
    }
    const int at = [&] {
        for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i)
            if (::GetMenuItemID(menu, i) == SC_CLOSE) return i;
        return ::GetMenuItemCount(menu);
    }();
    ::InsertMenuW(menu, at, MF_BYPOSITION | MF_STRING | (always_on_top ? MF_CHECKED : MF_UNCHECKED),
                  kAlwaysOnTopCommand, L"Always on top");
    MENUITEMINFOW separator = {};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE | MIIM_DATA;
    separator.fType = MFT_SEPARATOR;
    separator.dwItemData = kAlwaysOnTopCommand;  // marks it as ours
    ::InsertMenuItemW(menu, at + 1, TRUE, &separator);
    ::DrawMenuBar(static_cast<HWND>(window));
}

void show_about_box(void* owner, const std::string& data_dir) {
    const std::wstring text = L"Kelvanto " + widen(KELVANTO_VERSION) +
                              L"\nNetwork traffic monitor\n\nData folder: " + folder_text(data_dir);
    ::MessageBoxW(static_cast<HWND>(owner), text.c_str(), L"About Kelvanto", MB_ICONINFORMATION | MB_OK);
}
