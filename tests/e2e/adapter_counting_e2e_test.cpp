// The whole program on real kernel interfaces: it runs in a network namespace of its own with
// veth pairs to a peer namespace, while the test moves addresses, recreates interfaces and
// sends traffic across; the day logs must hold exactly the bytes that crossed, under one
// adapter, with nothing phantom or negative.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/date.h"
#include "platform/linux/system_clock.h"
#include "support/net_namespace.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr std::size_t kMiB = 1u << 20;
// Bytes an adapter may show without having carried the test's traffic: the program's own
// loopback chatter, neighbour discovery, the acknowledgements of a transfer that went
// elsewhere.
constexpr double kNoise = 256.0 * 1024;

struct Logged {
    double received = 0.0;
    double sent = 0.0;
};

// What crossed the monitored interface while the program ran: the kernel's counts of the
// interface (each incarnation of it, when it is made again) and the payload the test sent.
struct Crossed {
    explicit Crossed(const Logged& at_start) : from(at_start) {}

    Logged from;      // the counters when the current incarnation was first looked at
    Logged counted;   // what earlier incarnations counted
    std::size_t payload_in = 0;
    std::size_t payload_out = 0;

    void add(const TransferResult& t, std::size_t out) {
        payload_in += t.to_server;
        payload_out += out;
    }
    // The current incarnation's counters, `now`, are closed: it is deleted next.
    void close(const Logged& now) {
        counted.received += now.received - from.received;
        counted.sent += now.sent - from.sent;
        from = Logged{};
    }
};

std::string text_of(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The program in a namespace of its own ("mon", with loopback up), and the peer namespace at
// the other end of the veth pairs.
class CountingMachine {
public:
    TempDir home;
    NetNamespace mon{"mon"};
    NetNamespace peer{"peer"};
    ChildProcess program;
    std::map<std::string, std::string> env;

    CountingMachine() {
        env = {{"KELVANTO_HOME", home.str() + "/data"},
               {"XDG_CONFIG_HOME", home.str() + "/config"},
               {"QT_QPA_PLATFORM", "offscreen"}};
    }
    ~CountingMachine() { kill_process(program); }

    std::string skip_reason() const { return !mon.ok() ? mon.error() : peer.error(); }
    fs::path stats() const { return home.path() / "data" / "Stats"; }

    static std::string inside_address(int net) { return "10.77." + std::to_string(net) + ".1"; }

    // A veth pair: `inside` in the program's namespace, `outside` in the peer's; network
    // 10.77.<net>.0/24, the inside end addressed when `addressed`.
    bool veth(const std::string& inside, const std::string& outside, int net, bool addressed) {
        const std::string prefix = "10.77." + std::to_string(net) + ".";
        return mon.ip("link add " + inside + " type veth peer name " + outside + " netns " + peer.name()) &&
               mon.ip("link set " + inside + " up") && peer.ip("link set " + outside + " up") &&
               peer.ip("addr add " + prefix + "2/24 dev " + outside) && (!addressed || address(inside, net));
    }
    bool address(const std::string& inside, int net) {
        return mon.ip("addr add " + inside_address(net) + "/24 dev " + inside);
    }
    bool unaddress(const std::string& inside, int net) {
        return mon.ip("addr del " + inside_address(net) + "/24 dev " + inside);
    }
    // What the kernel has counted on interface `inside` so far.
    Logged counted(const std::string& inside) const {
        Logged c;
        const std::string command = ip_program() + " -n " + mon.name() + " -s link show dev " + inside + " 2>/dev/null";
        std::FILE* p = ::popen(command.c_str(), "r");
        if (p == nullptr) return c;
        char line[512];
        double* next = nullptr;
        while (std::fgets(line, sizeof line, p) != nullptr) {
            if (next != nullptr) {
                *next = std::strtod(line, nullptr);
                next = nullptr;
            } else if (std::strstr(line, "RX:") != nullptr) {
                next = &c.received;
            } else if (std::strstr(line, "TX:") != nullptr) {
                next = &c.sent;
            }
        }
        ::pclose(p);
        return c;
    }

    // `in` bytes into the program's namespace over network `net`, `out` bytes back out.
    TransferResult traffic(int net, std::size_t in, std::size_t out) {
        return transfer_between(mon, inside_address(net), peer, in, out);
    }

    // Starts the program in its namespace and waits until it has loaded its logs (it saves
    // them right after the load, which follows its first reading of the counters).
    bool start() {
        const auto stats_file = stats() / "Stats.dat";
        const auto before = fs::file_time_type::clock::now();
        program = start_process(ip_program(), {"netns", "exec", mon.name(), KELVANTO_BIN}, env,
                                home.str() + "/program.log");
        for (int i = 0; i < 300; ++i) {
            std::error_code ec;
            if (fs::exists(stats_file, ec) && fs::last_write_time(stats_file, ec) >= before) {
                std::this_thread::sleep_for(500ms);
                return true;
            }
            if (!process_running(program)) return false;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }
    // Two update cycles take in what the counters show now.
    static void let_it_count() { std::this_thread::sleep_for(2500ms); }
    // SIGTERM: the orderly end, logs saved. Returns the exit status.
    int stop() {
        if (program.pid <= 0) return -1;
        ::kill(program.pid, SIGTERM);
        return wait_process(program, 30000);
    }

    // Today's entry of every adapter's day log, and whether every entry of every day log is
    // an amount (finite, not negative) and every other day is empty.
    std::map<int, Logged> logged_today(double today, bool& all_sound) const {
        std::map<int, Logged> out;
        all_sound = true;
        const int year = year_of(today);
        const int day = day_index(today);
        for (int n = 0; n <= 16; ++n) {
            const fs::path file = stats() / (std::to_string(year) + "." + std::to_string(n) + ".dat");
            if (!fs::exists(file)) continue;
            const std::string bytes = text_of(file);
            if (bytes.size() != 5856 || n == 0) all_sound = false;
            for (std::size_t d = 0; d < 366 && (d + 1) * 16 <= bytes.size(); ++d) {
                double r = 0.0;
                double s = 0.0;
                std::memcpy(&r, bytes.data() + d * 16, 8);
                std::memcpy(&s, bytes.data() + d * 16 + 8, 8);
                if (!std::isfinite(r) || !std::isfinite(s) || r < 0 || s < 0) all_sound = false;
                if (static_cast<int>(d) == day) out[n] = {r, s};
                else if (r != 0 || s != 0) all_sound = false;
            }
        }
        return out;
    }
};

// Checks that adapter `adapter` alone holds the bytes that crossed its interface (as the
// kernel counted them, within 3 %; at least the payload the test sent), and prints the
// scenario's table: bytes that crossed and bytes logged per adapter.
void expect_only(const std::string& scenario, const CountingMachine& m, double day, int adapter,
                 const std::string& inside, Crossed crossed) {
    crossed.close(m.counted(inside));
    bool sound = false;
    const std::map<int, Logged> logged = m.logged_today(day, sound);
    EXPECT_TRUE(sound) << scenario << ": a day log holds an amount that is negative, no number, or on another day";
    ASSERT_TRUE(logged.contains(adapter)) << scenario << ": adapter " << adapter << " has no day log";
    std::printf("%s (payload sent in %zu, out %zu)\n"
                "  adapter | crossed in | logged received | crossed out | logged sent\n",
                scenario.c_str(), crossed.payload_in, crossed.payload_out);
    for (const auto& [n, l] : logged) {
        const Logged want = n == adapter ? crossed.counted : Logged{};
        std::printf("  %7d | %10.0f | %15.0f | %11.0f | %11.0f\n", n, want.received, l.received, want.sent, l.sent);
        if (n == adapter) {
            EXPECT_NEAR(l.received, want.received, 0.03 * want.received) << scenario << ", adapter " << n;
            EXPECT_NEAR(l.sent, want.sent, 0.03 * want.sent) << scenario << ", adapter " << n;
            EXPECT_GE(l.received, static_cast<double>(crossed.payload_in)) << scenario;
            EXPECT_GE(l.sent, static_cast<double>(crossed.payload_out)) << scenario;
        } else {
            EXPECT_LT(l.received, kNoise) << scenario << ": phantom bytes under adapter " << n;
            EXPECT_LT(l.sent, kNoise) << scenario << ": phantom bytes under adapter " << n;
        }
    }
}

#define MACHINE_OR_SKIP(m)                                                      \
    CountingMachine m;                                                          \
    if (!m.mon.ok() || !m.peer.ok()) GTEST_SKIP() << m.skip_reason()

#define SAME_DAY_OR_SKIP(started) \
    if (std::floor(started) != std::floor(SystemClock().now())) GTEST_SKIP() << "the run crossed midnight"

TEST(AdapterCountingEndToEnd, AddressTakenAwayAndBackBooksOnlyWhatCrossed) {
    MACHINE_OR_SKIP(m);
    const std::string a = unique_interface_name("kva");
    ASSERT_TRUE(m.veth(a, unique_interface_name("kvb"), 1, true));
    ASSERT_EQ(m.traffic(1, 30 * kMiB, 10 * kMiB).to_server, 30 * kMiB);  // before the program ran
    Crossed crossed{m.counted(a)};
    const double started = SystemClock().now();
    ASSERT_TRUE(m.start());

    crossed.add(m.traffic(1, 8 * kMiB, 4 * kMiB), 4 * kMiB);
    m.let_it_count();
    ASSERT_TRUE(m.unaddress(a, 1));
    m.let_it_count();
    ASSERT_TRUE(m.address(a, 1));
    m.let_it_count();
    crossed.add(m.traffic(1, 8 * kMiB, 4 * kMiB), 4 * kMiB);
    m.let_it_count();
    ASSERT_EQ(m.stop(), 0);
    SAME_DAY_OR_SKIP(started);
    expect_only("Address taken away and back", m, started, 2, a, crossed);
}

TEST(AdapterCountingEndToEnd, KnownAdapterWithoutAddressAtStartBooksNoLifetimeCounter) {
    MACHINE_OR_SKIP(m);
    const std::string a = unique_interface_name("kva");
    ASSERT_TRUE(m.veth(a, unique_interface_name("kvb"), 1, true));
    ASSERT_EQ(m.traffic(1, 30 * kMiB, 10 * kMiB).to_server, 30 * kMiB);
    const double started = SystemClock().now();
    // A first run numbers the adapter; the next starts before its network is up.
    Crossed crossed{m.counted(a)};
    ASSERT_TRUE(m.start());
    ASSERT_EQ(m.stop(), 0);
    ASSERT_TRUE(m.unaddress(a, 1));
    ASSERT_TRUE(m.start());
    m.let_it_count();
    ASSERT_TRUE(m.address(a, 1));
    m.let_it_count();
    crossed.add(m.traffic(1, 8 * kMiB, 4 * kMiB), 4 * kMiB);
    m.let_it_count();
    ASSERT_EQ(m.stop(), 0);
    SAME_DAY_OR_SKIP(started);
    expect_only("Known adapter without an address at start", m, started, 2, a, crossed);
}

TEST(AdapterCountingEndToEnd, EarlierInterfaceGainingAnAddressShiftsNoNumber) {
    MACHINE_OR_SKIP(m);
    // The earlier interface comes first in the interface table, without an address.
    const std::string early = unique_interface_name("kve");
    ASSERT_TRUE(m.veth(early, unique_interface_name("kvf"), 2, false));
    const std::string a = unique_interface_name("kva");
    ASSERT_TRUE(m.veth(a, unique_interface_name("kvb"), 1, true));
    ASSERT_EQ(m.traffic(1, 30 * kMiB, 10 * kMiB).to_server, 30 * kMiB);
    Crossed crossed{m.counted(a)};
    const double started = SystemClock().now();
    ASSERT_TRUE(m.start());

    crossed.add(m.traffic(1, 6 * kMiB, 3 * kMiB), 3 * kMiB);
    m.let_it_count();
    ASSERT_TRUE(m.address(early, 2));  // a VPN or a container bridge comes up
    m.let_it_count();
    crossed.add(m.traffic(1, 6 * kMiB, 3 * kMiB), 3 * kMiB);
    m.let_it_count();
    ASSERT_TRUE(m.unaddress(a, 1));
    m.let_it_count();
    ASSERT_TRUE(m.address(a, 1));
    m.let_it_count();
    crossed.add(m.traffic(1, 6 * kMiB, 3 * kMiB), 3 * kMiB);
    m.let_it_count();
    ASSERT_EQ(m.stop(), 0);
    SAME_DAY_OR_SKIP(started);
    expect_only("Earlier interface gaining an address", m, started, 2, a, crossed);
    EXPECT_EQ(text_of(m.stats() / "Adapters.txt"), "1 lo\n2 " + a + "\n3 " + early + "\n");
}

TEST(AdapterCountingEndToEnd, RecreatedInterfaceKeepsTheBurstItCarriedBeforeItsFirstReading) {
    MACHINE_OR_SKIP(m);
    const std::string a = unique_interface_name("kva");
    const std::string b = unique_interface_name("kvb");
    ASSERT_TRUE(m.veth(a, b, 1, true));
    ASSERT_EQ(m.traffic(1, 5 * kMiB, 5 * kMiB).to_server, 5 * kMiB);
    Crossed crossed{m.counted(a)};
    const double started = SystemClock().now();
    ASSERT_TRUE(m.start());

    crossed.add(m.traffic(1, 20 * kMiB, 5 * kMiB), 5 * kMiB);
    m.let_it_count();
    for (int round = 0; round < 3; ++round) {
        // A tunnel reconnecting: gone, made again under its name, busy at once.
        crossed.close(m.counted(a));
        ASSERT_TRUE(m.mon.ip("link del " + a));
        ASSERT_TRUE(m.veth(a, b, 1, true));
        crossed.add(m.traffic(1, 5 * kMiB, 1 * kMiB), 1 * kMiB);
        m.let_it_count();
    }
    ASSERT_EQ(m.stop(), 0);
    SAME_DAY_OR_SKIP(started);
    expect_only("Interface recreated three times", m, started, 2, a, crossed);
}

TEST(AdapterCountingEndToEnd, FirstStartWithoutAddressKeepsTheMonitoredAdapter) {
    MACHINE_OR_SKIP(m);
    const std::string a = unique_interface_name("kva");
    ASSERT_TRUE(m.veth(a, unique_interface_name("kvb"), 1, true));
    ASSERT_EQ(m.traffic(1, 30 * kMiB, 10 * kMiB).to_server, 30 * kMiB);
    ASSERT_TRUE(m.unaddress(a, 1));
    const fs::path conf = m.home.path() / "config" / "Kelvanto" / "Kelvanto.conf";
    fs::create_directories(conf.parent_path());
    std::ofstream(conf) << "[General]\nAdapter=2\n";
    Crossed crossed{m.counted(a)};
    const double started = SystemClock().now();
    ASSERT_TRUE(m.start());
    m.let_it_count();
    ASSERT_TRUE(m.address(a, 1));
    m.let_it_count();
    crossed.add(m.traffic(1, 8 * kMiB, 4 * kMiB), 4 * kMiB);
    m.let_it_count();
    ASSERT_EQ(m.stop(), 0);
    SAME_DAY_OR_SKIP(started);
    expect_only("First start without an address", m, started, 2, a, crossed);
    EXPECT_NE(text_of(conf).find("Adapter=2\n"), std::string::npos) << text_of(conf);
    EXPECT_EQ(text_of(m.stats() / "Adapters.txt"), "1 lo\n2 " + a + "\n");
}

// Kills a helper process when the test ends.
struct Helper {
    ChildProcess child;
    ~Helper() { kill_process(child); }
};

bool wait_for(const fs::path& file) {
    for (int i = 0; i < 200 && !fs::exists(file); ++i) std::this_thread::sleep_for(50ms);
    return fs::exists(file);
}

// A machine that goes to sleep and never wakes: the logs were saved when logind announced the
// sleep (a stand-in for logind on a private system bus announces it).
TEST(AdapterCountingEndToEnd, LogsAreSavedWhenTheMachineIsAboutToSleep) {
    MACHINE_OR_SKIP(m);
    if (::access("/usr/bin/dbus-daemon", X_OK) != 0) GTEST_SKIP() << "dbus-daemon is not installed";
    if (std::system("/usr/bin/python3 -c 'import dbus' >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3-dbus is not installed";
    const std::string bus = "unix:path=" + m.home.str() + "/system_bus";
    Helper daemon{start_process("/usr/bin/dbus-daemon", {"--session", "--nofork", "--address=" + bus}, {})};
    ASSERT_TRUE(wait_for(m.home.path() / "system_bus"));
    Helper logind{start_process("/usr/bin/python3", {KELVANTO_SOURCE_DIR "/tests/support/fake_logind.py", bus, m.home.str()},
                                {{"DBUS_SYSTEM_BUS_ADDRESS", bus}})};
    ASSERT_TRUE(wait_for(m.home.path() / "ready"));
    m.env["DBUS_SYSTEM_BUS_ADDRESS"] = bus;

    const std::string a = unique_interface_name("kva");
    ASSERT_TRUE(m.veth(a, unique_interface_name("kvb"), 1, true));
    Crossed crossed{m.counted(a)};
    const double started = SystemClock().now();
    ASSERT_TRUE(m.start());
    crossed.add(m.traffic(1, 8 * kMiB, 4 * kMiB), 4 * kMiB);
    m.let_it_count();
    bool sound = false;
    EXPECT_LT(m.logged_today(started, sound)[2].received, kNoise) << "saved before the sleep was announced";

    std::ofstream(m.home.path() / "sleep").close();
    ASSERT_TRUE(wait_for(m.home.path() / "slept"));
    std::this_thread::sleep_for(1s);
    kill_process(m.program);  // the machine never wakes
    SAME_DAY_OR_SKIP(started);
    expect_only("Machine about to sleep, never waking", m, started, 2, a, crossed);
}

}  // namespace
