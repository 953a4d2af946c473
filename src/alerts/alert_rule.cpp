#include "alerts/alert_rule.h"

#include <algorithm>

namespace {

AlertRule& at(WorkingRules& t, int i) {
    return t.rules[static_cast<std::size_t>(i)];
}

}  // namespace

TableEdit new_rule(WorkingRules& table) {
    if (table.count >= kMaxRules) return TableEdit::table_full;
    AlertRule r;
    r.Name = "Alert #" + std::to_string(table.count + 1);
    r.Enabled = kSwitchedOn;
    at(table, table.count) = r;
    table.selected = table.count;
    ++table.count;
    return TableEdit::done;
}

TableEdit copy_rule(WorkingRules& table) {
    if (table.count >= kMaxRules) return TableEdit::table_full;
    if (table.selected < 0 || table.selected >= table.count) return TableEdit::done;
    AlertRule copy = at(table, table.selected);
    copy.Name = "Copy of " + copy.Name;
    at(table, table.count) = copy;
    table.selected = table.count;
    ++table.count;
    return TableEdit::done;
}

void remove_rule(WorkingRules& table) {
    const int i = table.selected;
    if (i < 0 || i >= table.count) return;
    for (int k = i; k + 1 < table.count; ++k) at(table, k) = at(table, k + 1);
    at(table, table.count - 1) = AlertRule{};
    --table.count;
    if (table.count == 0) {
        table.selected = -1;
    } else {
        table.selected = std::max(0, i - 1);
    }
}

void cancel_new_rule(WorkingRules& table) {
    if (table.count == 0) return;
    at(table, table.count - 1) = AlertRule{};
    --table.count;
    table.selected = table.count == 0 ? -1 : std::max(0, table.selected - 1);
}

void set_enabled_flags(WorkingRules& table, const bool* checked, int count) {
    for (int i = 0; i < table.count && i < count; ++i) at(table, i).Enabled = checked[i] ? kSwitchedOn : 0;
}

void normalise_rule(AlertRule& rule) {
    for (int k = 0; k < kActionSlots; ++k) {
        if (rule.has_action(k)) continue;
        for (ValuePair& v : rule.Values[static_cast<std::size_t>(k + 1)]) v = ValuePair{};
    }
}
