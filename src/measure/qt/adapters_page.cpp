#include "measure/qt/adapters_page.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <algorithm>

#include "core/program_state.h"
#include "core/services.h"
#include "measure/ip_statistics.h"
#include "settings/qt/options_host.h"

AdaptersPage::AdaptersPage(OptionsHost& host, QWidget* parent) : OptionsPage(parent), host_(host) {
    Settings& s = host_.options_state().settings;
    add_heading(QStringLiteral("Multiple selected adapters"));
    adapter_list_ = new QListWidget(this);
    add_row(adapter_list_);
    monitored_ = new QComboBox(this);
    add_row(QStringLiteral("Monitored adapter:"), monitored_);
    connect(adapter_list_, &QListWidget::itemChanged, this, [this, &s](QListWidgetItem* item) {
        if (loading()) return;
        const int i = adapter_list_->row(item) + 1;
        if (i < 1 || i > 6) return;
        s.LogAdapter[static_cast<std::size_t>(i)] = item->checkState() == Qt::Checked ? 1 : 0;
        summed_changed_ = true;
        report_change();
    });
    connect(monitored_, &QComboBox::currentIndexChanged, this, [this, &s](int index) {
        if (loading() || index < 0) return;
        s.Adapter = index;
        report_change();
    });
}

void AdaptersPage::fill() {
    OptionsPage::fill();
    Filling filling(*this);
    ProgramState& st = host_.options_state();
    const Settings& s = st.settings;
    clsIPStatistics stats(host_.options_services().tables, host_.options_services().dialogs, st.table_messages);
    st.known_adapter_count = stats.Found_Adaptors();
    adapter_list_->clear();
    monitored_->clear();
    monitored_->addItem(QStringLiteral("Multiple adapters"));
    const std::vector<std::string> names = adapter_descriptions(stats);
    for (int i = 1; i <= static_cast<int>(names.size()); ++i) {
        const QString name = QString::fromStdString(names[static_cast<std::size_t>(i - 1)]);
        monitored_->addItem(name);
        auto* item = new QListWidgetItem(name, adapter_list_);
        if (i <= 6) {
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(s.LogAdapter[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
        } else {
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled);
        }
    }
    monitored_->setCurrentIndex(std::clamp(s.Adapter, 0, monitored_->count() - 1));
}

void AdaptersPage::preview() {
    if (!summed_changed_) return;
    summed_changed_ = false;
    host_.options_adapters_changed();
}
