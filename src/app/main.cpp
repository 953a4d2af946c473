#include <QApplication>
#include <QSessionManager>
#include <cstdio>

#include <QDir>
#include <unistd.h>

#include "core/qt/frm_main.h"
#include "core/qt/single_instance.h"
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

// The systemd unit of the service: system-wide for root, else the user's own.
SystemdServiceManager make_service_manager() {
    const bool user = ::geteuid() != 0;
    QString dir = QStringLiteral("/etc/systemd/system");
    if (user) {
        QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
        dir = config + QStringLiteral("/systemd/user");
    }
    return SystemdServiceManager(QCoreApplication::applicationFilePath().toStdString(), dir.toStdString(), user,
                                 run_command);
}

// Without a desktop the installer's messages go to standard output.
class ConsoleDialogs : public Dialogs {
public:
    MsgResult message_box(const MessageBoxRequest& r) override {
        std::fprintf(r.icon == MsgIcon::error ? stderr : stdout, "%s\n", r.text.c_str());
        return MsgResult::ok;
    }
};

bool has_desktop() {
    return qEnvironmentVariable("QT_QPA_PLATFORM") != QLatin1String("offscreen") &&
           (qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"));
}

}  // namespace

int main(int argc, char** argv) {
    const QString cmd = command_line(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvanto"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setQuitOnLastWindowClosed(false);

    SystemdServiceManager service_manager = make_service_manager();
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

    SingleInstance instance;
    if (instance.another_is_running()) return 0;
    instance.listen();

    StartOptions options;
    options.minimized = cmd.contains(QLatin1String("/minimized"));
    frmMain main_window(options);
    main_window.set_service_manager(&service_manager);
    QObject::connect(&instance, &SingleInstance::restore_requested, &main_window, &frmMain::restore_window);
    QObject::connect(&main_window, &frmMain::unloaded, &app, [] { QCoreApplication::exit(0); });

    UnixSignals signals_to_loop;
    // SIGTERM is also the service manager's stop event.
    QObject::connect(&signals_to_loop, &UnixSignals::terminate_requested, &main_window,
                     [&main_window](int) { main_window.service_stop_event(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &main_window,
                     [&main_window](QSessionManager&) { main_window.UnloadKVT(); });

    main_window.show();
    if (started_as_service()) main_window.service_start_event();
    if (!main_window.Form_Load()) return 0;
    return app.exec();
}
