#pragma once

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "display/display_view.h"
#include "display/tray_icon.h"

class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;
class StatusNotifierItem;
class Locale;

// What the tray and the pop-up menu ask the main window to do.
struct TrayCallbacks {
    std::function<void()> minimise;              // hide the main window to the tray
    std::function<void()> save_window_position;  // before hiding through the menu
    std::function<void()> show_options;          // "&Settings..."
    std::function<void()> show_history;          // "&History..."
    std::function<void()> show_about;            // "&About..."
    std::function<void()> exit;                  // "E&xit": the orderly shutdown
    std::function<void()> toggle_always_on_top;  // "Always on top" in the window's menu
    std::function<double()> now;                 // the date of the cap line's period totals
};

// The notification-area icon with its live two-bar picture and rates tooltip, the clicks on
// it, and the program's pop-up menu (shared by the tray and the main window).
// The icon goes to the desktop as a StatusNotifier item over D-Bus where a watcher runs (KDE,
// GNOME with its AppIndicator extension, most Wayland desktops), else to an X11 system tray.
// A notification area that starts after the program gets the icon then. Without any, the
// window minimises to the task bar, and the program says so once.
class frmSysTray : public QObject {
    Q_OBJECT
public:
    frmSysTray(QWidget* main_window, DisplayView state, const Locale& locale, TrayCallbacks callbacks,
               QObject* parent = nullptr);
    ~frmSysTray() override;

    // Draws the picture (when SysTrayGraph is on), builds the tooltip and shows the icon.
    void UpdateTrayIcon();
    // Takes the icon out of the notification area (at shutdown).
    void remove();
    // A click on the icon: 513 left button down, 516 right button down; others are ignored.
    void SysTray_Click(int message);
    // The pop-up menu at a screen position; from the main window it carries "Always on top".
    void popup_menu(QPoint global, bool from_main_window);

    // Whether the desktop has a notification area to hide the window to.
    bool tray_available() const;
    // The main window's tooltip while the desktop has no notification area.
    static QString no_tray_note();
    bool main_window_minimised() const;

    const QImage& picture() const { return picture_; }
    QString tooltip() const;
    QIcon icon() const;
    bool icon_visible() const;
    QMenu* menu() const { return menu_; }
    QAction* restore_action() const { return restore_; }
    QAction* always_on_top_action() const { return always_on_top_; }

private:
    void prepare_menu(bool from_main_window);
    void restore_chosen();
    // Hands the icon and tooltip to the StatusNotifier item, or to the X11 tray without one.
    void show_on_desktop();
    bool use_x11_tray() const;
    void set_x11_tray_visible(bool on);
    // Says once, on standard error and in the main window's tooltip, that there is no
    // notification area; takes the note back when one appears.
    void note_notification_area();

    QWidget* main_window_;
    DisplayView state_;
    const Locale& locale_;
    TrayCallbacks callbacks_;
    StatusNotifierItem* sni_ = nullptr;
    QSystemTrayIcon* x11_tray_ = nullptr;  // made only when needed: see show_on_desktop
    // Whether an X11 tray runs, as last asked, and when.
    mutable bool x11_tray_answer_ = false;
    mutable std::optional<std::chrono::steady_clock::time_point> x11_tray_asked_;
    QIcon icon_;
    qint64 sni_icon_key_ = 0;  // the icon the StatusNotifier item was given last
    QString tooltip_;
    bool shown_ = false;
    bool desktop_ = false;      // a real display: not the offscreen platform
    bool told_no_tray_ = false;
    QMenu* menu_ = nullptr;
    QAction* restore_ = nullptr;
    QAction* always_on_top_ = nullptr;
    QAction* always_on_top_separator_ = nullptr;
    QImage picture_;
    // What the icon shows now, so an unchanged picture is neither drawn nor handed to the
    // desktop again every second.
    std::optional<TrayPicture> shown_picture_;
    bool showing_program_icon_ = false;
    QFont font_;
    // Widths of the tooltip's texts: measuring a text shapes it, and the same few rates
    // come back second after second.
    std::unordered_map<std::string, int> tip_widths_;
    std::optional<TrayTipInputs> tip_inputs_;  // what the tooltip was made from
};

// The program icon, shown when the graph in the tray is off.
QIcon program_icon();
// The tray picture as an icon, its magenta background made transparent.
QIcon tray_picture_icon(const QImage& picture);
