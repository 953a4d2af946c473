#include "core/qt/frm_main.h"

#include "alerts/rule_files.h"
#include "core/qt/about_box.h"
#include "core/history_window_context.h"
#include "core/qt/main_options_host.h"
#include "display/qt/secondary_windows.h"
#include "history/qt/frm_history.h"
#include "settings/qt/frm_options.h"

// The windows the main window opens from its menus: options, history, about. Each is opened
// once; asked again, the open one comes forward.

void frmMain::open_options() {
    if (options_dialog_ && options_dialog_->isVisible()) {
        bring_forward(options_dialog_->front_window());
        return;
    }
    if (!options_host_) options_host_ = std::make_unique<MainOptionsHost>(*this);
    if (options_dialog_) options_dialog_->deleteLater();
    load_rules_for_editing(state_.alerts.working, state_.data_dir);
    options_dialog_ = new frmOptions(*options_host_, this);
    options_dialog_->setAttribute(Qt::WA_DeleteOnClose, false);
    options_dialog_->show();
    options_dialog_->raise();
    options_dialog_->activateWindow();
}

void frmMain::mnuHistory_Click() {
    if (auto* open = findChild<frmHistory*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!open->isVisible()) open->show();
        open->raise();
        open->activateWindow();
        return;
    }
    ProgramState& state = state_;
    Services& services = services_;
    HistoryWindowContext context = history_window_context(state, services);
    auto* window = new frmHistory(std::move(context), this);
    window->open();
}

void frmMain::mnuAbout_Click() {
    // One box at a time, destroyed when closed.
    if (QWidget* open = find_open_window(ForwardWindow::about)) {
        bring_forward(open);
        return;
    }
    show_about_box(this);
}
