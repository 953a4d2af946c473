#include "core/qt/frm_main.h"
#include "core/settings_steps.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

#include "alerts/alert_actions.h"
#include "alerts/qt/frm_msg_box.h"
#include "alerts/qt/sck_mail.h"
#include "alerts/rule_evaluation.h"
#include "alerts/rule_files.h"
#include "core/main_timer.h"
#include "history/qt/frm_history.h"
#include "net/update_check.h"
#include <QMessageBox>
#include "core/qt/about_box.h"
#include "core/qt/main_options_host.h"
#include "core/update_cycle.h"
#include "display/item_list.h"
#include "display/refresh_screen.h"
#include "display/qt/frm_sys_tray.h"
#include "display/qt/main_window_behaviour.h"
#include "display/qt/secondary_windows.h"
#include "history/log_store.h"
#include "core/counters.h"
#include "measure/saved_readings.h"
#include "platform/linux/boot_identity.h"
#include "measure/qt/adapters_page.h"
#include "net/program_metrics.h"
#include "net/qt/metrics_server.h"
#include "net/qt/net_jobs.h"
#include "platform/qt/data_folder.h"
#include "platform/qt/dbus_notifier.h"
#include "platform/qt/desktop_palette.h"
#include "platform/qt/sleep_watcher.h"
#include "service/service_control.h"
#include "settings/autostart.h"
#include "settings/qt/frm_options.h"
#include "settings/settings_store.h"

namespace {

// Tells the user once that the endpoint cannot listen: on standard error (for runs without
// a desktop) and in a message box that does not stop the monitor.
void show_metrics_failure(QWidget* parent, const std::string& message) {
    std::fprintf(stderr, "kelvanto: %s\n", message.c_str());
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Metrics"), QString::fromStdString(message),
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

}  // namespace

frmMain::frmMain(StartOptions options, QWidget* parent)
    : QWidget(parent),
      options_(options),
      dialogs_(this),
      services_{tables_, clock_, dialogs_, &locale_},
      app_(std::make_unique<Application>(services_, *this)),
      state_(app_->state()) {
    services_.settings_store = &settings_store_;
    services_.settings_hooks = this;
    setWindowTitle(QStringLiteral("Kelvanto"));
    MainLoop = new QTimer(this);
    MainLoop->setSingleShot(true);
    MainLoop->setTimerType(Qt::PreciseTimer);
    connect(MainLoop, &QTimer::timeout, this, &frmMain::on_timer);
    net_ = new NetJobs(state_, clock_, locale_, this, this, NetOverrides::from_environment(), this);
    metrics_ = new MetricsServer([this] { return program_metrics_text(state_, services_); }, this);
    // Everything is drawn into the back buffer and copied whole; no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    sckMail_ = new sckMail(state_.alerts.mail, this);
    msg_box_ = new frmMsgBox(this, &sound_, false);
    services_.power = &power_;
    services_.shell = &shell_;
    services_.sound = &sound_;
    services_.link_speed = &link_speed_;
    services_.mail_socket = sckMail_;
    services_.msg_box = msg_box_;
    services_.messages = &messages_;
    notifier_ = new DbusNotifier(
        QDBusConnection::sessionBus(),
        [this](const std::string& title, const std::string& text) {
            msg_box_->show_notice(QStringLiteral("Kelvanto"), title + "\n" + text);
        },
        this);
    services_.notifier = notifier_;

    WindowCallbacks window_calls;
    window_calls.fit_window_height = [this] { FitWindowHeight(); };
    window_calls.save_settings = [this] { store_settings(state_, services_); };
    window_calls.write_setting = [this](const char* name) { write_setting(std::string(name)); };
    window_calls.refresh_ip = [this] {
        clsIPStatistics stats(services_.tables, services_.dialogs, state_.table_messages);
        stats.Found_Adaptors();
        state_.ip_text = ip_text_for(stats, state_.settings.Adapter);
    };
    window_calls.run_cycle = [this] { update_cycle(state_, services_, *this, true); };
    window_calls.minimise = [this] { minimise_window(); };
    window_calls.key_adapters = [this] {
        clsIPStatistics stats(services_.tables, services_.dialogs, state_.table_messages);
        KeyAdapters adapters;
        adapters.names.push_back("0 - Multiple adapters");
        adapters.present.push_back(true);
        for (int n = 1; n <= stats.Found_Adaptors(); ++n) {
            adapters.names.push_back(std::to_string(n) + " - " + stats.entry(n).description);
            adapters.present.push_back(stats.entry(n).present);
        }
        return adapters;
    };
    window_calls.popup_menu = [this](QPoint at) { SysTray->popup_menu(at, true); };
    behaviour_ = new MainWindowBehaviour(this, state_, state_.window_behaviour, std::move(window_calls), this);
    services_.shell = &behaviour_->shell_stepping_back(shell_);

    TrayCallbacks tray_calls;
    tray_calls.minimise = [this] { minimise_window(); };
    tray_calls.save_window_position = [this] { behaviour_->SaveWindowPosition(); };
    tray_calls.show_options = [this] { mnuSettings_Click(); };
    tray_calls.show_history = [this] { mnuHistory_Click(); };
    tray_calls.show_about = [this] { mnuAbout_Click(); };
    tray_calls.exit = [this] { exit_command(); };
    tray_calls.toggle_always_on_top = [this] { behaviour_->toggle_always_on_top(); };
    tray_calls.now = [this] { return clock_.now(); };
    SysTray = new frmSysTray(this, state_, locale_, std::move(tray_calls), this);

    // A machine that goes to sleep may never wake: the logs are saved first.
    sleep_watcher_ = new SleepWatcher(this);
    connect(sleep_watcher_, &SleepWatcher::about_to_sleep, this, [this] { app_->save_before_sleep(); });
}

frmMain::~frmMain() = default;

bool frmMain::Form_Load() {
    if (state_.main_window_loaded) return true;
    title_bar_height_ = frameGeometry().height() - geometry().height();
    AppPlaces places;
    places.data_dir = data_folder();
    places.config_dir = user_config_folder();
    places.program_path = options_.program_path;
    places.boot_id = boot_identity();
    places.first_day_of_week = locale_.first_day_of_week();
    if (!app_->start(places, true)) return false;
    MainLoop->start(0);
    return true;
}

void frmMain::window_start() {
    // Frame first, then the height of the items, then width and place; draw afterwards: a
    // redraw at the old height would overwrite GraphHeight.
    behaviour_->start();
    FitWindowHeight();
    drawing_ready_ = true;
    behaviour_->place_at_start();
    Form_Resize();
    if (options_.minimized) minimise_window();
    behaviour_->apply_size_limits();
    if (state_.settings.CheckForUpdate) net_->start_update_check();
    msg_box_->set_always_on_top(state_.settings.AlwaysOnTop != 0);
}

void frmMain::arm_timer() {
    const std::int32_t wait = app_->wait_ms(ticks_.tick_ms());
    if (wait >= 0) MainLoop->start(wait);
}

void frmMain::on_timer() {
    app_->timer_event(ticks_.tick_ms());
    arm_timer();
}

void frmMain::cycle_starting() { sync_window_info(); }

void frmMain::cycle_done() {
    net_->cycle_check();
    behaviour_->measure_frame();
    behaviour_->apply_size_limits();
}

void frmMain::desktop_colours_due() {
    // The desktop's frame colours may have changed with its theme.
    read_desktop_colours(state_.settings, *this);
    update_tray();
}

void frmMain::remote_report_due() { net_->start_report(); }

void frmMain::sync_window_info() {
    state_.window.visible = isVisible() && !isMinimized();
    state_.window.minimized = isMinimized();
    state_.window.client_width = width();
    state_.window.client_height = height();
}

void frmMain::UnloadKVT() { app_->unload(); }

void frmMain::run_ended() {
    behaviour_->SaveWindowPosition();
    SysTray->remove();
    hide();
    MainLoop->stop();
    emit unloaded();
}


void frmMain::exit_command() {
    if (state_.running_as_service && service_manager_ != nullptr) {
        service_manager_->stop();
        return;
    }
    UnloadKVT();
}

void frmMain::service_stop_event() { app_->stop_event(); }

void frmMain::service_start_event() {
    state_.running_as_service = true;
    setWindowState(windowState() | Qt::WindowMinimized);
}

void frmMain::restore_window() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void frmMain::write_setting(const std::string& name) { write_single_setting(settings_store_, state_.settings, name); }

void frmMain::adapter_lists_changed(int /*found*/) {
    if (options_dialog_ && options_dialog_->isVisible()) options_dialog_->adapters_changed();
}

void frmMain::log_notice(const std::string& text) { std::fprintf(stderr, "kelvanto: %s\n", text.c_str()); }

void frmMain::tell_user(const std::string& text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        log_notice(text.substr(at, end - at));
        at = end + 1;
    }
    msg_box_->show_notice(QStringLiteral("Kelvanto"), text);
}

void frmMain::SysTray_Click(int message) { SysTray->SysTray_Click(message); }

void frmMain::minimise_window() {
    if (SysTray->tray_available()) {
        hide();
    } else {
        setWindowState(windowState() | Qt::WindowMinimized);
        show();
    }
}

void frmMain::mnuSettings_Click() { open_options(); }

void frmMain::update_tray() { SysTray->UpdateTrayIcon(); }

void frmMain::refresh_screen() { RefreshScreen(true); }

void frmMain::RefreshScreen(bool redraw) {
    sync_window_info();
    if (redraw) bar_graph_width_guard();
    if (drawing_.Backbuffer().size() != size() && !isMinimized()) drawing_.resize(width(), height());
    // The centre column may show each adapter's address; read the tables only when asked.
    std::unique_ptr<clsIPStatistics> stats;
    auto adapter_ip = [&](int adapter) -> std::string {
        if (!stats) stats = std::make_unique<clsIPStatistics>(services_.tables, services_.dialogs, state_.table_messages);
        if (adapter < 1 || adapter > stats->Found_Adaptors() || !stats->Choose_Adaptor(adapter)) return {};
        return stats->Local_IP();
    };
    // Rows that came or went (a cap line, its pace line once there is a pace) change the
    // window's height, not the graph's: the graph height the layout stores stays the user's.
    if (redraw) {
        measure_cap_lines(state_, services_.clock.now());
        if (fixed_items_height(state_.display_list, state_.settings) != fitted_rows_height_) FitWindowHeight();
    }
    const std::int32_t graph_height = state_.settings.GraphHeight;
    // The desktop gets only what the redraw changed.
    if (drawing_.refresh(state_, locale_, services_.clock.now(), redraw, adapter_ip)) {
        if (redraw) update(drawing_.changed_region());
        else update();
    }
    // The layout writes the graph height back; store it when it changed.
    if (state_.settings.GraphHeight != graph_height) write_setting("GraphHeight");
}

void frmMain::bar_graph_width_guard() {
    const int limit = bar_graph_width_limit(state_.settings, width());
    if (limit == 0) return;
    resize(limit, height());
    if (x() + width() < 5) move(0, y());
    sync_window_info();
}

void frmMain::FitWindowHeight() {
    measure_cap_lines(state_, services_.clock.now());
    fitted_rows_height_ = fixed_items_height(state_.display_list, state_.settings);
    if (isMinimized()) return;
    behaviour_->style().set_Border(state_.settings.Border != 0);
    const int allowance = state_.settings.Border != 0 ? title_bar_height_ : 0;
    const WindowHeightFit fit = fit_window_height(state_.display_list, state_.settings, allowance);
    // Qt sizes the client area: take the frame allowance off the outer heights.
    auto client = [&](int outer) { return std::max(0, outer - allowance); };
    setMinimumHeight(client(fit.min_track_height));
    setMaximumHeight(std::max(client(fit.max_track_height), client(fit.min_track_height)));
    resize(width(), client(fit.outer_height));
}

void frmMain::Form_Resize() {
    sync_window_info();
    if (isMinimized()) {
        drawing_.resize(0, 0);
        // Hidden to the tray; without a tray the window stays on the task bar to be reachable.
        if (SysTray->tray_available()) hide();
        return;
    }
    drawing_.resize(width(), height());
    // The shown averages and peaks depend on how many samples the width shows.
    if (state_.cycle.cycles_run != 0) update_cycle(state_, services_, *this, true);
    else RefreshScreen(true);
}

void frmMain::paintEvent(QPaintEvent* event) {
    // Form_Paint: only the copy of the back buffer, of the part asked for.
    const QImage& buffer = drawing_.Backbuffer();
    if (buffer.isNull()) return;
    QPainter painter(this);
    const bool keyed = testAttribute(Qt::WA_TranslucentBackground);
    // See-through background: pixels of the Background colour become fully transparent.
    if (keyed) painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : event->region()) {
        const QRect part = r & buffer.rect();
        if (part.isEmpty()) continue;
        if (keyed) painter.drawImage(part.topLeft(), colour_keyed(buffer.copy(part), state_.settings.colours.Background));
        else painter.drawImage(part.topLeft(), buffer, part);
    }
}

void frmMain::set_translucent(int alpha) {
    behaviour_->ApplyColourKey(false);
    behaviour_->ApplyTranslucency(static_cast<std::uint8_t>(std::clamp(alpha, 0, 255)), true);
}

void frmMain::set_transparent_background(bool on) {
    behaviour_->ApplyTranslucency(255, false);
    behaviour_->ApplyColourKey(on);
}

void frmMain::apply_size_limits() { behaviour_->apply_size_limits(); }

void frmMain::apply_window_style() {
    if (!isMinimized()) behaviour_->style().set_Border(state_.settings.Border != 0);
    behaviour_->ApplyAlwaysOnTop();
    behaviour_->apply_size_limits();
}

std::optional<std::uint32_t> frmMain::button_shadow_colour() { return desktop_dark_colour(); }

std::optional<std::uint32_t> frmMain::button_hilight_colour() { return desktop_light_colour(); }

void frmMain::rebuild_display_list() { BuildDisplayList(state_); }

void frmMain::settings_saved() {
    const std::string failure = metrics_->configure(state_.settings.MetricsAddress, state_.settings.MetricsPort);
    if (!failure.empty()) show_metrics_failure(this, failure);
}

void frmMain::shrink_to_graph() {
    if (width() > state_.settings.graph_length) resize(state_.settings.graph_length, height());
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (state_.exiting) {
        event->accept();
        return;
    }
    behaviour_->SaveWindowPosition();
    minimise_window();
    event->ignore();
}

void frmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    sync_window_info();
}

void frmMain::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    sync_window_info();
}

void frmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        sync_window_info();
        if (isMinimized()) Form_Resize();
    }
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (drawing_ready_) Form_Resize();
    else sync_window_info();
}
