#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/process.h"
#include "support/temp_dir.h"

namespace {

std::map<std::string, std::string> test_environment(const TempDir& dir) {
    return {{"KELVANTO_HOME", (dir.path() / "data").string()},
            {"XDG_CONFIG_HOME", (dir.path() / "config").string()},
            {"XDG_DATA_HOME", (dir.path() / "share").string()},
            {"XDG_RUNTIME_DIR", dir.str()},
            {"QT_QPA_PLATFORM", "offscreen"}};
}

// Waits until the data folder shows that the program finished its start-up.
bool wait_for_start(const TempDir& dir) {
    for (int i = 0; i < 200; ++i) {
        if (std::filesystem::exists(dir.path() / "data" / "Stats")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

TEST(Startup, SecondStartEndsAtOnceAndSigtermEndsTheFirstInOrder) {
    TempDir dir;
    const auto env = test_environment(dir);
    const std::string log = (dir.path() / "output.txt").string();
    ChildProcess first = start_process(KELVANTO_BIN, {}, env, log);
    ASSERT_TRUE(wait_for_start(dir));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    ChildProcess second = start_process(KELVANTO_BIN, {}, env, log);
    const int second_status = wait_process(second, 10000);
    if (second_status == -1) kill_process(second);
    EXPECT_EQ(second_status, 0);
    EXPECT_TRUE(process_running(first)) << "the first copy must keep running";

    ASSERT_EQ(kill(first.pid, SIGTERM), 0);
    const int status = wait_process(first, 10000);
    if (status == -1) kill_process(first);
    EXPECT_EQ(status, 0);
}

TEST(Startup, InterruptAndHangupAlsoEndWithStatusZero) {
    for (const int sig : {SIGINT, SIGHUP}) {
        TempDir dir;
        ChildProcess p = start_process(KELVANTO_BIN, {"/minimized"}, test_environment(dir),
                                       (dir.path() / "output.txt").string());
        ASSERT_TRUE(wait_for_start(dir));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ASSERT_EQ(kill(p.pid, sig), 0);
        const int status = wait_process(p, 10000);
        if (status == -1) kill_process(p);
        EXPECT_EQ(status, 0) << "signal " << sig;
    }
}

TEST(Startup, InstallWithASlashStartsTheMonitorNormally) {
    for (const char* arg : {"/install"}) {
        TempDir dir;
        ChildProcess p = start_process(KELVANTO_BIN, {arg}, test_environment(dir), (dir.path() / "output.txt").string());
        EXPECT_TRUE(wait_for_start(dir)) << arg;
        EXPECT_TRUE(process_running(p)) << arg;
        kill(p.pid, SIGTERM);
        const int status = wait_process(p, 10000);
        if (status == -1) kill_process(p);
        EXPECT_EQ(status, 0) << arg;
    }
}

}  // namespace
