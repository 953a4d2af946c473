#include "display/qt/layout_page.h"

#include <QComboBox>

#include "core/option_pages.h"
#include "display/item_list.h"
#include "history/period_totals.h"
#include "settings/qt/options_host.h"

LayoutPage::LayoutPage(OptionsHost& host, QWidget* parent)
    : OptionsPage(parent), host_(host), state_(host.options_state()) {
    std::vector<std::string> periods;
    for (int k = 0; k < kPeriodKinds; ++k) periods.push_back(period_name(state_, k));
    add_declared(option_page_decl("Layout", periods), state_.settings);
    for (const char* list : {"Transfer OverView No. 1", "Transfer OverView No. 2"})
        period_lists_.push_back(qobject_cast<QComboBox*>(declared(list)));
}

void LayoutPage::preview() {
    set_custom_items(state_, state_.settings.ShowAdvItems != 0);
    host_.options_fit_window_height();
}

void LayoutPage::other_page_changed() {
    const QString name = QString::fromStdString(period_name(state_, kPeriodKinds - 1));
    for (QComboBox* list : period_lists_) list->setItemText(kPeriodKinds - 1, name);
}
