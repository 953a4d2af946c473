#pragma once

#include "display/tray_menu.h"

class QWidget;

// The secondary windows are found among the open top-level windows by their object name,
// which each window sets to its form name ("frmOptions", "frmHistory", "frmMsgBox", ...);
// the colour dialog is found by its title "Color".
bool is_secondary_window(const QWidget* w);
// Which of the secondary windows are open (visible) now.
OpenWindows open_windows();
// The open window of that kind, or nullptr (always nullptr for the main window).
QWidget* find_open_window(ForwardWindow which);
// Shows a window normally, raises it and gives it the focus.
void bring_forward(QWidget* w);
