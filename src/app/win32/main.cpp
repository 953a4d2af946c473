// kelvanto.exe: the monitor on Windows. A desktop start shows the floating window and the
// tray icon; the service, and a start with --no-window, log the traffic without either.
#include <cstdio>
#include <string>
#include <vector>

#include "app/win32/console.h"
#include "app/win32/windowless_run.h"
#include "core/report_run.h"
#include "history/history_report.h"
#include "platform/win32/data_folder.h"
#include "platform/win32/registry_settings.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_interface_table.h"
#include "platform/win32/win32_service.h"
#include "platform/win32/win32_text.h"
#include "service/service_control.h"

namespace {

constexpr const char* kServiceArgument = "--service";
constexpr const char* kNoWindowArgument = "--no-window";

constexpr const char* kUsage =
    "Usage: kelvanto [/minimized | --no-window]\n"
    "       kelvanto -install | -uninstall\n"
    "       kelvanto --report totals|daily|weekly|monthly|yearly [--html|--json|--csv]\n"
    "                [--adapter N|--retired NAME]\n"
    "       kelvanto --help | --version\n"
    "\n"
    "Monitors the network traffic of this computer: rates and amounts in a small window\n"
    "and in the notification area, every adapter's traffic logged per day and per minute.\n"
    "It runs until Exit in its menu, the end of the session, Ctrl+C or taskkill.\n"
    "\n"
    "  /minimized   start with the window hidden in the notification area\n"
    "  --no-window  log without a window or tray icon, as the service does\n"
    "  -install     run as a service of the service control manager (as administrator)\n"
    "  -uninstall   stop and remove that service\n"
    "  --service    the service's own run (the service control manager passes it)\n"
    "  --report     print a traffic report on standard output\n"
    "               (--html: as an HTML page; --json, --csv: as data for scripts;\n"
    "               --adapter N: of adapter N; --retired NAME: of the history kept\n"
    "               in Stats\\Retired\\NAME when its adapter number was freed)\n"
    "  --help       print this text\n"
    "  --version    print the program name and version\n"
    "\n"
    "Data:     %KELVANTO_HOME%, else the program's folder when it is writable,\n"
    "          else %LOCALAPPDATA%\\Kelvanto\n"
    "Settings: HKEY_CURRENT_USER\\software\\Kelvanto\n";

bool has_argument(const std::vector<std::string>& args, const char* wanted) {
    for (const std::string& a : args)
        if (a == wanted) return true;
    return false;
}

std::string joined(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args) line += (line.empty() ? "" : " ") + a;
    return line;
}

// The installer's messages: on the console when there is one, else in a message box.
class InstallerDialogs : public Dialogs {
public:
    explicit InstallerDialogs(bool console) : console_(console) {}
    MsgResult message_box(const MessageBoxRequest& r) override {
        if (console_) {
            std::fprintf(r.icon == MsgIcon::error ? stderr : stdout, "%s\n", r.text.c_str());
        } else {
            show_message_window(r.title, r.text, r.icon == MsgIcon::error);
        }
        return MsgResult::ok;
    }

private:
    bool console_;
};

const std::string* unknown_option(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a.size() > 1 && a[0] == '-' && a != kServiceArgument && a != kNoWindowArgument &&
            a.find("/minimized") == std::string::npos)
            return &a;
    return nullptr;
}

int report(const std::vector<std::string>& args) {
    Win32InterfaceTable tables;
    Win32Clock clock;
    ConsoleDialogs dialogs;
    EnglishLocale locale;
    RegistrySettings store;
    Services services{tables, clock, dialogs, &locale};
    services.settings_store = &store;
    return run_report(args, services, windows_data_folder());
}

int service_run() {
    StopSwitch stop;
    int status = 0;
    ServiceRun run{[&] { return status = run_logging(RunRole::service, stop); }, [&stop] { stop.request(); }};
    if (run_as_service(run)) return status;
    std::fputs("kelvanto: --service is the service control manager's start of the service\n", stderr);
    return 1;
}

int desktop_run(const std::vector<std::string>& args) {
    StopSwitch stop;
    stop_on_console_close(&stop);
    WindowStart window;
    for (const std::string& a : args) window.minimized = window.minimized || a.find("/minimized") != std::string::npos;
    const int status = run_logging(RunRole::desktop, stop, has_argument(args, kNoWindowArgument) ? nullptr : &window);
    stop_on_console_close(nullptr);
    return status;
}

}  // namespace

int main() {
    const bool console = attach_console();
    const std::vector<std::string> args = command_arguments();
    // Answered before any data folder exists.
    if (has_argument(args, "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (has_argument(args, "--version")) {
        std::fputs("Kelvanto " KELVANTO_VERSION "\n", stdout);
        return 0;
    }
    if (wants_report(args)) return report(args);
    {
        Win32ServiceManager manager("\"" + program_path() + "\" " + kServiceArgument);
        InstallerDialogs dialogs(console);
        switch (install_service_from_command_line(joined(args), manager, dialogs)) {
            case CommandLineAction::none: break;
            case CommandLineAction::failed: return 1;
            default: return 0;
        }
    }
    if (const std::string* unknown = unknown_option(args)) {
        std::fprintf(stderr, "kelvanto: unknown option \"%s\"\n", unknown->c_str());
        std::fputs(kUsage, stderr);
        return 2;
    }
    return has_argument(args, kServiceArgument) ? service_run() : desktop_run(args);
}
