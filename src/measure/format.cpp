#include "measure/format.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace {

struct UnitInfo {
    const char* suffix;
    double divisor;  // value in bytes is multiplied by 8 for bits, then divided by this
    bool bits;
};

constexpr std::array<UnitInfo, 12> kUnits{{
    {"b", 1.0, true},
    {"kb", 1000.0, true},
    {"mb", 1000.0 * 1000.0, true},
    {"gb", 1000.0 * 1000.0 * 1000.0, true},
    {"tb", 1000.0 * 1000.0 * 1000.0 * 1000.0, true},
    {"", 1.0, true},
    {"B", 1.0, false},
    {"KB", 1024.0, false},
    {"MB", 1024.0 * 1024.0, false},
    {"GB", 1024.0 * 1024.0 * 1024.0, false},
    {"TB", 1024.0 * 1024.0 * 1024.0 * 1024.0, false},
    {"", 1.0, false},
}};

std::uint8_t decimals_for(std::uint8_t decimals, bool is_rate, bool is_history, const Settings& s) {
    if (decimals != kDecimalsFromSettings) return decimals;
    if (is_rate) return s.TransferDec;
    return is_history ? s.TransferredDecHis : s.TransferredDec;
}

// The whole part (largest integer not above x) as plain digits.
std::string whole_part(double x) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", std::floor(x));
    return buf;
}

// x rounded to d decimals; halves round away from zero (1.125 gives 1.13), as users expect
// from a display. Numbers too large to have decimals stay as they are.
double rounded(double x, int d) {
    const double p = std::pow(10.0, d);
    return std::fabs(x * p) < 1e15 ? std::round(x * p) / p : x;
}

// x rounded to d decimals with the locale's separator, no grouping.
std::string fixed(double x, int d, const Locale& locale) {
    x = rounded(x, d);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", d, x);
    std::string s = buf;
    if (s == "-0" || s.rfind("-0.", 0) == 0) {
        // A small negative number that rounds to zero reads as zero.
        bool all_zero = true;
        for (char c : s.substr(1)) all_zero = all_zero && (c == '0' || c == '.');
        if (all_zero) s.erase(0, 1);
    }
    const std::size_t dot = s.find('.');
    if (dot != std::string::npos) s.replace(dot, 1, locale.decimal_separator());
    return s;
}

}  // namespace

int resolve_unit(double value, int unit) {
    if (std::isnan(value)) return -1;
    if (unit == kUnitAutoBits) {
        if (value >= 125000000000.0) return kUnitTerabits;
        if (value >= 125000000.0) return kUnitGigabits;
        if (value >= 125000.0) return kUnitMegabits;
        if (value >= 125.0) return kUnitKilobits;
        return kUnitBits;
    }
    if (unit == kUnitAutoBytes) {
        if (value >= 1099511627776.0) return kUnitTerabytes;
        if (value >= 1073741824.0) return kUnitGigabytes;
        if (value >= 1048576.0) return kUnitMegabytes;
        if (value >= 1024.0) return kUnitKilobytes;
        return kUnitBytes;
    }
    // An out-of-range code (a damaged setting) falls back to the automatic byte unit.
    if (unit < 0 || unit > kUnitAutoBytes) return resolve_unit(value, kUnitAutoBytes);
    return unit;
}

std::string format_value(double value, int unit, bool is_rate, bool add_space, std::uint8_t decimals,
                         bool is_history, const Settings& settings, const Locale& locale) {
    if (!std::isfinite(value)) return {};
    int code = resolve_unit(value, unit);
    const int d = decimals_for(decimals, is_rate, is_history, settings);
    const auto scaled_in = [value](int c) {
        const UnitInfo& info = kUnits[static_cast<std::size_t>(c)];
        return (info.bits ? value * 8.0 : value) / info.divisor;
    };
    // An automatic unit is chosen after rounding: a number that would read as a whole step of
    // the next unit (1024KB, 1000.0kb) is shown in that unit (1MB, 1.0mb), so a rate just below
    // a step does not flip between the two units from one second to the next.
    // (Whole bits and bytes are cut, never rounded up; the largest units have no next one.)
    const bool automatic = code != unit;  // a fixed unit resolves to itself
    const bool has_next = code != kUnitTerabits && code != kUnitTerabytes;
    if (automatic && has_next && code != kUnitBits && code != kUnitBytes) {
        const double step = kUnits[static_cast<std::size_t>(code)].bits ? 1000.0 : 1024.0;
        if (rounded(scaled_in(code), d) >= step) ++code;
    }
    const UnitInfo& info = kUnits[static_cast<std::size_t>(code)];
    const double scaled = scaled_in(code);
    const std::string sep = add_space ? " " : "";
    if (code == kUnitBits || code == kUnitBytes) return whole_part(scaled) + sep + info.suffix;
    return fixed(scaled, d, locale) + sep + info.suffix;
}

std::string format_duration(double seconds) {
    if (!std::isfinite(seconds) || seconds < 0) seconds = 0;
    if (seconds > 9e15) seconds = 9e15;
    const long long s = static_cast<long long>(std::floor(seconds));
    const long long days = s / 86400;
    const long long h = (s - 86400 * days) / 3600;
    const long long m = (s - 86400 * days - 3600 * h) / 60;
    const long long sec = s - 86400 * days - 3600 * h - 60 * m;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", h, m, sec);
    if (days > 0) return std::to_string(days) + "d " + buf;
    return buf;
}
