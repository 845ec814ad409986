// Lengths as dialogs show and read them.

#include "app/MeasurementUnits.h"
#include "platform/ScreenMetrics.h"

#include <gtest/gtest.h>

namespace pq {
namespace {

TEST(MeasurementUnits, EveryUnitShowsAndReadsBackALengthWithinItsPrecisionPixelsFollowingTheScreen) {
    SetScreenPixelsPerInch(96);
    const double lengths[] = {0.0, 1.0, 254.0, 1480.0, 2100.0, 29999.0, -317.0};
    for (int unit = 0; unit < kMeasurementUnitCount; ++unit) {
        for (double length : lengths) {
            const std::string shown = FormatLength(length, unit);
            const std::optional<double> typed = ParseTypedNumber(shown);
            ASSERT_TRUE(typed) << shown;
            // Half a step of the last shown digit, in document units.
            double step = UnitScale(unit);
            for (int digit = 0; digit < UnitPrecision(unit); ++digit)
                step /= 10.0;
            EXPECT_NEAR(*typed * UnitScale(unit), length, step / 2 + 1e-9) << UnitName(unit) << " " << shown;
        }
    }
    EXPECT_EQ(FormatLength(254.0, static_cast<int>(MeasurementUnit::Inch)), "1.00");
    EXPECT_EQ(FormatLength(1480.0, static_cast<int>(MeasurementUnit::Millimetre)), "148.0");
    EXPECT_EQ(FormatLength(96.0 * 254.0 / 96.0, static_cast<int>(MeasurementUnit::Pixel)), "96");
    SetScreenPixelsPerInch(127);
    EXPECT_DOUBLE_EQ(UnitScale(static_cast<int>(MeasurementUnit::Pixel)), 2.0);
    SetScreenPixelsPerInch(96);
    // Unknown indexes count as millimetres.
    for (int unit : {-1, 5, 1000}) {
        EXPECT_DOUBLE_EQ(UnitScale(unit), 10.0);
        EXPECT_EQ(UnitPrecision(unit), 1);
        EXPECT_TRUE(UnitName(unit).empty());
    }
}

TEST(MeasurementUnits, TypedNumbersReadTheirLeadingNumberOnly) {
    EXPECT_EQ(ParseTypedNumber("12x"), 12.0);
    EXPECT_EQ(ParseTypedNumber("  -3.5 cm"), -3.5);
    EXPECT_EQ(ParseTypedNumber("1e2"), 100.0);
    for (const char* bad : {"", "x12", "abc", "nan", "inf", "-inf", "0x10", "1e999", ".", "-"})
        EXPECT_FALSE(ParseTypedNumber(bad)) << bad;
    // Text longer than any number is read by its start without a copy of all of it.
    EXPECT_EQ(ParseTypedNumber("7" + std::string(100000, ' ')), 7.0);

    EXPECT_EQ(ParseTypedInteger("45"), 45);
    EXPECT_EQ(ParseTypedInteger("-90 degrees"), -90);
    EXPECT_EQ(ParseTypedInteger("12.7"), 12);
    for (const char* bad : {"", "deg", "99999999999", "-99999999999"})
        EXPECT_FALSE(ParseTypedInteger(bad)) << bad;
}

} // namespace
} // namespace pq
