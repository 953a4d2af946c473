#include "service/service_control.h"

namespace {

void report(Dialogs& dialogs, const std::string& name, bool ok, const char* success, const char* failure,
            bool system_modal) {
    dialogs.message_box({name + (ok ? success : failure), "Service", MsgButtons::ok,
                         ok ? MsgIcon::information : MsgIcon::error, system_modal});
}

}  // namespace

CommandLineAction install_service_from_command_line(const std::string& command_line, ServiceManager& manager,
                                                    Dialogs& dialogs) {
    if (command_line == "-install") {
        const bool ok = manager.install();
        report(dialogs, manager.display_name(), ok, " installed successfully.", " failed to install.", false);
        return ok ? CommandLineAction::installed : CommandLineAction::failed;
    }
    if (command_line == "-uninstall") {
        const bool ok = manager.uninstall();
        report(dialogs, manager.display_name(), ok, " uninstalled successfully.", " failed to uninstall.", false);
        return ok ? CommandLineAction::uninstalled : CommandLineAction::failed;
    }
    return CommandLineAction::none;
}

bool install_service(ServiceManager& manager, Dialogs& dialogs) {
    const bool ok = manager.install();
    report(dialogs, manager.display_name(), ok, " installed successfully.", " failed to install.", true);
    return ok;
}

bool uninstall_service(ServiceManager& manager, Dialogs& dialogs) {
    const bool ok = manager.uninstall();
    report(dialogs, manager.display_name(), ok, " uninstalled successfully.", " failed to uninstall.", true);
    return ok;
}

ServicePageState refresh_service_page(ServiceManager& manager, bool running_as_service) {
    ServicePageState page;
    page.installed = manager.is_installed();
    page.running = page.installed && manager.is_running();
    page.install_enabled = !page.installed;
    page.uninstall_enabled = page.installed;
    page.service_label = running_as_service ? kRunningAsService : "";
    return page;
}
