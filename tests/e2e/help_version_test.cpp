#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/process.h"
#include "support/temp_dir.h"

namespace {

// The program run with `args`, no display, and a data and settings folder of its own.
struct InfoRun {
    std::string output;  // standard output and error
    int exit_code = -1;
    bool touched_data = true;
    bool touched_settings = true;
};

InfoRun run_with(const std::vector<std::string>& args) {
    TempDir dir;
    const auto home = dir.path() / "home";
    const auto data = dir.path() / "data";
    const auto config = dir.path() / "config";
    const auto output = dir.path() / "output.txt";
    ChildProcess child = start_process(KELVANTO_BIN, args,
                                       {{"KELVANTO_HOME", home.string()},
                                        {"XDG_DATA_HOME", data.string()},
                                        {"XDG_CONFIG_HOME", config.string()},
                                        {"DISPLAY", ""},
                                        {"WAYLAND_DISPLAY", ""},
                                        {"QT_QPA_PLATFORM", ""}},
                                       output.string());
    InfoRun run;
    run.exit_code = wait_process(child, 20000);
    if (run.exit_code == -1) kill_process(child);
    std::ifstream in(output, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    run.output = text.str();
    run.touched_data = std::filesystem::exists(home) || std::filesystem::exists(data);
    run.touched_settings = std::filesystem::exists(config);
    return run;
}

TEST(HelpVersion, VersionPrintsNameAndVersionOnly) {
    const InfoRun run = run_with({"--version"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output, "Kelvanto " KELVANTO_VERSION "\n");
    EXPECT_FALSE(run.touched_data);
    EXPECT_FALSE(run.touched_settings);
}

TEST(HelpVersion, HelpListsEveryCommandLineForm) {
    const InfoRun run = run_with({"--help"});
    EXPECT_EQ(run.exit_code, 0);
    EXPECT_EQ(run.output.rfind("Usage: kelvanto", 0), 0u) << run.output;
    for (const char* form : {"/minimized", "-install", "-uninstall", "--report totals|daily|weekly|monthly|yearly",
                             "--html", "--json", "--csv", "--adapter N", "--help", "--version"})
        EXPECT_NE(run.output.find(form), std::string::npos) << form;
    EXPECT_EQ(run.output.find("without a window"), std::string::npos);
    EXPECT_FALSE(run.touched_data);
    EXPECT_FALSE(run.touched_settings);
}

TEST(HelpVersion, AnsweredWhereverTheOptionStands) {
    EXPECT_EQ(run_with({"/minimized", "--version"}).output, "Kelvanto " KELVANTO_VERSION "\n");
    // Help wins when both are asked for.
    const InfoRun both = run_with({"--version", "--help"});
    EXPECT_EQ(both.exit_code, 0);
    EXPECT_EQ(both.output.rfind("Usage: kelvanto", 0), 0u);
    EXPECT_FALSE(both.touched_data);
}

// An option the program does not know (also "-install" with a blank) starts nothing.
TEST(HelpVersion, AnUnknownOptionPrintsTheUsageAndFails) {
    for (const char* option : {"--bogus", "-install "}) {
        const InfoRun run = run_with({"/minimized", option});
        EXPECT_EQ(run.exit_code, 2);
        EXPECT_NE(run.output.find("kelvanto: unknown option \"" + std::string(option) + "\"\nUsage: kelvanto"), std::string::npos);
        EXPECT_FALSE(run.touched_data || run.touched_settings) << option;
    }
}

}  // namespace
