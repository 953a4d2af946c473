#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "settings/text_file.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace {

std::map<std::string, std::string> environment(const TempDir& dir, const std::string& config) {
    return {{"KELVANTO_HOME", (dir.path() / "data").string()},
            {"XDG_CONFIG_HOME", config},
            {"XDG_DATA_HOME", (dir.path() / "share").string()},
            {"XDG_RUNTIME_DIR", dir.str()},
            {"QT_QPA_PLATFORM", "offscreen"}};
}

// Starts the program, lets it run its start-up and a cycle or two, then ends it with SIGTERM.
// Returns the exit status (-1 when it did not start or did not end in time).
int run_briefly(const TempDir& dir, const std::string& config) {
    ChildProcess p = start_process(KELVANTO_BIN, {}, environment(dir, config), (dir.path() / "output.txt").string());
    bool started = false;
    for (int i = 0; i < 200 && !started; ++i) {
        started = std::filesystem::exists(dir.path() / "data" / "Stats");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const bool running = process_running(p);
    if (kill(p.pid, SIGTERM) != 0) return -1;
    const int status = wait_process(p, 10000);
    if (status == -1) kill_process(p);
    return started && running ? status : -1;
}

TEST(SettingsProgram, FirstRunWritesSettingsAutostartAndWindowPosition) {
    TempDir dir;
    const std::string config = (dir.path() / "config").string();
    ASSERT_EQ(run_briefly(dir, config), 0);
    const std::string conf = read_text_file(config + "/Kelvanto/Kelvanto.conf").value_or("");
    EXPECT_EQ(conf.rfind("[General]\n", 0), 0u) << conf;
    EXPECT_NE(conf.find("\nBandwidth%20Calc.=1\n"), std::string::npos);
    EXPECT_NE(conf.find("\nGraphBuffer=1840\n"), std::string::npos);
    EXPECT_EQ(conf.find("\nWindowX=9999999\n"), std::string::npos) << "the shutdown stores the real position";
    const std::string entry = read_text_file(config + "/autostart/kelvanto.desktop").value_or("");
    EXPECT_NE(entry.find("\nExec=" + std::filesystem::canonical(KELVANTO_BIN).string() + " /minimized\n"),
              std::string::npos)
        << entry;

    // Autostart switched off in the settings: the next start removes the entry.
    std::string off = conf;
    off.replace(off.find("\nAutostart=1\n"), 13, "\nAutostart=0\n");
    ASSERT_TRUE(replace_text_file(config + "/Kelvanto/Kelvanto.conf", off));
    ASSERT_EQ(run_briefly(dir, config), 0);
    EXPECT_FALSE(std::filesystem::exists(config + "/autostart/kelvanto.desktop"));
}

TEST(SettingsProgram, UnwritableConfigurationFolderStillRuns) {
    TempDir dir;
    // A plain file where the configuration folder should be: nothing can be created in it.
    const std::string config = (dir.path() / "config-file").string();
    ASSERT_TRUE(replace_text_file(config, "not a folder\n"));
    EXPECT_EQ(run_briefly(dir, config), 0);
    EXPECT_EQ(read_text_file(config), "not a folder\n");
}

}  // namespace
