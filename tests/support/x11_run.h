#pragma once

// Widget tests that must see what a real X server shows: the test program runs itself again
// on a throw-away X desktop (Xvfb and openbox, and the xcompmgr compositing manager when
// asked), with only one test selected. That test runs there and skips everywhere else.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QWidget>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "support/desktop.h"
#include "support/process.h"
#include "support/temp_dir.h"

inline bool on_x11() { return QGuiApplication::platformName() == QLatin1String("xcb"); }

// Runs test `name` ("Suite.Test") of this program on a new X desktop and fails with its
// output when it fails there; skips where the desktop cannot be had.
inline void run_on_x11(const std::string& name, bool compositor, std::map<std::string, std::string> env = {}) {
    const std::string missing = missing_programs(compositor ? std::vector<std::string>{"Xvfb", "openbox", "xprop", "xcompmgr"}
                                                            : std::vector<std::string>{"Xvfb", "openbox", "xprop"});
    if (!missing.empty()) GTEST_SKIP() << "not installed: " << missing;
    XDesktop desktop(true);
    ASSERT_TRUE(desktop.running());
    ChildProcess manager;
    if (compositor) manager = start_process(find_program("xcompmgr"), {}, {{"DISPLAY", desktop.display()}});
    TempDir dir;
    const std::string output = dir.str() + "/output.txt";
    env["DISPLAY"] = desktop.display();
    env["KELVANTO_TEST_PLATFORM"] = "xcb";
    env["WAYLAND_DISPLAY"] = "";
    ChildProcess run = start_process("/proc/self/exe", {"--gtest_filter=" + name}, env, output);
    const int status = wait_process(run, 120000);
    if (status == -1) kill_process(run);
    if (compositor) kill_process(manager);
    std::ifstream in(output);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(status, 0) << text.str();
    EXPECT_NE(text.str().find("[  PASSED  ] 1 test"), std::string::npos) << text.str();
}

// What the X server shows of a window's client area now.
inline QImage shown_on_screen(const QWidget& window) {
    const QPoint at = window.mapToGlobal(QPoint(0, 0));
    return window.screen()->grabWindow(0, at.x(), at.y(), window.width(), window.height()).toImage();
}
