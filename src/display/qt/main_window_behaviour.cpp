#include "display/qt/main_window_behaviour.h"

#include "settings/settings.h"
#include "settings/form_item.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <QWidget>
#include <QWindow>
#include <algorithm>

#include "display/qt/window_stacking.h"

namespace {

constexpr Qt::WindowFlags kManagedFlags =
    Qt::FramelessWindowHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
    Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
    Qt::MSWindowsFixedSizeDialogHint | Qt::WindowContextHelpButtonHint;

constexpr std::uint32_t kFrameParts = kStyleCaption | kStyleThickFrame | kStyleSysMenu;
constexpr int kKeyNoteMs = 3000;  // how long the note of a shortcut key stays

// Puts the window's outer top-left corner, frame included, at `p`. The window manager
// adds the frame only after the window is shown, and a native window made anew (a change of
// its flags) does not know its frame yet: a plain move would then place the client area
// there and the frame above it, and the place stored at exit would creep upwards by the
// title bar at every start. Asking for the frame position lets the window manager put the
// frame there (north-west gravity), whether the frame is known yet or not.
void place_frame_at(QWidget* w, QPoint p) {
    QWindow* handle = w->windowHandle();
    if (handle == nullptr || handle->handle() == nullptr) {
        w->move(p);
        return;
    }
    // Marked as placed by the program, so a native window made anew keeps the place.
    w->setAttribute(Qt::WA_Moved);
    handle->setFramePosition(p);
}

Qt::CursorShape cursor_for(PointerShape shape) {
    switch (shape) {
        case PointerShape::size_nwse:
            return Qt::SizeFDiagCursor;
        case PointerShape::size_nesw:
            return Qt::SizeBDiagCursor;
        case PointerShape::size_we:
            return Qt::SizeHorCursor;
        case PointerShape::size_ns:
            return Qt::SizeVerCursor;
        case PointerShape::standard:
            break;
    }
    return Qt::ArrowCursor;
}

}  // namespace

bool places_windows() { return !QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

// --- style words as window flags ---------------------------------------------------------

std::uint32_t QtWindowStyleHost::read_style(bool extended) const {
    const Qt::WindowFlags f = window_->windowFlags();
    if (extended) {
        std::uint32_t ex = 0;
        if ((f & Qt::WindowType_Mask) == Qt::Tool) ex |= kExStyleToolWindow;
        if (f & Qt::WindowContextHelpButtonHint) ex |= kExStyleContextHelp;
        if (window_->property("kelvanto_layered").toBool()) ex |= kExStyleLayered;
        return ex;
    }
    if (f & Qt::FramelessWindowHint) return 0;
    if (!(f & Qt::CustomizeWindowHint)) return kFrameParts | kStyleMinimizeBox | kStyleMaximizeBox;
    std::uint32_t st = 0;
    if (f & Qt::WindowTitleHint) st |= kStyleCaption;
    if (!(f & Qt::MSWindowsFixedSizeDialogHint)) st |= kStyleThickFrame;
    if (f & Qt::WindowSystemMenuHint) st |= kStyleSysMenu;
    if (f & Qt::WindowMinimizeButtonHint) st |= kStyleMinimizeBox;
    if (f & Qt::WindowMaximizeButtonHint) st |= kStyleMaximizeBox;
    return st;
}

void QtWindowStyleHost::write_style(bool extended, std::uint32_t value) {
    Qt::WindowFlags f = window_->windowFlags();
    if (extended) {
        window_->setProperty("kelvanto_layered", (value & kExStyleLayered) != 0);
        f &= ~Qt::WindowType_Mask;
        f |= (value & kExStyleToolWindow) ? Qt::Tool : Qt::Window;
        f.setFlag(Qt::WindowContextHelpButtonHint, (value & kExStyleContextHelp) != 0);
    } else {
        const std::uint32_t ex = read_style(true);
        f &= ~kManagedFlags;
        if ((value & kFrameParts) == 0) {
            f |= Qt::FramelessWindowHint;
        } else {
            f |= Qt::CustomizeWindowHint;
            if (value & kStyleCaption) f |= Qt::WindowTitleHint;
            if (value & kStyleSysMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
            if (value & kStyleMinimizeBox) f |= Qt::WindowMinimizeButtonHint;
            if (value & kStyleMaximizeBox) f |= Qt::WindowMaximizeButtonHint;
            if (!(value & kStyleThickFrame)) f |= Qt::MSWindowsFixedSizeDialogHint;
        }
        if (ex & kExStyleContextHelp) f |= Qt::WindowContextHelpButtonHint;
    }
    if (f == window_->windowFlags()) return;
    pending_show_ = pending_show_ || window_->isVisible();
    window_->setWindowFlags(f);
}

void QtWindowStyleHost::frame_changed() {
    if (pending_show_) window_->show();
    pending_show_ = false;
}

void QtWindowStyleHost::set_topmost(bool on) { set_stays_on_top(window_, on); }

// --- behaviour ----------------------------------------------------------------------------

MainWindowBehaviour::MainWindowBehaviour(QWidget* window, DisplayView state, WindowBehaviourState& behaviour,
                                         WindowCallbacks callbacks, QObject* parent)
    : QObject(parent), window_(window), state_(state), behaviour_(behaviour), callbacks_(std::move(callbacks)),
      host_(window) {
    window_->setMouseTracking(true);
    window_->installEventFilter(this);
    own_windows_ = new OwnWindowsAbove(
        window_, [this] { return state_.settings.AlwaysOnTop != 0 && !stepped_back_; }, this);
}

MainWindowBehaviour::~MainWindowBehaviour() = default;

Shell& MainWindowBehaviour::shell_stepping_back(Shell& inner) {
    shell_ = std::make_unique<ShellBeforeOpening>(inner, [this] { step_back(); });
    return *shell_;
}

void MainWindowBehaviour::step_back() {
    if (state_.settings.AlwaysOnTop == 0 || stepped_back_) return;
    stepped_back_ = true;
    style_.set_TopMost(false);
}

void MainWindowBehaviour::back_on_top() {
    if (!stepped_back_) return;
    stepped_back_ = false;
    style_.set_TopMost(state_.settings.AlwaysOnTop != 0);
}

void MainWindowBehaviour::start() {
    style_.set_client(&host_);
    style_.AutoDrag = true;
    style_.set_Border(state_.settings.Border != 0);
    style_.set_TopMost(state_.settings.AlwaysOnTop != 0);
}

void MainWindowBehaviour::place_at_start() {
    const Settings& s = state_.settings;
    const int frame = s.Border != 0 ? behaviour_.frame_width : 0;
    window_->resize(std::max(1, s.WindowWidth - frame), window_->height());
    initial_width_ = window_->width();
    const QScreen* screen = window_->screen() != nullptr ? window_->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QRect outer = window_->frameGeometry();
    const int x = initial_position(s.WindowX, area.width(), outer.width());
    const int y = initial_position(s.WindowY, area.height(), outer.height());
    const QPoint place = place_on_screens(QRect(x, y, outer.width(), outer.height()));
    // Some window managers (Xwayland's under Wayland compositors) take the place a window
    // asks for only when it is mapped: a window already showing is shown anew there.
    QWindow* handle = window_->windowHandle();
    const bool remap = window_->isVisible() && handle != nullptr &&
                       QGuiApplication::platformName() == QLatin1String("xcb");
    if (remap) {
        window_->hide();
        handle->destroy();
    }
    place_frame_at(window_, place);
    if (!remap) return;
    window_->show();
    // Such a manager moves the window to its place only with a picture that comes after it
    // has mapped the window: the whole picture is handed over again a moment later, as a
    // window that redraws only what changed may hand over nothing for a long while.
    for (const int ms : {250, 1000}) QTimer::singleShot(ms, window_, [w = window_] { w->update(); });
}

void MainWindowBehaviour::measure_frame() {
    if (state_.settings.Border == 0 || !window_->isVisible()) return;
    const QRect outer = window_->frameGeometry();
    const int fw = std::clamp(outer.width() - window_->width(), 0, 255);
    const int fh = std::clamp(outer.height() - window_->height(), 0, 255);
    // The window manager adds the frame after the first show: the saved outer width then
    // still has to lose the frame once, or the window would grow by it on every start.
    if (initial_width_ > 0 && fw > 0 && behaviour_.frame_width == 0 && window_->width() == initial_width_) {
        window_->resize(std::max(1, initial_width_ - fw), window_->height());
    }
    if (fw > 0) initial_width_ = 0;
    behaviour_.frame_width = static_cast<std::uint8_t>(fw);
    behaviour_.frame_height = static_cast<std::uint8_t>(fh);
}

void MainWindowBehaviour::apply_size_limits() {
    const bool titled = state_.settings.Border != 0;
    const SizeLimits l = window_size_limits(state_.settings, behaviour_, titled);
    const int fw = titled ? behaviour_.frame_width : 0;
    // The height limits are set where the height is fitted to the items.
    // Called every second: the window is touched only when a limit changed.
    const int min_width = l.min_width ? std::max(0, *l.min_width - fw) : 0;
    const int max_width = l.max_width ? std::max(1, *l.max_width - fw) : QWIDGETSIZE_MAX;
    if (window_->minimumWidth() != min_width) window_->setMinimumWidth(min_width);
    if (window_->maximumWidth() != max_width) window_->setMaximumWidth(max_width);
}

TranslucencyPlan MainWindowBehaviour::apply_translucency(int os_major_version) {
    const TranslucencyPlan plan = plan_translucency(state_.settings, os_major_version);
    if (plan.trans_back_reset && callbacks_.write_setting) callbacks_.write_setting("TransBack");
    if (os_major_version < 5) return plan;
    if (plan.alpha) {
        ApplyColourKey(false);
        ApplyTranslucency(*plan.alpha, true);
    } else if (plan.colour_key) {
        ApplyTranslucency(255, false);
        ApplyColourKey(true);
    } else {
        ApplyColourKey(false);
        ApplyTranslucency(255, false);
    }
    return plan;
}

void MainWindowBehaviour::ApplyTranslucency(std::uint8_t alpha, bool on) {
    if (on) {
        style_.set_Layered(true);
        behaviour_.layered = true;
        window_->setWindowOpacity(alpha / 255.0);
        return;
    }
    window_->setWindowOpacity(1.0);
    if (!behaviour_.layered) return;
    style_.set_Layered(false);
    behaviour_.layered = false;
}

void MainWindowBehaviour::ApplyColourKey(bool on) {
    if (on) {
        style_.set_Layered(true);
        behaviour_.layered = true;
    } else if (behaviour_.layered && window_->windowOpacity() >= 1.0) {
        style_.set_Layered(false);
        behaviour_.layered = false;
    }
    if (window_->testAttribute(Qt::WA_TranslucentBackground) == on) return;
    window_->setAttribute(Qt::WA_TranslucentBackground, on);
    window_->setAttribute(Qt::WA_NoSystemBackground, on);
    // The alpha channel of the window surface is chosen when the native window is made, so
    // it is made anew. Through the widget, not the native window alone: the widget's backing
    // store belongs to the old window, and painting into it would leave the new one black.
    QWindow* handle = window_->windowHandle();
    if (handle != nullptr && handle->handle() != nullptr) {
        const bool visible = window_->isVisible();
        const QPoint frame = window_->frameGeometry().topLeft();
        const QSize size = window_->size();
        window_->setParent(window_->parentWidget(), window_->windowFlags());
        window_->resize(size);
        place_frame_at(window_, frame);
        if (visible) window_->show();
    }
    window_->update();
}

void MainWindowBehaviour::ApplyAlwaysOnTop() {
    stepped_back_ = false;
    style_.set_TopMost(state_.settings.AlwaysOnTop != 0);
    own_windows_->apply_to_open_windows();
}

void MainWindowBehaviour::toggle_always_on_top() {
    state_.settings.AlwaysOnTop = state_.settings.AlwaysOnTop != 0 ? 0 : 1;
    if (callbacks_.write_setting) callbacks_.write_setting("Always on top");
    ApplyAlwaysOnTop();
}

void MainWindowBehaviour::SaveWindowPosition() {
    const bool hidden = window_->isMinimized() || !window_->isVisible();
    const QRect outer = window_->frameGeometry();
    const int frame = state_.settings.Border != 0 ? behaviour_.frame_width : 0;
    // The outer width from the client width and the measured frame, so a window whose frame
    // the window manager has not reported yet stores the same width it was given.
    const int outer_width = std::max(outer.width(), window_->width() + frame);
    // A Wayland client never learns where its window is: the stored place stays as it was.
    const bool place_known = places_windows();
    const int left = place_known ? outer.x() : state_.settings.WindowX;
    const int top = place_known ? outer.y() : state_.settings.WindowY;
    if (!::SaveWindowPosition(state_.settings, hidden, left, top, outer_width)) return;
    if (!callbacks_.write_setting) return;
    if (place_known) {
        callbacks_.write_setting("WindowX");
        callbacks_.write_setting("WindowY");
    }
    callbacks_.write_setting("WindowWidth");
}

bool MainWindowBehaviour::handle_key(int qt_key, Qt::KeyboardModifiers modifiers) {
    const WindowKeyPress press = map_window_key(qt_key, modifiers);
    if (press.key == WindowKey::none) return false;
    const int outer_width = std::max(window_->frameGeometry().width(), window_->width());
    const KeyAdapters adapters =
        press.key == WindowKey::digit && callbacks_.key_adapters ? callbacks_.key_adapters() : KeyAdapters{};
    const KeyOutcome out = apply_window_key(state_, press, outer_width, adapters);
    key_note_ = QString::fromStdString(out.note);
    if (!key_note_.isEmpty()) {
        QToolTip::showText(window_->mapToGlobal(QPoint(8, 8)), key_note_, window_, QRect(), kKeyNoteMs);
    }
    if (out.write_locked_width) {
        if (callbacks_.write_setting) callbacks_.write_setting("LockedWidth");
        apply_size_limits();
    }
    if (out.save_settings && callbacks_.save_settings) callbacks_.save_settings();
    if (out.refresh_ip && callbacks_.refresh_ip) callbacks_.refresh_ip();
    if (out.run_cycle && callbacks_.run_cycle) callbacks_.run_cycle();
    if (out.minimise && callbacks_.minimise) callbacks_.minimise();
    return true;
}

bool MainWindowBehaviour::begin_system_move() {
    QWindow* handle = window_->windowHandle();
    return handle != nullptr && handle->startSystemMove();
}

bool MainWindowBehaviour::begin_system_resize(Qt::Edges edges) {
    QWindow* handle = window_->windowHandle();
    return handle != nullptr && handle->startSystemResize(edges);
}

void MainWindowBehaviour::toggle_border() {
    Settings& s = state_.settings;
    s.Border = s.Border != 0 ? 0 : 1;
    if (callbacks_.write_setting) callbacks_.write_setting("Border");
    if (!window_->isMinimized()) style_.set_Border(s.Border != 0);
    if (callbacks_.fit_window_height) callbacks_.fit_window_height();
    apply_size_limits();
    if (s.Border != 0) window_->unsetCursor();
}

void MainWindowBehaviour::mouse_press(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    press_global_ = e->globalPosition().toPoint();
    press_geometry_ = window_->geometry();
    press_frame_ = window_->pos();
    manual_move_ = manual_resize_ = false;
    if (state_.settings.Border == 0) {
        const HitZone zone = HitTest(pos.x(), pos.y(), window_->width(), window_->height());
        if (zone != HitZone::none) {
            pressed_ = false;
            manual_edges_ = edges_for(zone);
            manual_resize_ = !begin_system_resize(manual_edges_);
            return;
        }
    }
    // Moving starts once the mouse has travelled a little, so clicks and double clicks
    // still reach the window.
    pressed_ = style_.AutoDrag;
}

void MainWindowBehaviour::mouse_move(QMouseEvent* e) {
    const QPoint delta = e->globalPosition().toPoint() - press_global_;
    if (!(e->buttons() & Qt::LeftButton)) {
        pressed_ = manual_move_ = manual_resize_ = false;
        if (state_.settings.Border != 0) return;
        const QPoint pos = e->position().toPoint();
        const HitZone zone = HitTest(pos.x(), pos.y(), window_->width(), window_->height());
        window_->setCursor(cursor_for(pointer_for(zone)));
        return;
    }
    if (manual_resize_) {
        QRect g = press_geometry_;
        if (manual_edges_ & Qt::LeftEdge) g.setLeft(g.left() + delta.x());
        if (manual_edges_ & Qt::RightEdge) g.setRight(g.right() + delta.x());
        if (manual_edges_ & Qt::TopEdge) g.setTop(g.top() + delta.y());
        if (manual_edges_ & Qt::BottomEdge) g.setBottom(g.bottom() + delta.y());
        const QSize size = g.size().expandedTo(window_->minimumSize()).boundedTo(window_->maximumSize());
        window_->setGeometry(QRect(g.topLeft(), size));
        return;
    }
    if (manual_move_) {
        window_->move(press_frame_ + delta);
        return;
    }
    if (!pressed_ || delta.manhattanLength() < QApplication::startDragDistance()) return;
    pressed_ = false;
    // Where the program may place its window (X11) it follows the pointer itself from the
    // press on: a move handed to the window manager starts where the pointer is when the
    // manager takes over, and the way travelled until then would be lost. Elsewhere (Wayland)
    // only the compositor can move it.
    manual_move_ = places_windows() || !begin_system_move();
    if (manual_move_) window_->move(press_frame_ + delta);
}

bool MainWindowBehaviour::eventFilter(QObject* watched, QEvent* event) {
    if (watched != window_) return false;
    switch (event->type()) {
        case QEvent::WindowActivate:
            // The user came back to the window after an alert opened something.
            back_on_top();
            return false;
        case QEvent::MouseButtonPress: {
            back_on_top();
            auto* e = static_cast<QMouseEvent*>(event);
            if (e->button() == Qt::LeftButton) {
                mouse_press(e);
                return true;
            }
            if (e->button() == Qt::RightButton && callbacks_.popup_menu) {
                callbacks_.popup_menu(e->globalPosition().toPoint());
                return true;
            }
            return false;
        }
        case QEvent::MouseMove:
            mouse_move(static_cast<QMouseEvent*>(event));
            return false;
        case QEvent::MouseButtonRelease:
            pressed_ = manual_move_ = manual_resize_ = false;
            return false;
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) return false;
            pressed_ = false;
            toggle_border();
            return true;
        case QEvent::KeyPress: {
            auto* e = static_cast<QKeyEvent*>(event);
            return handle_key(e->key(), e->modifiers());
        }
        default:
            return false;
    }
}
