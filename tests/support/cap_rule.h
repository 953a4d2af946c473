#pragma once

#include <string>
#include <vector>

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

// The amounts in MB after each "The User defined download + upload has reached " in `text`,
// the message of that rule, in their order.
inline std::vector<double> reached_megabytes(const std::string& text) {
    static const std::string kMessage = "The User defined download + upload has reached ";
    std::vector<double> amounts;
    for (std::size_t at = text.find(kMessage); at != std::string::npos; at = text.find(kMessage, at + 1)) {
        const std::size_t number = at + kMessage.size();
        const std::size_t end = text.find(" MB.", number);
        amounts.push_back(end == std::string::npos ? -1.0 : std::stod(text.substr(number, end - number)));
    }
    return amounts;
}
