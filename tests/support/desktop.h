#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/process.h"

// Throw-away desktops for whole-program tests: an X server (Xvfb) with or without the openbox
// window manager, a headless Wayland compositor (weston) with Xwayland, and a private D-Bus
// session bus. Each is stopped when its object goes.

// The full path of an installed program, or empty when it is not installed.
std::string find_program(const std::string& name);
// The names of `programs` that are not installed, joined by blanks (empty when all are).
std::string missing_programs(const std::vector<std::string>& programs);
// Runs a shell command and returns what it wrote on standard output.
std::string command_output(const std::string& command);

class XDesktop {
public:
    // Xvfb on a free display number, 1280 x 800, with openbox when `window_manager` is set;
    // not running when either could not be started.
    explicit XDesktop(bool window_manager);
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;
    bool running() const { return !display_.empty(); }
    const std::string& display() const { return display_; }

private:
    ChildProcess server_;
    ChildProcess window_manager_;
    std::string display_;
};

class WaylandDesktop {
public:
    // weston with its headless back end and Xwayland; `runtime_dir` holds its socket.
    explicit WaylandDesktop(const std::string& runtime_dir);
    ~WaylandDesktop();
    WaylandDesktop(const WaylandDesktop&) = delete;
    WaylandDesktop& operator=(const WaylandDesktop&) = delete;
    bool running() const { return !x_display_.empty(); }
    const std::string& socket() const { return socket_; }       // WAYLAND_DISPLAY
    const std::string& x_display() const { return x_display_; }  // Xwayland's DISPLAY
    std::string log() const;

private:
    ChildProcess compositor_;
    std::string runtime_dir_;
    std::string socket_;
    std::string x_display_;
};

class SessionBus {
public:
    // A private session bus (dbus-run-session); its address goes to DBUS_SESSION_BUS_ADDRESS.
    explicit SessionBus(const std::string& folder);
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;
    bool running() const { return !address_.empty(); }
    const std::string& address() const { return address_; }

private:
    ChildProcess session_;
    std::string child_file_;  // holds the process id of the session's only child
    std::string address_;
};

// The place of a top-level window on an X display: its client area and its frame.
struct XWindowPlace {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int frame_x = 0;
    int frame_y = 0;
};
using XWindowId = unsigned long;
// The visible windows of process `pid` (any process when 0) whose title is exactly `title`.
std::vector<XWindowId> x_windows_of(const std::string& display, int pid, const std::string& title);
// Waits up to `timeout_ms` for such a window to show; 0 when none did.
XWindowId wait_for_x_window(const std::string& display, int pid, const std::string& title, int timeout_ms);
std::optional<XWindowPlace> x_window_place(const std::string& display, XWindowId id);
// The managed windows from bottom to top, as the window manager stacks them.
std::vector<XWindowId> x_stacking_order(const std::string& display);
// Whether the window manager keeps the window above others (_NET_WM_STATE_ABOVE).
bool x_window_kept_above(const std::string& display, XWindowId id);
// Clicks the left button inside the window, near its top-left corner.
void x_click(const std::string& display, XWindowId id);
// Types a key (an X key name such as "Escape") into the window.
void x_key(const std::string& display, XWindowId id, const std::string& key);
