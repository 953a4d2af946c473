#pragma once

#include <string>

#include "platform/dialogs.h"

// The operating system's service manager, as far as the monitor uses it.
class ServiceManager {
public:
    virtual ~ServiceManager() = default;
    virtual std::string display_name() const = 0;
    virtual bool install() = 0;
    virtual bool uninstall() = 0;
    // Why the last install or uninstall failed, in words for the user; empty when there is
    // nothing to add to the failure message.
    virtual std::string failure_reason() const { return {}; }
    virtual bool is_installed() = 0;
    virtual bool is_running() = 0;
    // Asks the manager to stop the running service; the stop event then ends the program.
    virtual void stop() = 0;
    // Asks the manager to start the service when it is installed and enabled: a desktop
    // instance hands the logging back this way when it ends.
    virtual void start_if_enabled() = 0;
};

enum class CommandLineAction { none, installed, uninstalled, failed };

// Handles an exact "-install" or "-uninstall" command line: installs or removes the service
// and reports the result. Anything else (a trailing blank, "/install") returns none and the
// program starts normally.
CommandLineAction install_service_from_command_line(const std::string& command_line, ServiceManager& manager,
                                                    Dialogs& dialogs);

// The install and uninstall buttons of the options dialog. They return whether the command
// succeeded; the page then refreshes its buttons.
bool install_service(ServiceManager& manager, Dialogs& dialogs);
bool uninstall_service(ServiceManager& manager, Dialogs& dialogs);

// What the service page shows.
struct ServicePageState {
    bool install_enabled = true;
    bool uninstall_enabled = false;
    bool installed = false;
    bool running = false;
    std::string service_label;  // lblService
    std::string hand_over_note;  // a desktop run with the service installed
};

ServicePageState refresh_service_page(ServiceManager& manager, bool running_as_service);

// Fixed texts of the service page.
inline constexpr const char* kServiceHeading = "Run as a service ";
inline constexpr const char* kServiceLine1 = "Kelvanto can be installed as a service.";
inline constexpr const char* kServiceLine2 =
    "This is usefull if your running a server and need to monitor bandwidth usage with out being logged on.";
inline constexpr const char* kRunningAsService = "Currently running as a service";
// A desktop run takes the logging over from the service and hands it back at its end.
inline constexpr const char* kServiceHandOverNote = "The service logs while this program is not running.";
