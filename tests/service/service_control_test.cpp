#include <gtest/gtest.h>
#ifndef _WIN32
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "service/service_control.h"
#ifndef _WIN32
#include "service/systemd_service.h"
#endif
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
    std::string failure_reason() const override { return fail ? "Lingering could not be enabled." : ""; }
    bool is_installed() override { return installed; }
    bool is_running() override { return running; }
    void stop() override { ++stops; }
    void start_if_enabled() override {}
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
    EXPECT_EQ(d.shown[0].text, "Kelvanto failed to install.\nLingering could not be enabled.");
    EXPECT_EQ(d.shown[0].icon, MsgIcon::error);
    EXPECT_EQ(d.shown[1].text, "Kelvanto failed to uninstall.\nLingering could not be enabled.");
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

// The systemd units are Linux's service manager.
#ifndef _WIN32

std::string read_all(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

using Argv = std::vector<std::string>;

// Stands in for systemctl and loginctl: records every command and keeps the enabled and the
// lingering state as the real tools would. Commands named in `failing` fail.
struct FakeSystemd {
    std::vector<Argv> calls;
    bool enabled = false;
    bool lingering = false;
    std::vector<std::string> failing;

    CommandRunner runner() {
        return [this](const Argv& argv) {
            calls.push_back(argv);
            CommandOutput r{0, ""};
            const std::string verb = argv.at(argv[1] == "--user" ? 2 : 1);
            if (std::find(failing.begin(), failing.end(), verb) != failing.end()) return CommandOutput{1, ""};
            if (verb == "enable") enabled = true;
            if (verb == "disable") enabled = false;
            if (verb == "is-enabled" && !enabled) r.status = 1;
            if (verb == "enable-linger") lingering = true;
            if (verb == "disable-linger") lingering = false;
            if (verb == "show-user") r.output = lingering ? "yes\n" : "no\n";
            return r;
        };
    }
    bool called(const Argv& argv) const { return std::find(calls.begin(), calls.end(), argv) != calls.end(); }
};

mode_t file_mode(const std::filesystem::path& p) {
    struct stat st {};
    ::stat(p.c_str(), &st);
    return st.st_mode & 07777;
}

std::string this_user() {
    const passwd* pw = ::getpwuid(::getuid());
    return pw != nullptr ? pw->pw_name : "root";
}

// A program file at a path holding '%', '$' and a blank, for the unit's ExecStart line.
std::string awkward_program(const TempDir& dir) {
    const auto folder = dir.path() / "my %dir$x";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file("/bin/true", folder / "kelvanto");
    return (folder / "kelvanto").string();
}

SystemdSetup user_setup(const TempDir& dir, const std::string& program) {
    SystemdSetup s;
    s.program_path = program;
    s.user = "alice";
    s.user_unit_dir = dir.str() + "/config/systemd/user";
    s.system_unit_dir = dir.str() + "/etc/systemd/system";
    s.polkit_rules_dir = dir.str() + "/etc/polkit-1/rules.d";
    return s;
}

struct UmaskScope {
    mode_t old;
    explicit UmaskScope(mode_t m) : old(::umask(m)) {}
    ~UmaskScope() { ::umask(old); }
};

TEST(SystemdUserUnit, InstallWritesTheUnitEnablesItAndLingeringUninstallUndoesBoth) {
    TempDir dir;
    const std::string program = awkward_program(dir);
    for (const mode_t mask : {mode_t{077}, mode_t{000}}) {
        UmaskScope scope(mask);
        FakeSystemd fake;
        SystemdServiceManager m(user_setup(dir, program), fake.runner());
        ASSERT_TRUE(m.install()) << m.failure_reason();
        EXPECT_EQ(read_all(m.unit_path()),
                  "[Unit]\n"
                  "Description=Kelvanto network traffic monitor\n"
                  "After=network.target\n"
                  "# Lingering was enabled by the install; uninstalling disables it again.\n"
                  "\n"
                  "[Service]\n"
                  "Type=simple\n"
                  "ExecStart=\"" + dir.str() + "/my %%dir$x/kelvanto\" --service\n"
                  "Environment=QT_QPA_PLATFORM=offscreen\n"
                  "Restart=on-failure\n"
                  "\n"
                  "[Install]\n"
                  "WantedBy=default.target\n");
        EXPECT_EQ(m.unit_path(), dir.str() + "/config/systemd/user/kelvanto.service");
        EXPECT_EQ(file_mode(m.unit_path()), 0644u) << "umask " << mask;
        EXPECT_EQ(fake.calls, (std::vector<Argv>{{"loginctl", "show-user", "alice", "--property=Linger", "--value"},
                                                 {"systemctl", "--user", "daemon-reload"},
                                                 {"systemctl", "--user", "enable", "kelvanto.service"},
                                                 {"loginctl", "enable-linger", "alice"}}));
        EXPECT_TRUE(fake.lingering);

        // The desktop instance's end starts the enabled service again.
        m.start_if_enabled();
        EXPECT_EQ(fake.calls.back(), (Argv{"systemctl", "--user", "start", "--no-block", "--no-ask-password",
                                           "kelvanto.service"}));

        ASSERT_TRUE(m.uninstall());
        EXPECT_FALSE(std::filesystem::exists(m.unit_path()));
        EXPECT_TRUE(fake.called({"systemctl", "--user", "disable", "--now", "kelvanto.service"}));
        EXPECT_EQ(fake.calls.back(), (Argv{"loginctl", "disable-linger", "alice"}));
        EXPECT_FALSE(fake.lingering);
        const std::size_t calls = fake.calls.size();
        m.start_if_enabled();  // nothing installed: nothing to start
        EXPECT_EQ(fake.calls.size(), calls);
        EXPECT_FALSE(m.uninstall());
    }
}

TEST(SystemdUserUnit, LingeringTheUserHadIsLeftAloneAndAFailedLingerInstallsNothing) {
    TempDir dir;
    {
        FakeSystemd fake;
        fake.lingering = true;
        SystemdServiceManager m(user_setup(dir, "/usr/bin/kelvanto"), fake.runner());
        ASSERT_TRUE(m.install());
        EXPECT_EQ(read_all(m.unit_path()).find("Lingering"), std::string::npos);
        EXPECT_FALSE(fake.called({"loginctl", "enable-linger", "alice"}));
        ASSERT_TRUE(m.uninstall());
        EXPECT_TRUE(fake.lingering);
        EXPECT_FALSE(fake.called({"loginctl", "disable-linger", "alice"}));
    }
    FakeSystemd fake;
    fake.failing = {"enable-linger"};
    SystemdServiceManager m(user_setup(dir, "/usr/bin/kelvanto"), fake.runner());
    EXPECT_FALSE(m.install());
    EXPECT_NE(m.failure_reason().find("Lingering could not be enabled for alice"), std::string::npos);
    EXPECT_FALSE(m.is_installed());
    EXPECT_FALSE(fake.enabled);
}

TEST(SystemdSystemUnit, RootInstallRunsAsTheInvokingUserWhoMayStartItAgain) {
    TempDir dir;
    UmaskScope scope(077);
    SystemdSetup root = user_setup(dir, "/bin/true");
    root.root = true;
    std::filesystem::create_directories(root.polkit_rules_dir);
    const std::string program = std::filesystem::canonical("/bin/true").string();
    FakeSystemd fake;
    SystemdServiceManager m(root, fake.runner());
    ASSERT_TRUE(m.install()) << m.failure_reason();
    EXPECT_EQ(m.unit_path(), dir.str() + "/etc/systemd/system/kelvanto.service");
    EXPECT_EQ(read_all(m.unit_path()),
              "[Unit]\n"
              "Description=Kelvanto network traffic monitor\n"
              "After=network.target\n"
              "\n"
              "[Service]\n"
              "Type=simple\n"
              "User=alice\n"
              "ExecStart=" + program + " --service\n"
              "Environment=QT_QPA_PLATFORM=offscreen\n"
              "Restart=on-failure\n"
              "\n"
              "[Install]\n"
              "WantedBy=multi-user.target\n");
    EXPECT_EQ(file_mode(m.unit_path()), 0644u);
    EXPECT_EQ(file_mode(m.polkit_rule_path()), 0644u);
    EXPECT_NE(read_all(m.polkit_rule_path()).find("subject.user == \"alice\""), std::string::npos);
    EXPECT_EQ(fake.calls,
              (std::vector<Argv>{{"systemctl", "daemon-reload"}, {"systemctl", "enable", "kelvanto.service"}}));

    // Alice's own runs work with that system unit: the page sees it installed, the desktop
    // instance starts it again, and removing it is left to root.
    SystemdSetup alice = user_setup(dir, "/bin/true");
    FakeSystemd alice_fake;
    alice_fake.enabled = true;
    SystemdServiceManager as_alice(alice, alice_fake.runner());
    EXPECT_TRUE(as_alice.is_installed());
    as_alice.start_if_enabled();
    EXPECT_EQ(alice_fake.calls,
              (std::vector<Argv>{{"systemctl", "is-enabled", "--quiet", "kelvanto.service"},
                                 {"systemctl", "start", "--no-block", "--no-ask-password", "kelvanto.service"}}));
    EXPECT_FALSE(as_alice.uninstall());
    EXPECT_NE(as_alice.failure_reason().find("sudo kelvanto -uninstall"), std::string::npos);
    EXPECT_FALSE(as_alice.install());  // a second, user service would compete for the same logs
    SystemdSetup bob = alice;
    bob.user = "bob";
    EXPECT_FALSE(SystemdServiceManager(bob, alice_fake.runner()).is_installed());

    ASSERT_TRUE(m.uninstall());
    EXPECT_FALSE(std::filesystem::exists(m.unit_path()));
    EXPECT_FALSE(std::filesystem::exists(m.polkit_rule_path()));
    EXPECT_TRUE(fake.called({"systemctl", "disable", "--now", "kelvanto.service"}));
}

TEST(SystemdSystemUnit, RootInstallRefusesAnUnknownUserAndAProgramOthersCouldReplace) {
    TempDir dir;
    SystemdSetup root = user_setup(dir, "/bin/true");
    root.root = true;
    root.user.clear();
    FakeSystemd fake;
    SystemdServiceManager nobody_known(root, fake.runner());
    EXPECT_FALSE(nobody_known.install());
    EXPECT_NE(nobody_known.failure_reason().find("run the install with sudo"), std::string::npos);

    // A program in a folder that everyone may write to.
    root.user = "alice";
    root.program_path = awkward_program(dir);
    std::filesystem::permissions(std::filesystem::path(root.program_path).parent_path(),
                                 std::filesystem::perms::others_write, std::filesystem::perm_options::add);
    SystemdServiceManager replaceable(root, fake.runner());
    EXPECT_FALSE(replaceable.install());
    EXPECT_NE(replaceable.failure_reason().find("make install, or the Debian package"), std::string::npos)
        << replaceable.failure_reason();

    // systemd runs no program whose path holds a quote.
    const auto quoted = dir.path() / "it's" / "kelvanto";
    std::filesystem::create_directories(quoted.parent_path());
    SystemdSetup user = user_setup(dir, quoted.string());
    SystemdServiceManager unrunnable(user, fake.runner());
    EXPECT_FALSE(unrunnable.install());
    EXPECT_NE(unrunnable.failure_reason().find("quotes"), std::string::npos);

    EXPECT_TRUE(fake.calls.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "etc"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "config"));
}

// systemd itself reads the units written: the user unit for a program at an awkward path and
// the system unit.
TEST(SystemdUnits, SystemdAnalyzeAcceptsTheUnitsWritten) {
    if (run_command({"systemd-analyze", "--version"}).status != 0) GTEST_SKIP() << "systemd-analyze is not installed";
    TempDir dir;
    const std::string runtime = dir.str() + "/runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    const auto verify = [&](const std::string& unit, bool user) {
        const std::string script = std::string("systemd-analyze ") + (user ? "--user " : "") + "verify \"$0\" 2>&1";
        return run_command({"env", "HOME=" + dir.str(), "XDG_CONFIG_HOME=" + dir.str() + "/config",
                            "XDG_RUNTIME_DIR=" + runtime, "sh", "-c", script, unit});
    };

    FakeSystemd fake;
    SystemdServiceManager user(user_setup(dir, awkward_program(dir)), fake.runner());
    ASSERT_TRUE(user.install());
    const CommandOutput user_check = verify(user.unit_path(), true);
    EXPECT_EQ(user_check.status, 0) << user_check.output;

    SystemdSetup root = user_setup(dir, "/bin/true");
    root.root = true;
    root.user = this_user();
    SystemdServiceManager system(root, fake.runner());
    ASSERT_TRUE(system.install()) << system.failure_reason();
    const CommandOutput system_check = verify(system.unit_path(), false);
    EXPECT_EQ(system_check.status, 0) << system_check.output;
}

#endif

}  // namespace
