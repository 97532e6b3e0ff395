// The Linux stand-ins for the platform calls.
#include <gtest/gtest.h>

#include "platform/regional_settings.h"
#include "platform/tick_clock.h"

namespace {

TEST(TimeSeparatorOfFormat, ReadsTheCharacterBetweenHoursAndMinutes) {
    const std::pair<const char*, const char*> cases[] = {
        {"%H:%M:%S", ":"},  {"%T", ":"},       {"%R", ":"},
        {"%r", ":"},        {"%H.%M.%S", "."}, {"%I:%M:%S %p", ":"},
        {"%k h %M", " h "}, {"%OH:%OM", ":"},  {"%p %l.%M", "."},
        {"", ""},           {"%M", ""},        {"%H%M", ""},
    };
    for (const auto& [format, separator] : cases)
        EXPECT_EQ(platform::TimeSeparatorOfFormat(format), separator) << format;
}

TEST(SystemTickClock, CountsForwardInMilliseconds) {
    const auto a = platform::SystemTickClock().Milliseconds();
    const auto b = platform::SystemTickClock().Milliseconds();
    EXPECT_GT(a, 0u);
    EXPECT_GE(b, a);
}

}  // namespace
