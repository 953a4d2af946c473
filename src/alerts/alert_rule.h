#pragma once

#include <array>
#include <cstdint>
#include <string>

// Sizes of a rule record.
inline constexpr int kMaxRules = 10;
inline constexpr int kActionSlots = 10;   // Actions[0..9]; kinds 0..7 are used
inline constexpr int kSentenceParts = 11;  // part 0 the condition, part k+1 action kind k
inline constexpr int kValueSlots = 10;

inline constexpr std::uint8_t kSwitchedOn = 255;

enum ConditionKind : std::int16_t {
    kNoCondition = -1,
    AmountReached = 0,
    AmountEachTime = 1,
    RateReached = 2,
    SpeedChanged = 3,
};

enum ActionKind : int {
    SendMail = 0,
    PlaySound = 1,
    RunProgram = 2,
    OpenFile = 3,
    Reboot = 4,
    Shutdown = 5,
    AddLogEntry = 6,
    ShowNotification = 7,
};
inline constexpr int kUsedActionKinds = 8;

inline constexpr const char* kTooManyRules = "No more than 10 rules are supported.";

// One placeholder value: what the sentence shows and the machine-readable value.
struct ValuePair {
    std::string Text;
    std::string Value;
    friend bool operator==(const ValuePair&, const ValuePair&) = default;
};

// One rule: a condition and its actions, with the placeholder values of every sentence part.
struct AlertRule {
    std::string Name;
    std::uint8_t Enabled = 0;
    std::int16_t ConditionKind = kNoCondition;
    std::array<std::uint8_t, kActionSlots> Actions{};
    std::array<std::array<ValuePair, kValueSlots>, kSentenceParts> Values{};  // [part][slot]

    bool enabled() const { return Enabled != 0; }
    bool has_action(int kind) const { return Actions[static_cast<std::size_t>(kind)] != 0; }
    // The value pair of sentence part `part` and slot `slot`.
    const ValuePair& value(int part, int slot) const {
        return Values[static_cast<std::size_t>(part)][static_cast<std::size_t>(slot)];
    }
    ValuePair& value(int part, int slot) { return Values[static_cast<std::size_t>(part)][static_cast<std::size_t>(slot)]; }
    // The machine value of the condition's slot, and of slot `slot` of action kind `kind`.
    const std::string& condition_value(int slot) const { return value(0, slot).Value; }
    const std::string& action_value(int kind, int slot) const { return value(kind + 1, slot).Value; }
    friend bool operator==(const AlertRule&, const AlertRule&) = default;
};

// The rules the evaluation and the actions work on.
struct LiveRules {
    std::array<AlertRule, kMaxRules> rules{};
    int count = 0;
};

// The rules the options dialog and the editor work on, with the selected index (-1: none).
struct WorkingRules {
    std::array<AlertRule, kMaxRules> rules{};
    int count = 0;
    int selected = -1;
};

enum class TableEdit { done, table_full };

// Appends "Alert #<count>", switched on, no condition and no action, and selects it.
TableEdit new_rule(WorkingRules& table);
// Appends "Copy of <name>" of the selected rule and selects the copy.
TableEdit copy_rule(WorkingRules& table);
// Removes the selected rule; the selection moves to the rule before it.
void remove_rule(WorkingRules& table);
// Drops the rule New appended when the editor was cancelled on it.
void cancel_new_rule(WorkingRules& table);
// Takes every rule's switch from the check marks of the rule list (one per rule).
void set_enabled_flags(WorkingRules& table, const bool* checked, int count);
// Empties the values of every action kind that is not selected.
void normalise_rule(AlertRule& rule);
