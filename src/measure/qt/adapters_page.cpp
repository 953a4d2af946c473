#include "measure/qt/adapters_page.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <algorithm>

#include "platform/services.h"
#include "display/item_list.h"
#include "history/retired_logs.h"
#include "core/counters.h"
#include "measure/adapter_list.h"
#include "measure/ip_statistics.h"
#include "settings/qt/options_host.h"

namespace {

// Adapters that can be summed: the first six.
constexpr int kSummable = 6;
// Names listed in one line of what is not counted; the rest are counted.
constexpr int kNamesListed = 8;

QString name_list(const std::vector<std::string>& names) {
    QStringList shown;
    for (std::size_t i = 0; i < names.size() && i < kNamesListed; ++i) shown << QString::fromStdString(names[i]);
    QString text = shown.join(QStringLiteral(", "));
    if (names.size() > kNamesListed) text += QStringLiteral(" and %1 more").arg(names.size() - kNamesListed);
    return text;
}

// The interfaces present without a number, why, and the interfaces whose history was
// retired to free their numbers.
QString not_counted_text(const clsIPStatistics& stats, const OptionsView& st) {
    const AdapterNumbering& numbering = st.table_messages.numbering;
    std::vector<std::string> refused;
    std::vector<std::string> virtual_ones;
    for (const InterfaceRow& row : stats.interface_rows()) {
        if (numbering.number_of(row.description) != 0) continue;
        if (numbering.refused.contains(row.description)) refused.push_back(row.description);
        else if (!numbering.count_virtual && virtual_by_default(row.description)) virtual_ones.push_back(row.description);
    }
    QStringList lines;
    if (!refused.empty())
        lines << QStringLiteral("Not counted, all %1 adapter numbers being taken: %2").arg(kMaxAdapters).arg(name_list(refused));
    if (!virtual_ones.empty()) lines << QStringLiteral("Not counted, container or virtual: %1").arg(name_list(virtual_ones));
    const std::vector<std::string> retired = retired_interfaces(st.data_dir);
    if (!retired.empty())
        lines << QStringLiteral("Retired after %1 days unseen, history in Stats/Retired/: %2")
                     .arg(static_cast<int>(kRetireAfterDays))
                     .arg(name_list(retired));
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

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
        if (i < 1 || i > kSummable) return;
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
        if (i <= kSummable) {
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
    not_counted_->setText(not_counted_text(stats, st));
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
