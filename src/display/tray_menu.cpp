#include "display/tray_menu.h"

ForwardWindow window_to_bring_forward(const OpenWindows& open) {
    if (open.msg_box) return ForwardWindow::msg_box;
    if (open.about) return ForwardWindow::about;
    if (open.options) {
        if (open.colour_dialog) return ForwardWindow::colour_dialog;
        if (open.new_preset) return ForwardWindow::new_preset;
        if (open.rename_preset) return ForwardWindow::rename_preset;
        if (open.value_dialog) return ForwardWindow::value_dialog;
        if (open.rule_editor) return ForwardWindow::rule_editor;
        return ForwardWindow::options;
    }
    if (open.history) return ForwardWindow::history;
    if (open.update) return ForwardWindow::update;
    return ForwardWindow::main_window;
}

std::string restore_caption(bool minimised) { return minimised ? "&Restore" : "Hide"; }
