#include "service/systemd_service.h"

#include "platform/file_save.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr const char* kUnitName = "kelvanto.service";
constexpr const char* kLingerNote = "# Lingering was enabled by the install; uninstalling disables it again.";

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

std::string user_name(uid_t uid) {
    const passwd* pw = ::getpwuid(uid);
    return pw != nullptr ? pw->pw_name : "";
}

// The user a root process was started for: sudo, pkexec and doas each leave a trace.
std::string invoking_user() {
    for (const char* var : {"SUDO_USER", "DOAS_USER"}) {
        const std::string name = env(var);
        if (!name.empty() && ::getpwnam(name.c_str()) != nullptr) return name;
    }
    const std::string uid = env("PKEXEC_UID");
    char* end = nullptr;
    const unsigned long n = std::strtoul(uid.c_str(), &end, 10);
    return !uid.empty() && *end == '\0' ? user_name(static_cast<uid_t>(n)) : "";
}

// systemd starts no program whose path holds quotes, backslashes or control characters.
bool systemd_can_run(const std::string& path) {
    for (const unsigned char c : path)
        if (c == '"' || c == '\'' || c == '\\' || c < 0x20 || c == 0x7f) return false;
    return true;
}

// The program path as the first word of ExecStart=: '%' starts a specifier anywhere in the
// line and is doubled; a path with blanks is quoted. '$' stays: systemd expands variables in
// the arguments, never in the path of the program it runs.
std::string exec_path(const std::string& path) {
    std::string escaped;
    for (const char c : path) {
        if (c == '%') escaped += '%';
        escaped += c;
    }
    return path.find(' ') == std::string::npos ? escaped : "\"" + escaped + "\"";
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool has_line(const std::string& text, const std::string& line) {
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        if (l == line) return true;
    return false;
}

// The value of the first "key=" line.
std::string value_of(const std::string& text, const std::string& key) {
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        if (l.rfind(key + "=", 0) == 0) return l.substr(key.size() + 1);
    return "";
}

// Writes the file whole (durably, see save_file_whole), readable by everyone and writable by
// its owner whatever the umask: systemd and polkit read these files as other users.
bool write_public_file(const std::string& path, const std::string& text) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    return save_file_whole(path, text) && ::chmod(path.c_str(), 0644) == 0;
}

// The first of the file and the folders above it that a user other than root could change:
// not owned by root, or writable by its group or by others. Empty when there is none. The
// path is canonical: a link on the way would count as writable by others.
std::string replaceable_part(const fs::path& program) {
    for (fs::path p = program;; p = p.parent_path()) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || st.st_uid != 0 || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0)
            return p.string();
        if (p == p.root_path()) return "";
    }
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

}  // namespace

std::string systemd_unit_text(const std::string& program_path, const std::string& run_as, bool linger_by_install) {
    std::string unit = "[Unit]\n"
                       "Description=Kelvanto network traffic monitor\n"
                       "After=network.target\n";
    if (linger_by_install) unit += std::string(kLingerNote) + "\n";
    unit += "\n"
            "[Service]\n"
            "Type=simple\n";
    if (!run_as.empty()) unit += "User=" + run_as + "\n";
    unit += "ExecStart=" + exec_path(program_path) + " " + kServiceMarker + "\n" +
            "Environment=QT_QPA_PLATFORM=offscreen\n"
            "Restart=on-failure\n"
            "\n"
            "[Install]\n"
            "WantedBy=" + std::string(run_as.empty() ? "default.target" : "multi-user.target") + "\n";
    return unit;
}

std::string polkit_rule_text(const std::string& user) {
    std::string quoted;
    for (const char c : user) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return "// Lets " + user + " start and stop kelvanto.service, which runs as " + user + ":\n"
           "// the program starts the service again when its desktop instance ends.\n"
           "polkit.addRule(function(action, subject) {\n"
           "    if (action.id == \"org.freedesktop.systemd1.manage-units\" &&\n"
           "        action.lookup(\"unit\") == \"kelvanto.service\" &&\n"
           "        (action.lookup(\"verb\") == \"start\" || action.lookup(\"verb\") == \"stop\") &&\n"
           "        subject.user == \"" + quoted + "\") {\n"
           "        return polkit.Result.YES;\n"
           "    }\n"
           "});\n";
}

SystemdSetup SystemdSetup::for_this_process(std::string program_path) {
    SystemdSetup s;
    s.program_path = std::move(program_path);
    s.root = ::geteuid() == 0;
    s.user = s.root ? invoking_user() : user_name(::geteuid());
    std::string config = env("XDG_CONFIG_HOME");
    if (config.empty()) {
        std::string home = env("HOME");
        if (home.empty()) {
            const passwd* pw = ::getpwuid(::geteuid());
            if (pw != nullptr) home = pw->pw_dir;
        }
        config = home + "/.config";
    }
    s.user_unit_dir = config + "/systemd/user";
    return s;
}

SystemdServiceManager::SystemdServiceManager(SystemdSetup setup, CommandRunner run)
    : setup_(std::move(setup)), run_(std::move(run)) {}

bool SystemdServiceManager::system_unit() const {
    if (setup_.root) return true;
    std::error_code ec;
    if (fs::exists(setup_.user_unit_dir + "/" + kUnitName, ec)) return false;
    const std::string system = setup_.system_unit_dir + "/" + kUnitName;
    return fs::exists(system, ec) && value_of(read_text(system), "User") == setup_.user;
}

std::string SystemdServiceManager::unit_path() const {
    return (system_unit() ? setup_.system_unit_dir : setup_.user_unit_dir) + "/" + kUnitName;
}

CommandOutput SystemdServiceManager::systemctl(bool system, std::vector<std::string> args) {
    std::vector<std::string> argv{"systemctl"};
    if (!system) argv.push_back("--user");
    argv.insert(argv.end(), args.begin(), args.end());
    return run_(argv);
}

bool SystemdServiceManager::fail(std::string reason) {
    reason_ = std::move(reason);
    return false;
}

bool SystemdServiceManager::lingering() {
    const CommandOutput r = run_({"loginctl", "show-user", setup_.user, "--property=Linger", "--value"});
    return r.status == 0 && trimmed(r.output) == "yes";
}

bool SystemdServiceManager::install() {
    reason_.clear();
    std::error_code ec;
    // A system unit names the file itself, never a link that could be pointed elsewhere.
    const std::string program = setup_.root ? fs::canonical(setup_.program_path, ec).string() : setup_.program_path;
    if (ec) return fail("The program file " + setup_.program_path + " cannot be found.");
    if (!systemd_can_run(program))
        return fail("systemd cannot start a program whose path holds quotes, backslashes or control characters: " +
                    program);
    return setup_.root ? install_system_unit(program) : install_user_unit(program);
}

bool SystemdServiceManager::install_user_unit(const std::string& program) {
    if (system_unit())
        return fail("The system service already logs for " + setup_.user +
                    "; remove it first with: sudo kelvanto -uninstall");
    const std::string unit = unit_path();
    // A reinstall keeps the note of an earlier one: lingering is on now because of it.
    const bool noted = has_line(read_text(unit), kLingerNote);
    const bool enable_linger = !noted && !lingering();
    if (!write_public_file(unit, systemd_unit_text(program, "", noted || enable_linger)))
        return fail("The unit file " + unit + " could not be written.");
    systemctl(false, {"daemon-reload"});
    std::string failure;
    if (systemctl(false, {"enable", kUnitName}).status != 0) {
        failure = "systemctl could not enable kelvanto.service.";
    } else if (enable_linger && run_({"loginctl", "enable-linger", setup_.user}).status != 0) {
        failure = "Lingering could not be enabled for " + setup_.user +
                  " (loginctl enable-linger), so the service would run only while " + setup_.user +
                  " is logged on.";
        systemctl(false, {"disable", kUnitName});
    }
    if (failure.empty()) return true;
    // A unit that cannot do its job is not an installed service: leave nothing behind.
    std::error_code ec;
    fs::remove(unit, ec);
    systemctl(false, {"daemon-reload"});
    return fail(failure);
}

bool SystemdServiceManager::install_system_unit(const std::string& program) {
    if (setup_.user.empty())
        return fail("The service runs as the user whose traffic it logs, and that user is not known: "
                    "run the install with sudo from that user's account.");
    const std::string part = replaceable_part(program);
    if (!part.empty())
        return fail("The service would start " + program + ", but users other than root can replace " + part +
                    ". Install the program first (make install, or the Debian package) and run the installed "
                    "copy with -install.");
    const std::string unit = unit_path();
    std::error_code ec;
    if (!write_public_file(unit, systemd_unit_text(program, setup_.user, false)))
        return fail("The unit file " + unit + " could not be written.");
    if (fs::is_directory(setup_.polkit_rules_dir, ec))
        write_public_file(polkit_rule_path(), polkit_rule_text(setup_.user));
    systemctl(true, {"daemon-reload"});
    if (systemctl(true, {"enable", kUnitName}).status == 0) return true;
    fs::remove(unit, ec);
    fs::remove(polkit_rule_path(), ec);
    systemctl(true, {"daemon-reload"});
    return fail("systemctl could not enable kelvanto.service.");
}

bool SystemdServiceManager::uninstall() {
    reason_.clear();
    if (!is_installed()) return false;
    const bool system = system_unit();
    if (system && !setup_.root)
        return fail("The service was installed by root; remove it with: sudo kelvanto -uninstall");
    const std::string unit = unit_path();
    const bool linger_by_install = has_line(read_text(unit), kLingerNote);
    systemctl(system, {"disable", "--now", kUnitName});
    std::error_code ec;
    if (!fs::remove(unit, ec)) return fail("The unit file " + unit + " could not be removed.");
    if (system) fs::remove(polkit_rule_path(), ec);
    systemctl(system, {"daemon-reload"});
    if (linger_by_install) run_({"loginctl", "disable-linger", setup_.user});
    return true;
}

bool SystemdServiceManager::is_installed() {
    std::error_code ec;
    return fs::exists(unit_path(), ec);
}

bool SystemdServiceManager::is_running() {
    return is_installed() && systemctl(system_unit(), {"is-active", "--quiet", kUnitName}).status == 0;
}

void SystemdServiceManager::stop() {
    systemctl(system_unit(), {"stop", "--no-block", "--no-ask-password", kUnitName});
}

void SystemdServiceManager::start_if_enabled() {
    if (!is_installed()) return;
    const bool system = system_unit();
    if (systemctl(system, {"is-enabled", "--quiet", kUnitName}).status != 0) return;
    systemctl(system, {"start", "--no-block", "--no-ask-password", kUnitName});
}

CommandOutput run_command(const std::vector<std::string>& argv) {
    CommandOutput result;
    int out[2];
    if (argv.empty() || ::pipe2(out, O_CLOEXEC) != 0) return result;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(out[0]);
        ::close(out[1]);
        return result;
    }
    if (pid == 0) {
        const int null_fd = ::open("/dev/null", O_RDWR);
        if (null_fd >= 0) {
            ::dup2(null_fd, 0);
            ::dup2(null_fd, 2);
        }
        ::dup2(out[1], 1);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(out[1]);
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) != 0;) {
        if (n > 0) result.output.append(buf, static_cast<std::size_t>(n));
        else if (errno != EINTR) break;
    }
    ::close(out[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return result;
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
