#include "display/qt/secondary_windows.h"

#include <QApplication>
#include <QWidget>

namespace {

struct NamedWindow {
    ForwardWindow which;
    const char* form_name;
};

constexpr NamedWindow kForms[] = {
    {ForwardWindow::msg_box, "frmMsgBox"},        {ForwardWindow::about, "frmAbout"},
    {ForwardWindow::new_preset, "frmNew"},        {ForwardWindow::rename_preset, "frmRename"},
    {ForwardWindow::value_dialog, "frmDialog"},   {ForwardWindow::rule_editor, "frmEdit"},
    {ForwardWindow::options, "frmOptions"},       {ForwardWindow::history, "frmHistory"},
    {ForwardWindow::update, "frmUpdate"},
};

bool is_colour_dialog(const QWidget* w) { return w->windowTitle() == QLatin1String("Color"); }

bool matches(const QWidget* w, ForwardWindow which) {
    if (which == ForwardWindow::colour_dialog) return is_colour_dialog(w);
    for (const NamedWindow& f : kForms) {
        if (f.which == which) return w->objectName() == QLatin1String(f.form_name);
    }
    return false;
}

}  // namespace

bool is_secondary_window(const QWidget* w) {
    if (is_colour_dialog(w)) return true;
    for (const NamedWindow& f : kForms) {
        if (w->objectName() == QLatin1String(f.form_name)) return true;
    }
    return false;
}

QWidget* find_open_window(ForwardWindow which) {
    if (which == ForwardWindow::main_window) return nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && matches(w, which)) return w;
    }
    return nullptr;
}

OpenWindows open_windows() {
    OpenWindows o;
    o.msg_box = find_open_window(ForwardWindow::msg_box) != nullptr;
    o.about = find_open_window(ForwardWindow::about) != nullptr;
    o.options = find_open_window(ForwardWindow::options) != nullptr;
    o.colour_dialog = find_open_window(ForwardWindow::colour_dialog) != nullptr;
    o.new_preset = find_open_window(ForwardWindow::new_preset) != nullptr;
    o.rename_preset = find_open_window(ForwardWindow::rename_preset) != nullptr;
    o.value_dialog = find_open_window(ForwardWindow::value_dialog) != nullptr;
    o.rule_editor = find_open_window(ForwardWindow::rule_editor) != nullptr;
    o.history = find_open_window(ForwardWindow::history) != nullptr;
    o.update = find_open_window(ForwardWindow::update) != nullptr;
    return o;
}

void bring_forward(QWidget* w) {
    if (w == nullptr) return;
    if (w->isMinimized()) w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
}
