#pragma once

#include <optional>
#include <string>

// Reading the machine values of a rule's placeholders. Every reader answers nothing for a
// value that is not well formed, so a damaged rule file makes its rule be skipped.

// A decimal integer in [lo, hi] (digits only, an optional leading '-').
std::optional<long long> parse_integer(const std::string& text, long long lo, long long hi);

// An amount or rate value: the number (all but the last two characters) and the unit digit
// (the last character), the separator between them being '|'.
struct NumberWithUnit {
    std::string number;  // as typed, digits only
    int unit = 0;
};
std::optional<NumberWithUnit> split_number_unit(const std::string& value, int max_unit);

// Amount thresholds in bytes: unit 0 KB, 1 MB, 2 GB, 3 percent of the data cap (`cap_bytes`).
// A share of the cap has no threshold while no cap is set.
inline constexpr int kAmountShareOfCap = 3;
std::optional<double> amount_threshold(const std::string& value, double cap_bytes = 0.0);
// Rate thresholds in bytes per second: units 0..2 kb/s, mb/s, gb/s (number x 1000^k, integer
// divided by 8), 3..5 KB/s, MB/s, GB/s (number x 1024^k).
std::optional<double> rate_threshold(const std::string& value);
// A connection speed in bits per second (digits only).
std::optional<double> parse_speed(const std::string& value);

// The period kind a rule's period choice 0..6 stands for.
int period_kind_of_choice(int choice);
