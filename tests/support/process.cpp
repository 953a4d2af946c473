#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

// A program started by a test never reaches a real update or time server, never sets the
// real clock and never meets the user's own keyring, unless the test points these somewhere
// itself: port 9 on the loopback address refuses, and the session bus is not there.
const std::map<std::string, std::string> kNetworkSeams{
    {"KELVANTO_UPDATE_HOST", "127.0.0.1"}, {"KELVANTO_UPDATE_PORT", "9"}, {"KELVANTO_TIME_HOST", "127.0.0.1"},
    {"KELVANTO_TIME_PORT", "9"},           {"KELVANTO_CLOCK_READONLY", "1"},
    {"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/kelvanto-test-bus"}};

}  // namespace

ChildProcess start_process(const std::string& program, const std::vector<std::string>& args,
                           const std::map<std::string, std::string>& env, const std::string& output_file) {
    std::map<std::string, std::string> full_env = kNetworkSeams;
    for (const auto& [k, v] : env) full_env[k] = v;
    std::vector<std::string> env_strings;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::string key = entry.substr(0, entry.find('='));
        if (full_env.count(key) == 0) env_strings.push_back(entry);
    }
    for (const auto& [k, v] : full_env) {
        if (!v.empty() || k.empty()) env_strings.push_back(k + "=" + v);
    }
    std::vector<std::string> argv_strings{program};
    argv_strings.insert(argv_strings.end(), args.begin(), args.end());

    ChildProcess child;
    child.pid = fork();
    if (child.pid == 0) {
        if (!output_file.empty()) {
            const int fd = open(output_file.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
            if (fd >= 0) {
                dup2(fd, 1);
                dup2(fd, 2);
                close(fd);
            }
        }
        std::vector<char*> argv;
        for (auto& a : argv_strings) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::vector<char*> envp;
        for (auto& e : env_strings) envp.push_back(e.data());
        envp.push_back(nullptr);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    return child;
}

int wait_process(ChildProcess& child, int timeout_ms) {
    if (child.pid <= 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(child.pid, &status, WNOHANG);
        if (r == child.pid) {
            child.pid = -1;
            if (WIFEXITED(status)) return WEXITSTATUS(status);
            if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
            return -1;
        }
        if (std::chrono::steady_clock::now() >= deadline) return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool process_running(const ChildProcess& child) {
    if (child.pid <= 0) return false;
    int status = 0;
    return waitpid(child.pid, &status, WNOHANG) == 0;
}

void kill_process(ChildProcess& child) {
    if (child.pid <= 0) return;
    kill(child.pid, SIGKILL);
    int status = 0;
    waitpid(child.pid, &status, 0);
    child.pid = -1;
}
