#include "alerts/rule_editor.h"

namespace {

std::array<ValuePair, kValueSlots>& condition_values(AlertRule& rule) { return rule.Values[0]; }

}  // namespace

TableEdit open_new_rule(WorkingRules& table, EditorSession& session) {
    const int before = table.selected;
    if (new_rule(table) == TableEdit::table_full) return TableEdit::table_full;
    session = EditorSession{};
    session.index = table.selected;
    session.is_new = true;
    session.selected_before = before;
    session.original = session_rule(table, session);
    return TableEdit::done;
}

bool open_selected_rule(WorkingRules& table, EditorSession& session) {
    if (table.selected < 0 || table.selected >= table.count) return false;
    session = EditorSession{};
    session.index = table.selected;
    session.selected_before = table.selected;
    session.original = session_rule(table, session);
    return true;
}

AlertRule& session_rule(WorkingRules& table, const EditorSession& session) {
    return table.rules[static_cast<std::size_t>(session.index)];
}

void choose_condition(AlertRule& rule, EditorSession& session, int kind) {
    if (kind < 0 || kind > 3) kind = kNoCondition;
    const int old = rule.ConditionKind;
    if (old == kind) return;
    if (old >= 0 && old <= 3) session.condition_cache[static_cast<std::size_t>(old)] = condition_values(rule);
    if (kind >= 0) {
        condition_values(rule) = session.condition_cache[static_cast<std::size_t>(kind)];
    } else {
        condition_values(rule) = {};
    }
    rule.ConditionKind = static_cast<std::int16_t>(kind);
}

void set_action(AlertRule& rule, int kind, bool checked) {
    if (kind < 0 || kind >= kUsedActionKinds) return;
    rule.Actions[static_cast<std::size_t>(kind)] = checked ? kSwitchedOn : 0;
    if (!checked) return;
    if (kind == Reboot) rule.Actions[Shutdown] = 0;
    if (kind == Shutdown) rule.Actions[Reboot] = 0;
}

std::string check_rule(AlertRule& rule, EditorSession& session, const std::string& name) {
    if (rule.ConditionKind < 0) return "Please select a condition for this alert.";
    bool any_action = false;
    for (int k = 0; k < kUsedActionKinds; ++k) any_action = any_action || rule.has_action(k);
    if (!any_action) return "Please select an action for this alert.";
    for (const SentenceWord& w : build_sentence(rule)) {
        if (word_unfilled(w.text)) {
            session.highlight_missing = true;
            return "Please fill out all the values.";
        }
    }
    if (name.empty()) return "Please enter a name for this alert.";
    return {};
}

void accept_rule(AlertRule& rule, const std::string& name) {
    for (int k = SendMail; k <= OpenFile; ++k) {
        if (rule.has_action(k)) continue;
        for (int s = 0; s < 4; ++s) rule.value(k + 1, s) = ValuePair{};
    }
    rule.Name = name;
}

void cancel_session(WorkingRules& table, EditorSession& session) {
    if (session.index < 0 || session.index >= table.count) return;
    if (session.is_new) {
        cancel_new_rule(table);
    } else {
        session_rule(table, session) = session.original;
    }
    table.selected = session.selected_before < table.count ? session.selected_before : table.count - 1;
    session.index = -1;
}
