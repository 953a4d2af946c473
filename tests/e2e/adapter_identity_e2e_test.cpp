// The whole program on real interfaces in namespaces of the test's own, the totals report
// against the kernel's counters: a rename away and back, an IPv6-only link, the time between
// two runs (also after a kill), thirty interfaces appearing on a full numbering.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <thread>

#include "platform/date.h"
#include "platform/linux/system_clock.h"
#include "support/net_namespace.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using nlohmann::json;

constexpr std::size_t kMiB = 1u << 20;
constexpr double kNoise = 256.0 * 1024;  // loopback chatter, neighbour discovery

struct Bytes { double in = 0.0, out = 0.0; };

std::string slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// The program in namespace "mon", peers at the far ends of veth pairs in "peer".
struct Monitor {
    TempDir home;
    NetNamespace mon{"idm"};
    NetNamespace peer{"idp"};
    ChildProcess program;
    std::map<std::string, std::string> env{
        {"QT_QPA_PLATFORM", "offscreen"}, {"KELVANTO_HOME", home.str() + "/data"}, {"XDG_CONFIG_HOME", home.str() + "/config"}};

    ~Monitor() { kill_process(program); }
    fs::path stats() const { return home.path() / "data" / "Stats"; }

    // `in` here, its peer there; IPv4 10.78.<net>.1/24 or IPv6 fd78:<net>::1/64 (no DAD wait).
    bool pair(const std::string& in, int net, bool v6) {
        const std::string out = "p" + in.substr(1);
        const std::string a = v6 ? "-6 addr add fd78:" + std::to_string(net) + "::" : "addr add 10.78." + std::to_string(net) + ".";
        const std::string len = v6 ? "/64 nodad dev " : "/24 dev ";
        return mon.ip("link add " + in + " type veth peer name " + out + " netns " + peer.name()) &&
               mon.ip(a + "1" + len + in) && peer.ip(a + "2" + len + out) && mon.ip("link set " + in + " up") &&
               peer.ip("link set " + out + " up");
    }
    Bytes kernel(const std::string& in) const {
        Bytes b;
        for (auto [field, into] : {std::pair{"rx_bytes", &b.in}, std::pair{"tx_bytes", &b.out}}) {
            const std::string cmd = "ip netns exec " + mon.name() + " cat /sys/class/net/" + in + "/statistics/" + field;
            if (std::FILE* p = ::popen(cmd.c_str(), "r")) {
                std::fscanf(p, "%lf", into);
                ::pclose(p);
            }
        }
        return b;
    }
    TransferResult traffic(int net, bool v6, std::size_t in, std::size_t out) {
        const std::string at = v6 ? "fd78:" + std::to_string(net) + "::1" : "10.78." + std::to_string(net) + ".1";
        return transfer_between(mon, at, peer, in, out);
    }
    // Started once it has saved its first readings, right after loading the logs.
    bool start() {
        const fs::path readings = stats() / "Readings.txt";
        const auto before = fs::file_time_type::clock::now();
        program = start_process(ip_program(), {"netns", "exec", mon.name(), KELVANTO_BIN}, env,
                                home.str() + "/program.log");
        for (int i = 0; i < 300 && process_running(program); ++i) {
            std::error_code ec;
            if (fs::exists(readings, ec) && fs::last_write_time(readings, ec) >= before) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }
    static void let_it_count() { std::this_thread::sleep_for(2200ms); }
    int stop(int signal = SIGTERM) {
        ::kill(program.pid, signal);
        return wait_process(program, 30000);
    }
    // The totals report, run where the program runs, so it sees the same interfaces.
    json totals() {
        ChildProcess r = start_process(ip_program(), {"netns", "exec", mon.name(), KELVANTO_BIN, "--report", "totals", "--json"},
                                       env, home.str() + "/report.json");
        wait_process(r, 30000);
        return json::parse(slurp(home.path() / "report.json"), nullptr, false);
    }
};

// Prints the scenario's table (bytes crossed, as the kernel counted them, and logged per adapter)
// and checks that `name` holds what crossed within 3 %, every other adapter noise at most.
void check(const std::string& scenario, const json& totals, const std::string& name, const Bytes& crossed) {
    std::printf("%s\n  adapter | interface | crossed in | logged in | crossed out | logged out\n", scenario.c_str());
    ASSERT_TRUE(totals.is_object()) << scenario;
    bool found = false;
    for (const json& row : totals["rows"]) {
        if (row["adapter"] == 0) continue;
        const std::string at = row["interface"].is_string() ? row["interface"].get<std::string>() : "(gone)";
        const Bytes got{row["download"].get<double>(), row["upload"].get<double>()};
        const Bytes want = at == name ? crossed : Bytes{};
        std::printf("  %7d | %9s | %10.0f | %9.0f | %11.0f | %10.0f\n", row["adapter"].get<int>(), at.c_str(), want.in,
                    got.in, want.out, got.out);
        found = found || at == name;
        EXPECT_NEAR(got.in, want.in, std::max(0.03 * want.in, kNoise)) << scenario << ": " << at;
        EXPECT_NEAR(got.out, want.out, std::max(0.03 * want.out, kNoise)) << scenario << ": " << at;
    }
    EXPECT_TRUE(found) << scenario << ": no adapter " << name;
}

Bytes since(const Bytes& now, const Bytes& first) { return {now.in - first.in, now.out - first.out}; }

#define MONITOR_OR_SKIP(m) \
    Monitor m;             \
    if (!m.mon.ok() || !m.peer.ok()) GTEST_SKIP() << m.mon.error() << m.peer.error()

TEST(AdapterIdentityEndToEnd, RenamedAwayAndBackCountsEachByteOnceUnderOneNumber) {
    MONITOR_OR_SKIP(m);
    ASSERT_TRUE(m.pair("kra", 1, false));
    const Bytes first = m.kernel("kra");
    ASSERT_TRUE(m.start());
    // Traffic under each name, renamed as udev or a VPN tool does: down, new name, up.
    for (const std::string to : {"krc", "kra", ""}) {
        ASSERT_EQ(m.traffic(1, false, 6 * kMiB, 3 * kMiB).to_server, 6 * kMiB);
        m.let_it_count();
        const std::string from = to == "kra" ? "krc" : "kra";
        ASSERT_TRUE(to.empty() || (m.mon.ip("link set " + from + " down") && m.mon.ip("link set " + from + " name " + to) &&
                                   m.mon.ip("link set " + to + " up")));
    }
    const Bytes crossed = since(m.kernel("kra"), first);
    ASSERT_EQ(m.stop(), 0);
    check("Renamed kra -> krc -> kra", m.totals(), "kra", crossed);
    EXPECT_EQ(slurp(m.stats() / "Adapters.txt"), "1 lo\n2 kra\n");
}

TEST(AdapterIdentityEndToEnd, IpV6OnlyInterfaceIsNumberedAndCounted) {
    MONITOR_OR_SKIP(m);
    ASSERT_TRUE(m.pair("ksix", 2, true));
    const Bytes first = m.kernel("ksix");
    ASSERT_TRUE(m.start());
    ASSERT_EQ(m.traffic(2, true, 20 * kMiB, 30 * kMiB).to_client, 30 * kMiB);
    m.let_it_count();
    const Bytes crossed = since(m.kernel("ksix"), first);
    ASSERT_EQ(m.stop(), 0);
    check("IPv6 only", m.totals(), "ksix", crossed);
}

TEST(AdapterIdentityEndToEnd, TrafficWhileTheProgramIsStoppedOrKilledGoesToTheDayOfTheStart) {
    MONITOR_OR_SKIP(m);
    ASSERT_TRUE(m.pair("kgap", 3, false));
    const Bytes first = m.kernel("kgap");
    const double day = SystemClock().now();
    ASSERT_TRUE(m.start());
    ASSERT_EQ(m.traffic(3, false, 4 * kMiB, 2 * kMiB).to_server, 4 * kMiB);
    m.let_it_count();
    ASSERT_EQ(m.stop(), 0);
    ASSERT_EQ(m.traffic(3, false, 20 * kMiB, 5 * kMiB).to_server, 20 * kMiB);  // nobody is counting
    ASSERT_TRUE(m.start());
    ASSERT_EQ(m.traffic(3, false, 8 * kMiB, 2 * kMiB).to_server, 8 * kMiB);
    m.let_it_count();
    ASSERT_EQ(m.stop(SIGKILL), 128 + SIGKILL);  // a crash: nothing saved since the start
    ASSERT_EQ(m.traffic(3, false, 6 * kMiB, 1 * kMiB).to_server, 6 * kMiB);
    ASSERT_TRUE(m.start());
    m.let_it_count();
    const Bytes crossed = since(m.kernel("kgap"), first);
    ASSERT_EQ(m.stop(), 0);
    if (std::floor(day) != std::floor(SystemClock().now())) GTEST_SKIP() << "the run crossed midnight";
    check("Stopped, then killed, with traffic meanwhile", m.totals(), "kgap", crossed);
}

// Thirteen numbers held by interfaces gone for 100 days (adapter 2, the monitored one, among
// them); thirty interfaces appear, nineteen container-like, one new carries traffic: the
// others get the free number and those of long-gone adapters, whose histories move aside.
TEST(AdapterIdentityEndToEnd, ThirtyInterfacesOnAFullNumberingAndANewOneIsCounted) {
    MONITOR_OR_SKIP(m);
    fs::create_directories(m.stats());
    const CivilDate gone = civil_date(SystemClock().now() - 100);
    std::ofstream numbers(m.stats() / "Adapters.txt");
    std::ofstream readings(m.stats() / "Readings.txt");
    numbers << "1 lo\n";
    readings << "boot another\n";
    for (int n = 2; n <= 14; ++n) {
        numbers << n << " old" << n << std::endl;
        readings << n << " 0 0 0 " << gone.year << (gone.month < 10 ? "-0" : "-") << gone.month
                 << (gone.day < 10 ? "-0" : "-") << gone.day << " old" << n << std::endl;
    }
    const std::string old5 = m.stats() / (std::to_string(civil_date(SystemClock().now()).year) + ".5.dat");
    // 5e9 bytes received on 1 January of this year.
    std::ofstream(old5, std::ios::binary) << std::string("\0\0\0\x20\x5f\xa0\xf2\x41", 8) << std::string(5848, '\0');
    ASSERT_TRUE(m.start());

    const auto add = [&m](const std::string& name, const std::string& kind) {
        return m.mon.ip("link add " + name + " " + kind) && m.mon.ip("link set " + name + " up");
    };
    for (const char* bridge : {"docker0", "br-0a1b2c3d", "br-4e5f6a7b", "virbr0", "cni0", "vnet0"})
        ASSERT_TRUE(add(bridge, "type bridge"));
    ASSERT_TRUE(add("flannel.1", "type vxlan id 1 dstport 8472"));
    for (const std::string k : {"0", "1", "2", "3", "4", "5"})
        ASSERT_TRUE(add("veth" + k + "a", "type veth peer name veth" + k + "b") && m.mon.ip("link set veth" + k + "b up"));
    for (const std::string k : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"})
        ASSERT_TRUE(add("kvd" + k, "type bridge") && m.mon.ip("addr add 10.79." + k + ".1/24 dev kvd" + k));
    m.let_it_count();
    ASSERT_TRUE(m.pair("knew", 4, false));
    const Bytes first = m.kernel("knew");
    ASSERT_EQ(m.traffic(4, false, 10 * kMiB, 5 * kMiB).to_server, 10 * kMiB);
    m.let_it_count();
    const Bytes crossed = since(m.kernel("knew"), first);
    ASSERT_EQ(m.stop(), 0);
    check("Thirty interfaces, then a new one", m.totals(), "knew", crossed);
    const std::string numbering = slurp(m.stats() / "Adapters.txt");
    for (const char* never : {"docker0", "br-", "veth", "virbr", "vnet", "cni", "flannel"})
        EXPECT_EQ(numbering.find(never), std::string::npos) << numbering;
    EXPECT_NE(numbering.find("2 old2\n"), std::string::npos) << "the monitored adapter keeps its number";
    EXPECT_TRUE(fs::exists(m.stats() / "Retired" / "old5" / fs::path(old5).filename()));
    EXPECT_NE(slurp(m.home.path() / "program.log").find("Adapter 5 (old5) has not been seen for 90 days: its history "
                                                        "is kept in Stats/Retired/old5/ and its number goes to kvd3."),
              std::string::npos);

    ChildProcess r = start_process(KELVANTO_BIN, {"--report", "yearly", "--retired", "old5", "--json"}, m.env,
                                   m.home.str() + "/retired.json");
    ASSERT_EQ(wait_process(r, 30000), 0);
    const std::string old = slurp(m.home.path() / "retired.json");
    EXPECT_NE(old.find(R"("report":"yearly","adapter":5,"interface":"old5","rows":[)"), std::string::npos) << old;
    EXPECT_NE(old.find(R"("download":5000000000,"upload":0,)"), std::string::npos) << old;
}

}  // namespace
