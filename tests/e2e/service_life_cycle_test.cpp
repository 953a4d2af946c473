#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sched.h>
#include <signal.h>
#include <sys/fanotify.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/date.h"
#include "platform/linux/system_clock.h"
#include "service/systemd_service.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr uid_t kNobody = 65534;

std::string read_all(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string first_existing(std::initializer_list<const char*> paths) {
    for (const char* p : paths)
        if (fs::exists(p)) return p;
    return "";
}

void write_script(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
}

// A user's machine in a temporary folder: a home, and systemctl and loginctl stand-ins first
// on PATH. The stand-ins record every call and keep the enabled and lingering state; "start"
// runs the unit's ExecStart line with its Environment= lines, as the user's service manager
// would. Run as root, the programs run as the user nobody, as a normal user's would.
class UserMachine {
public:
    explicit UserMachine(std::vector<std::string> prefix = {}) : prefix_(std::move(prefix)) {
        for (const char* sub : {"home", "run", "bin", "state"}) fs::create_directories(dir_.path() / sub);
        fs::create_directories(stats_dir());
        write_script(dir_.path() / "bin" / "systemctl",
                     "#!/bin/sh\n"
                     "state=" + state() + "\n"
                     "echo \"systemctl $*\" >> \"$state/calls\"\n"
                     "unit=\"${XDG_CONFIG_HOME:-$HOME/.config}/systemd/user/kelvanto.service\"\n"
                     "for word in \"$@\"; do\n"
                     "  case \"$word\" in\n"
                     "    enable) touch \"$state/enabled\"; exit 0 ;;\n"
                     "    disable) rm -f \"$state/enabled\"; exit 0 ;;\n"
                     "    is-enabled) test -e \"$state/enabled\"; exit ;;\n"
                     "    is-active) exit 3 ;;\n"
                     "    start)\n"
                     "      env $(sed -n 's/^Environment=//p' \"$unit\") $(sed -n 's/^ExecStart=//p' \"$unit\") \\\n"
                     "        >> \"$state/service.out\" 2>&1 &\n"
                     "      echo $! >> \"$state/started\"\n"
                     "      exit 0 ;;\n"
                     "  esac\n"
                     "done\n");
        write_script(dir_.path() / "bin" / "loginctl",
                     "#!/bin/sh\n"
                     "state=" + state() + "\n"
                     "echo \"loginctl $*\" >> \"$state/calls\"\n"
                     "case \"$1\" in\n"
                     "  show-user) if [ -e \"$state/linger\" ]; then echo yes; else echo no; fi ;;\n"
                     "  enable-linger) touch \"$state/linger\" ;;\n"
                     "  disable-linger) rm -f \"$state/linger\" ;;\n"
                     "esac\n");
        if (::geteuid() == 0) {
            fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
            for (const auto& e : fs::recursive_directory_iterator(dir_.path()))
                if (::lchown(e.path().c_str(), kNobody, kNobody) != 0) ADD_FAILURE() << "chown " << e.path();
            prefix_.insert(prefix_.end(),
                           {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"});
        }
        fs::permissions(dir_.path() / "run", fs::perms::owner_all);
    }

    std::map<std::string, std::string> environment() const {
        const std::string home = (dir_.path() / "home").string();
        return {{"HOME", home},
                {"XDG_CONFIG_HOME", home + "/.config"},
                {"XDG_RUNTIME_DIR", (dir_.path() / "run").string()},
                {"PATH", (dir_.path() / "bin").string() + ":/usr/sbin:/usr/bin:/sbin:/bin"},
                {"QT_QPA_PLATFORM", "offscreen"},
                // Removed: the data folder is the home's default one, the service's own.
                {"KELVANTO_HOME", ""},
                {"XDG_DATA_HOME", ""},
                {"DISPLAY", ""},
                {"WAYLAND_DISPLAY", ""},
                {"INVOCATION_ID", ""},
                {"TMPDIR", ""}};
    }

    // Starts `program args` as the user, with `extra` added to the user's environment.
    ChildProcess start(const std::string& program, const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& extra = {}) const {
        std::vector<std::string> argv = prefix_;
        argv.push_back(program);
        argv.insert(argv.end(), args.begin(), args.end());
        auto env = environment();
        for (const auto& [k, v] : extra) env[k] = v;
        const std::string exe = argv.front();
        return start_process(exe, {argv.begin() + 1, argv.end()}, env, (dir_.path() / "output.txt").string());
    }
    ChildProcess kelvanto(const std::vector<std::string>& args,
                          const std::map<std::string, std::string>& extra = {}) const {
        return start(KELVANTO_BIN, args, extra);
    }
    // What the service manager does at boot for an enabled unit of a lingering user.
    int boot_start_service() const {
        ChildProcess p = start((dir_.path() / "bin" / "systemctl").string(), {"--user", "start", "kelvanto.service"});
        const int status = wait_process(p, 30000);
        if (status == -1) kill_process(p);
        return status;
    }

    std::string state() const { return (dir_.path() / "state").string(); }
    std::string calls() const { return read_all(dir_.path() / "state" / "calls"); }
    std::string output() const { return read_all(dir_.path() / "output.txt"); }
    fs::path unit() const { return dir_.path() / "home" / ".config" / "systemd" / "user" / "kelvanto.service"; }
    fs::path stats_dir() const { return dir_.path() / "home" / ".local" / "share" / "kelvanto" / "Stats"; }
    // The service processes the stand-in started, in order.
    std::vector<pid_t> services_started() const {
        std::vector<pid_t> pids;
        std::istringstream in(read_all(dir_.path() / "state" / "started"));
        for (pid_t p; in >> p;) pids.push_back(p);
        return pids;
    }
    bool wait_for_services(std::size_t n) const {
        for (int i = 0; i < 500 && services_started().size() < n; ++i) std::this_thread::sleep_for(20ms);
        return services_started().size() >= n;
    }
    bool wait_for_logs() const {
        for (int i = 0; i < 400 && !fs::exists(stats_dir() / "Stats.dat"); ++i) std::this_thread::sleep_for(50ms);
        return fs::exists(stats_dir() / "Stats.dat");
    }

private:
    TempDir dir_;
    std::vector<std::string> prefix_;
};

// Ends every process a test started that is still running, also when an assertion failed.
// (A process already waited for has no pid any more, so no other process is hit.)
struct ProcessGuard {
    std::vector<ChildProcess*> children;
    ~ProcessGuard() {
        for (ChildProcess* c : children) kill_process(*c);
    }
};

int end_with_sigterm(ChildProcess& p) {
    if (::kill(p.pid, SIGTERM) != 0) return -1;
    const int status = wait_process(p, 20000);
    if (status == -1) kill_process(p);
    return status;
}

// Services are started by the systemctl stand-in and outlive it: this process adopts them,
// so it can wait for them and read their exit status.
void adopt_orphans() { ASSERT_EQ(::prctl(PR_SET_CHILD_SUBREAPER, 1), 0); }

TEST(ServiceLifeCycle, AnAutostartUnitStartIsADesktopRunAndHandsTheLoggingBackAtItsEnd) {
    adopt_orphans();
    UserMachine machine;
    ProcessGuard guard;

    ChildProcess install = machine.kelvanto({"-install"});
    ASSERT_EQ(wait_process(install, 30000), 0) << machine.output();
    EXPECT_NE(machine.output().find("Kelvanto installed successfully."), std::string::npos) << machine.output();
    EXPECT_NE(read_all(machine.unit()).find("\nExecStart="), std::string::npos);
    EXPECT_NE(machine.calls().find("systemctl --user enable kelvanto.service\nloginctl enable-linger"),
              std::string::npos)
        << machine.calls();

    // The desktop's autostart unit starts the program: systemd sets INVOCATION_ID for it.
    ChildProcess login_start = machine.kelvanto({"/minimized"}, {{"INVOCATION_ID", "0123456789abcdef"}});
    guard.children.push_back(&login_start);
    ASSERT_TRUE(machine.wait_for_logs()) << machine.output();

    // A second desktop start brings that window forward instead of taking the logging over,
    // and the unit's own start while it runs ends at once.
    ChildProcess second = machine.kelvanto({});
    EXPECT_EQ(wait_process(second, 20000), 0);
    ChildProcess unit_start = machine.kelvanto({kServiceMarker});
    EXPECT_EQ(wait_process(unit_start, 20000), 0);
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(process_running(login_start)) << "the login start is the desktop instance and keeps running";

    // At its end (logout) the desktop instance starts the enabled service again.
    EXPECT_EQ(end_with_sigterm(login_start), 0);
    ASSERT_TRUE(machine.wait_for_services(1)) << machine.calls();
    ChildProcess service{machine.services_started().at(0)};
    guard.children.push_back(&service);
    EXPECT_NE(machine.calls().find("systemctl --user is-enabled --quiet kelvanto.service\n"
                                   "systemctl --user start --no-block --no-ask-password kelvanto.service\n"),
              std::string::npos)
        << machine.calls();
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(end_with_sigterm(service), 0);

    ChildProcess uninstall = machine.kelvanto({"-uninstall"});
    EXPECT_EQ(wait_process(uninstall, 30000), 0);
    EXPECT_NE(machine.output().find("Kelvanto uninstalled successfully."), std::string::npos);
    EXPECT_FALSE(fs::exists(machine.unit()));
    EXPECT_NE(machine.calls().find("loginctl disable-linger"), std::string::npos);
}

// A network namespace of the test's own: its loopback carries only the test's traffic.
class NetworkNamespace {
public:
    NetworkNamespace() : name_("kvsvc" + std::to_string(::getpid())) {
        ok_ = run_command({"ip", "netns", "add", name_}).status == 0 &&
              run_command({"ip", "-n", name_, "link", "set", "lo", "up"}).status == 0;
    }
    ~NetworkNamespace() { run_command({"ip", "netns", "del", name_}); }
    bool ok() const { return ok_; }
    std::vector<std::string> exec_prefix() const {
        return {first_existing({"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"}), "netns", "exec", name_};
    }
    // Runs `f` on a thread that has entered the namespace; sockets it makes belong there.
    template <class F>
    void inside(F f) const {
        std::thread t([&] {
            const int fd = ::open(("/run/netns/" + name_).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0 && ::setns(fd, CLONE_NEWNET) == 0) f();
            if (fd >= 0) ::close(fd);
        });
        t.join();
    }

private:
    std::string name_;
    bool ok_ = false;
};

// A TCP stream over the namespace's loopback: a steady trickle (about 1 MB/s) from start to
// stop, and bursts sent by the test on the same connection.
class Traffic {
public:
    explicit Traffic(const NetworkNamespace& ns) {
        ns.inside([this] {
            const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            socklen_t len = sizeof addr;
            if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && ::listen(listener, 1) == 0 &&
                ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
                sender_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
                if (::connect(sender_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
                    receiver_ = ::accept(listener, nullptr, nullptr);
            }
            ::close(listener);
        });
        if (receiver_ < 0) return;
        draining_ = std::thread([this] {
            std::vector<char> buf(1 << 16);
            while (::recv(receiver_, buf.data(), buf.size(), 0) > 0) {
            }
        });
        trickle_ = std::thread([this] {
            while (!stopping_ && burst(1 << 16)) std::this_thread::sleep_for(60ms);
        });
    }
    ~Traffic() { stop(); }
    bool ok() const { return receiver_ >= 0; }
    bool burst(std::size_t bytes) {
        const std::vector<char> chunk(1 << 16, 'k');
        while (bytes > 0) {
            const ssize_t n = ::send(sender_, chunk.data(), std::min(bytes, chunk.size()), MSG_NOSIGNAL);
            if (n <= 0) return false;
            bytes -= static_cast<std::size_t>(n);
            sent_ += static_cast<std::uint64_t>(n);
        }
        return true;
    }
    // Stops the stream and returns the bytes sent.
    std::uint64_t stop() {
        if (!stopping_.exchange(true) && ok()) {
            trickle_.join();
            ::shutdown(sender_, SHUT_WR);
            draining_.join();
            ::close(sender_);
            ::close(receiver_);
        }
        return sent_;
    }

private:
    int sender_ = -1;
    int receiver_ = -1;
    std::thread draining_, trickle_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::uint64_t> sent_{0};
};

// Which processes finished writing files in a folder, in the kernel's order.
class WriteWatch {
public:
    explicit WriteWatch(const fs::path& dir) {
        fd_ = ::fanotify_init(FAN_CLASS_NOTIF | FAN_CLOEXEC | FAN_NONBLOCK, O_RDONLY | O_LARGEFILE);
        if (fd_ >= 0 &&
            ::fanotify_mark(fd_, FAN_MARK_ADD, FAN_CLOSE_WRITE | FAN_EVENT_ON_CHILD, AT_FDCWD, dir.c_str()) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~WriteWatch() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    // Every writer so far, one entry per run of writes by the same process.
    const std::vector<pid_t>& writers() {
        alignas(fanotify_event_metadata) char buf[8192];
        for (ssize_t n; (n = ::read(fd_, buf, sizeof buf)) > 0;) {
            auto* m = reinterpret_cast<fanotify_event_metadata*>(buf);
            for (; FAN_EVENT_OK(m, n); m = FAN_EVENT_NEXT(m, n)) {
                if (m->fd >= 0) ::close(m->fd);
                if (writers_.empty() || writers_.back() != m->pid) writers_.push_back(m->pid);
            }
        }
        return writers_;
    }
    bool wait_for_writer(pid_t pid, int timeout_ms) {
        for (int waited = 0; waited < timeout_ms; waited += 20) {
            const auto& w = writers();
            if (std::find(w.begin(), w.end(), pid) != w.end()) return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }

private:
    int fd_ = -1;
    std::vector<pid_t> writers_;
};

double double_at(const std::string& b, std::size_t offset) {
    double v = 0;
    if (offset + 8 <= b.size()) std::memcpy(&v, b.data() + offset, 8);
    return v;
}

TEST(ServiceLifeCycle, ADesktopStartTakesTheLoggingOverFromTheServiceAndHandsItBackWhileTrafficFlows) {
    if (::geteuid() != 0) GTEST_SKIP() << "a network namespace of the test's own needs root";
    adopt_orphans();
    NetworkNamespace ns;
    ASSERT_TRUE(ns.ok());
    UserMachine machine(ns.exec_prefix());
    ProcessGuard guard;
    ChildProcess install = machine.kelvanto({"-install"});
    ASSERT_EQ(wait_process(install, 30000), 0) << machine.output();
    WriteWatch watch(machine.stats_dir());
    ASSERT_TRUE(watch.ok()) << "fanotify: " << std::strerror(errno);

    // Boot: the service logs while nobody is logged on.
    const double started = SystemClock().now();
    ASSERT_EQ(machine.boot_start_service(), 0);
    ASSERT_TRUE(machine.wait_for_services(1));
    const pid_t first_service = machine.services_started().at(0);
    ChildProcess service{first_service};
    guard.children.push_back(&service);
    ASSERT_TRUE(watch.wait_for_writer(first_service, 20000)) << machine.output();

    // The trickle runs through both hand-overs; the bursts, one per logger, make most of the
    // bytes, so losing or doubling any logger's share shows far beyond the tolerance.
    Traffic traffic(ns);
    ASSERT_TRUE(traffic.ok());
    constexpr std::size_t kBurst = 32u << 20;
    traffic.burst(kBurst);
    std::this_thread::sleep_for(1500ms);

    // Login: the desktop start takes the logging over; the service saves and ends with 0.
    ChildProcess desktop = machine.kelvanto({});
    const pid_t desktop_pid = desktop.pid;
    guard.children.push_back(&desktop);
    EXPECT_EQ(wait_process(service, 20000), 0) << machine.output();
    ASSERT_TRUE(watch.wait_for_writer(desktop_pid, 20000)) << machine.output();
    EXPECT_TRUE(process_running(desktop));
    traffic.burst(kBurst);
    std::this_thread::sleep_for(1500ms);

    // Logout: the desktop instance ends and starts the service again.
    EXPECT_EQ(end_with_sigterm(desktop), 0);
    ASSERT_TRUE(machine.wait_for_services(2)) << machine.calls();
    const pid_t second_service = machine.services_started().at(1);
    ChildProcess again{second_service};
    guard.children.push_back(&again);
    ASSERT_TRUE(watch.wait_for_writer(second_service, 20000)) << machine.output();
    traffic.burst(kBurst);
    std::this_thread::sleep_for(1500ms);
    const std::uint64_t sent = traffic.stop();
    EXPECT_EQ(end_with_sigterm(again), 0);

    // One logger at any moment: the writers of the logs follow each other and never return.
    EXPECT_EQ(watch.writers(), (std::vector<pid_t>{first_service, desktop_pid, second_service}));

    const double ended = SystemClock().now();
    if (std::floor(started) != std::floor(ended)) GTEST_SKIP() << "the run crossed midnight";
    const std::string daily = read_all(machine.stats_dir() / (std::to_string(year_of(started)) + ".1.dat"));
    ASSERT_EQ(daily.size(), 5856u);
    const auto day = static_cast<std::size_t>(day_index(started));
    EXPECT_NEAR(double_at(daily, day * 16 + 8), static_cast<double>(sent), 0.03 * static_cast<double>(sent));
    EXPECT_NEAR(double_at(daily, day * 16), static_cast<double>(sent), 0.03 * static_cast<double>(sent));
}

}  // namespace
