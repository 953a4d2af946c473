// The main window on real desktops: its place over restarts under an X11 window manager and
// in Wayland sessions, the windows that come above it when it stays on top, and the tray icon
// over D-Bus.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "alerts/rule_files.h"
#include "support/desktop.h"
#include "support/loopback_listener.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::size_t count_of(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// A program run with its own folders and settings file.
struct Home {
    TempDir dir;
    fs::path config() const { return dir.path() / "config"; }
    fs::path data() const { return dir.path() / "data"; }
    fs::path settings_file() const { return config() / "Kelvanto" / "Kelvanto.conf"; }

    void write_settings(const std::string& lines) const {
        fs::create_directories(settings_file().parent_path());
        std::ofstream(settings_file()) << "[General]\nCheckForUpdate=0\n" << lines;
    }
    // A stored value of the settings file, or -1 when it is not there.
    int setting(const std::string& name) const {
        const std::regex line("(^|\n)" + name + "=(-?[0-9]+)\n");
        std::smatch m;
        const std::string text = read_file(settings_file());
        return std::regex_search(text, m, line) ? std::stoi(m[2]) : -1;
    }
    std::map<std::string, std::string> environment(const std::map<std::string, std::string>& more) const {
        std::map<std::string, std::string> env{{"KELVANTO_HOME", data().string()},
                                               {"XDG_CONFIG_HOME", config().string()},
                                               {"XDG_DATA_HOME", (dir.path() / "share").string()},
                                               {"XDG_RUNTIME_DIR", dir.str()},
                                               {"QT_QPA_PLATFORM", ""},
                                               {"DISPLAY", ""},
                                               {"WAYLAND_DISPLAY", ""},
                                               {"DBUS_SESSION_BUS_ADDRESS", "disabled:"}};
        for (const auto& [k, v] : more) env[k] = v;
        return env;
    }
    fs::path output() const { return dir.path() / "output.txt"; }
};

// SIGTERM and the exit status of the orderly shutdown (-1 when it did not end in time).
int terminate(ChildProcess& p) {
    ::kill(p.pid, SIGTERM);
    const int status = wait_process(p, 15000);
    if (status == -1) kill_process(p);
    return status;
}

bool wait_for(int timeout_ms, const auto& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return done();
}

// The main window's place once the window manager has framed and placed it. The window is
// looked up anew each time: the program may make its native window anew while it starts.
std::optional<XWindowPlace> settled_place(const std::string& display, int pid, int want_x, int want_y) {
    std::optional<XWindowPlace> place;
    wait_for(8000, [&] {
        const auto ids = x_windows_of(display, pid, "Kelvanto");
        place = ids.empty() ? std::nullopt : x_window_place(display, ids.front());
        return place && place->frame_x == want_x && place->frame_y == want_y;
    });
    return place;
}

// Under an X11 window manager the window starts where it was left, with or without its
// frame, and the stored place stays exactly that over any number of restarts.
TEST(X11Desktop, WindowStartsWhereItWasLeftOverFiveRestartsWithAndWithoutFrame) {
    const std::string missing = missing_programs({"Xvfb", "openbox", "xdotool", "xwininfo", "xprop"});
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing;
    XDesktop desktop(true);
    ASSERT_TRUE(desktop.running());
    for (const int border : {1, 0}) {
        Home home;
        home.write_settings("WindowX=300\nWindowY=257\nBorder=" + std::to_string(border) + "\n");
        int width = -1;
        for (int start = 1; start <= 5; ++start) {
            SCOPED_TRACE("Border " + std::to_string(border) + ", start " + std::to_string(start));
            ChildProcess p = start_process(KELVANTO_BIN, {}, home.environment({{"DISPLAY", desktop.display()}}),
                                           home.output().string());
            const XWindowId id = wait_for_x_window(desktop.display(), p.pid, "Kelvanto", 15000);
            if (id == 0) kill_process(p);
            ASSERT_NE(id, 0u) << read_file(home.output());
            const auto place = settled_place(desktop.display(), p.pid, 300, 257);
            ASSERT_TRUE(place.has_value());
            EXPECT_EQ(place->frame_x, 300);
            EXPECT_EQ(place->frame_y, 257);
            if (border == 0) {
                EXPECT_EQ(place->x, 300) << "a frameless window is its own frame";
                EXPECT_EQ(place->y, 257);
            } else {
                EXPECT_GT(place->y, 257) << "the title bar is above the content";
            }
            std::this_thread::sleep_for(1500ms);
            ASSERT_EQ(terminate(p), 0) << read_file(home.output());
            EXPECT_EQ(home.setting("WindowX"), 300);
            EXPECT_EQ(home.setting("WindowY"), 257);
            // The first start fits the stored width to the frame; from then on it holds.
            if (start > 1) {
                EXPECT_EQ(home.setting("WindowWidth"), width);
            }
            width = home.setting("WindowWidth");
        }
    }
}

// Answers the program's update query with a newer version, so it opens its update window.
void answer_update_query(const Listener& http) {
    const int conn = http.accept_within(20000);
    if (conn < 0) return;
    char buf[1024];
    std::string request;
    while (request.find("\r\n\r\n") == std::string::npos) {
        pollfd p{conn, POLLIN, 0};
        if (::poll(&p, 1, 5000) <= 0) break;
        const ssize_t n = ::read(conn, buf, sizeof buf);
        if (n <= 0) break;
        request.append(buf, static_cast<std::size_t>(n));
    }
    const std::string reply = "HTTP/1.1 200 OK\r\n\r\nver=9.99, date=Mar 14, 2027\r\n";
    ::send(conn, reply.data(), reply.size(), MSG_NOSIGNAL);
    ::close(conn);
}

// A rule that fires in the first second (any rate reaches 0 kb/s) and runs `program`.
void write_rule_running(const Home& home, const std::string& program, const std::string& arguments) {
    AlertRule r;
    r.Name = "Limit";
    r.Enabled = kSwitchedOn;
    r.ConditionKind = RateReached;
    r.Actions[RunProgram] = kSwitchedOn;
    r.value(0, 0) = {"Multiple adapters", "0"};
    r.value(0, 1) = {"download", "0"};
    r.value(0, 2) = {"0 kb/s", "0|0"};
    r.value(0, 3) = {"First time only", "0"};
    r.value(RunProgram + 1, 0) = {"xmessage", program};
    r.value(RunProgram + 1, 1) = {arguments, arguments};
    const std::string dir = home.data().string() + "/";
    fs::create_directories(dir + "Stats");
    const std::int32_t count = 1;
    std::ofstream(rule_count_path(dir), std::ios::binary).write(reinterpret_cast<const char*>(&count), 4);
    std::ofstream(rule_file_path(dir, 0), std::ios::binary) << encode_rule(r);
}

std::ptrdiff_t stacking_index(const std::vector<XWindowId>& order, XWindowId id) {
    const auto at = std::find(order.begin(), order.end(), id);
    return at == order.end() ? -1 : at - order.begin();
}

// With "Always on top", the windows the program opens on its own (the update window) come
// above the main window, and so does a program an alert starts: the main window steps back
// from the top for it, and is on top again once the user clicks it.
TEST(X11Desktop, UpdateWindowAndTheProgramAnAlertRunsComeAboveTheMainWindow) {
    const std::string missing = missing_programs({"Xvfb", "openbox", "xdotool", "xwininfo", "xprop", "xmessage"});
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing;
    XDesktop desktop(true);
    ASSERT_TRUE(desktop.running());
    Home home;
    home.write_settings("Always%20on%20top=1\nCheckForUpdate=1\nWindowX=400\nWindowY=200\n");
    write_rule_running(home, find_program("xmessage"), "-title KelvantoAlert -geometry 300x120+380+220 Limit reached");
    Listener http;
    ChildProcess p = start_process(
        KELVANTO_BIN, {},
        home.environment({{"DISPLAY", desktop.display()}, {"KELVANTO_UPDATE_PORT", std::to_string(http.port)}}),
        home.output().string());
    answer_update_query(http);

    // Both come after the main window has been placed for good.
    const XWindowId update = wait_for_x_window(desktop.display(), p.pid, "Software update", 20000);
    const XWindowId alert = wait_for_x_window(desktop.display(), 0, "KelvantoAlert", 15000);
    const XWindowId main = wait_for_x_window(desktop.display(), p.pid, "Kelvanto", 15000);
    if (main == 0 || update == 0 || alert == 0) kill_process(p);
    ASSERT_NE(main, 0u) << read_file(home.output());
    ASSERT_NE(update, 0u) << "no update window";
    ASSERT_NE(alert, 0u) << "the alert's program did not start";
    std::vector<XWindowId> order;
    wait_for(3000, [&] {
        order = x_stacking_order(desktop.display());
        return stacking_index(order, main) >= 0 && stacking_index(order, alert) > stacking_index(order, main) &&
               stacking_index(order, update) > stacking_index(order, main);
    });
    EXPECT_GT(stacking_index(order, update), stacking_index(order, main)) << "the update window is under the main window";
    EXPECT_GT(stacking_index(order, alert), stacking_index(order, main)) << "the alert's program is under the main window";
    EXPECT_TRUE(x_window_kept_above(desktop.display(), update));
    EXPECT_FALSE(x_window_kept_above(desktop.display(), main)) << "the main window keeps covering what the alert opened";

    // The update window closed, back to the main window: it stays on top again, above the
    // alert's program.
    x_key(desktop.display(), update, "Escape");
    EXPECT_TRUE(wait_for(3000, [&] { return x_windows_of(desktop.display(), p.pid, "Software update").empty(); }));
    x_click(desktop.display(), main);
    EXPECT_TRUE(wait_for(3000, [&] { return x_window_kept_above(desktop.display(), main); }));
    order = x_stacking_order(desktop.display());
    EXPECT_GT(stacking_index(order, main), stacking_index(order, alert));
    EXPECT_EQ(terminate(p), 0) << read_file(home.output());
    // The alert's program ends with the X server.
}

// Waits for the program's data folder, which tells that its start-up has run.
bool wait_for_start(const Home& home, const ChildProcess& p) {
    return wait_for(15000, [&] { return fs::is_directory(home.data() / "Stats") || !process_running(p); }) &&
           process_running(p);
}

bool wayland_platform_installed() {
    return command_output("dpkg-query -W -f='${Status}' qt6-wayland 2>/dev/null").find("install ok installed") !=
           std::string::npos;
}

// In a Wayland session that also offers X11, the window is an X11 window on Xwayland, so it
// starts where it was left; with Wayland alone the program runs on Wayland, ends cleanly
// and leaves the stored place alone (Wayland tells no client where its window is).
TEST(WaylandSession, XwaylandWindowAtItsPlaceAndNativeWaylandKeepsTheStoredPlace) {
    const std::string missing = missing_programs({"weston", "Xwayland", "xdotool", "xwininfo"});
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing;
    if (!wayland_platform_installed()) GTEST_SKIP() << "not installed: qt6-wayland";
    TempDir runtime;
    WaylandDesktop session(runtime.str() + "/run");
    ASSERT_TRUE(session.running()) << session.log();
    {
        Home home;
        home.write_settings("WindowX=40\nWindowY=450\n");
        for (int start = 1; start <= 2; ++start) {
            SCOPED_TRACE("Xwayland, start " + std::to_string(start));
            ChildProcess p = start_process(KELVANTO_BIN, {},
                                           home.environment({{"DISPLAY", session.x_display()},
                                                             {"WAYLAND_DISPLAY", session.socket()},
                                                             {"XDG_RUNTIME_DIR", runtime.str() + "/run"}}),
                                           home.output().string());
            const XWindowId id = wait_for_x_window(session.x_display(), p.pid, "Kelvanto", 15000);
            if (id == 0) kill_process(p);
            ASSERT_NE(id, 0u) << "no X11 window on Xwayland: " << read_file(home.output());
            std::optional<XWindowPlace> place;
            wait_for(8000, [&] {
                const auto ids = x_windows_of(session.x_display(), p.pid, "Kelvanto");
                place = ids.empty() ? std::nullopt : x_window_place(session.x_display(), ids.front());
                return place && place->x >= 40 && place->y >= 450;
            });
            ASSERT_TRUE(place.has_value());
            // The content sits inside the compositor's frame, whose corner is the stored place.
            EXPECT_GE(place->x, 40);
            EXPECT_LT(place->x, 40 + 64);
            EXPECT_GE(place->y, 450);
            EXPECT_LT(place->y, 450 + 64);
            std::this_thread::sleep_for(1000ms);
            ASSERT_EQ(terminate(p), 0) << read_file(home.output());
            EXPECT_EQ(home.setting("WindowX"), 40);
            EXPECT_EQ(home.setting("WindowY"), 450);
        }
    }
    for (const int border : {0, 1}) {
        Home home;
        home.write_settings("WindowX=40\nWindowY=450\nBorder=" + std::to_string(border) + "\n");
        for (int start = 1; start <= 5; ++start) {
            SCOPED_TRACE("Wayland, Border " + std::to_string(border) + ", start " + std::to_string(start));
            ChildProcess p = start_process(
                KELVANTO_BIN, {},
                home.environment({{"WAYLAND_DISPLAY", session.socket()}, {"XDG_RUNTIME_DIR", runtime.str() + "/run"}}),
                home.output().string());
            const bool started = wait_for_start(home, p);
            if (started) std::this_thread::sleep_for(1500ms);
            if (!started) kill_process(p);
            ASSERT_TRUE(started) << read_file(home.output());
            ASSERT_EQ(terminate(p), 0) << read_file(home.output());
            EXPECT_EQ(home.setting("WindowX"), 40);
            EXPECT_EQ(home.setting("WindowY"), 450);
        }
        // A window on the offscreen platform would have said so: this one ran on Wayland.
        EXPECT_EQ(read_file(home.output()).find("running without a window"), std::string::npos)
            << read_file(home.output());
    }
}

// The debian python with its D-Bus and GLib bindings, which the test's watcher needs.
bool watcher_runs() {
    return std::system("/usr/bin/python3 -c 'import dbus, gi.repository.GLib' >/dev/null 2>&1") == 0;
}

// The lines the watcher wrote so far.
std::vector<std::string> lines_of(const fs::path& file) {
    std::vector<std::string> out;
    std::istringstream in(read_file(file));
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

bool has_line_starting(const fs::path& file, const std::string& start) {
    const auto lines = lines_of(file);
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; });
}

// Sends about 20 MB/s from one loopback socket to another until `stop` is set.
void loopback_traffic(std::atomic<bool>& stop) {
    Listener server;
    std::thread reader([&] {
        const int peer = server.accept_within(5000);
        if (peer < 0) return;
        std::vector<char> buf(1 << 16);
        while (::recv(peer, buf.data(), buf.size(), 0) > 0) {
        }
        ::close(peer);
    });
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(server.port));
    if (::connect(client, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        const std::vector<char> chunk(1 << 20, 'k');
        while (!stop) {
            ::send(client, chunk.data(), chunk.size(), MSG_NOSIGNAL);
            std::this_thread::sleep_for(50ms);
        }
    }
    ::close(client);
    reader.join();
}

struct TrayDesktop {
    XDesktop desktop{false};  // an X display without any notification area
    TempDir bus_folder;
    SessionBus bus{bus_folder.str()};
    Home home;
    fs::path watcher_log = home.dir.path() / "watcher.txt";

    ChildProcess start_watcher(double delay_seconds) {
        return start_process(find_program("python3"),
                             {KELVANTO_SOURCE_DIR "/tests/e2e/sni_watcher.py", "--delay", std::to_string(delay_seconds),
                              "--seconds", "60"},
                             {{"DBUS_SESSION_BUS_ADDRESS", bus.address()}}, watcher_log.string());
    }
    ChildProcess start_program() {
        // The monitored adapter is the loopback (adapter 1); its download bar is full at
        // 20 MB/s, so other tests' loopback traffic leaves it empty.
        home.write_settings("Adapter=1\nSysDl=1\nSysDlSpeed=160000\n");
        return start_process(
            KELVANTO_BIN, {},
            home.environment({{"DISPLAY", desktop.display()}, {"DBUS_SESSION_BUS_ADDRESS", bus.address()}}),
            home.output().string());
    }
};

#define SKIP_WITHOUT_TRAY_TOOLS()                                                          \
    do {                                                                                   \
        const std::string missing = missing_programs({"Xvfb", "dbus-run-session", "python3"}); \
        if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing;               \
        if (!watcher_runs()) GTEST_SKIP() << "not installed: python3-dbus, python3-gi";    \
    } while (false)

// Where a StatusNotifier watcher runs, the tray icon registers with it; its picture shows the
// download bar while traffic flows and its tooltip reads the rates.
TEST(TrayOverDBus, ItemRegistersAndItsPictureAndTooltipFollowTheTraffic) {
    SKIP_WITHOUT_TRAY_TOOLS();
    TrayDesktop t;
    ASSERT_TRUE(t.desktop.running());
    ASSERT_TRUE(t.bus.running());
    ChildProcess watcher = t.start_watcher(0);
    ASSERT_TRUE(wait_for(15000, [&] { return has_line_starting(t.watcher_log, "watching"); })) << read_file(t.watcher_log);
    ChildProcess p = t.start_program();
    const bool registered = wait_for(15000, [&] { return has_line_starting(t.watcher_log, "registered "); });
    if (!registered) kill_process(p);
    ASSERT_TRUE(registered) << read_file(t.watcher_log) << read_file(t.home.output());
    // The picture as drawn, sixteen pixels square, without a download bar before the traffic.
    ASSERT_TRUE(wait_for(5000, [&] { return has_line_starting(t.watcher_log, "icon 16x16 "); }))
        << read_file(t.watcher_log);
    EXPECT_NE(read_file(t.watcher_log).find("bar=008000"), std::string::npos) << read_file(t.watcher_log);
    EXPECT_EQ(read_file(t.watcher_log).find("bar=00ff00"), std::string::npos) << read_file(t.watcher_log);
    std::atomic<bool> stop{false};
    std::thread traffic([&] { loopback_traffic(stop); });
    const bool bar = wait_for(10000, [&] { return read_file(t.watcher_log).find("bar=00ff00") != std::string::npos; });
    const bool rates = wait_for(5000, [&] {
        return std::regex_search(read_file(t.watcher_log), std::regex("tooltip Kelvanto\\|DL: [0-9.]+[MG]B/s  UL: "));
    });
    stop = true;
    traffic.join();
    EXPECT_TRUE(bar) << "the download bar never showed: " << read_file(t.watcher_log);
    EXPECT_TRUE(rates) << read_file(t.watcher_log);
    // When the traffic stops, the bar goes again.
    EXPECT_TRUE(wait_for(8000, [&] {
        const auto lines = lines_of(t.watcher_log);
        const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& l) { return l.rfind("icon ", 0) == 0; });
        return last != lines.rend() && last->find("bar=008000") != std::string::npos;
    })) << read_file(t.watcher_log);
    ASSERT_EQ(terminate(p), 0) << read_file(t.home.output());
    EXPECT_TRUE(wait_for(5000, [&] { return has_line_starting(t.watcher_log, "unregistered "); })) << "the icon stays after exit";
    EXPECT_EQ(read_file(t.home.output()).find("no notification area"), std::string::npos) << read_file(t.home.output());
    kill_process(watcher);
}

// Without a notification area the program says so once; a watcher that starts 5 seconds
// later (a panel started after the program) gets the icon then.
TEST(TrayOverDBus, NoWatcherIsSaidOnceAndAWatcherStartingLaterGetsTheItem) {
    SKIP_WITHOUT_TRAY_TOOLS();
    TrayDesktop t;
    ASSERT_TRUE(t.desktop.running());
    ASSERT_TRUE(t.bus.running());
    ChildProcess p = t.start_program();
    ASSERT_TRUE(wait_for_start(t.home, p)) << read_file(t.home.output());
    ChildProcess watcher = t.start_watcher(5);
    std::this_thread::sleep_for(4000ms);
    EXPECT_EQ(count_of(read_file(t.home.output()), "no notification area"), 1u) << read_file(t.home.output());
    const bool registered = wait_for(20000, [&] { return has_line_starting(t.watcher_log, "registered "); });
    EXPECT_TRUE(registered) << read_file(t.watcher_log);
    EXPECT_TRUE(wait_for(5000, [&] { return has_line_starting(t.watcher_log, "tooltip Kelvanto|DL: "); }))
        << read_file(t.watcher_log);
    ASSERT_EQ(terminate(p), 0) << read_file(t.home.output());
    const std::string said = read_file(t.home.output());
    EXPECT_EQ(count_of(said, "kelvanto: the desktop has no notification area (system tray); the window minimises to "
                             "the task bar instead\n"),
              1u)
        << said;
    kill_process(watcher);
}

// On an X11 desktop with a classic system tray and no StatusNotifier watcher, the icon docks
// in the tray and shows the graph picture.
TEST(TrayOnX11, IconDocksInTheSystemTrayAndShowsThePicture) {
    const std::string missing = missing_programs({"Xvfb", "openbox", "trayer", "xdotool", "import"});
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing;
    XDesktop desktop(true);
    ASSERT_TRUE(desktop.running());
    ChildProcess tray = start_process(find_program("trayer"),
                                      {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "100",
                                       "--height", "24", "--transparent", "false", "--tint", "0x333333"},
                                      {{"DISPLAY", desktop.display()}}, "/dev/null");
    ASSERT_TRUE(wait_for(5000, [&] { return !x_windows_of(desktop.display(), 0, "panel").empty(); }));
    Home home;
    home.write_settings("");
    ChildProcess p = start_process(KELVANTO_BIN, {}, home.environment({{"DISPLAY", desktop.display()}}),
                                   home.output().string());
    // The docked icon: the program's small window inside the tray.
    XWindowId icon = 0;
    const std::regex small_window("(0x[0-9a-f]+) \"Kelvanto\": \\(.*\\)  ([0-9]+)x[0-9]+\\+-?[0-9]+\\+-?[0-9]+  \\+-?[0-9]+\\+([0-9]+)");
    wait_for(15000, [&] {
        const std::string tree = command_output("xwininfo -display " + desktop.display() + " -root -tree 2>/dev/null");
        for (std::sregex_iterator i(tree.begin(), tree.end(), small_window), end; i != end; ++i) {
            if (std::stoi((*i)[2]) <= 48 && std::stoi((*i)[3]) > 700) icon = std::stoul((*i)[1], nullptr, 16);
        }
        return icon != 0;
    });
    std::string pixels;
    if (icon != 0) {
        wait_for(5000, [&] {
            pixels = command_output("import -display " + desktop.display() + " -window " + std::to_string(icon) +
                                    " -depth 8 txt:- 2>/dev/null");
            return pixels.find("#008000") != std::string::npos;
        });
    }
    EXPECT_NE(icon, 0u) << "no icon docked in the tray";
    EXPECT_NE(pixels.find("#008000"), std::string::npos) << "the graph's background is not drawn";
    EXPECT_EQ(terminate(p), 0) << read_file(home.output());
    EXPECT_EQ(read_file(home.output()).find("no notification area"), std::string::npos) << read_file(home.output());
    ::kill(tray.pid, SIGTERM);
    wait_process(tray, 3000);
    kill_process(tray);
}

}  // namespace
