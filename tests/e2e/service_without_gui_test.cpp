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

// The service run as its unit starts it maps no window system library, logs into its data
// folder and says in one line what it logs and where; SIGTERM ends it in order.
TEST(ServiceWithoutGui, MapsNoWindowSystemLibraryAndSaysOnceWhatItLogs) {
    TempDir dir;
    const auto home = dir.path() / "home";
    const auto output = dir.path() / "output.txt";
    ChildProcess child = start_process(KELVANTO_BIN, {"--service"},
                                       {{"KELVANTO_HOME", home.string()},
                                        {"XDG_CONFIG_HOME", (dir.path() / "config").string()},
                                        {"XDG_RUNTIME_DIR", dir.str()},
                                        {"QT_QPA_PLATFORM", "offscreen"}},
                                       output.string());
    for (int i = 0; i < 300 && !std::filesystem::exists(home / "Stats" / "Stats.dat") && process_running(child); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::string maps = read_file("/proc/" + std::to_string(child.pid) + "/maps");
    const bool running = process_running(child);
    ASSERT_EQ(kill(child.pid, SIGTERM), 0);
    const int status = wait_process(child, 20000);
    if (status == -1) kill_process(child);
    ASSERT_TRUE(running) << read_file(output);
    EXPECT_NE(maps.find("libQt6Core"), std::string::npos);
    for (const char* library : {"libxcb", "libX11", "libwayland", "libQt6Gui", "libEGL", "libfontconfig"})
        EXPECT_EQ(maps.find(library), std::string::npos) << library;
    EXPECT_EQ(status, 0);
    const std::string text = read_file(output);
    EXPECT_EQ(text.rfind("kelvanto: service run: logging the traffic of ", 0), 0u) << text;
    EXPECT_NE(text.find(" to " + home.string() + "/Stats/, read every second"), std::string::npos) << text;
    EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
}

}  // namespace
