#pragma once

#include <QByteArray>
#include <QDBusConnection>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QDBusServiceWatcher;

// One picture of a tray item as the desktop's notification area reads it: width, height and
// ARGB32 pixels in network byte order.
struct SniPixmap {
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
using SniPixmaps = QList<SniPixmap>;

// The item's tooltip: an icon name, pictures, a title and a description.
struct SniToolTip {
    QString icon_name;
    SniPixmaps pictures;
    QString title;
    QString description;
};

// The pictures of `icon` at 16 and 32 pixels, enlarged pixel by pixel where the icon has
// no such size, so a small picture stays sharp.
SniPixmaps sni_pixmaps(const QIcon& icon);

// The tray icon as a StatusNotifier item on the session bus: the notification areas of KDE,
// of GNOME (with its AppIndicator extension) and of other Wayland and X11 desktops show it.
// The item registers with the desktop's StatusNotifier watcher whenever one runs, also one
// that starts after the program, and again after the watcher restarted.
class StatusNotifierItem : public QObject {
    Q_OBJECT
public:
    explicit StatusNotifierItem(QDBusConnection bus, QObject* parent = nullptr);
    ~StatusNotifierItem() override;

    // Whether a StatusNotifier watcher runs on the bus (asked once, then followed).
    bool watcher_present() const { return watcher_running_; }
    // Whether the watcher accepted the item: the desktop shows it.
    bool registered() const { return registered_; }

    // Shown: the item is on the bus and registered with any watcher; hidden: it is gone.
    void set_visible(bool on);
    void set_icon(const QIcon& icon);
    void set_tooltip(const QString& title, const QString& description);

    // What the desktop reads through the item's properties.
    const SniPixmaps& pixmaps() const { return pixmaps_; }
    SniToolTip tooltip() const;
    QString service_name() const { return service_; }

signals:
    // A left click (Activate), a right click (ContextMenu), at screen coordinates.
    void activated(QPoint at);
    void context_menu_requested(QPoint at);
    // The watcher accepted the item, or it is gone (the watcher ended).
    void registration_changed(bool registered);

private:
    friend class StatusNotifierItemAdaptor;
    void register_with_watcher();
    void watcher_gone();

    QDBusConnection bus_;
    QString service_;
    QDBusServiceWatcher* watcher_ = nullptr;
    bool visible_ = false;
    bool exported_ = false;
    bool registered_ = false;
    bool watcher_running_ = false;
    SniPixmaps pixmaps_;
    QString tip_title_;
    QString tip_description_;
};
