#pragma once

#include <array>
#include <cstdint>

#include "alerts/alert_rule.h"

inline constexpr int kPeriodChoices = 7;
inline constexpr int kDirections = 3;  // download, upload, both

using TotalsByChoice = std::array<std::array<double, kDirections>, kPeriodChoices>;

// What the evaluation remembers between cycles, by rule position. Zero at start and never
// reset while the program runs.
struct EvaluationState {
    std::array<TotalsByChoice, kMaxRules> CurrentTotal{};
    std::array<TotalsByChoice, kMaxRules> PreviousTotal{};
    std::array<double, kMaxRules> StepBase{};
    std::array<double, kMaxRules> PreviousRate{};
    // Last connection speed each speed rule saw, and whether it has looked yet.
    std::array<double, kMaxRules> LastSpeed{};
    std::array<bool, kMaxRules> SpeedSeen{};
    // Direction 0..2 of the amount rule that is firing, for its message.
    std::uint8_t FiringDirection = 0;
};
