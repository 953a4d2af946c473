#pragma once

#include <functional>
#include <string>
#include <vector>

#include "service/service_control.h"

// Runs a command (argv) and returns its exit status; the real one starts systemctl.
using CommandRunner = std::function<int(const std::vector<std::string>&)>;

// The service as a systemd unit "kelvanto.service": system-wide when run by root (unit in
// /etc/systemd/system), otherwise a user unit (in $XDG_CONFIG_HOME/systemd/user). The unit
// starts the program on the offscreen platform, so it measures and logs with no display.
class SystemdServiceManager : public ServiceManager {
public:
    SystemdServiceManager(std::string program_path, std::string unit_dir, bool user_unit, CommandRunner run);

    std::string display_name() const override { return "Kelvanto"; }
    bool install() override;
    bool uninstall() override;
    bool is_installed() override;
    bool is_running() override;
    void stop() override;

    std::string unit_path() const { return unit_dir_ + "/kelvanto.service"; }

private:
    int systemctl(std::vector<std::string> args);

    std::string program_path_;
    std::string unit_dir_;
    bool user_unit_;
    CommandRunner run_;
};

// The unit file's text for a program path.
std::string systemd_unit_text(const std::string& program_path, bool user_unit);
// Runs argv with fork/exec and waits for it; its output is discarded.
int run_command(const std::vector<std::string>& argv);
// Whether this process was started by the service manager.
bool started_as_service();
