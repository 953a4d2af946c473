#pragma once

#include <string>

// The program's pop-up menu, shared by the tray icon and the main window.
enum class MenuCommand { none, restore_or_hide, settings, history, about, always_on_top, exit };

struct MenuState {
    bool minimised = false;        // the first entry reads "&Restore", else "Hide"
    bool from_main_window = false;  // adds "Always on top" (checked when on)
    bool always_on_top = false;
};

// Shows the menu at the cursor for `owner` (an HWND, put in the foreground first so the menu
// closes when the user clicks elsewhere) and returns the entry chosen.
MenuCommand show_program_menu(void* owner, const MenuState& state);
// The caption of the first entry the menu showed last ("Hide" or "&Restore").
bool menu_said_hide(const MenuState& state);

// The system menu's "Always on top" entry (and its separator) just above "Close", checked
// when on; rebuilt on every call.
inline constexpr unsigned kAlwaysOnTopCommand = 129;
void rebuild_system_menu(void* window, bool always_on_top);

// "&About...": name, version and the data folder.
void show_about_box(void* owner, const std::string& data_dir);
