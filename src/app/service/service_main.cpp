// kelvanto-service: the monitor's run without a window, on Qt Core, Network and D-Bus alone.
// kelvanto replaces itself with this program (same process, same arguments, after
// "--program PATH" naming the monitor) for the service and for any start without a display,
// so no window system library, font or platform plugin is ever loaded for it.
#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/service/windowless_run.h"
#include "core/qt/single_instance.h"
#include "platform/qt/unix_signals.h"
#include "service/service_control.h"
#include "service/systemd_service.h"

namespace {

// The monitor this program belongs to: named by it, else the "kelvanto" beside this program.
std::string monitor_path(int& argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--program") == 0) {
        std::string path = argv[2];
        for (int i = 3; i <= argc; ++i) argv[i - 2] = argv[i];  // argv[argc] is the null pointer
        argc -= 2;
        return path;
    }
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("kelvanto") : (self.parent_path() / "kelvanto").string();
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = monitor_path(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kelvanto"));
    bool service_run = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == kServiceMarker) service_run = true;
        else if (a.size() > 1 && a[0] == '-' && a.find("/minimized") == std::string::npos) {
            std::fprintf(stderr, "kelvanto: unknown option \"%s\" (kelvanto --help lists the options)\n", argv[i]);
            return 2;
        }
    }

    SingleInstance instance(service_run ? SingleInstance::Role::service : SingleInstance::Role::desktop);
    if (const int status = instance.claim(); status >= 0) return status;

    SystemdServiceManager service_manager(SystemdSetup::for_this_process(program), run_command);
    // On the heap: the application it holds is too large for a thread's stack.
    const auto run = std::make_unique<WindowlessRun>(program, service_run);
    WindowlessRun& windowless = *run;
    // A desktop start takes the logging over: this run saves its logs and ends.
    QObject::connect(&instance, &SingleInstance::hand_over_requested, &windowless,
                     [&windowless] { windowless.stop_event(); });
    QObject::connect(&windowless, &WindowlessRun::ended, &app, [] { QCoreApplication::exit(0); });
    UnixSignals signals_to_loop;
    QObject::connect(&signals_to_loop, &UnixSignals::terminate_requested, &windowless,
                     [&windowless](int) { windowless.stop_event(); });

    if (!windowless.start()) return 0;
    const std::string line = windowless.start_line();
    std::fprintf(stderr, "kelvanto: %s%s\n", service_run ? "" : "no display: ", line.c_str());
    const int status = app.exec();
    instance.close();
    // A run of the user's hands the logging back to the service once its logs are saved.
    if (!service_run && qEnvironmentVariableIsEmpty("KELVANTO_HOME")) service_manager.start_if_enabled();
    return status;
}
