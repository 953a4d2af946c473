#include <QApplication>
#include <QSessionManager>
#include <cstdio>

#include "core/qt/frm_main.h"
#include "core/qt/single_instance.h"
#include "platform/qt/unix_signals.h"

namespace {

// The whole command line after the program name, joined by blanks.
QString command_line(int argc, char** argv) {
    QStringList parts;
    for (int i = 1; i < argc; ++i) parts << QString::fromLocal8Bit(argv[i]);
    return parts.join(QLatin1Char(' '));
}

}  // namespace

int main(int argc, char** argv) {
    const QString cmd = command_line(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelvanto"));
    QApplication::setApplicationDisplayName(QString());
    QApplication::setQuitOnLastWindowClosed(false);

    if (cmd == QLatin1String("-install") || cmd == QLatin1String("-uninstall")) {
        // Service installation comes with service mode.
        return 0;
    }

    SingleInstance instance;
    if (instance.another_is_running()) return 0;
    instance.listen();

    StartOptions options;
    options.minimized = cmd.contains(QLatin1String("/minimized"));
    frmMain main_window(options);
    QObject::connect(&instance, &SingleInstance::restore_requested, &main_window, &frmMain::restore_window);
    QObject::connect(&main_window, &frmMain::unloaded, &app, [] { QCoreApplication::exit(0); });

    UnixSignals signals_to_loop;
    QObject::connect(&signals_to_loop, &UnixSignals::terminate_requested, &main_window,
                     [&main_window](int) { main_window.UnloadKVT(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &main_window,
                     [&main_window](QSessionManager&) { main_window.UnloadKVT(); });

    main_window.show();
    if (!main_window.Form_Load()) return 0;
    return app.exec();
}
