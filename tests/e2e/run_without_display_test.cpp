#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "support/process.h"
#include "support/temp_dir.h"

namespace {

std::string read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t count_of(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Waits up to 15 s for the data folder's "Stats" directory or for the child to end.
bool wait_for_stats(const std::filesystem::path& home, const ChildProcess& child) {
    for (int i = 0; i < 300; ++i) {
        if (std::filesystem::is_directory(home / "Stats")) return true;
        if (!process_running(child)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

std::map<std::string, std::string> environment(const TempDir& dir, const std::string& platform) {
    return {{"KELVANTO_HOME", (dir.path() / "home").string()},
            {"XDG_CONFIG_HOME", (dir.path() / "config").string()},
            {"XDG_RUNTIME_DIR", dir.str()},
            {"DISPLAY", ""},
            {"WAYLAND_DISPLAY", ""},
            {"QT_QPA_PLATFORM", platform}};
}

// Starts the program with `env`, checks that it sets up its data folder and is still running
// `settle` later, ends it with SIGTERM and checks that it ended in order and said once that it
// runs without a window.
void runs_without_a_window(const TempDir& dir, const std::map<std::string, std::string>& env,
                           std::chrono::milliseconds settle) {
    const auto output = dir.path() / "output.txt";
    ChildProcess child = start_process(KELVANTO_BIN, {}, env, output.string());
    const bool started = wait_for_stats(dir.path() / "home", child);
    if (started) std::this_thread::sleep_for(settle);
    const bool kept_running = process_running(child);
    if (!started || !kept_running) kill_process(child);
    ASSERT_TRUE(started) << read_file(output);
    ASSERT_TRUE(kept_running) << read_file(output);

    ASSERT_EQ(kill(child.pid, SIGTERM), 0);
    const int status = wait_process(child, 20000);
    if (status == -1) kill_process(child);
    EXPECT_EQ(status, 0) << read_file(output);
    EXPECT_EQ(count_of(read_file(output), "running without a window"), 1u) << read_file(output);
}

// With no display and no platform chosen, the program runs on the offscreen platform instead
// of aborting: it keeps running, sets up its data folder, says so once and ends in order.
TEST(RunWithoutDisplay, KeepsRunningWritesDataAndEndsCleanlyOnSigterm) {
    TempDir dir;
    runs_without_a_window(dir, environment(dir, ""), std::chrono::milliseconds(2500));
}

// A display that refuses the connection is no reason to abort either.
TEST(RunWithoutDisplay, UnreachableDisplayFallsBackToRunningWithoutAWindow) {
    TempDir dir;
    auto env = environment(dir, "");
    env["DISPLAY"] = ":4917";  // no X server answers there
    runs_without_a_window(dir, env, std::chrono::milliseconds(1500));
}

// A platform the user chose is kept, and then there is nothing to say.
TEST(RunWithoutDisplay, ChosenPlatformIsKeptWithoutNotice) {
    TempDir dir;
    const auto output = dir.path() / "output.txt";
    ChildProcess child = start_process(KELVANTO_BIN, {}, environment(dir, "offscreen"), output.string());
    const bool started = wait_for_stats(dir.path() / "home", child);
    if (!started) kill_process(child);
    ASSERT_TRUE(started) << read_file(output);
    ASSERT_EQ(kill(child.pid, SIGTERM), 0);
    const int status = wait_process(child, 20000);
    if (status == -1) kill_process(child);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(read_file(output).find("running without a window"), std::string::npos) << read_file(output);
}

}  // namespace
