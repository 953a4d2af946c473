#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The whole text as a decimal 32-bit integer: optional blanks around it, an optional sign,
// digits only. Nothing for anything else (empty, fractions, trailing letters, overflow).
std::optional<std::int32_t> parse_int32(std::string_view text);

// A decimal number with an optional fraction after a point ("9.5", "50"), with the same
// blanks and sign as above; nothing for anything else (exponents, commas, "inf", "nan").
std::optional<double> parse_decimal(std::string_view text);
// The shortest text that reads back as `value`: "50" for a whole number, "9.5" otherwise.
std::string decimal_text(double value);
