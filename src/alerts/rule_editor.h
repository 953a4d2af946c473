#pragma once

#include <array>
#include <string>
#include <vector>

#include "alerts/alert_rule.h"
#include "alerts/rule_sentence.h"

// The rule editor's session: which rule is open, how it looked when the editor opened, and
// the condition values entered per condition kind while the editor is open.
struct EditorSession {
    int index = -1;
    bool is_new = false;
    int selected_before = -1;
    AlertRule original;
    std::array<std::array<ValuePair, kValueSlots>, 4> condition_cache{};
    bool highlight_missing = false;
};

inline constexpr const char* kConditionEntries[4] = {
    "When a specific amount of data has been transferred",
    "Each time a specific amount of data has been transferred",
    "When transfer rate reaches a specific level",
    "When connection speed changes to a specific rate",
};
inline constexpr const char* kActionEntries[kUsedActionKinds] = {
    "Send e-mail",       "Play sound", "Run application", "Open file", "Reboot computer", "Shutdown computer",
    "Add entry to log file", "Show desktop notification",
};

// New: appends a rule and opens the session on it. Refused when the table is full.
TableEdit open_new_rule(WorkingRules& table, EditorSession& session);
// Modify: opens the selected rule (false when none is selected).
bool open_selected_rule(WorkingRules& table, EditorSession& session);
// The rule the session edits.
AlertRule& session_rule(WorkingRules& table, const EditorSession& session);

// Checks condition `kind` (-1: none checked). The condition values of the old kind go into
// the cache and those of the new kind come back from it.
void choose_condition(AlertRule& rule, EditorSession& session, int kind);
// Checks or unchecks an action; Reboot and Shutdown exclude each other.
void set_action(AlertRule& rule, int kind, bool checked);

// OK's checks in order; the refusal text, or empty when the rule may be stored. A missing
// value sets the highlight flag.
std::string check_rule(AlertRule& rule, EditorSession& session, const std::string& name);
// Stores an accepted rule: the name, and the values of unselected file actions emptied.
void accept_rule(AlertRule& rule, const std::string& name);
// Cancel: a new rule goes away, a modified one gets back what it was; the selection returns.
void cancel_session(WorkingRules& table, EditorSession& session);
