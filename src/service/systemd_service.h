#pragma once

#include <functional>
#include <string>
#include <vector>

#include "service/service_control.h"

// The argument only the service's unit passes: it makes a run a service run. systemd sets
// INVOCATION_ID for every unit it starts, desktop autostart units included, so that variable
// cannot tell the service from a login start.
inline constexpr const char* kServiceMarker = "--service";

// What a command printed on standard output, and its exit status (-1 when it did not run).
struct CommandOutput {
    int status = -1;
    std::string output;
};

// Runs a command (argv); the real one starts systemctl and loginctl.
using CommandRunner = std::function<CommandOutput(const std::vector<std::string>&)>;

// Who installs and where the units go.
struct SystemdSetup {
    std::string program_path;
    bool root = false;  // a system unit, run as `user`; otherwise a unit of the user's own manager
    std::string user;   // the user the service logs for; for root the invoking user, empty when unknown
    std::string user_unit_dir;
    std::string system_unit_dir = "/etc/systemd/system";
    std::string polkit_rules_dir = "/etc/polkit-1/rules.d";

    // The setup of this process: root by the effective user id, the invoking user from
    // SUDO_USER (or PKEXEC_UID, DOAS_USER), the user units in $XDG_CONFIG_HOME/systemd/user.
    static SystemdSetup for_this_process(std::string program_path);
};

// The service as the systemd unit "kelvanto.service".
// - Installed by a normal user: a unit of the user's own manager, with lingering enabled for
//   the user so that it runs from boot, also while nobody is logged on.
// - Installed as root: a system unit that runs as the invoking user, so that it logs into that
//   user's data folder; only a program file that no one but root can replace is accepted.
// A process of a normal user works with its own unit, or with the system unit when that one
// runs as this user.
class SystemdServiceManager : public ServiceManager {
public:
    SystemdServiceManager(SystemdSetup setup, CommandRunner run);

    std::string display_name() const override { return "Kelvanto"; }
    bool install() override;
    bool uninstall() override;
    std::string failure_reason() const override { return reason_; }
    bool is_installed() override;
    bool is_running() override;
    void stop() override;
    void start_if_enabled() override;

    // The unit file this process works with.
    std::string unit_path() const;
    std::string polkit_rule_path() const { return setup_.polkit_rules_dir + "/50-kelvanto.rules"; }

private:
    bool system_unit() const;
    CommandOutput systemctl(bool system, std::vector<std::string> args);
    bool fail(std::string reason);
    bool install_user_unit(const std::string& program);
    bool install_system_unit(const std::string& program);
    bool lingering();

    SystemdSetup setup_;
    CommandRunner run_;
    std::string reason_;
};

// The unit file's text. `run_as` names the user of a system unit (User=); empty for a user
// unit. `linger_by_install` notes that the install enabled lingering, so that uninstalling
// disables it again.
std::string systemd_unit_text(const std::string& program_path, const std::string& run_as, bool linger_by_install);
// The polkit rule that lets `user` start and stop the system unit that runs as that user: the
// desktop instance starts the service again when it ends.
std::string polkit_rule_text(const std::string& user);
// Runs argv with fork/exec and waits for it; returns its status and what it printed.
CommandOutput run_command(const std::vector<std::string>& argv);
