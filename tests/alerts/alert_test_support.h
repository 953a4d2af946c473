#pragma once

#include <memory>
#include <string>

#include "alerts/alert_actions.h"
#include "alerts/rule_evaluation.h"
#include "core/program_state.h"
#include "support/fakes.h"
#include "support/temp_dir.h"
#include "alerts/alert_fakes.h"
#include "platform/file_access.h"

#include <algorithm>
#include <filesystem>

// Period totals a test scripts: every adapter reports `received` and `sent` for any period;
// the last kind asked for and the number of calls are kept.
struct ScriptedTotals {
    double received = 0;
    double sent = 0;
    int last_kind = -1;
    int calls = 0;
};

// A program state with fake platform services and scripted totals, its data folder in a
// temporary directory.
struct AlertBench {
    TempDir tmp;
    FakeInterfaceTable tables;
    FakeClock clock;
    RecordingDialogs dialogs;
    EnglishLocale locale;
    ActionLog log;
    FakePower power{log};
    FakeShell shell{log};
    FakeSound sound{log};
    FakeMsgBox msg_box;
    FakeLinkSpeed link_speed;
    FakeMailSocket socket;
    RecordingMessages messages;
    Services services{tables, clock, dialogs, &locale};
    // On the heap: the state is larger than the stack of a Windows thread.
    std::unique_ptr<ProgramState> held = std::make_unique<ProgramState>();
    ProgramState& state = *held;

    static ScriptedTotals& totals() {
        static ScriptedTotals t;
        return t;
    }

    AlertBench();
    // Adds a switched-on rule to the live table and returns its index.
    int add_live(const AlertRule& rule);
    void cycle() { evaluate_rules(state, services); }
    int fired(const std::string& call) const;
};

inline constexpr double MB = 1024.0 * 1024.0;

inline AlertBench::AlertBench() {
    totals() = ScriptedTotals{};
    services.power = &power;
    services.shell = &shell;
    services.sound = &sound;
    services.msg_box = &msg_box;
    services.link_speed = &link_speed;
    services.mail_socket = &socket;
    services.messages = &messages;
    state.data_dir = tmp.str() + "/";
    std::filesystem::create_directories(native_path(state.data_dir + "Stats"));
    state.alerts.totals = [](HistoryQuery, int, int kind, int direction, double) {
        ScriptedTotals& t = totals();
        t.last_kind = kind;
        ++t.calls;
        return direction == 0 ? t.received : t.sent;
    };
}

inline int AlertBench::add_live(const AlertRule& rule) {
    const int i = state.alerts.live.count++;
    state.alerts.live.rules[static_cast<std::size_t>(i)] = rule;
    return i;
}

inline int AlertBench::fired(const std::string& call) const {
    return static_cast<int>(std::count(log.calls.begin(), log.calls.end(), call));
}

inline AlertRule base_rule(std::int16_t kind) {
    AlertRule r;
    r.Name = "rule";
    r.Enabled = kSwitchedOn;
    r.ConditionKind = kind;
    r.value(0, 0) = {"Multiple adapters", "0"};
    return r;
}

inline AlertRule amount_rule(const std::string& period, const std::string& direction, const std::string& amount) {
    AlertRule r = base_rule(AmountReached);
    r.value(0, 1) = {"period", period};
    r.value(0, 2) = {"direction", direction};
    r.value(0, 3) = {"amount", amount};
    return r;
}

inline AlertRule each_time_rule(const std::string& direction, const std::string& amount) {
    AlertRule r = base_rule(AmountEachTime);
    r.value(0, 1) = {"direction", direction};
    r.value(0, 2) = {"amount", amount};
    return r;
}

inline AlertRule rate_rule(const std::string& direction, const std::string& rate, const std::string& repetition) {
    AlertRule r = base_rule(RateReached);
    r.value(0, 1) = {"direction", direction};
    r.value(0, 2) = {"rate", rate};
    r.value(0, 3) = {"when", repetition};
    return r;
}

inline AlertRule speed_rule(const std::string& adapter, const std::string& speed) {
    AlertRule r = base_rule(SpeedChanged);
    r.value(0, 0) = {"adapter", adapter};
    r.value(0, 1) = {speed, speed};
    return r;
}

inline void add_action(AlertRule& rule, int kind, const std::string& value = {}) {
    rule.Actions[static_cast<std::size_t>(kind)] = kSwitchedOn;
    if (!value.empty()) rule.value(kind + 1, 0) = {"file", value};
}
