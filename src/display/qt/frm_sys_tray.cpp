#include "display/qt/frm_sys_tray.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QToolTip>
#include <QWidget>

#include "core/program_state.h"
#include "display/qt/app_icon.h"
#include "display/qt/main_window_behaviour.h"
#include "display/qt/qimage_canvas.h"
#include "display/qt/secondary_windows.h"
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

frmSysTray::frmSysTray(QWidget* main_window, ProgramState& state, const Locale& locale, TrayCallbacks callbacks,
                       QObject* parent)
    : QObject(parent), main_window_(main_window), state_(state), locale_(locale), callbacks_(std::move(callbacks)),
      picture_(kTrayPictureSize, kTrayPictureSize, QImage::Format_RGB32), font_(canvas_font()) {
    picture_.fill(QColor(255, 0, 255));
    tray_ = new QSystemTrayIcon(this);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger) SysTray_Click(kTrayLeftDown);
        if (reason == QSystemTrayIcon::Context) SysTray_Click(kTrayRightDown);
    });

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

bool frmSysTray::tray_available() const { return QSystemTrayIcon::isSystemTrayAvailable(); }

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
            tray_->setIcon(tray_picture_icon(picture_));
            shown_picture_ = wanted;
            showing_program_icon_ = false;
        }
    } else if (!showing_program_icon_) {
        tray_->setIcon(program_icon());
        showing_program_icon_ = true;
    }
    const QFontMetrics metrics(font_);
    const TextWidth width = [&metrics](const std::string& t) {
        return metrics.horizontalAdvance(QString::fromStdString(t));
    };
    const std::string cap = callbacks_.now ? tray_cap_line(state_, locale_, callbacks_.now()) : std::string();
    QString tip = QString::fromStdString(TrayTooltip(state_, locale_, kOsMajorVersion, width, cap));
    tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString shown = tray_->toolTip();
    if (tip != shown) {
        tray_->setToolTip(tip);
        // Where the program draws the tray's tooltip itself (X11 tray hosts), an open tooltip
        // keeps its text until it closes: give it the new rates so it stays live.
        if (QToolTip::isVisible() && QToolTip::text() == shown) QToolTip::showText(QCursor::pos(), tip);
    }
    if (!tray_->isVisible()) tray_->show();
}

void frmSysTray::remove() {
    if (tray_ != nullptr) tray_->hide();
}

QString frmSysTray::tooltip() const { return tray_->toolTip(); }
QIcon frmSysTray::icon() const { return tray_->icon(); }
bool frmSysTray::icon_visible() const { return tray_->isVisible(); }

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
