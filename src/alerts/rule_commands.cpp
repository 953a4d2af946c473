#include "alerts/rule_commands.h"

#include "alerts/alert_actions.h"
#include "alerts/rule_files.h"

namespace {

bool refused_when_full(TableEdit result, Services& services) {
    if (result == TableEdit::done) return true;
    if (services.msg_box != nullptr) services.msg_box->show_message(kTooManyRules, false);
    return false;
}

}  // namespace

bool new_rule_command(ProgramState& state, Services& services) {
    return refused_when_full(new_rule(state.alerts.working), services);
}

bool copy_rule_command(ProgramState& state, Services& services) {
    return refused_when_full(copy_rule(state.alerts.working), services);
}

MailCheck save_rules_command(ProgramState& state, Services& services) {
    const MailCheck check = confirm_mail_settings(state, services, false);
    if (check.accepted()) save_all_rules(state.alerts.working, state.alerts.live, state.data_dir);
    return check;
}
