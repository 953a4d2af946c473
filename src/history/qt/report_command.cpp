#include "history/qt/report_command.h"

#include <cstdio>

#include "core/report_run.h"
#include "platform/linux/linux_interface_table.h"
#include "platform/linux/system_clock.h"
#include "platform/qt/data_folder.h"
#include "platform/qt/system_locale.h"
#include "settings/qt/qt_settings_backend.h"

namespace {

// Messages of the log loading go to standard error; nobody is there to click.
class StderrDialogs : public Dialogs {
public:
    MsgResult message_box(const MessageBoxRequest& r) override {
        std::fprintf(stderr, "kelvanto: %s\n", r.text.c_str());
        return MsgResult::ok;
    }
};

}  // namespace

int run_report_command(const std::vector<std::string>& args) {
    LinuxInterfaceTable tables;
    SystemClock clock;
    StderrDialogs dialogs;
    SystemLocale locale;
    QtSettingsBackend store;
    Services services{tables, clock, dialogs, &locale};
    services.settings_store = &store;
    return run_report(args, services, data_folder_path());
}
