#include "measure/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct FormatFixture : ::testing::Test {
    Settings settings;
    EnglishLocale locale;
    std::string amount(double v, int unit, std::uint8_t dec = kDecimalsFromSettings, bool space = false) {
        return format_value(v, unit, false, space, dec, false, settings, locale);
    }
};

TEST_F(FormatFixture, ZeroAndTheFirstAutomaticSteps) {
    EXPECT_EQ(amount(0, kUnitAutoBytes), "0B");
    EXPECT_EQ(amount(0, kUnitAutoBits), "0b");
    EXPECT_EQ(amount(100, kUnitAutoBytes, 2), "100B");
    EXPECT_EQ(amount(1536, kUnitAutoBytes, 2), "1.50KB");
    EXPECT_EQ(amount(1536, kUnitAutoBits, 2), "12.29kb");
    EXPECT_EQ(amount(100, kUnitAutoBits, 2), "800b");
}

TEST_F(FormatFixture, AutomaticThresholdsSwitchExactlyAtTheirValues) {
    EXPECT_EQ(amount(124.9, kUnitAutoBits, 0), "999b");  // whole part of 999.2, not rounded
    EXPECT_EQ(amount(125, kUnitAutoBits, 0), "1kb");
    EXPECT_EQ(amount(1023, kUnitAutoBytes, 2), "1023B");
    EXPECT_EQ(amount(1024, kUnitAutoBytes, 0), "1KB");
    EXPECT_EQ(amount(1024, kUnitAutoBytes, 2), "1.00KB");
    EXPECT_EQ(amount(1048576, kUnitAutoBytes, 0), "1MB");
    EXPECT_EQ(amount(1073741824, kUnitAutoBytes, 0), "1GB");
    EXPECT_EQ(amount(1099511627776.0, kUnitAutoBytes, 0), "1TB");
    EXPECT_EQ(amount(1099511627775.0, kUnitAutoBytes, 0), "1024GB");
    EXPECT_EQ(amount(125000000000.0, kUnitAutoBits, 1), "1.0tb");
    EXPECT_EQ(amount(124999999999.0, kUnitAutoBits, 1), "1000.0gb");
}

TEST_F(FormatFixture, WholeUnitsTruncateAndNeverRoundUp) {
    EXPECT_EQ(format_value(1.5, kUnitBytes, true, false, 2, false, settings, locale), "1B");
    EXPECT_EQ(amount(0.99, kUnitBits, 3), "7b");
    // Far beyond the 32-bit range the whole part is still exact.
    EXPECT_EQ(amount(1099511627776.0, kUnitBytes), "1099511627776B");
}

TEST_F(FormatFixture, FixedUnitsAndRounding) {
    EXPECT_EQ(amount(1000, kUnitMegabits, 3), "0.008mb");
    EXPECT_EQ(amount(5.0 * 1024 * 1024 * 1024 * 1024, kUnitTerabytes, 1), "5.0TB");
    EXPECT_EQ(amount(1024 * 1.125, kUnitKilobytes, 2), "1.13KB");  // halves away from zero
    EXPECT_EQ(amount(1024 * 9.999, kUnitKilobytes, 2), "10.00KB");
}

TEST_F(FormatFixture, DecimalsComeFromTheRightSetting) {
    settings.TransferDec = 1;
    settings.TransferredDec = 3;
    settings.TransferredDecHis = 4;
    EXPECT_EQ(format_value(2048, kUnitKilobytes, true, false, kDecimalsFromSettings, false, settings, locale), "2.0KB");
    EXPECT_EQ(format_value(2048, kUnitKilobytes, false, false, kDecimalsFromSettings, false, settings, locale),
              "2.000KB");
    EXPECT_EQ(format_value(2048, kUnitKilobytes, false, false, kDecimalsFromSettings, true, settings, locale),
              "2.0000KB");
    // A rate ignores the history flag; an explicit count ignores the settings.
    EXPECT_EQ(format_value(2048, kUnitKilobytes, true, false, kDecimalsFromSettings, true, settings, locale), "2.0KB");
    EXPECT_EQ(format_value(2048, kUnitKilobytes, true, false, 0, true, settings, locale), "2KB");
}

TEST_F(FormatFixture, SpaceAndLocaleSeparator) {
    EXPECT_EQ(amount(1536, kUnitAutoBytes, 2, true), "1.50 KB");
    EXPECT_EQ(amount(10, kUnitAutoBytes, 2, true), "10 B");
    locale.decimal = ",";
    EXPECT_EQ(amount(1536, kUnitAutoBytes, 2), "1,50KB");
}

TEST_F(FormatFixture, NonNumbersGiveEmptyText) {
    EXPECT_EQ(amount(std::nan(""), kUnitAutoBytes), "");
    EXPECT_EQ(amount(std::numeric_limits<double>::infinity(), kUnitAutoBytes), "");
    EXPECT_EQ(resolve_unit(std::nan(""), kUnitAutoBits), -1);
}

TEST_F(FormatFixture, DamagedUnitCodeFallsBackToAutomaticBytes) {
    EXPECT_EQ(amount(2048, 200, 0), "2KB");
    EXPECT_EQ(amount(2048, -1, 0), "2KB");
}

TEST(FormatDuration, HoursMinutesSecondsAndDays) {
    EXPECT_EQ(format_duration(0), "00:00:00");
    EXPECT_EQ(format_duration(59), "00:00:59");
    EXPECT_EQ(format_duration(59.99), "00:00:59");
    EXPECT_EQ(format_duration(3661), "01:01:01");
    EXPECT_EQ(format_duration(86399), "23:59:59");
    EXPECT_EQ(format_duration(86400), "1d 00:00:00");
    EXPECT_EQ(format_duration(90061), "1d 01:01:01");
    EXPECT_EQ(format_duration(-5), "00:00:00");
    EXPECT_EQ(format_duration(std::nan("")), "00:00:00");
}

}  // namespace
