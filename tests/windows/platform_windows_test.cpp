// The Windows platform layer against the real system calls, under the locale the test runs in
// (TESS_EXPECT_LOCALE names it: "en" for English (United States), "ru" for Russian).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "frame/plugin_object.h"
#include "platform/narrow_text.h"
#include "platform/regional_settings.h"
#include "platform/tick_clock.h"

namespace {

std::string ExpectedLocale() {
    const char* value = std::getenv("TESS_EXPECT_LOCALE");
    return value == nullptr ? std::string("en") : std::string(value);
}

TEST(WindowsTickClock, FollowsTheSystemTickCount) {
    const auto& clock = platform::SystemTickClock();
    const ULONGLONG before = GetTickCount64();
    const std::uint64_t first = clock.Milliseconds();
    Sleep(50);
    const std::uint64_t second = clock.Milliseconds();
    const ULONGLONG after = GetTickCount64();
    EXPECT_GE(first, before);
    EXPECT_GT(second, first);  // the tick count moves on, at its own granularity
    EXPECT_LE(second, after);
}

TEST(WindowsRegionalSettings, ReadsTheUserLocale) {
    const auto& settings = platform::UserRegionalSettings();
    wchar_t decimal[8] = {}, time[8] = {};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8), 0);
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, time, 8), 0);
    EXPECT_EQ(settings.DecimalSeparator(),
              std::u16string(reinterpret_cast<const char16_t*>(decimal)));
    EXPECT_EQ(settings.TimeSeparator(), std::u16string(reinterpret_cast<const char16_t*>(time)));
    if (ExpectedLocale() == "ru") {
        EXPECT_EQ(settings.DecimalSeparator(), u",");
        EXPECT_EQ(settings.TimeSeparator(), u":");
    } else {
        EXPECT_EQ(settings.DecimalSeparator(), u".");
        EXPECT_EQ(settings.TimeSeparator(), u":");
    }
}

TEST(WindowsNarrowText, UsesTheAnsiCodePage) {
    const UINT codePage = GetACP();
    if (ExpectedLocale() == "ru") {
        ASSERT_EQ(codePage, 1251u);
        // Cyrillic capital Zhe is 0xC6 in code page 1251; e with acute is not in it and becomes
        // its best fit, the plain e.
        EXPECT_EQ(platform::AnsiCode(u'\u0416'), 0xC6);
        EXPECT_EQ(platform::AnsiCode(u'\u00E9'), 'e');
        EXPECT_EQ(frame::HasCharAbove127(u"\u0416"), VARIANT_TRUE);
        EXPECT_EQ(frame::HasCharAbove127(u"ab\u00E9"), VARIANT_FALSE);
        EXPECT_EQ(platform::ToNarrow(u"\u0416a"), "\306a");
        EXPECT_EQ(platform::FromNarrow("\xC6"), u"\u0416");
    } else {
        ASSERT_EQ(codePage, 1252u);
        EXPECT_EQ(platform::AnsiCode(u'\u00E9'), 0xE9);
        // The euro sign is 0x80 in code page 1252.
        EXPECT_EQ(platform::AnsiCode(u'\u20AC'), 0x80);
        EXPECT_EQ(platform::AnsiCode(u'\u0416'), '?');
        EXPECT_EQ(frame::HasCharAbove127(u"ab\u00E9"), VARIANT_TRUE);
        EXPECT_EQ(frame::HasCharAbove127(u"\u0416"), VARIANT_FALSE);
        EXPECT_EQ(platform::ToNarrow(u"\u00E9a"), "\351a");
        EXPECT_EQ(platform::FromNarrow("\x80"), u"\u20AC");
    }
    EXPECT_EQ(platform::AnsiCode(u'a'), 'a');
    EXPECT_EQ(frame::HasCharAbove127(u""), VARIANT_FALSE);
}

}  // namespace
