#pragma once

#include <string>

#include "alerts/rule_files.h"

// Stores one rule in the data folder `data_dir` (ending in "/", its Stats folder made):
// "When lo User defined download + upload reaches 80 % of the cap add entry to <log_file>",
// and "show a desktop notification" as well when `notify` is set.
inline bool save_cap_share_rule(const std::string& data_dir, const std::string& log_file, bool notify) {
    WorkingRules working;
    LiveRules live;
    AlertRule& r = working.rules[0];
    r.Name = "Plan";
    r.Enabled = kSwitchedOn;
    r.ConditionKind = AmountReached;
    r.value(0, 0) = {"lo", "1"};
    r.value(0, 1) = {"User defined", "6"};
    r.value(0, 2) = {"download + upload", "2"};
    r.value(0, 3) = {"80 % of the cap", "80|3"};
    r.Actions[AddLogEntry] = kSwitchedOn;
    r.value(AddLogEntry + 1, 0) = {"alerts.txt", log_file};
    if (notify) r.Actions[ShowNotification] = kSwitchedOn;
    working.count = 1;
    return save_all_rules(working, live, data_dir);
}
