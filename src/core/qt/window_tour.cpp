#include "core/qt/window_tour.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "alerts/qt/alert_page.h"
#include "alerts/qt/frm_edit.h"
#include "core/qt/frm_main.h"
#include "display/qt/frm_edit_item.h"
#include "display/qt/item_panel.h"
#include "display/qt/secondary_windows.h"
#include "settings/qt/frm_options.h"

namespace {

template <typename T>
T* in_options(frmMain& main) {
    frmOptions* dlg = main.options_window();
    return dlg != nullptr ? dlg->findChild<T*>() : nullptr;
}

// The item editor edits the custom item list, which the Layout page switches on.
void use_custom_items(frmOptions& dlg) {
    dlg.show_page(QStringLiteral("Layout"));
    for (QCheckBox* box : dlg.findChildren<QCheckBox*>())
        if (box->text() == QLatin1String("Enable custom items") && !box->isChecked()) box->click();
    dlg.show_page(QStringLiteral("Items"));
}

void close_open(ForwardWindow which) {
    if (QWidget* w = find_open_window(which)) w->close();
}

}  // namespace

std::vector<std::function<void()>> window_tour_steps(frmMain& main) {
    frmMain* m = &main;
    return {
        [m] { m->open_options(); },
        [m] {
            frmOptions* dlg = m->options_window();
            if (dlg == nullptr) return;
            use_custom_items(*dlg);
            ItemPanel* panel = in_options<ItemPanel>(*m);
            if (panel == nullptr || panel->list()->count() == 0) return;
            panel->list()->setCurrentRow(0);
            panel->button_modify()->click();
        },
        [m] {
            ItemPanel* panel = in_options<ItemPanel>(*m);
            if (panel != nullptr && panel->editor() != nullptr) panel->editor()->close();
        },
        [m] {
            if (frmOptions* dlg = m->options_window()) dlg->show_page(QStringLiteral("Alerts"));
            if (AlertPage* page = in_options<AlertPage>(*m)) page->button(QStringLiteral("New"))->click();
        },
        [] { close_open(ForwardWindow::rule_editor); },
        [m] {
            if (frmOptions* dlg = m->options_window()) dlg->close();
        },
        [m] { m->mnuHistory_Click(); },
        [] { close_open(ForwardWindow::history); },
        [m] { m->mnuAbout_Click(); },
        [] { close_open(ForwardWindow::about); },
    };
}

void start_window_tour(frmMain& main, int step_ms) {
    auto steps = std::make_shared<std::vector<std::function<void()>>>(window_tour_steps(main));
    for (std::size_t i = 0; i < steps->size(); ++i)
        QTimer::singleShot(static_cast<int>(i + 1) * step_ms, &main, [steps, i] { (*steps)[i](); });
}
