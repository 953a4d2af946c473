#include "alerts/rule_values.h"

#include <cstdint>

#include "history/period_kind.h"

namespace {

// Numbers above what the editor accepts are taken at the editor's limit.
constexpr std::uint64_t kLargestNumber = 2147483647;

bool all_digits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::uint64_t digits_value(const std::string& s) {
    std::uint64_t v = 0;
    for (char c : s) {
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
        if (v > kLargestNumber) return kLargestNumber;
    }
    return v;
}

}  // namespace

std::optional<long long> parse_integer(const std::string& text, long long lo, long long hi) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits = negative ? text.substr(1) : text;
    if (!all_digits(digits) || digits.size() > 18) return std::nullopt;
    long long v = 0;
    for (char c : digits) v = v * 10 + (c - '0');
    if (negative) v = -v;
    if (v < lo || v > hi) return std::nullopt;
    return v;
}

std::optional<NumberWithUnit> split_number_unit(const std::string& value, int max_unit) {
    if (value.size() < 3 || value[value.size() - 2] != '|') return std::nullopt;
    const char u = value.back();
    if (u < '0' || u > '0' + max_unit) return std::nullopt;
    NumberWithUnit r;
    r.number = value.substr(0, value.size() - 2);
    if (!all_digits(r.number)) return std::nullopt;
    r.unit = u - '0';
    return r;
}

std::optional<double> amount_threshold(const std::string& value, double cap_bytes) {
    const std::optional<NumberWithUnit> n = split_number_unit(value, kAmountShareOfCap);
    if (!n) return std::nullopt;
    if (n->unit == kAmountShareOfCap) {
        if (cap_bytes <= 0) return std::nullopt;
        return static_cast<double>(digits_value(n->number)) * cap_bytes / 100.0;
    }
    double bytes = static_cast<double>(digits_value(n->number));
    for (int k = 0; k <= n->unit; ++k) bytes *= 1024.0;
    return bytes;
}

std::optional<double> rate_threshold(const std::string& value) {
    const std::optional<NumberWithUnit> n = split_number_unit(value, 5);
    if (!n) return std::nullopt;
    const std::uint64_t number = digits_value(n->number);
    if (n->unit <= 2) {
        // At most 2147483647 x 10^9 before the division: well inside 64 bits.
        std::uint64_t bits = number;
        for (int k = 0; k <= n->unit; ++k) bits *= 1000;
        return static_cast<double>(bits / 8);
    }
    double bytes = static_cast<double>(number);
    for (int k = 3; k <= n->unit; ++k) bytes *= 1024.0;
    return bytes;
}

std::optional<double> parse_speed(const std::string& value) {
    if (!all_digits(value) || value.size() > 18) return std::nullopt;
    double v = 0;
    for (char c : value) v = v * 10 + (c - '0');
    return v;
}

int period_kind_of_choice(int choice) {
    static constexpr int kKinds[7] = {kPeriodToday,    kPeriodThisWeek, kPeriodThisMonth, kPeriodThisYear,
                                      kPeriodTotal,    kPeriodSession,  kPeriodUser};
    return choice >= 0 && choice < 7 ? kKinds[choice] : kPeriodToday;
}
