#pragma once

class QMessageBox;
class QWidget;

// The about box over `owner`: program name, version, the web link, and the main window's keys.
// Shown without blocking; it deletes itself when closed.
QMessageBox* show_about_box(QWidget* owner);
