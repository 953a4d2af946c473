#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <memory>

#include "display/display_view.h"
#include "display/cls_style.h"
#include "display/window_behaviour.h"

class QWidget;
class QMouseEvent;
class OwnWindowsAbove;
class Shell;
class QKeyEvent;

// The main window's style words, kept as window flags: caption, sizing border and control
// box together decide between a framed and a frameless window; topmost is the stays-on-top
// hint. Changing flags re-creates the native window, so a visible window is shown again.
class QtWindowStyleHost : public WindowStyleHost {
public:
    explicit QtWindowStyleHost(QWidget* window) : window_(window) {}
    std::uint32_t read_style(bool extended) const override;
    void write_style(bool extended, std::uint32_t value) override;
    void frame_changed() override;
    void set_topmost(bool on) override;

private:
    QWidget* window_;
    bool pending_show_ = false;
};

// What the main window does on behalf of its behaviour: each defaults to nothing.
struct WindowCallbacks {
    std::function<void()> fit_window_height;  // apply Border to the frame and fit the height
    std::function<void()> save_settings;      // save every setting
    std::function<void(const char* name)> write_setting;  // write one stored value at once
    std::function<void()> refresh_ip;         // refresh the monitored adapter's IP text
    std::function<void()> run_cycle;          // run the update cycle at once with redraw
    std::function<void()> minimise;           // minimise (hide) the main window
    std::function<void(QPoint global)> popup_menu;  // open the window's pop-up menu
    std::function<KeyAdapters()> key_adapters;      // the adapters the digit keys pick from
};

// Watches the main window's mouse and key events: dragging by the content, sizing without a
// frame by the edge zones, frame toggling by double click, the pop-up menu, the keyboard
// shortcuts; and applies the size limits, translucency and always on top.
class MainWindowBehaviour : public QObject {
    Q_OBJECT
public:
    MainWindowBehaviour(QWidget* window, DisplayView state, WindowBehaviourState& behaviour,
                        WindowCallbacks callbacks, QObject* parent = nullptr);
    ~MainWindowBehaviour() override;

    clsStyle& style() { return style_; }

    // Binds the style helper, turns AutoDrag on and applies the frame.
    void start();
    // Sets the outer width from WindowWidth and the saved position, or centres the window.
    void place_at_start();
    // Measures the frame allowances while the title bar shows; called once a second.
    void measure_frame();
    // Puts the width limits on the window (outer limits turned into client limits).
    void apply_size_limits();
    // Translucency and see-through background from the settings; returns the plan applied.
    TranslucencyPlan apply_translucency(int os_major_version);
    // Switches the layered style (and the see-through background) on or off.
    void ApplyTranslucency(std::uint8_t alpha, bool on);
    void ApplyColourKey(bool on);
    // Topmost on or off for the main window and every open secondary window.
    void ApplyAlwaysOnTop();
    // Toggles Always on top from the pop-up menu entry, writes it and applies it.
    void toggle_always_on_top();
    // Keeps the window position in the settings and writes it at once.
    void SaveWindowPosition();

    // A shell that opens through `inner` after the window stepped back from the top: a
    // program or file an alert opens is not covered by the window. The window is on top
    // again as soon as the user comes back to it (activates or clicks it).
    Shell& shell_stepping_back(Shell& inner);
    void step_back();
    bool stepped_back() const { return stepped_back_; }

    // The key press handling, without the event: returns whether the key was used. What the
    // key changed (or why it changed nothing) shows for a moment over the window.
    bool handle_key(int qt_key, Qt::KeyboardModifiers modifiers);
    // The last such note.
    const QString& key_note() const { return key_note_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Hands moving and sizing to the window system; false when it cannot, so the window
    // follows the mouse itself.
    virtual bool begin_system_move();
    virtual bool begin_system_resize(Qt::Edges edges);

private:
    void mouse_press(QMouseEvent* e);
    void mouse_move(QMouseEvent* e);
    void toggle_border();
    void back_on_top();

    QWidget* window_;
    DisplayView state_;
    WindowBehaviourState& behaviour_;
    WindowCallbacks callbacks_;
    QtWindowStyleHost host_;
    clsStyle style_;

    // Dragging: where the press happened, and a move or size the window follows itself.
    bool pressed_ = false;
    QPoint press_global_;
    QRect press_geometry_;
    QPoint press_frame_;  // the window's outer top-left corner at the press
    Qt::Edges manual_edges_;
    bool manual_move_ = false;
    bool manual_resize_ = false;
    int initial_width_ = 0;  // client width given at start, until the frame is known
    OwnWindowsAbove* own_windows_ = nullptr;
    std::unique_ptr<Shell> shell_;
    bool stepped_back_ = false;  // off the top for what an alert opened
    QString key_note_;
};

// Whether the window system lets the program place its windows and keep them on top: X11
// does, Wayland leaves both to the desktop.
bool places_windows();
// Where a window whose outer rectangle is `outer` opens: there when it lies wholly on a screen,
// else moved the shortest way into the screen holding most of it.
QPoint place_on_screens(const QRect& outer);
// Maps a Qt key press to the main window's shortcut keys.
WindowKeyPress map_window_key(int qt_key, Qt::KeyboardModifiers modifiers);
// The window-system edges of a sizing zone; none for HitZone::none.
Qt::Edges edges_for(HitZone zone);
// The back buffer with every pixel of the key colour made fully transparent.
QImage colour_keyed(const QImage& picture, std::uint32_t key_colour);
