#include "measure/qt/adapters_page.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <algorithm>

#include "platform/services.h"
#include "display/item_list.h"
#include "core/counters.h"
#include "history/retired_logs.h"
#include "measure/adapter_list.h"
#include "measure/ip_statistics.h"
#include "settings/qt/options_host.h"

AdaptersPage::AdaptersPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    Settings& s = host_.options_state().settings;
    add_heading(QStringLiteral("Multiple selected adapters"));
    add_note(QStringLiteral("Ticked adapters are summed as \"Multiple adapters\"."));
    adapter_list_ = new QListWidget(this);
    add_row(adapter_list_);
    monitored_ = new QComboBox(this);
    add_row(QStringLiteral("Monitored adapter:"), monitored_);
    add_check(QStringLiteral("Count container and virtual interfaces"), &s.CountVirtualAdapters);
    add_note(QStringLiteral("docker0, br-*, veth*, virbr*, vnet*, cni* and flannel* get no adapter number "
                            "unless this is ticked."));
    not_counted_ = add_note(QString());
    connect(adapter_list_, &QListWidget::itemChanged, this, [this, &s](QListWidgetItem* item) {
        if (loading()) return;
        const int i = adapter_list_->row(item) + 1;
        if (i < 1 || i > kSummableAdapters) return;
        s.LogAdapter[static_cast<std::size_t>(i)] = item->checkState() == Qt::Checked ? 1 : 0;
        summed_changed_ = true;
        report_change();
    });
    connect(monitored_, &QComboBox::currentIndexChanged, this, [this, &s](int index) {
        if (loading() || index < 0) return;
        s.Adapter = index;
        monitored_changed_ = true;
        report_change();
    });
}

void AdaptersPage::fill() {
    OptionsPage::fill();
    list_adapters();
}

void AdaptersPage::adapters_changed() { list_adapters(); }

void AdaptersPage::list_adapters() {
    Filling filling(*this);
    const OptionsView st = host_.options_state();
    const Settings& s = st.settings;
    clsIPStatistics stats(host_.options_services().tables, host_.options_services().dialogs, st.table_messages);
    st.known_adapter_count = stats.Found_Adaptors();
    adapter_list_->clear();
    monitored_->clear();
    monitored_->addItem(QStringLiteral("Multiple adapters"));
    const std::vector<std::string> names = adapter_list_names(stats);
    for (int i = 1; i <= static_cast<int>(names.size()); ++i) {
        const QString name = QString::fromStdString(names[static_cast<std::size_t>(i - 1)]);
        monitored_->addItem(name);
        auto* item = new QListWidgetItem(name, adapter_list_);
        if (i <= kSummableAdapters) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(s.LogAdapter[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
        } else {
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        }
    }
    // A monitored adapter whose interface has not been seen yet keeps its place in the list.
    for (int i = monitored_->count(); i <= std::min(s.Adapter, kMaxAdapters); ++i)
        monitored_->addItem(QStringLiteral("Adapter %1 (not found yet)").arg(i));
    monitored_->setCurrentIndex(std::clamp(s.Adapter, 0, monitored_->count() - 1));
    not_counted_->setText(QString::fromStdString(not_counted_text(stats, st.table_messages.numbering, retired_interfaces(st.data_dir))));
}

void AdaptersPage::preview() {
    const OptionsView st = host_.options_state();
    if (monitored_changed_) {
        monitored_changed_ = false;
        clsIPStatistics stats(host_.options_services().tables, host_.options_services().dialogs, st.table_messages);
        stats.Found_Adaptors();
        st.ip_text = ip_text_for(stats, st.settings.Adapter);
        BuildDisplayList(st);
    }
    if (summed_changed_) {
        summed_changed_ = false;
        host_.options_adapters_changed();
    }
}
