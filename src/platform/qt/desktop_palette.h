#pragma once

#include <cstdint>
#include <optional>

// The desktop palette's dark and light colours (packed RGB), nothing without a desktop.
std::optional<std::uint32_t> desktop_dark_colour();
std::optional<std::uint32_t> desktop_light_colour();
