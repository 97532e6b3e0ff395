// The module w32_Processor: architecture and family names, the clock multiplier.
#include "cpuinfo/w32_processor.h"

#include <gtest/gtest.h>

#include <limits>

#include "com/errors.h"
#include "tests/support/variants.h"

namespace cpuinfo::w32_Processor {
namespace {

TEST(ArchitectureName, NamesTheListedCodesOnly) {
    const std::pair<std::int16_t, std::u16string_view> cases[] = {
        {0, u"x86"},     {1, u"MIPS"},    {2, u"Alpha"},   {3, u"Power PC"}, {6, u"ia64"},
        {4, u"unknown"}, {5, u"unknown"}, {9, u"unknown"}, {-1, u"unknown"}, {12, u"unknown"},
    };
    for (const auto& [code, name] : cases) EXPECT_EQ(ArchitectureName(code), name) << code;
}

TEST(FamilyName, NamesExactly102Codes) {
    int named = 0;
    for (int code = std::numeric_limits<std::int16_t>::min();
         code <= std::numeric_limits<std::int16_t>::max(); ++code)
        if (FamilyName(static_cast<std::int16_t>(code)) != u"unknown") ++named;
    EXPECT_EQ(named, 102);
}

TEST(FamilyName, NamesAsWritten) {
    const std::pair<std::int16_t, std::u16string_view> cases[] = {
        {1, u"other"},
        {3, u"8086"},
        {11, u"Pentium brand"},
        {19, u"M2 Family"},
        {30, u"AMD 2900 Family"},
        {31, u"K6-2+"},
        {38, u"Power PC X704"},
        {55, u"Alpha 21364"},
        {69, u"MIPS R10000"},
        {88, u"UltraSPARC IIIi"},
        {97, u"68xxx Family"},
        {130, u"Itanium Processor"},
        {177, u"Pentium III with Intel SpeedStep"},
        {182, u"AMD Athlon XP"},
        {190, u"K7"},
        {261, u"SH-4"},
        {350, u"DSP"},
        {500, u"Video Processor"},
    };
    for (const auto& [code, name] : cases) EXPECT_EQ(FamilyName(code), name) << code;
    for (std::int16_t code : {2, 20, 191, 501, -1, 0})
        EXPECT_EQ(FamilyName(code), u"unknown") << code;
}

using testing_support::Long;
using testing_support::Real;
using testing_support::Text;

TEST(ClockRatio, AddsOneHalfForARemainderAboveFive) {
    const std::tuple<std::int16_t, LONG, double> cases[] = {
        {1800, 133, 13.5}, {2000, 133, 15},   {2200, 200, 11},   {1006, 100, 10.5},
        {1005, 100, 10},   {100, 133, 0.5},   {1460, 133, 10.5},  // remainder 130: one half only
        {3, 133, 0},       {32767, 1, 32767},
    };
    for (const auto& [core, external, expected] : cases) {
        double ratio = -1;
        ASSERT_EQ(ClockRatio(core, Long(external), &ratio), S_OK);
        EXPECT_EQ(ratio, expected) << core << " / " << external;
    }
}

TEST(ClockRatio, MakesTheExternalClockAWholeNumber) {
    double ratio = 0;
    ASSERT_EQ(ClockRatio(1800, Text(u"133"), &ratio), S_OK);
    EXPECT_EQ(ratio, 13.5);
    ASSERT_EQ(ClockRatio(1800, Real(133.4), &ratio), S_OK);
    EXPECT_EQ(ratio, 13.5);
}

TEST(ClockRatio, FailuresCarryTheRuntimeErrors) {
    double ratio = 0;
    EXPECT_EQ(ClockRatio(1800, Long(0), &ratio), com::kDivisionByZero);
    EXPECT_EQ(ClockRatio(1800, testing_support::Null(), &ratio), com::kInvalidUseOfNull);
    EXPECT_EQ(ClockRatio(1800, Text(u"fast"), &ratio), com::kTypeMismatch);
    EXPECT_EQ(ClockRatio(1800, Real(1e12), &ratio), com::kOverflow);
    EXPECT_EQ(ClockRatio(1800, testing_support::Value(), &ratio), com::kDivisionByZero);
}

}  // namespace
}  // namespace cpuinfo::w32_Processor
