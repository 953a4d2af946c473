#include "support/desktop.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

namespace {

using namespace std::chrono_literals;

bool wait_until(int timeout_ms, const auto& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        std::this_thread::sleep_for(50ms);
    }
    return done();
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Ends a helper in order (SIGTERM), then for good.
void stop(ChildProcess& p) {
    if (p.pid <= 0) return;
    ::kill(p.pid, SIGTERM);
    if (wait_process(p, 3000) == -1) kill_process(p);
}

std::string on_display(const std::string& display, const std::string& command) {
    return command_output("DISPLAY=" + display + " " + command + " 2>/dev/null");
}

}  // namespace

std::string find_program(const std::string& name) {
    // Debian's own programs only: a tool of the same name elsewhere in PATH is not ours.
    for (const char* dir : {"/usr/bin/", "/usr/sbin/", "/bin/"}) {
        const std::string path = std::string(dir) + name;
        if (::access(path.c_str(), X_OK) == 0) return path;
    }
    return {};
}

std::string missing_programs(const std::vector<std::string>& programs) {
    std::string missing;
    for (const std::string& p : programs) {
        if (find_program(p).empty()) missing += (missing.empty() ? "" : " ") + p;
    }
    return missing;
}

std::string command_output(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
    return out;
}

XDesktop::XDesktop(bool window_manager) {
    // Display numbers from the process id on, so parallel tests take different ones.
    for (int n = 200 + ::getpid() % 500, tries = 0; tries < 50; ++n, ++tries) {
        const std::string number = std::to_string(n);
        if (std::filesystem::exists("/tmp/.X11-unix/X" + number) || std::filesystem::exists("/tmp/.X" + number + "-lock"))
            continue;
        server_ = start_process(find_program("Xvfb"), {":" + number, "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"},
                                {}, "/dev/null");
        // The socket comes before the server takes connections: a client started at once
        // (the window manager) may find no display and give up. Nor may the server reset when
        // its last client leaves, which would turn the window manager away likewise.
        if (wait_until(5000, [&] { return std::filesystem::exists("/tmp/.X11-unix/X" + number); }) &&
            wait_until(5000, [&] { return !on_display(":" + number, "xprop -root _NET_NONE").empty(); }) &&
            process_running(server_)) {
            display_ = ":" + number;
            break;
        }
        stop(server_);
    }
    if (display_.empty() || !window_manager) return;
    window_manager_ = start_process(find_program("openbox"), {}, {{"DISPLAY", display_}}, "/dev/null");
    // openbox is ready once it announces its support of the window-manager hints; a desktop
    // without its window manager is no desktop for these tests.
    const bool managed = wait_until(20000, [&] {
        return on_display(display_, "xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos;
    });
    if (!managed) display_.clear();
}

XDesktop::~XDesktop() {
    stop(window_manager_);
    stop(server_);
}

WaylandDesktop::WaylandDesktop(const std::string& runtime_dir) : runtime_dir_(runtime_dir) {
    std::filesystem::create_directories(runtime_dir);
    std::filesystem::permissions(runtime_dir, std::filesystem::perms::owner_all);
    socket_ = "kelvanto-wayland-" + std::to_string(::getpid());
    compositor_ = start_process(find_program("weston"),
                                {"--backend=headless-backend.so", "--xwayland", "--socket=" + socket_, "--width=1280",
                                 "--height=800", "--log=" + runtime_dir + "/weston.log"},
                                {{"XDG_RUNTIME_DIR", runtime_dir}, {"WAYLAND_DISPLAY", ""}, {"DISPLAY", ""}},
                                runtime_dir + "/weston.out");
    static const std::regex listening("xserver listening on display (:[0-9]+)");
    wait_until(10000, [&] {
        std::smatch m;
        const std::string text = log();
        if (!std::regex_search(text, m, listening)) return !process_running(compositor_);
        x_display_ = m[1];
        return true;
    });
    if (!std::filesystem::exists(runtime_dir + "/" + socket_)) x_display_.clear();
}

WaylandDesktop::~WaylandDesktop() { stop(compositor_); }

std::string WaylandDesktop::log() const { return file_text(runtime_dir_ + "/weston.log"); }

SessionBus::SessionBus(const std::string& folder) : child_file_(folder + "/bus-child") {
    const std::string address_file = folder + "/bus-address";
    // The session's only child waits; when it ends, dbus-run-session stops the bus itself.
    session_ = start_process(find_program("dbus-run-session"),
                             {"--", "/bin/sh", "-c",
                              "echo $$ > '" + child_file_ + "'; echo \"$DBUS_SESSION_BUS_ADDRESS\" > '" + address_file +
                                  "'; exec sleep 600"},
                             {}, folder + "/dbus-session.out");
    wait_until(10000, [&] {
        const std::string text = file_text(address_file);
        if (text.empty() || text.back() != '\n') return !process_running(session_);
        address_ = text.substr(0, text.size() - 1);
        return true;
    });
}

SessionBus::~SessionBus() {
    const std::string child = file_text(child_file_);
    if (!child.empty() && std::stoi(child) > 0) ::kill(std::stoi(child), SIGTERM);
    if (wait_process(session_, 5000) == -1) stop(session_);
}

std::vector<XWindowId> x_windows_of(const std::string& display, int pid, const std::string& title) {
    std::string command = "xdotool search --all --onlyvisible";
    if (pid > 0) command += " --pid " + std::to_string(pid);
    command += " --name '^" + title + "$'";
    std::vector<XWindowId> ids;
    std::istringstream lines(on_display(display, command));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) ids.push_back(std::stoul(line));
    }
    return ids;
}

XWindowId wait_for_x_window(const std::string& display, int pid, const std::string& title, int timeout_ms) {
    // A program may make a window's native window anew while it starts: the same window
    // seen twice, half a second apart, is the one that stays.
    XWindowId seen = 0;
    XWindowId found = 0;
    wait_until(timeout_ms, [&] {
        const auto ids = x_windows_of(display, pid, title);
        const XWindowId now = ids.empty() ? 0 : ids.front();
        if (now != 0 && now == seen) found = now;
        seen = now;
        if (found == 0) std::this_thread::sleep_for(450ms);
        return found != 0;
    });
    return found;
}

std::optional<XWindowPlace> x_window_place(const std::string& display, XWindowId id) {
    static const std::regex field("(Absolute upper-left X|Absolute upper-left Y|Width|Height): +(-?[0-9]+)");
    const std::string text = on_display(display, "xwininfo -id " + std::to_string(id));
    std::map<std::string, int> client;
    for (std::sregex_iterator i(text.begin(), text.end(), field), end; i != end; ++i)
        client[(*i)[1]] = std::stoi((*i)[2]);
    if (client.size() != 4) return std::nullopt;
    XWindowPlace place{client["Absolute upper-left X"], client["Absolute upper-left Y"], client["Width"],
                       client["Height"], client["Absolute upper-left X"], client["Absolute upper-left Y"]};
    // The frame as the window manager declares it: left, right, top, bottom.
    static const std::regex extents("= ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+)");
    const std::string frame = on_display(display, "xprop -id " + std::to_string(id) + " _NET_FRAME_EXTENTS");
    std::smatch m;
    if (std::regex_search(frame, m, extents)) {
        place.frame_x -= std::stoi(m[1]);
        place.frame_y -= std::stoi(m[3]);
    }
    return place;
}

std::vector<XWindowId> x_stacking_order(const std::string& display) {
    const std::string text = on_display(display, "xprop -root _NET_CLIENT_LIST_STACKING");
    std::vector<XWindowId> ids;
    static const std::regex hex("0x[0-9a-fA-F]+");
    for (std::sregex_iterator i(text.begin(), text.end(), hex), end; i != end; ++i)
        ids.push_back(std::stoul(i->str(), nullptr, 16));
    return ids;
}

bool x_window_kept_above(const std::string& display, XWindowId id) {
    return on_display(display, "xprop -id " + std::to_string(id) + " _NET_WM_STATE").find("_NET_WM_STATE_ABOVE") !=
           std::string::npos;
}

void x_click(const std::string& display, XWindowId id) {
    on_display(display, "xdotool mousemove --window " + std::to_string(id) + " 40 40 click 1");
}

void x_key(const std::string& display, XWindowId id, const std::string& key) {
    on_display(display, "xdotool windowactivate --sync " + std::to_string(id) + " key --window " +
                            std::to_string(id) + " " + key);
}
