#include "service/systemd_service.h"

#include "platform/file_save.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// systemd splits ExecStart= at blanks; a path holding one is quoted.
std::string exec_path(const std::string& path) {
    if (path.find_first_of(" \t\"\\") == std::string::npos) return path;
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

std::string systemd_unit_text(const std::string& program_path, bool user_unit) {
    return "[Unit]\n"
           "Description=Kelvanto network traffic monitor\n"
           "After=network.target\n"
           "\n"
           "[Service]\n"
           "Type=simple\n"
           "ExecStart=" + exec_path(program_path) + "\n"
           "Environment=QT_QPA_PLATFORM=offscreen\n"
           "Restart=on-failure\n"
           "\n"
           "[Install]\n"
           "WantedBy=" + std::string(user_unit ? "default.target" : "multi-user.target") + "\n";
}

SystemdServiceManager::SystemdServiceManager(std::string program_path, std::string unit_dir, bool user_unit,
                                             CommandRunner run)
    : program_path_(std::move(program_path)), unit_dir_(std::move(unit_dir)), user_unit_(user_unit),
      run_(std::move(run)) {}

int SystemdServiceManager::systemctl(std::vector<std::string> args) {
    std::vector<std::string> argv{"systemctl"};
    if (user_unit_) argv.push_back("--user");
    argv.insert(argv.end(), args.begin(), args.end());
    return run_(argv);
}

bool SystemdServiceManager::install() {
    std::error_code ec;
    std::filesystem::create_directories(unit_dir_, ec);
    if (!save_file_whole(unit_path(), systemd_unit_text(program_path_, user_unit_))) return false;
    systemctl({"daemon-reload"});
    if (systemctl({"enable", "kelvanto.service"}) == 0) return true;
    // A unit the manager would not enable is not an installed service: leave nothing behind.
    std::filesystem::remove(unit_path(), ec);
    systemctl({"daemon-reload"});
    return false;
}

bool SystemdServiceManager::uninstall() {
    if (!is_installed()) return false;
    systemctl({"disable", "--now", "kelvanto.service"});
    std::error_code ec;
    if (!std::filesystem::remove(unit_path(), ec)) return false;
    systemctl({"daemon-reload"});
    return true;
}

bool SystemdServiceManager::is_installed() {
    std::error_code ec;
    return std::filesystem::exists(unit_path(), ec);
}

bool SystemdServiceManager::is_running() {
    return systemctl({"is-active", "--quiet", "kelvanto.service"}) == 0;
}

void SystemdServiceManager::stop() {
    systemctl({"stop", "--no-block", "kelvanto.service"});
}

int run_command(const std::vector<std::string>& argv) {
    if (argv.empty()) return -1;
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        const int null_fd = open("/dev/null", O_RDWR);
        if (null_fd >= 0) {
            dup2(null_fd, 0);
            dup2(null_fd, 1);
            dup2(null_fd, 2);
        }
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool started_as_service() {
    const char* id = std::getenv("INVOCATION_ID");
    return id != nullptr && *id != '\0';
}
