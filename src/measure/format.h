#pragma once

#include <cstdint>
#include <string>

#include "platform/locale.h"
#include "settings/settings.h"

// Unit codes of amounts and rates: 0..4 bits (b, kb, mb, gb, tb; steps of 1000), 5 automatic
// bit unit, 6..10 bytes (B, KB, MB, GB, TB; steps of 1024), 11 automatic byte unit.
enum UnitCode : int {
    kUnitBits = 0,
    kUnitKilobits = 1,
    kUnitMegabits = 2,
    kUnitGigabits = 3,
    kUnitTerabits = 4,
    kUnitAutoBits = 5,
    kUnitBytes = 6,
    kUnitKilobytes = 7,
    kUnitMegabytes = 8,
    kUnitGigabytes = 9,
    kUnitTerabytes = 10,
    kUnitAutoBytes = 11,
};

// Decimals argument that lets the settings decide (TransferDec, TransferredDecHis or
// TransferredDec).
inline constexpr std::uint8_t kDecimalsFromSettings = 255;

// Formats an amount (bytes) or a rate (bytes/s) in a unit: number, optional space, suffix.
// An automatic unit is chosen after rounding to the decimals. Rates get no "/s"; callers
// append it. A value that is not a finite number gives "".
std::string format_value(double value, int unit, bool is_rate, bool add_space, std::uint8_t decimals,
                         bool is_history, const Settings& settings, const Locale& locale);

// The concrete unit (0..4 or 6..10) of a value by its size alone; the automatic codes choose
// by the thresholds. format_value then moves to the next unit when the rounded number reaches
// the step (1024KB reads 1MB). Returns -1 for a value that is not a number.
int resolve_unit(double value, int unit);

// A number of seconds as "hh:mm:ss", prefixed with "<days>d " when a day or more.
std::string format_duration(double seconds);
