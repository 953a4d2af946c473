#include "display/qt/frm_sys_tray.h"

#include "settings/settings.h"
#include "measure/adapter_state.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QToolTip>
#include <QWidget>
#include <cstdio>

#include "display/qt/app_icon.h"
#include "display/qt/main_window_behaviour.h"
#include "display/qt/qimage_canvas.h"
#include "display/qt/secondary_windows.h"
#include "display/qt/status_notifier_item.h"
#include "display/tray_icon.h"
#include "display/tray_menu.h"

namespace {

// Windows 2000 and later lay the tooltip out on two lines; this platform always can.
constexpr int kOsMajorVersion = 5;

}  // namespace

QIcon program_icon() { return app_icon(); }

QIcon tray_picture_icon(const QImage& picture) {
    return QIcon(QPixmap::fromImage(colour_keyed(picture, kTrayPictureBackground)));
}

frmSysTray::frmSysTray(QWidget* main_window, DisplayView state, const Locale& locale, TrayCallbacks callbacks,
                       QObject* parent)
    : QObject(parent), main_window_(main_window), state_(state), locale_(locale), callbacks_(std::move(callbacks)),
      picture_(kTrayPictureSize, kTrayPictureSize, QImage::Format_RGB32), font_(canvas_font()) {
    picture_.fill(QColor(255, 0, 255));
    const QString platform = QGuiApplication::platformName();
    desktop_ = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    if (desktop_ && QDBusConnection::sessionBus().isConnected()) {
        sni_ = new StatusNotifierItem(QDBusConnection::sessionBus(), this);
        connect(sni_, &StatusNotifierItem::activated, this, [this] { SysTray_Click(kTrayLeftDown); });
        connect(sni_, &StatusNotifierItem::context_menu_requested, this, [this](QPoint at) {
            popup_menu(at.isNull() ? QCursor::pos() : at, false);
        });
        connect(sni_, &StatusNotifierItem::registration_changed, this, [this] {
            if (shown_) show_on_desktop();
        });
    }

    menu_ = new QMenu(main_window_);
    restore_ = menu_->addAction(QStringLiteral("&Restore"));
    menu_->addSeparator();
    QAction* settings = menu_->addAction(QStringLiteral("&Settings..."));
    menu_->addSeparator();
    QAction* history = menu_->addAction(QStringLiteral("&History..."));
    menu_->addSeparator();
    QAction* about = menu_->addAction(QStringLiteral("&About..."));
    menu_->addSeparator();
    always_on_top_ = menu_->addAction(QStringLiteral("Always on top"));
    always_on_top_->setCheckable(true);
    always_on_top_separator_ = menu_->addSeparator();
    QAction* exit = menu_->addAction(QStringLiteral("E&xit"));

    auto call = [](const std::function<void()>& f) {
        if (f) f();
    };
    connect(restore_, &QAction::triggered, this, [this] { restore_chosen(); });
    connect(settings, &QAction::triggered, this, [this, call] { call(callbacks_.show_options); });
    connect(history, &QAction::triggered, this, [this, call] { call(callbacks_.show_history); });
    connect(about, &QAction::triggered, this, [this, call] { call(callbacks_.show_about); });
    connect(always_on_top_, &QAction::triggered, this, [this, call] { call(callbacks_.toggle_always_on_top); });
    connect(exit, &QAction::triggered, this, [this, call] { call(callbacks_.exit); });
}

frmSysTray::~frmSysTray() { remove(); }

bool frmSysTray::tray_available() const {
    // A running watcher counts from the start: it answers the registration a moment later.
    if (sni_ != nullptr && (sni_->registered() || sni_->watcher_present())) return true;
    // Asked only while no StatusNotifier watcher runs: Qt's answer would otherwise come from
    // its own D-Bus item, which this program does not use.
    if (!use_x11_tray()) return false;
    // Qt answers by making a tray icon of its own and asking the X server. A tray that comes
    // or goes is noticed within seconds, not at the very cycle, so the answer is kept a while.
    const auto now = std::chrono::steady_clock::now();
    if (!x11_tray_asked_ || now - *x11_tray_asked_ >= std::chrono::seconds(10)) {
        x11_tray_answer_ = QSystemTrayIcon::isSystemTrayAvailable();
        x11_tray_asked_ = now;
    }
    return x11_tray_answer_;
}

QString frmSysTray::no_tray_note() {
    return QStringLiteral("No notification area: the window minimises to the task bar");
}

bool frmSysTray::use_x11_tray() const {
    if (sni_ != nullptr && (sni_->registered() || sni_->watcher_present())) return false;
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

void frmSysTray::set_x11_tray_visible(bool on) {
    if (!on) {
        if (x11_tray_ != nullptr) x11_tray_->hide();
        return;
    }
    if (x11_tray_ == nullptr) {
        // Made only once no StatusNotifier watcher runs, so Qt gives it the X11 tray (Qt
        // decides once per process whether its tray icons go over D-Bus).
        x11_tray_ = new QSystemTrayIcon(this);
        connect(x11_tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) SysTray_Click(kTrayLeftDown);
            if (reason == QSystemTrayIcon::Context) SysTray_Click(kTrayRightDown);
        });
    }
    if (x11_tray_->icon().cacheKey() != icon_.cacheKey()) x11_tray_->setIcon(icon_);
    if (x11_tray_->toolTip() != tooltip_) x11_tray_->setToolTip(tooltip_);
    // Shown even while no X11 tray runs: Qt adds the icon when one starts.
    if (!x11_tray_->isVisible()) x11_tray_->show();
}

void frmSysTray::show_on_desktop() {
    if (sni_ != nullptr) {
        if (icon_.cacheKey() != sni_icon_key_) sni_->set_icon(icon_);
        sni_icon_key_ = icon_.cacheKey();
        const qsizetype line_break = tooltip_.indexOf(QLatin1Char('\n'));
        const QString title = (line_break < 0 ? tooltip_ : tooltip_.left(line_break)).trimmed();
        const QString rates = line_break < 0 ? QString() : tooltip_.mid(line_break + 1).trimmed();
        sni_->set_tooltip(title, rates);
        sni_->set_visible(shown_);
    }
    set_x11_tray_visible(shown_ && use_x11_tray());
    note_notification_area();
}

void frmSysTray::note_notification_area() {
    if (!desktop_) return;
    const bool none = !tray_available();
    if (none && !told_no_tray_) {
        told_no_tray_ = true;
        std::fputs("kelvanto: the desktop has no notification area (system tray); "
                   "the window minimises to the task bar instead\n",
                   stderr);
    }
    if (none && main_window_->toolTip().isEmpty()) main_window_->setToolTip(no_tray_note());
    if (!none && main_window_->toolTip() == no_tray_note()) main_window_->setToolTip(QString());
}

bool frmSysTray::main_window_minimised() const {
    return main_window_->isMinimized() || !main_window_->isVisible();
}

void frmSysTray::UpdateTrayIcon() {
    if (state_.settings.SysTrayGraph != 0) {
        const TrayPicture wanted = tray_picture(state_);
        if (showing_program_icon_ || shown_picture_ != wanted) {
            {
                QImageCanvas canvas(picture_, font_);
                DrawTrayGraph(wanted, canvas);
            }
            icon_ = tray_picture_icon(picture_);
            shown_picture_ = wanted;
            showing_program_icon_ = false;
        }
    } else if (!showing_program_icon_) {
        icon_ = program_icon();
        showing_program_icon_ = true;
    }
    const std::string cap = callbacks_.now ? tray_cap_line(state_, locale_, callbacks_.now()) : std::string();
    TrayTipInputs tip_inputs = tray_tip_inputs(state_, cap);
    if (tip_inputs_ == tip_inputs && shown_) {
        show_on_desktop();
        return;
    }
    tip_inputs_ = std::move(tip_inputs);
    const TextWidth width = [this](const std::string& t) {
        if (const auto known = tip_widths_.find(t); known != tip_widths_.end()) return known->second;
        if (tip_widths_.size() >= 256) tip_widths_.clear();
        const int w = QFontMetrics(font_).horizontalAdvance(QString::fromStdString(t));
        tip_widths_.emplace(t, w);
        return w;
    };
    QString tip = QString::fromStdString(TrayTooltip(state_, locale_, kOsMajorVersion, width, cap));
    tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // X11 tray hosts leave the tooltip to the program, and an open tooltip keeps its text
    // until it closes: give it the new rates so it stays live.
    if (tip != tooltip_ && QToolTip::isVisible() && QToolTip::text() == tooltip_) {
        QToolTip::showText(QCursor::pos(), tip);
    }
    tooltip_ = tip;
    shown_ = true;
    show_on_desktop();
}

void frmSysTray::remove() {
    shown_ = false;
    if (sni_ != nullptr) sni_->set_visible(false);
    set_x11_tray_visible(false);
}

QString frmSysTray::tooltip() const { return tooltip_; }
QIcon frmSysTray::icon() const { return icon_; }
bool frmSysTray::icon_visible() const { return shown_; }

void frmSysTray::SysTray_Click(int message) {
    if (message == kTrayRightDown) {
        popup_menu(QCursor::pos(), false);
        return;
    }
    if (message != kTrayLeftDown) return;
    if (!main_window_minimised()) {
        if (callbacks_.minimise) callbacks_.minimise();
        return;
    }
    main_window_->setWindowState(main_window_->windowState() & ~Qt::WindowMinimized);
    main_window_->show();
    const ForwardWindow which = window_to_bring_forward(open_windows());
    if (which != ForwardWindow::main_window) {
        bring_forward(find_open_window(which));
        return;
    }
    // Raise above other windows without leaving the window on top when that is off.
    if (state_.settings.AlwaysOnTop == 0) main_window_->raise();
    main_window_->activateWindow();
}

void frmSysTray::prepare_menu(bool from_main_window) {
    // The main window is always showing when its own menu opens.
    const bool minimised = !from_main_window && main_window_minimised();
    restore_->setText(QString::fromStdString(restore_caption(minimised)));
    menu_->setDefaultAction(restore_);
    always_on_top_->setVisible(from_main_window);
    always_on_top_separator_->setVisible(from_main_window);
    always_on_top_->setChecked(state_.settings.AlwaysOnTop != 0);
}

void frmSysTray::popup_menu(QPoint global, bool from_main_window) {
    prepare_menu(from_main_window);
    menu_->popup(global);
    menu_->activateWindow();
}

void frmSysTray::restore_chosen() {
    if (restore_->text() == QLatin1String("Hide")) {
        if (callbacks_.save_window_position) callbacks_.save_window_position();
        if (callbacks_.minimise) callbacks_.minimise();
        return;
    }
    SysTray_Click(kTrayLeftDown);
}
