#include <gtest/gtest.h>

#include <QSignalSpy>

#include "core/qt/frm_main.h"
#include "service/service_control.h"
#include "support/temp_dir.h"

namespace {

struct CountingServiceManager : ServiceManager {
    int stops = 0;
    std::string display_name() const override { return "Kelvanto"; }
    bool install() override { return true; }
    bool uninstall() override { return true; }
    bool is_installed() override { return true; }
    bool is_running() override { return true; }
    void stop() override { ++stops; }
    void start_if_enabled() override {}
};

TEST(ServiceMode, ExitAsksTheManagerAndOnlyTheStopEventEndsTheProgram) {
    TempDir dir;
    qputenv("KELVANTO_HOME", dir.str().c_str());
    qputenv("XDG_CONFIG_HOME", (dir.str() + "/config").c_str());
    CountingServiceManager manager;
    frmMain window(StartOptions{});
    window.set_service_manager(&manager);
    QSignalSpy unloaded(&window, &frmMain::unloaded);
    window.service_start_event();
    EXPECT_TRUE(window.state().running_as_service);
    ASSERT_TRUE(window.Form_Load());

    window.exit_command();
    EXPECT_EQ(manager.stops, 1);
    EXPECT_EQ(unloaded.count(), 0);
    EXPECT_FALSE(window.state().exiting);

    window.service_stop_event();
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_TRUE(window.state().exiting);
}

TEST(ServiceMode, DesktopExitEndsAtOnceAndAnEarlyStopEventSkipsTheUnload) {
    TempDir dir;
    qputenv("KELVANTO_HOME", dir.str().c_str());
    CountingServiceManager manager;
    {
        frmMain window(StartOptions{});
        window.set_service_manager(&manager);
        QSignalSpy unloaded(&window, &frmMain::unloaded);
        ASSERT_TRUE(window.Form_Load());
        window.exit_command();
        EXPECT_EQ(manager.stops, 0);
        EXPECT_EQ(unloaded.count(), 1);
    }
    frmMain early(StartOptions{});
    QSignalSpy unloaded(&early, &frmMain::unloaded);
    early.service_stop_event();  // before the window loaded
    EXPECT_EQ(unloaded.count(), 1);
    EXPECT_FALSE(early.state().main_window_loaded);
}

}  // namespace
