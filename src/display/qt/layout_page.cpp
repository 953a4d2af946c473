#include "display/qt/layout_page.h"

#include <QCheckBox>
#include <QComboBox>

#include "display/item_list.h"
#include "history/period_totals.h"
#include "settings/qt/options_host.h"

LayoutPage::LayoutPage(OptionsHost& host, QWidget* parent)
    : OptionsPage(parent), host_(host), state_(host.options_state()) {
    Settings& s = state_.settings;
    QStringList periods;
    for (int k = 0; k < kPeriodKinds; ++k) periods << QString::fromStdString(period_name(state_, k));
    const auto period_list = [&](std::uint8_t& field) {
        QComboBox* list = add_choice(QString(), periods, [&field] { return int(field); },
                                     [&field](int i) { field = static_cast<std::uint8_t>(i); });
        period_lists_.push_back(list);
        return list;
    };
    standard_items_ = {
        add_check(QStringLiteral("Download rate"), &s.ShowDownload),
        add_check(QStringLiteral("Upload rate"), &s.ShowUpload),
        add_check(QStringLiteral("Transfer OverView 1"), &s.ShowTransferOverView1),
        period_list(s.TransferOverView1),
        add_check(QStringLiteral("Transfer OverView 2"), &s.ShowTransferOverView2),
        period_list(s.TransferOverView2),
        add_check(QStringLiteral("Graph"), &s.ShowGraph),
        add_check(QStringLiteral("Download/Upload rate"), &s.ShowUploadDownload),
    };
    add_heading(QStringLiteral("Style"));
    add_check(QStringLiteral("Show form border"), &s.Border);
    add_check(QStringLiteral("Enable custom items"), &s.ShowAdvItems);
    add_radios(QStringLiteral("Middle Information "),
               {QStringLiteral("Show totals"), QStringLiteral("Show IP"), QStringLiteral("Show nothing")},
               [&s] { return s.ShowInfo == 2 ? 0 : (s.ShowInfo == 1 ? 1 : 2); },
               [&s](int i) { s.ShowInfo = static_cast<std::uint8_t>(i == 0 ? 2 : (i == 1 ? 1 : 0)); });
}

void LayoutPage::fill() {
    OptionsPage::fill();
    enable_standard_items();
}

void LayoutPage::preview() {
    set_custom_items(state_, state_.settings.ShowAdvItems != 0);
    enable_standard_items();
    host_.options_fit_window_height();
}

void LayoutPage::enable_standard_items() {
    for (QWidget* w : standard_items_) w->setEnabled(state_.settings.ShowAdvItems == 0);
}

void LayoutPage::other_page_changed() {
    const QString name = QString::fromStdString(period_name(state_, kPeriodKinds - 1));
    for (QComboBox* list : period_lists_) list->setItemText(kPeriodKinds - 1, name);
}
