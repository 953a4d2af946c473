#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <filesystem>

#include "core/qt/frm_main.h"
#include "service/service_control.h"
#include "service/systemd_service.h"
#include "settings/qt/frm_options.h"
#include "support/temp_dir.h"
#include "support/temp_home.h"

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

// Clicks `button` and returns the text of the message box it opens, closing the box.
QString click_and_read_box(QPushButton* button) {
    QString text;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            box->accept();
        }
    });
    button->click();
    return text;
}

// The Service page of the real options dialog installs and removes the user's systemd unit
// (systemctl and loginctl replaced): each result is reported, a failure says why and leaves
// nothing behind, and the buttons and the hand-over note follow what is installed.
TEST(ServicePageOnMainWindow, InstallAndUninstallAreReportedAndTheButtonsFollow) {
    TempDir dir;
    use_temp_home(dir);
    SystemdSetup setup;
    setup.program_path = "/usr/bin/kelvanto";
    setup.user = "alice";
    setup.user_unit_dir = dir.str() + "/units";
    setup.system_unit_dir = dir.str() + "/system";
    bool linger_refused = true;
    SystemdServiceManager manager(setup, [&](const std::vector<std::string>& argv) {
        if (argv[1] == "enable-linger" && linger_refused) return CommandOutput{1, ""};
        if (argv[1] == "show-user") return CommandOutput{0, "no\n"};
        return CommandOutput{argv.size() > 2 && argv[2] == "is-active" ? 3 : 0, ""};
    });
    frmMain main(StartOptions{});
    main.set_service_manager(&manager);
    ASSERT_TRUE(main.Form_Load());
    main.open_options();
    frmOptions* dlg = main.options_window();
    ASSERT_NE(dlg, nullptr);
    dlg->show_page(QStringLiteral("Service"));
    auto* install = dlg->findChild<QPushButton*>(QStringLiteral("cmdInsSrv"));
    auto* uninstall = dlg->findChild<QPushButton*>(QStringLiteral("cmdUnInsSrv"));
    auto* note = dlg->findChild<QLabel*>(QStringLiteral("lblHandOver"));
    ASSERT_TRUE(install && uninstall && note);
    EXPECT_TRUE(install->isEnabled());
    EXPECT_FALSE(uninstall->isEnabled());

    EXPECT_EQ(click_and_read_box(install),
              "Kelvanto failed to install.\nLingering could not be enabled for alice (loginctl enable-linger), "
              "so the service would run only while alice is logged on.");
    EXPECT_FALSE(std::filesystem::exists(manager.unit_path()));
    EXPECT_TRUE(install->isEnabled());

    linger_refused = false;
    EXPECT_EQ(click_and_read_box(install), "Kelvanto installed successfully.");
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "units" / "kelvanto.service"));
    EXPECT_FALSE(install->isEnabled());
    EXPECT_TRUE(uninstall->isEnabled());
    EXPECT_EQ(note->text(), kServiceHandOverNote);

    EXPECT_EQ(click_and_read_box(uninstall), "Kelvanto uninstalled successfully.");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "units" / "kelvanto.service"));
    EXPECT_TRUE(install->isEnabled());
    EXPECT_FALSE(uninstall->isEnabled());
    EXPECT_EQ(note->text(), "");
    main.UnloadKVT();
}

}  // namespace
