#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/date.h"
#include "platform/linux/system_clock.h"
#include "support/net_namespace.h"
#include "support/process.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

using namespace std::chrono_literals;

std::vector<char> read_bytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

double double_at(const std::vector<char>& b, std::size_t offset) {
    double v = 0;
    if (offset + 8 <= b.size()) std::memcpy(&v, b.data() + offset, 8);
    return v;
}

// Kills the program if the test ends before it was stopped in order.
struct ChildGuard {
    pid_t pid = 0;
    ~ChildGuard() {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
};

TEST(TrafficLogEndToEnd, LoopbackTransferLandsInTodaysDailyAndMinutelyLog) {
    TempDir home;
    const std::string kelvanto_home = "KELVANTO_HOME=" + home.str();
    const std::string config = "XDG_CONFIG_HOME=" + home.str() + "/config";
    std::vector<std::string> env_strings{kelvanto_home, config, "QT_QPA_PLATFORM=offscreen"};
    for (char** e = environ; *e; ++e) {
        const std::string s = *e;
        if (s.rfind("KELVANTO_HOME=", 0) != 0 && s.rfind("XDG_CONFIG_HOME=", 0) != 0 &&
            s.rfind("QT_QPA_PLATFORM=", 0) != 0)
            env_strings.push_back(s);
    }
    std::vector<char*> envp;
    for (std::string& s : env_strings) envp.push_back(s.data());
    envp.push_back(nullptr);
    // In a network namespace of its own where one can be made, so that nothing else on the
    // machine talks over the loopback interface the test counts.
    const NetNamespace ns("loopback");
    std::vector<std::string> args{KELVANTO_BIN};
    if (ns.ok()) args.insert(args.begin(), {ip_program(), "netns", "exec", ns.name()});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    const SystemClock clock;
    const double started = clock.now();
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()), 0);
    ChildGuard guard{pid};

    // The logs are saved once right after they are loaded: the program is measuring then.
    const auto stats = home.path() / "Stats" / "Stats.dat";
    for (int i = 0; i < 200 && !std::filesystem::exists(stats); ++i) std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(std::filesystem::exists(stats));
    std::this_thread::sleep_for(1500ms);

    constexpr std::size_t kBytes = 48u << 20;
    ASSERT_EQ(ns.ok() ? transfer_between(ns, "127.0.0.1", ns, kBytes, 0).to_server : loopback_transfer(kBytes), kBytes);
    std::this_thread::sleep_for(2500ms);  // at least two update cycles take the counters in

    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    guard.pid = 0;
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const double ended = clock.now();
    if (std::floor(started) != std::floor(ended)) GTEST_SKIP() << "the run crossed midnight";

    const int year = year_of(started);
    const int day = day_index(started);
    const auto daily = read_bytes(home.path() / "Stats" / (std::to_string(year) + ".1.dat"));
    ASSERT_EQ(daily.size(), 5856u);
    const double sent = double_at(daily, static_cast<std::size_t>(day) * 16 + 8);
    const double received = double_at(daily, static_cast<std::size_t>(day) * 16);
    EXPECT_NEAR(sent, static_cast<double>(kBytes), 0.02 * kBytes);
    EXPECT_NEAR(received, static_cast<double>(kBytes), 0.02 * kBytes);

    const auto minutes = read_bytes(home.path() / "Stats" / "DbMin" / (std::to_string(year) + ".1.dat"));
    ASSERT_GE(minutes.size(), static_cast<std::size_t>(day) * 23040 + 23056);
    double minute_sent = 0;
    for (int m = 0; m < 1440; ++m) minute_sent += double_at(minutes, static_cast<std::size_t>(day) * 23040 + m * 16 + 8);
    EXPECT_NEAR(minute_sent, sent, 0.02 * kBytes);
    EXPECT_FALSE(std::filesystem::exists(home.path() / "Stats" / (std::to_string(year) + ".0.dat")));
}

// Under a umask of 000 the data folder is still private. A year file that is a link out of
// the data folder is never written through: the user is told, and the traffic waits in
// memory until the link is gone, then lands in a file of its own.
TEST(TrafficLogEndToEnd, DataFolderIsPrivateAndALinkOutOfItIsNeverWritten) {
    namespace fs = std::filesystem;
    TempDir home;
    const fs::path data = home.path() / "data";
    const fs::path outside = home.path() / "outside.dat";
    const fs::path year_file = data / "Stats" / (std::to_string(year_of(SystemClock().now())) + ".1.dat");
    fs::create_directories(data / "Stats");
    std::ofstream(outside) << "not the program's";
    fs::create_symlink(outside, year_file);
    const mode_t mask = ::umask(0);
    ChildProcess run = start_process(KELVANTO_BIN, {}, {{"KELVANTO_HOME", data.string()}, {"QT_QPA_PLATFORM", "offscreen"},
                                     {"XDG_CONFIG_HOME", home.str() + "/config"}}, home.str() + "/output.txt");
    ::umask(mask);
    const auto output = [&] { const auto b = read_bytes(home.path() / "output.txt"); return std::string(b.begin(), b.end()); };
    for (int i = 0; i < 200 && output().find("kelvanto: The traffic logs cannot be saved (") == std::string::npos; ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_NE(output().find(year_file.string() + ": it leads to " + outside.string() + ", outside the data folder "),
              std::string::npos) << output();
    fs::remove(year_file);
    ::kill(run.pid, SIGTERM);
    EXPECT_EQ(wait_process(run, 20000), 0);
    kill_process(run);
    EXPECT_NE(output().find("kelvanto: The traffic logs are saved again.\n"), std::string::npos) << output();
    EXPECT_EQ(read_bytes(outside).size(), 17u);
    EXPECT_EQ(fs::file_size(year_file), 5856u);
    EXPECT_EQ(fs::status(data).permissions(), fs::perms::owner_all);
    for (const auto& entry : fs::recursive_directory_iterator(data))
        EXPECT_EQ(entry.status().permissions(), entry.is_directory() ? fs::perms::owner_all
                                                                    : fs::perms::owner_read | fs::perms::owner_write)
            << entry.path();
}

}  // namespace
