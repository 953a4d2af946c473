#pragma once

#include <memory>

#include "platform/dialogs.h"
#include "service/service_control.h"
#include "settings/win32/options_dialog.h"

// The controls of the "Service" page's own view: "&Install", "&Uninstall", the line saying
// whether the service is installed and runs, and the note on handing the logging over.
enum ServicePageControl : int {
    kServiceInstall = kOptionsViewIdFirst + 0x380,
    kServiceUninstall,
    kServiceLabel,
    kServiceHandOver,
};

// The view of "Service" over the system's service manager (`manager`, nullptr where there
// is none: both buttons disabled). Install and uninstall take effect at once and say so
// through `dialogs`, as the command line's -install and -uninstall do.
std::unique_ptr<OptionsPageView> create_service_page(ServiceManager* manager, Dialogs& dialogs, bool running_as_service);
