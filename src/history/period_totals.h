#pragma once

#include <string>

#include "core/program_state.h"

// Period kinds 0..10: "Today" .. "This session", then the user-defined period.
inline constexpr int kPeriodKinds = 11;
enum Direction : int { kReceived = 0, kSent = 1 };

// Bytes adapter `adapter` received (direction 0) or sent (1) in period `kind`, as of `now`.
double period_total(ProgramState& state, int adapter, int kind, int direction, double now);
// The period's name as shown ("Today", ..., the user-defined period's name).
std::string period_name(const ProgramState& state, int kind);
