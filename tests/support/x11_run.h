#pragma once

// A widget test that must see what a real X server shows runs this test program again on a
// throw-away X desktop (Xvfb and openbox), only that test selected; elsewhere it skips.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <fstream>
#include <map>
#include <sstream>

#include "support/desktop.h"
#include "support/temp_dir.h"

inline bool on_x11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// Runs test `name` ("Suite.Test") on a new X desktop and fails with its output when it fails.
inline void run_on_x11(const std::string& name, std::map<std::string, std::string> env = {}) {
    const std::string missing = missing_programs({"Xvfb", "openbox", "xprop"});
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing;
    XDesktop desktop(true);
    ASSERT_TRUE(desktop.running());
    TempDir dir;
    env.insert({{"DISPLAY", desktop.display()}, {"KELVANTO_TEST_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", ""}});
    ChildProcess run = start_process("/proc/self/exe", {"--gtest_filter=" + name}, env, dir.str() + "/out.txt");
    const int status = wait_process(run, 120000);
    if (status == -1) kill_process(run);
    std::ostringstream out;
    out << std::ifstream(dir.str() + "/out.txt").rdbuf();
    EXPECT_TRUE(status == 0 && out.str().find("[  PASSED  ] 1 test") != std::string::npos) << out.str();
}
