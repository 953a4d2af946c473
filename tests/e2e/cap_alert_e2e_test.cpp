#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/date.h"
#include "platform/linux/system_clock.h"
#include "support/cap_rule.h"
#include "support/net_namespace.h"
#include "support/notification_service.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::size_t MB = 1024 * 1024;

std::string read_all(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

int count_lines(const std::string& text) {
    int n = 0;
    for (char c : text) n += c == '\n' ? 1 : 0;
    return n;
}

// Sends `total` bytes over the loopback of the test's namespace.
std::size_t transfer(const NetNamespace& ns, std::size_t total) {
    const InNetns in(ns);
    return in.entered() ? loopback_transfer(total) : 0;
}

// One user: a period from today for thirty days with a cap, and one rule: "When lo User
// defined download + upload reaches 80 % of the cap add entry to alerts.txt and show a
// desktop notification".
struct CapUser {
    TempDir home;
    fs::path data() const { return home.path() / "data"; }
    fs::path alerts() const { return home.path() / "alerts.txt"; }
    fs::path notified() const { return home.path() / "notified.txt"; }

    void set_cap(int megabytes, double today) const {
        fs::create_directories(home.path() / "config" / "Kelvanto");
        std::ofstream(home.path() / "config" / "Kelvanto" / "Kelvanto.conf")
            << "[General]\nAdapter=1\nCheckForUpdate=0\nCusPerDay=0\nCusPerFrom=" << static_cast<long long>(today)
            << "\nCusPerTo=" << static_cast<long long>(today) + 30 << "\nCapAmount=" << megabytes << "\nCapUnit=1\n";
    }
    void write_rule() const {
        fs::create_directories(data() / "Stats");
        ASSERT_TRUE(save_cap_share_rule(data().string() + "/", alerts().string(), true));
    }

    // Starts the program in the namespace under a session bus of its own on which the
    // notification service runs.
    ChildProcess start(const NetNamespace& ns) const {
        const fs::path script = write_notification_service(home.path());
        fs::remove(notified().string() + ".ready");
        const std::string shell =
            std::string(kSystemPython) + " '" + script.string() + "' '" + notified().string() + "' & echo $! > '" + home.str() +
            "/service.pid'; while [ ! -e '" + notified().string() + ".ready' ]; do sleep 0.05; done; echo $$ > '" +
            home.str() + "/kelvanto.pid'; exec '" + KELVANTO_BIN + "'";
        return start_process("/usr/sbin/ip", {"netns", "exec", ns.name(), "dbus-run-session", "--", "sh", "-c", shell},
                             {{"KELVANTO_HOME", data().string()},
                              {"XDG_CONFIG_HOME", (home.path() / "config").string()},
                              {"QT_QPA_PLATFORM", "offscreen"}},
                             (home.path() / "output.txt").string());
    }
    // Waits until the program measures: it saves the logs right after loading them.
    bool measuring() const {
        const fs::path stats = data() / "Stats" / "Stats.dat";
        for (int i = 0; i < 300 && !fs::exists(stats); ++i) std::this_thread::sleep_for(100ms);
        std::this_thread::sleep_for(1500ms);
        return fs::exists(stats);
    }
    // Ends the program with SIGTERM, as the session's end would; the bus and the service end
    // with it.
    int stop(ChildProcess& run) const {
        pid_t program = 0;
        if (std::ifstream(home.path() / "kelvanto.pid") >> program && program > 0) ::kill(program, SIGTERM);
        const int status = wait_process(run, 30000);
        pid_t service = 0;
        if (std::ifstream(home.path() / "service.pid") >> service && service > 0) ::kill(service, SIGTERM);
        return status;
    }
    // A run a failed check left behind ends with the test.
    ~CapUser() {
        for (const auto& [file, program] : {std::pair{"kelvanto.pid", "kelvanto"}, {"service.pid", "python3"}}) {
            pid_t pid = 0;
            if (!(std::ifstream(home.path() / file) >> pid) || pid <= 0) continue;
            if (read_all("/proc/" + std::to_string(pid) + "/cmdline").find(program) != std::string::npos)
                ::kill(pid, SIGKILL);
        }
    }
};

}  // namespace

// A rule at 80 % of a 20 MB cap fires once when real traffic passes 16 MB, not again above
// it; raised to 40 MB, the cap takes the rule to 32 MB and it fires there once more. Each
// time the notification service of the session receives the rule's sentence and the message.
TEST(CapAlertEndToEnd, EightyPercentOfTheCapFiresOnceAndAgainAfterTheCapIsRaised) {
    if (!fs::exists("/usr/bin/dbus-run-session")) GTEST_SKIP() << "needs dbus-run-session (dbus-daemon)";
    const NetNamespace ns("cap");
    if (!ns.ok()) GTEST_SKIP() << ns.error();
    CapUser user;
    const double started = SystemClock().now();
    const double today = std::floor(started);
    user.set_cap(20, today);
    user.write_rule();

    ChildProcess first = user.start(ns);
    ASSERT_TRUE(user.measuring()) << read_all(user.home.path() / "output.txt");
    // On lo every byte is counted twice, once received and once sent.
    ASSERT_EQ(transfer(ns, 5 * MB), 5 * MB);
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(count_lines(read_all(user.alerts())), 0);
    ASSERT_EQ(transfer(ns, 4 * MB), 4 * MB);  // 18 MB: past 16 MB
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(count_lines(read_all(user.alerts())), 1);
    ASSERT_EQ(transfer(ns, 2 * MB), 2 * MB);
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(count_lines(read_all(user.alerts())), 1) << "fires once, not again above the threshold";
    EXPECT_EQ(user.stop(first), 0) << read_all(user.home.path() / "output.txt");

    user.set_cap(40, today);
    ChildProcess second = user.start(ns);
    ASSERT_TRUE(user.measuring()) << read_all(user.home.path() / "output.txt");
    ASSERT_EQ(transfer(ns, 3 * MB), 3 * MB);  // 28 MB: below 32 MB, headers included
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(count_lines(read_all(user.alerts())), 1);
    ASSERT_EQ(transfer(ns, 4 * MB), 4 * MB);  // 36 MB
    std::this_thread::sleep_for(2500ms);
    EXPECT_EQ(user.stop(second), 0) << read_all(user.home.path() / "output.txt");
    if (std::floor(SystemClock().now()) != today) GTEST_SKIP() << "the run crossed midnight";

    const std::string alerts = read_all(user.alerts());
    ASSERT_EQ(count_lines(alerts), 2) << alerts;
    // Past 16 MB and past 32 MB, with the TCP/IP headers lo counts; a cycle may fall
    // within a transfer.
    const std::vector<double> reached = reached_megabytes(alerts);
    ASSERT_EQ(reached.size(), 2u) << alerts;
    EXPECT_TRUE(reached[0] >= 16 && reached[0] < 20) << alerts;
    EXPECT_TRUE(reached[1] >= 32 && reached[1] < 40) << alerts;
    // The notifications carry the same messages under the rule's condition.
    const std::string notified = read_all(user.notified());
    ASSERT_EQ(count_lines(notified), 2) << notified;
    EXPECT_EQ(reached_megabytes(notified), reached) << notified;
    const std::string title = "Kelvanto\tWhen lo User defined download + upload reaches 80 % of the cap\t";
    EXPECT_EQ(notified.rfind(title + "The User defined download + upload has reached ", 0), 0u) << notified;
    EXPECT_NE(notified.find("\n" + title + "The User defined download + upload has reached "), std::string::npos)
        << notified;
}

// The period total goes from 0 past the rule's 16 MB within one cycle: the rule fires once.
TEST(CapAlertEndToEnd, ATotalThatJumpsFromZeroPastTheAmountFiresOnce) {
    if (!fs::exists("/usr/bin/dbus-run-session")) GTEST_SKIP() << "needs dbus-run-session (dbus-daemon)";
    const NetNamespace ns("capzero");
    if (!ns.ok()) GTEST_SKIP() << ns.error();
    CapUser user;
    const double today = std::floor(SystemClock().now());
    user.set_cap(20, today);
    user.write_rule();
    ChildProcess run = user.start(ns);
    ASSERT_TRUE(user.measuring()) << read_all(user.home.path() / "output.txt");
    ASSERT_EQ(transfer(ns, 9 * MB), 9 * MB);  // 18 MB on lo at once
    std::this_thread::sleep_for(3500ms);
    EXPECT_EQ(user.stop(run), 0) << read_all(user.home.path() / "output.txt");
    if (std::floor(SystemClock().now()) != today) GTEST_SKIP() << "the run crossed midnight";
    EXPECT_EQ(count_lines(read_all(user.alerts())), 1) << read_all(user.alerts());
}
