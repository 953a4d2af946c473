#pragma once

#include <optional>
#include <string>
#include <string_view>

// A date (days since 1899-12-30) as "YYYY-MM-DD HH:MM:SS", to the nearest second.
std::string format_date_time(double date);
// "YYYY-MM-DD HH:MM:SS" or "YYYY-MM-DD" back to a date; nothing for any other text or an
// impossible date or time.
std::optional<double> parse_date_time(std::string_view text);
