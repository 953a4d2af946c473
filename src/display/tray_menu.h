#pragma once

#include <string>

// Tray notification messages handed to SysTray_Click: left and right button down.
inline constexpr int kTrayLeftDown = 513;
inline constexpr int kTrayRightDown = 516;

// The windows a left click on the tray icon may bring forward, in the order they are tried.
enum class ForwardWindow {
    msg_box,
    about,
    colour_dialog,
    new_preset,
    rename_preset,
    value_dialog,
    rule_editor,
    options,
    history,
    update,
    main_window,
};

struct OpenWindows {
    bool msg_box = false;
    bool about = false;
    bool options = false;
    // Windows of the options dialog; they count only while it is open.
    bool colour_dialog = false;
    bool new_preset = false;
    bool rename_preset = false;
    bool value_dialog = false;
    bool rule_editor = false;
    bool history = false;
    bool update = false;
};

// The first open window of the order: the alert message box, the about window, the options
// dialog's own windows before the dialog itself, the history, the update window, and the
// main window when none of them is open.
ForwardWindow window_to_bring_forward(const OpenWindows& open);

// Caption of the pop-up menu's first entry: restore a minimised window, else hide it.
std::string restore_caption(bool minimised);
