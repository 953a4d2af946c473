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

// Starts `program`, lets it run its start-up and a cycle or two, then ends it with SIGTERM.
// Returns the exit status (-1 when it did not start or did not end in time).
int run_briefly(const TempDir& dir, const std::string& config, const std::string& program = KELVANTO_BIN) {
    ChildProcess p = start_process(program, {}, environment(dir, config), (dir.path() / "output.txt").string());
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

std::string settings_text(const std::string& config) {
    return read_text_file(config + "/Kelvanto/Kelvanto.conf").value_or("");
}

void store_setting(const std::string& config, const std::string& line, const std::string& replacement) {
    std::string conf = settings_text(config);
    const std::size_t at = conf.find("\n" + line + "\n");
    ASSERT_NE(at, std::string::npos) << conf;
    conf.replace(at + 1, line.size(), replacement);
    ASSERT_TRUE(replace_text_file(config + "/Kelvanto/Kelvanto.conf", conf));
}

// A first start from the build folder writes the whole settings file and the window's place,
// but no login item that would break with the clone: the program is not set to start with
// the session.
TEST(SettingsProgram, FirstRunFromTheBuildFolderWritesSettingsButNoAutostartEntry) {
    TempDir dir;
    const std::string config = (dir.path() / "config").string();
    ASSERT_EQ(run_briefly(dir, config), 0);
    const std::string conf = settings_text(config);
    EXPECT_EQ(conf.rfind("[General]\n", 0), 0u) << conf;
    EXPECT_NE(conf.find("\nBandwidth%20Calc.=1\n"), std::string::npos);
    EXPECT_NE(conf.find("\nGraphBuffer=1840\n"), std::string::npos);
    EXPECT_EQ(conf.find("\nWindowX=9999999\n"), std::string::npos) << "the shutdown stores the real position";
    EXPECT_NE(conf.find("\nAutostart=0\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(config + "/autostart"));
}

// The installed program starts with the session from its first start on, and its entry names
// the installed program; a start from a build folder with the same settings leaves it so.
TEST(SettingsProgram, InstalledProgramsFirstRunWritesAnAutostartEntryNamingIt) {
    TempDir dir;
    const std::string prefix = (dir.path() / "prefix").string();
    const std::string build_dir = std::filesystem::path(KELVANTO_BIN).parent_path().string();
    ChildProcess install = start_process(KELVANTO_CMAKE, {"--install", build_dir, "--prefix", prefix}, {},
                                         (dir.path() / "install.txt").string());
    ASSERT_EQ(wait_process(install, 60000), 0) << read_text_file((dir.path() / "install.txt").string()).value_or("");
    const std::string program = prefix + "/bin/kelvanto";
    ASSERT_TRUE(std::filesystem::exists(program));
    EXPECT_FALSE(std::filesystem::exists(prefix + "/bin/" + "kelvanto.build-folder"));

    const std::string config = (dir.path() / "config").string();
    ASSERT_EQ(run_briefly(dir, config, program), 0);
    EXPECT_NE(settings_text(config).find("\nAutostart=1\n"), std::string::npos);
    const std::string entry = read_text_file(config + "/autostart/kelvanto.desktop").value_or("");
    EXPECT_NE(entry.find("\nExec=" + std::filesystem::canonical(program).string() + " /minimized\n"),
              std::string::npos)
        << entry;
    ASSERT_EQ(run_briefly(dir, config), 0);
    EXPECT_EQ(read_text_file(config + "/autostart/kelvanto.desktop"), entry);

    // Autostart switched off in the settings: the next start removes the entry.
    store_setting(config, "Autostart=1", "Autostart=0");
    ASSERT_EQ(run_briefly(dir, config, program), 0);
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
