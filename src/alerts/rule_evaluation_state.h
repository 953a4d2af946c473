#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "alerts/alert_rule.h"
#include "measure/adapter_state.h"

inline constexpr int kPeriodChoices = 7;
inline constexpr int kDirections = 3;  // download, upload, both

using TotalsByChoice = std::array<std::array<double, kDirections>, kPeriodChoices>;

// What the evaluation remembers between cycles: the totals, step bases and rates by rule
// position, the connection speeds by adapter. Empty at start.
struct EvaluationState {
    std::array<TotalsByChoice, kMaxRules> CurrentTotal{};
    std::array<TotalsByChoice, kMaxRules> PreviousTotal{};
    // Whether CurrentTotal holds a measured total: a rule's first measurement is its start,
    // never a crossing; from then on a total of 0 is a total like any other.
    std::array<std::array<std::array<bool, kDirections>, kPeriodChoices>, kMaxRules> TotalMeasured{};
    // All-time total at which an "each time" rule's current step began; unset until the
    // rule's first cycle (a total of 0 is a step base like any other).
    std::array<std::optional<double>, kMaxRules> StepBase{};
    std::array<double, kMaxRules> PreviousRate{};
    // Each adapter's connection speed at the previous cycle, and whether a speed rule looked
    // at the adapter then (slot 0, "Multiple adapters", has no speed).
    std::array<double, kMaxAdapters + 1> LastSpeed{};
    std::array<bool, kMaxAdapters + 1> SpeedSeen{};
    // Direction 0..2 of the amount rule that is firing, for its message.
    std::uint8_t FiringDirection = 0;
};
