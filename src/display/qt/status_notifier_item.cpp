#include "display/qt/status_notifier_item.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QImage>
#include <QPixmap>
#include <QtEndian>
#include <unistd.h>

Q_DECLARE_METATYPE(SniPixmap)
Q_DECLARE_METATYPE(SniToolTip)

namespace {

const QString kWatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString kWatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");

}  // namespace

QDBusArgument& operator<<(QDBusArgument& out, const SniPixmap& p) {
    out.beginStructure();
    out << p.width << p.height << p.pixels;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, SniPixmap& p) {
    in.beginStructure();
    in >> p.width >> p.height >> p.pixels;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const SniToolTip& t) {
    out.beginStructure();
    out << t.icon_name << t.pictures << t.title << t.description;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, SniToolTip& t) {
    in.beginStructure();
    in >> t.icon_name >> t.pictures >> t.title >> t.description;
    in.endStructure();
    return in;
}

SniPixmaps sni_pixmaps(const QIcon& icon) {
    SniPixmaps out;
    if (icon.isNull()) return out;
    for (const int size : {16, 32}) {
        QImage image = icon.pixmap(QSize(size, size)).toImage();
        if (image.isNull()) continue;
        if (image.size() != QSize(size, size)) {
            image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        image = image.convertToFormat(QImage::Format_ARGB32);
        SniPixmap p{size, size, QByteArray(size * size * 4, '\0')};
        auto* target = reinterpret_cast<quint32*>(p.pixels.data());
        for (int y = 0; y < size; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < size; ++x) target[y * size + x] = qToBigEndian<quint32>(line[x]);
        }
        out << p;
    }
    return out;
}

// The item's D-Bus face: the properties the notification area reads, the clicks it reports
// and the signals that tell it to read again.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_CLASSINFO("D-Bus Introspection",
                "<interface name=\"org.kde.StatusNotifierItem\">"
                "<property name=\"Category\" type=\"s\" access=\"read\"/>"
                "<property name=\"Id\" type=\"s\" access=\"read\"/>"
                "<property name=\"Title\" type=\"s\" access=\"read\"/>"
                "<property name=\"Status\" type=\"s\" access=\"read\"/>"
                "<property name=\"WindowId\" type=\"i\" access=\"read\"/>"
                "<property name=\"IconThemePath\" type=\"s\" access=\"read\"/>"
                "<property name=\"IconName\" type=\"s\" access=\"read\"/>"
                "<property name=\"IconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
                "<property name=\"OverlayIconName\" type=\"s\" access=\"read\"/>"
                "<property name=\"OverlayIconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
                "<property name=\"AttentionIconName\" type=\"s\" access=\"read\"/>"
                "<property name=\"AttentionIconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
                "<property name=\"AttentionMovieName\" type=\"s\" access=\"read\"/>"
                "<property name=\"ToolTip\" type=\"(sa(iiay)ss)\" access=\"read\"/>"
                "<property name=\"ItemIsMenu\" type=\"b\" access=\"read\"/>"
                "<property name=\"Menu\" type=\"o\" access=\"read\"/>"
                "<method name=\"ContextMenu\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
                "<method name=\"Activate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
                "<method name=\"SecondaryActivate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
                "<method name=\"Scroll\"><arg name=\"delta\" type=\"i\" direction=\"in\"/>"
                "<arg name=\"orientation\" type=\"s\" direction=\"in\"/></method>"
                "<signal name=\"NewTitle\"/><signal name=\"NewIcon\"/><signal name=\"NewAttentionIcon\"/>"
                "<signal name=\"NewOverlayIcon\"/><signal name=\"NewToolTip\"/>"
                "<signal name=\"NewStatus\"><arg name=\"status\" type=\"s\"/></signal>"
                "</interface>")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ window_id)
    Q_PROPERTY(QString IconThemePath READ nothing)
    Q_PROPERTY(QString IconName READ nothing)
    Q_PROPERTY(SniPixmaps IconPixmap READ icon_pixmap)
    Q_PROPERTY(QString OverlayIconName READ nothing)
    Q_PROPERTY(SniPixmaps OverlayIconPixmap READ no_pixmaps)
    Q_PROPERTY(QString AttentionIconName READ nothing)
    Q_PROPERTY(SniPixmaps AttentionIconPixmap READ no_pixmaps)
    Q_PROPERTY(QString AttentionMovieName READ nothing)
    Q_PROPERTY(SniToolTip ToolTip READ tool_tip)
    Q_PROPERTY(bool ItemIsMenu READ item_is_menu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem* item) : QDBusAbstractAdaptor(item), item_(item) {
        setAutoRelaySignals(false);
    }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("kelvanto"); }
    QString title() const { return QStringLiteral("Kelvanto"); }
    QString status() const { return QStringLiteral("Active"); }
    int window_id() const { return 0; }
    QString nothing() const { return {}; }
    SniPixmaps icon_pixmap() const { return item_->pixmaps(); }
    SniPixmaps no_pixmaps() const { return {}; }
    SniToolTip tool_tip() const { return item_->tooltip(); }
    // The menu is the program's own pop-up menu, opened through ContextMenu.
    bool item_is_menu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(QStringLiteral("/NO_DBUSMENU")); }

public slots:
    void Activate(int x, int y) { emit item_->activated(QPoint(x, y)); }
    void ContextMenu(int x, int y) { emit item_->context_menu_requested(QPoint(x, y)); }
    void SecondaryActivate(int /*x*/, int /*y*/) {}
    void Scroll(int /*delta*/, const QString& /*orientation*/) {}

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    StatusNotifierItem* item_;
};

StatusNotifierItem::StatusNotifierItem(QDBusConnection bus, QObject* parent) : QObject(parent), bus_(std::move(bus)) {
    qDBusRegisterMetaType<SniPixmap>();
    qDBusRegisterMetaType<SniPixmaps>();
    qDBusRegisterMetaType<SniToolTip>();
    new StatusNotifierItemAdaptor(this);
    service_ = QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(::getpid());
    if (!bus_.isConnected()) return;
    // A watcher that starts, ends or restarts (a panel started after the program, a desktop
    // shell restarted): the item goes to whichever watcher runs now.
    watcher_ = new QDBusServiceWatcher(kWatcherService, bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString& old_owner, const QString& new_owner) {
                watcher_running_ = !new_owner.isEmpty();
                if (!old_owner.isEmpty()) watcher_gone();
                if (watcher_running_ && visible_) register_with_watcher();
            });
    watcher_running_ =
        bus_.interface() != nullptr && bus_.interface()->isServiceRegistered(kWatcherService).value();
}

StatusNotifierItem::~StatusNotifierItem() { set_visible(false); }

void StatusNotifierItem::set_visible(bool on) {
    if (on == visible_ || !bus_.isConnected()) return;
    visible_ = on;
    if (on) {
        // Another copy of the name (a second item of this process) leaves the unique name.
        if (!bus_.registerService(service_)) service_ = bus_.baseService();
        exported_ = bus_.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors);
        if (watcher_running_) register_with_watcher();
        return;
    }
    // The watcher drops the item when its name leaves the bus.
    if (exported_) bus_.unregisterObject(kItemPath);
    if (service_ != bus_.baseService()) bus_.unregisterService(service_);
    exported_ = false;
    watcher_gone();
}

void StatusNotifierItem::register_with_watcher() {
    if (!exported_) return;
    QDBusMessage call = QDBusMessage::createMethodCall(kWatcherService, kWatcherPath, kWatcherService,
                                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << service_;
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* reply) {
        reply->deleteLater();
        const bool accepted = !reply->isError() && visible_;
        if (accepted == registered_) return;
        registered_ = accepted;
        emit registration_changed(accepted);
    });
}

void StatusNotifierItem::watcher_gone() {
    if (!registered_) return;
    registered_ = false;
    emit registration_changed(false);
}

void StatusNotifierItem::set_icon(const QIcon& icon) {
    SniPixmaps p = sni_pixmaps(icon);
    bool same = p.size() == pixmaps_.size();
    for (qsizetype i = 0; same && i < p.size(); ++i) same = p[i].pixels == pixmaps_[i].pixels;
    if (same) return;
    pixmaps_ = std::move(p);
    if (auto* a = findChild<StatusNotifierItemAdaptor*>()) emit a->NewIcon();
}

void StatusNotifierItem::set_tooltip(const QString& title, const QString& description) {
    if (title == tip_title_ && description == tip_description_) return;
    tip_title_ = title;
    tip_description_ = description;
    if (auto* a = findChild<StatusNotifierItemAdaptor*>()) emit a->NewToolTip();
}

SniToolTip StatusNotifierItem::tooltip() const { return {QString(), {}, tip_title_, tip_description_}; }

#include "status_notifier_item.moc"
