#pragma once

#include <QObject>
#include <functional>

#include "platform/shell.h"

class QWidget;

// Keeps a top-level window above others or lets it go, without making its native window
// anew (which would hide it for a moment and lose its place).
void set_stays_on_top(QWidget* w, bool on);

// Whether `w` is one of the program's own windows that must not hide behind the main window:
// a window or dialog, not a menu, tooltip or the main window itself.
bool is_own_window(const QWidget* w, const QWidget* main_window);

// While the main window stays on top, every other window the program shows (message boxes,
// confirmations, the options dialog and its boxes, the update window, file and colour
// dialogs) comes above it: each is kept on top too as it is shown.
class OwnWindowsAbove : public QObject {
    Q_OBJECT
public:
    // `on_top` tells whether the main window is to stay on top now.
    OwnWindowsAbove(QWidget* main_window, std::function<bool()> on_top, QObject* parent = nullptr);
    // Applies the main window's setting to every own window that is open.
    void apply_to_open_windows();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* main_window_;
    std::function<bool()> on_top_;
};

// Opens files and links and starts programs through `inner`, first calling `before`: the
// main window uses it to step back from the top, so what an alert opens is not covered.
class ShellBeforeOpening : public Shell {
public:
    ShellBeforeOpening(Shell& inner, std::function<void()> before) : inner_(inner), before_(std::move(before)) {}
    void open(const std::string& path) override;
    void run(const std::string& program, const std::string& arguments) override;

private:
    Shell& inner_;
    std::function<void()> before_;
};
