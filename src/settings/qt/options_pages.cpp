#include "settings/qt/options_pages.h"

#include "alerts/qt/alert_page.h"
#include "alerts/qt/mail_page.h"
#include "platform/services.h"
#include "display/qt/colors_page.h"
#include "display/qt/graph_page.h"
#include "display/qt/item_panel.h"
#include "display/qt/layout_page.h"
#include "display/qt/systray_page.h"
#include "display/qt/window_page.h"
#include "history/qt/logging_page.h"
#include "history/qt/period_page.h"
#include "history/qt/reset_page.h"
#include "measure/adapter_list.h"
#include "measure/ip_statistics.h"
#include "measure/qt/adapters_page.h"
#include "measure/qt/rates_page.h"
#include "net/qt/metrics_page.h"
#include "net/qt/time_sync_page.h"
#include "net/qt/update_page.h"
#include "service/qt/service_page.h"
#include "settings/qt/connection_page.h"
#include "settings/qt/options_host.h"

namespace {

// A page made from the host and the parent alone.
template <typename Page>
OptionsPage* with_host(OptionsHost& host, QWidget* parent) {
    return new Page(host, parent);
}

// A page that works on the settings alone.
template <typename Page>
OptionsPage* with_settings(OptionsHost& host, QWidget* parent) {
    return new Page(host.options_state().settings, parent);
}

OptionsPage* items_page(OptionsHost& host, QWidget* parent) {
    ItemPanelHooks hooks;
    hooks.redraw = [&host] { host.options_preview(); };
    hooks.fit_window_height = [&host] { host.options_fit_window_height(); };
    // The item editor keeps the dialog waiting while it is open.
    hooks.set_owner_enabled = [parent](bool on) { parent->window()->setEnabled(on); };
    const OptionsView state = host.options_state();
    Services& services = host.options_services();
    hooks.adapter_names = [state, &services] {
        clsIPStatistics stats(services.tables, services.dialogs, state.table_messages);
        return adapter_list_names(stats);
    };
    auto* panel = new ItemPanel(state, services.dialogs, hooks, parent);
    panel->set_adapter_names(hooks.adapter_names());
    return panel;
}

OptionsPage* colours_page(OptionsHost& host, QWidget* parent) {
    auto* page = new ColorsPage(host.options_state().settings, host.options_state().data_dir, parent);
    QObject::connect(page, &ColorsPage::redraw_main, page, [&host] { host.options_preview(); });
    return page;
}

OptionsPage* alerts_page(OptionsHost& host, QWidget* parent) {
    return new AlertPage(host.options_state(), host.options_services(), nullptr, parent);
}

}  // namespace

std::vector<OptionsPageEntry> options_pages() {
    return {
        {QStringLiteral("Connection"), {}, with_settings<ConnectionPage>},
        {QStringLiteral("Rates"), QStringLiteral("Connection"), with_settings<RatesPage>},
        {QStringLiteral("Adapters"), QStringLiteral("Connection"), with_host<AdaptersPage>},
        {QStringLiteral("Layout"), {}, with_host<LayoutPage>},
        {QStringLiteral("Items"), QStringLiteral("Layout"), items_page},
        {QStringLiteral("Period"), {}, with_host<PeriodPage>},
        {QStringLiteral("Graph"), {}, with_host<GraphPage>},
        {QStringLiteral("Colors"), {}, colours_page},
        {QStringLiteral("Window"), {}, with_host<WindowPage>},
        {QStringLiteral("Systray"), {}, with_host<SystrayPage>},
        {QStringLiteral("Alerts"), {}, alerts_page},
        {QStringLiteral("E-mail"), QStringLiteral("Alerts"), with_host<MailPage>},
        {QStringLiteral("Service"), {}, with_host<ServicePage>},
        {QStringLiteral("Logging"), {}, with_host<LoggingPage>},
        {QStringLiteral("Reset"), QStringLiteral("Logging"), with_host<ResetPage>},
        {QStringLiteral("Metrics"), QStringLiteral("Logging"), with_host<MetricsPage>},
        {QStringLiteral("Time Sync"), {}, with_host<TimeSyncPage>},
        {QStringLiteral("Update"), {}, with_settings<UpdatePage>},
    };
}
