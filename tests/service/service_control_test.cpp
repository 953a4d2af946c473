#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "service/service_control.h"
#include "service/systemd_service.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

namespace {

struct FakeServiceManager : ServiceManager {
    bool installed = false;
    bool running = false;
    bool fail = false;
    int stops = 0;
    std::string display_name() const override { return "Kelvanto"; }
    bool install() override { return fail ? false : (installed = true); }
    bool uninstall() override {
        if (fail || !installed) return false;
        installed = false;
        return true;
    }
    bool is_installed() override { return installed; }
    bool is_running() override { return running; }
    void stop() override { ++stops; }
};

TEST(ServiceCommandLine, OnlyTheExactFormsAreRecognised) {
    FakeServiceManager m;
    RecordingDialogs d;
    for (const char* other : {"-install ", "/install", "-Install", " -install", "-uninstall x", "", "/minimized"}) {
        EXPECT_EQ(install_service_from_command_line(other, m, d), CommandLineAction::none) << other;
    }
    EXPECT_TRUE(d.shown.empty());
    EXPECT_FALSE(m.installed);

    EXPECT_EQ(install_service_from_command_line("-install", m, d), CommandLineAction::installed);
    ASSERT_EQ(d.shown.size(), 1u);
    EXPECT_EQ(d.shown[0].text, "Kelvanto installed successfully.");
    EXPECT_EQ(d.shown[0].title, "Service");
    EXPECT_EQ(d.shown[0].icon, MsgIcon::information);
    EXPECT_EQ(install_service_from_command_line("-uninstall", m, d), CommandLineAction::uninstalled);
    EXPECT_EQ(d.shown[1].text, "Kelvanto uninstalled successfully.");
}

TEST(ServiceCommandLine, FailuresAreReportedWithTheErrorIcon) {
    FakeServiceManager m;
    m.fail = true;
    RecordingDialogs d;
    EXPECT_EQ(install_service_from_command_line("-install", m, d), CommandLineAction::failed);
    EXPECT_EQ(install_service_from_command_line("-uninstall", m, d), CommandLineAction::failed);
    ASSERT_EQ(d.shown.size(), 2u);
    EXPECT_EQ(d.shown[0].text, "Kelvanto failed to install.");
    EXPECT_EQ(d.shown[0].icon, MsgIcon::error);
    EXPECT_EQ(d.shown[1].text, "Kelvanto failed to uninstall.");
}

TEST(ServicePage, ButtonsFollowTheInstalledState) {
    FakeServiceManager m;
    ServicePageState p = refresh_service_page(m, false);
    EXPECT_TRUE(p.install_enabled);
    EXPECT_FALSE(p.uninstall_enabled);
    EXPECT_EQ(p.service_label, "");

    m.installed = true;
    p = refresh_service_page(m, false);
    EXPECT_FALSE(p.install_enabled);
    EXPECT_TRUE(p.uninstall_enabled);
    EXPECT_FALSE(p.running);

    m.running = true;
    p = refresh_service_page(m, true);
    EXPECT_FALSE(p.install_enabled);
    EXPECT_TRUE(p.uninstall_enabled);
    EXPECT_TRUE(p.running);
    EXPECT_EQ(p.service_label, "Currently running as a service");

    RecordingDialogs d;
    m.installed = false;
    EXPECT_TRUE(install_service(m, d));
    EXPECT_TRUE(d.shown.back().system_modal);
    EXPECT_TRUE(uninstall_service(m, d));
    EXPECT_FALSE(uninstall_service(m, d));  // nothing left to remove
    EXPECT_EQ(d.shown.back().text, "Kelvanto failed to uninstall.");
}

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(SystemdService, InstallWritesAnOffscreenUnitAndEnablesIt) {
    TempDir dir;
    std::vector<std::vector<std::string>> calls;
    SystemdServiceManager m("/opt/kelvanto bin/kelvanto", dir.str() + "/units", true,
                            [&](const std::vector<std::string>& argv) {
                                calls.push_back(argv);
                                return 0;
                            });
    ASSERT_TRUE(m.install());
    const std::string unit = read_all(m.unit_path());
    EXPECT_NE(unit.find("\nExecStart=\"/opt/kelvanto bin/kelvanto\"\n"), std::string::npos) << unit;
    EXPECT_NE(unit.find("\nEnvironment=QT_QPA_PLATFORM=offscreen\n"), std::string::npos);
    EXPECT_NE(unit.find("\nWantedBy=default.target\n"), std::string::npos);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1], (std::vector<std::string>{"systemctl", "--user", "enable", "kelvanto.service"}));
    EXPECT_TRUE(m.is_installed());

    ASSERT_TRUE(m.uninstall());
    EXPECT_FALSE(std::filesystem::exists(m.unit_path()));
    EXPECT_EQ(calls[2], (std::vector<std::string>{"systemctl", "--user", "disable", "--now", "kelvanto.service"}));
    EXPECT_FALSE(m.uninstall());
}

TEST(SystemdService, SystemUnitAndFailedEnable) {
    TempDir dir;
    const std::string unit = systemd_unit_text("/usr/bin/kelvanto", false);
    EXPECT_NE(unit.find("\nExecStart=/usr/bin/kelvanto\nEnvironment=QT_QPA_PLATFORM=offscreen\n"), std::string::npos);
    EXPECT_NE(unit.find("WantedBy=multi-user.target"), std::string::npos);

    SystemdServiceManager m("/usr/bin/kelvanto", dir.str(), false,
                            [](const std::vector<std::string>& argv) { return argv[1] == "enable" ? 1 : 0; });
    EXPECT_FALSE(m.install());  // systemctl refused to enable it
    EXPECT_FALSE(m.is_installed());

    SystemdServiceManager unwritable("/usr/bin/kelvanto", "/proc/no-such-dir", false,
                                     [](const std::vector<std::string>&) { return 0; });
    EXPECT_FALSE(unwritable.install());
}

}  // namespace
