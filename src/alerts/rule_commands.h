#pragma once

#include "alerts/mail_settings_check.h"
#include "core/program_state.h"
#include "core/services.h"

// The rule commands of the options dialog's alert page, with their refusals shown in the
// program's message box.

// New and Copy: refused with "No more than 10 rules are supported." when the table is full.
bool new_rule_command(ProgramState& state, Services& services);
bool copy_rule_command(ProgramState& state, Services& services);
// OK and Apply: the mail settings must pass their check; then the working rules are written
// and become the live rules. The refused field (if any) is returned for the dialog to focus.
MailCheck save_rules_command(ProgramState& state, Services& services);
