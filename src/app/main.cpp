#include <QApplication>
#include <QSessionManager>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/qt/frm_main.h"
#include "core/qt/single_instance.h"
#include "core/qt/window_tour.h"
#include "display/qt/app_icon.h"
#include "history/history_report.h"
#include "history/qt/report_command.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/unix_signals.h"
#include "service/service_control.h"
#include "service/systemd_service.h"

namespace {

// The whole command line after the program name, joined by blanks.
QString command_line(int argc, char** argv) {
    QStringList parts;
    for (int i = 1; i < argc; ++i) parts << QString::fromLocal8Bit(argv[i]);
    return parts.join(QLatin1Char(' '));
}

// Without a desktop the installer's messages go to standard output.
class ConsoleDialogs : public Dialogs {
public:
    MsgResult message_box(const MessageBoxRequest& r) override {
        std::fprintf(r.icon == MsgIcon::error ? stderr : stdout, "%s\n", r.text.c_str());
        return MsgResult::ok;
    }
};

constexpr const char* kUsage =
    "Usage: kelvanto [/minimized]\n"
    "       kelvanto -install | -uninstall\n"
    "       kelvanto --report totals|daily|weekly|monthly|yearly [--html|--json|--csv]\n"
    "                [--adapter N|--retired NAME]\n"
    "       kelvanto --help | --version\n"
    "\n"
    "Monitors the network traffic of this computer: rates and amounts in a small window\n"
    "and a tray graph, and a log of every adapter's traffic per day and per minute.\n"
    "\n"
    "  /minimized   start with the window minimised\n"
    "  -install     run as a service: write and enable a systemd unit\n"
    "  -uninstall   disable and remove that unit\n"
    "  --service    the service's own run (the unit passes it)\n"
    "  --report     print a traffic report on standard output\n"
    "               (--html: as an HTML page; --json, --csv: as data for scripts;\n"
    "               --adapter N: of adapter N; --retired NAME: of the history kept\n"
    "               in Stats/Retired/NAME when its adapter number was freed)\n"
    "  --help       print this text\n"
    "  --version    print the program name and version\n"
    "\n"
    "Data:     $KELVANTO_HOME, else $XDG_DATA_HOME/kelvanto (~/.local/share/kelvanto)\n"
    "Settings: $XDG_CONFIG_HOME/Kelvanto/Kelvanto.conf (~/.config/Kelvanto/Kelvanto.conf)\n"
    "See kelvanto(1) for details.\n";

// The first argument that is an option the monitor does not know, once Qt has taken its own
// (-platform, -session ...) out of the list: only "--service" and anything holding
// "/minimized" are left to it.
const char* unknown_option(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.size() > 1 && a[0] == '-' && a != kServiceMarker && a.find("/minimized") == std::string::npos)
            return argv[i];
    }
    return nullptr;
}

bool has_argument(int argc, char** argv, const char* wanted) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], wanted) == 0) return true;
    return false;
}

// No display server to connect to and no platform chosen by the user: Qt would abort, so the
// program runs on the offscreen platform instead and keeps measuring and logging.
bool without_display() {
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The platforms Qt tries in turn when the user chose none. In a Wayland session that also
// offers X11 (Xwayland), X11 comes first: there the floating window gets the place it was
// left at and can stay on top, which Wayland lets no client ask for. A display that refuses
// the connection must not abort the monitor either: the list ends with offscreen.
QByteArray preferred_platforms() {
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) return "xcb;offscreen";
    return x11 ? "xcb;wayland;offscreen" : "wayland;xcb;offscreen";
}

// The run without a window is a program of its own that links no window system: kelvanto
// replaces itself with it (the process, and so a service's main PID, stays). It lies beside
// kelvanto in a build folder, else where the installation put it.
int run_without_window(int argc, char** argv) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        std::fprintf(stderr, "kelvanto: cannot find this program's own file: %s\n", error.message().c_str());
        return 1;
    }
    std::filesystem::path service = self.parent_path() / "kelvanto-service";
    if (!std::filesystem::exists(service, error))
        service = (self.parent_path() / KELVANTO_SERVICE_FROM_BIN).lexically_normal();
    std::vector<std::string> words{service.string(), "--program", self.string()};
    for (int i = 1; i < argc; ++i) words.emplace_back(argv[i]);
    std::vector<char*> args;
    for (std::string& w : words) args.push_back(w.data());
    args.push_back(nullptr);
    std::fflush(stdout);
    ::execv(args[0], args.data());
    std::fprintf(stderr, "kelvanto: cannot start the run without a window, %s: %s\n", args[0], std::strerror(errno));
    return 1;
}

bool has_desktop() {
    return qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("offscreen") &&
           (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"));
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before any window or data folder exists.
    if (has_argument(argc, argv, "--help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (has_argument(argc, argv, "--version")) {
        std::fputs("Kelvanto " KELVANTO_VERSION "\n", stdout);
        return 0;
    }
    {
        std::vector<std::string> args;
        for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
        if (wants_report(args)) return run_report_command(args);
    }
    const bool service_run = has_argument(argc, argv, kServiceMarker);
    const bool headless = without_display();
    const QString cmd = command_line(argc, argv);
    if ((service_run || headless) && cmd != QLatin1String("-install") && cmd != QLatin1String("-uninstall")) {
        if (const char* unknown = unknown_option(argc, argv)) {
            std::fprintf(stderr, "kelvanto: unknown option \"%s\"\n", unknown);
            std::fputs(kUsage, stderr);
            return 2;
        }
        return run_without_window(argc, argv);
    }
    // Only "-install" and "-uninstall" come here without a display.
    if (headless) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", preferred_platforms());
    }

    QApplication app(argc, argv);
    QApplication::setWindowIcon(app_icon());
    QApplication::setApplicationName(QStringLiteral("Kelvanto"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setQuitOnLastWindowClosed(false);

    SystemdServiceManager service_manager(
        SystemdSetup::for_this_process(QCoreApplication::applicationFilePath().toStdString()), run_command);
    {
        ConsoleDialogs console;
        QtDialogs windows;
        Dialogs& dialogs = has_desktop() ? static_cast<Dialogs&>(windows) : static_cast<Dialogs&>(console);
        switch (install_service_from_command_line(cmd.toStdString(), service_manager, dialogs)) {
            case CommandLineAction::none: break;
            case CommandLineAction::failed: return 1;
            default: return 0;
        }
    }

    if (const char* unknown = unknown_option(argc, argv)) {
        std::fprintf(stderr, "kelvanto: unknown option \"%s\"\n", unknown);
        std::fputs(kUsage, stderr);
        return 2;
    }
    // The service runs without a window (above): this is a desktop start.
    SingleInstance instance(SingleInstance::Role::desktop);
    if (const int status = instance.claim(); status >= 0) return status;

    StartOptions options;
    options.minimized = cmd.contains(QLatin1String("/minimized"));
    options.program_path = QCoreApplication::applicationFilePath().toStdString();
    // On the heap: the window and the application it holds are too large for a thread's stack.
    const auto window = std::make_unique<frmMain>(options);
    frmMain& main_window = *window;
    main_window.set_service_manager(&service_manager);
    QObject::connect(&instance, &SingleInstance::restore_requested, &main_window, &frmMain::restore_window);
    QObject::connect(&instance, &SingleInstance::hand_over_requested, &main_window,
                     [&main_window] { main_window.service_stop_event(); });
    QObject::connect(&main_window, &frmMain::unloaded, &app, [] { QCoreApplication::exit(0); });

    UnixSignals signals_to_loop;
    // SIGTERM is also the service manager's stop event.
    QObject::connect(&signals_to_loop, &UnixSignals::terminate_requested, &main_window,
                     [&main_window](int) { main_window.service_stop_event(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &main_window,
                     [&main_window](QSessionManager&) { main_window.UnloadKVT(); });

    if (QGuiApplication::platformName() == QLatin1String("offscreen") &&
        qEnvironmentVariable("QT_QPA_PLATFORM").contains(QLatin1Char(';'))) {
        std::fputs("kelvanto: the display refused the connection; running without a window\n", stderr);
    }
    main_window.show();
    if (!main_window.Form_Load()) return 0;
    // For measuring what closed windows leave behind (bench/idle.sh): each one opened and closed.
    if (qEnvironmentVariableIsSet("KELVANTO_WINDOW_TOUR")) start_window_tour(main_window, 700);
    const int status = app.exec();
    // A desktop run hands the logging back to the service once its logs are saved. The unit
    // sets no KELVANTO_HOME, so a run with a data folder of its own shares no logs with it.
    instance.close();
    if (qEnvironmentVariableIsEmpty("KELVANTO_HOME")) service_manager.start_if_enabled();
    return status;
}
