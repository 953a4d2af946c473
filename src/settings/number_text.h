#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The whole text as a decimal 32-bit integer: optional blanks around it, an optional sign,
// digits only. Nothing for anything else (empty, fractions, trailing letters, overflow).
std::optional<std::int32_t> parse_int32(std::string_view text);
