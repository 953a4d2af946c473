#include "service/service_control.h"

namespace {

// The result message; a failure the manager can explain gets the reason on a line of its own.
void report(Dialogs& dialogs, const ServiceManager& manager, bool ok, const char* success, const char* failure,
            bool system_modal) {
    std::string text = manager.display_name() + (ok ? success : failure);
    const std::string reason = ok ? std::string() : manager.failure_reason();
    if (!reason.empty()) text += "\n" + reason;
    dialogs.message_box({text, "Service", MsgButtons::ok, ok ? MsgIcon::information : MsgIcon::error, system_modal});
}

}  // namespace

CommandLineAction install_service_from_command_line(const std::string& command_line, ServiceManager& manager,
                                                    Dialogs& dialogs) {
    if (command_line == "-install") {
        const bool ok = manager.install();
        report(dialogs, manager, ok, " installed successfully.", " failed to install.", false);
        return ok ? CommandLineAction::installed : CommandLineAction::failed;
    }
    if (command_line == "-uninstall") {
        const bool ok = manager.uninstall();
        report(dialogs, manager, ok, " uninstalled successfully.", " failed to uninstall.", false);
        return ok ? CommandLineAction::uninstalled : CommandLineAction::failed;
    }
    return CommandLineAction::none;
}

bool install_service(ServiceManager& manager, Dialogs& dialogs) {
    const bool ok = manager.install();
    report(dialogs, manager, ok, " installed successfully.", " failed to install.", true);
    return ok;
}

bool uninstall_service(ServiceManager& manager, Dialogs& dialogs) {
    const bool ok = manager.uninstall();
    report(dialogs, manager, ok, " uninstalled successfully.", " failed to uninstall.", true);
    return ok;
}

ServicePageState refresh_service_page(ServiceManager& manager, bool running_as_service) {
    ServicePageState page;
    page.installed = manager.is_installed();
    page.running = page.installed && manager.is_running();
    page.install_enabled = !page.installed;
    page.uninstall_enabled = page.installed;
    page.service_label = running_as_service ? kRunningAsService : "";
    page.hand_over_note = page.installed && !running_as_service ? kServiceHandOverNote : "";
    return page;
}
