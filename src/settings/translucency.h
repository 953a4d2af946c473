#pragma once

#include <cstdint>

// Translucency from the Transparency percentage: 255 - 2.55 * percent, rounded half to even
// (50 % gives 128, 90 % gives 26).
std::uint8_t translucency_alpha(int percent);
