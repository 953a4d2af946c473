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
    EXPECT_EQ(amount(125000000000.0, kUnitAutoBits, 1), "1.0tb");
}

// Each step of the automatic units with 0 to 3 decimals: a number that rounds to the step
// (1024 of a byte unit, 1000 of a bit unit) is shown as 1 of the next unit; just below that
// it keeps the smaller unit with its largest number.
TEST_F(FormatFixture, AutomaticUnitIsChosenAfterRounding) {
    struct Step {
        int unit;            // automatic code
        double lower;        // bytes in one of the smaller unit
        double step;         // 1024 or 1000
        const char* below;   // suffix below the step
        const char* above;   // suffix of the next unit
    };
    const double k = 1024.0;
    const Step steps[] = {
        {kUnitAutoBytes, k, k, "KB", "MB"},
        {kUnitAutoBytes, k * k, k, "MB", "GB"},
        {kUnitAutoBytes, k * k * k, k, "GB", "TB"},
        {kUnitAutoBits, 1000.0 / 8, 1000, "kb", "mb"},
        {kUnitAutoBits, 1e6 / 8, 1000, "mb", "gb"},
        {kUnitAutoBits, 1e9 / 8, 1000, "gb", "tb"},
    };
    for (const Step& st : steps) {
        for (int d = 0; d <= 3; ++d) {
            const double last = std::pow(10.0, -d);  // the last shown digit
            const std::string largest = (st.step == k ? "1023" : "999") + (d == 0 ? "" : "." + std::string(d, '9'));
            const std::string one = d == 0 ? "1" : "1." + std::string(d, '0');
            const auto dec = static_cast<std::uint8_t>(d);
            const std::string where = std::string(st.below) + " with " + std::to_string(d) + " decimals";
            EXPECT_EQ(amount((st.step - 0.6 * last) * st.lower, st.unit, dec), largest + st.below) << where;
            EXPECT_EQ(amount((st.step - 0.4 * last) * st.lower, st.unit, dec), one + st.above) << where;
            EXPECT_EQ(amount(st.step * st.lower, st.unit, dec), one + st.above) << where;
        }
    }
    for (int d = 0; d <= 3; ++d) {
        const auto dec = static_cast<std::uint8_t>(d);
        const std::string zeros = d == 0 ? "" : "." + std::string(d, '0');
        // Whole bytes and bits are cut, so they never reach the step by rounding.
        EXPECT_EQ(amount(1023.99, kUnitAutoBytes, dec), "1023B");
        EXPECT_EQ(amount(1024, kUnitAutoBytes, dec), "1" + zeros + "KB");
        EXPECT_EQ(amount(124.999, kUnitAutoBits, dec), "999b");
        EXPECT_EQ(amount(125, kUnitAutoBits, dec), "1" + zeros + "kb");
        // The largest units have no next one.
        EXPECT_EQ(amount((k - 0.4 * std::pow(10.0, -d)) * k * k * k * k, kUnitAutoBytes, dec), "1024" + zeros + "TB");
        EXPECT_EQ(amount(1000.0 * 1e12 / 8, kUnitAutoBits, dec), "1000" + zeros + "tb");
    }
    // A unit the user fixed stays, whatever the number.
    EXPECT_EQ(amount(k * k - 1, kUnitKilobytes, 0), "1024KB");
    EXPECT_EQ(amount(124999, kUnitKilobits, 0), "1000kb");
    EXPECT_EQ(amount(k * k - 1, kUnitAutoBytes, 0, true), "1 MB");
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
