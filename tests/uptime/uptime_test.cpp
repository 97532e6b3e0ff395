// The uptime plug-in's items over the tick counts that matter, against a fake clock.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/calls.h"
#include "tests/support/rigs.h"
#include "uptime/uptime_format.h"

namespace {

struct UptimeTest : ::testing::Test, testing_support::UptimeRig {
    std::u16string ValueAt(LONG index) { return testing_support::ValueOf(provider(), index); }
    std::u16string At(std::uint64_t ticks, LONG index) {
        clock.now = ticks;
        EXPECT_EQ(object->PollData(), S_OK);
        return ValueAt(index);
    }
};

TEST_F(UptimeTest, ValuesOverTheTickCountsThatMatter) {
    constexpr std::uint64_t kMax32 = 4'294'967'295;
    // The tick count, an item and its text: at the start, at the turn of each unit, at 2^32 - 1
    // ms, and past it, where the count goes on and all digits of a wide total are printed.
    using Samples = std::vector<std::tuple<std::uint64_t, LONG, const char16_t*>>;
    const Samples atStart = {
        {0, 0, u"0"},           {0, 1, u"00"},          {0, 3, u"0000"},
        {0, 5, u"00000"},       {0, 7, u"0000000"},     {0, 14, u"0:00:00"},
        {0, 16, u"0000:00:00"}, {0, 20, u"0-00:00:00"}, {0, 22, u"00-00:00:00"},
    };
    const Samples turns = {
        {999, 12, u"0"},        {1000, 12, u"1"},     {59'999, 13, u"59"},
        {59'999, 11, u"00"},    {60'000, 13, u"00"},  {60'000, 11, u"01"},
        {3'599'999, 10, u"59"}, {3'600'000, 8, u"1"}, {3'600'000, 10, u"0"},
    };
    const Samples days = {
        {86'399'999, 20, u"0-23:59:59"}, {86'399'999, 22, u"00-23:59:59"},
        {86'400'000, 20, u"1-00:00:00"}, {86'400'000, 22, u"01-00:00:00"},
        {360'000'000, 14, u"100:00:00"}, {360'000'000, 16, u"0100:00:00"},
        {360'000'000, 18, u"100:00"},    {360'000'000, 22, u"04-04:00:00"},
    };
    const Samples wrap = {
        {kMax32, 0, u"49"},           {kMax32, 3, u"1193"},         {kMax32, 5, u"71582"},
        {kMax32, 7, u"4294967"},      {kMax32, 16, u"1193:02:47"},  {kMax32, 17, u"1193:02.47"},
        {kMax32, 20, u"49-17:02:47"}, {kMax32, 22, u"49-17:02:47"},
    };
    const Samples past = {
        {5'000'000'000, 20, u"57-20:53:20"},
        {5'000'000'000, 2, u"1388"},
        {1'000ull * 86400 * 150, 1, u"150"},
        {1'000ull * 3600 * 12345, 3, u"12345"},
    };
    for (const Samples* samples : {&atStart, &turns, &days, &wrap, &past})
        for (const auto& [ticks, index, text] : *samples)
            EXPECT_EQ(At(ticks, index), text) << "T=" << ticks << " index " << index;
}

TEST_F(UptimeTest, EveryItemForTheTwoCatalogueSamples) {
    const char16_t* a[] = {
        u"1",       u"01",      u"26",         u"0026",       u"1563",        u"01563",
        u"93784",   u"0093784", u"2",          u"02",         u"3",           u"03",
        u"4",       u"04",      u"26:03:04",   u"26:03.04",   u"0026:03:04",  u"0026:03.04",
        u"26:03",   u"0026:03", u"1-02:03:04", u"1-02:03.04", u"01-02:03:04", u"01-02:03.04",
        u"1-02:03", u"01-02:03"};
    const char16_t* b[] = {
        u"12",       u"12",      u"291",         u"0291",        u"17464",       u"17464",
        u"1047845",  u"1047845", u"3",           u"03",          u"4",           u"04",
        u"5",        u"05",      u"291:04:05",   u"291:04.05",   u"0291:04:05",  u"0291:04.05",
        u"291:04",   u"0291:04", u"12-03:04:05", u"12-03:04.05", u"12-03:04:05", u"12-03:04.05",
        u"12-03:04", u"12-03:04"};
    for (LONG i = 0; i < 26; ++i) {
        EXPECT_EQ(At(93'784'567, i), a[i]) << "index " << i;
        EXPECT_EQ(At(1'047'845'000, i), b[i]) << "index " << i;
    }
}

TEST_F(UptimeTest, RegionalSeparators) {
    settings.decimal = u",";
    EXPECT_EQ(At(93'784'567, 15), u"26:03,04");
    EXPECT_EQ(At(93'784'567, 14), u"26:03:04");
    EXPECT_EQ(At(93'784'567, 21), u"1-02:03,04");
    settings.time = u".";
    EXPECT_EQ(At(93'784'567, 20), u"1-02.03.04") << "the day's hyphen never changes";
}

TEST_F(UptimeTest, ValuesComeFromTheLastPollOnly) {
    EXPECT_EQ(ValueAt(7), u"0000000") << "before any poll";
    EXPECT_EQ(ValueAt(22), u"00-00:00:00");
    clock.now = 93'784'567;
    EXPECT_EQ(clock.reads, 0) << "Value never reads the clock";
    object->PollData();
    EXPECT_EQ(clock.reads, 1);
    clock.now = 999'999'999;
    EXPECT_EQ(ValueAt(20), u"1-02:03:04");
    EXPECT_EQ(ValueAt(20), u"1-02:03:04");
    EXPECT_EQ(clock.reads, 1);
}

TEST_F(UptimeTest, IndexesOutOfRange) {
    const testing_support::Outcome none{S_OK, std::nullopt};
    for (LONG index : {26, -1, 1000, -2147483647 - 1}) {
        const auto item = testing_support::ItemOf(provider(), index);
        EXPECT_EQ(item.value, none) << index;  // the empty variant
        EXPECT_EQ(item.name, none) << index;
        EXPECT_EQ(item.display, none) << index;
    }
}

TEST_F(UptimeTest, NamesAndDisplayNamesAgree) {
    for (LONG i = 0; i < 26; ++i) {
        const auto item = testing_support::ItemOf(provider(), i);
        EXPECT_EQ(item.name.hr, S_OK);
        EXPECT_EQ(item.name, item.display);
        EXPECT_EQ(item.name.value.value_or(u"").substr(0, 10), u"Wendrikai\\");
    }
    EXPECT_EQ(testing_support::ItemOf(provider(), 0).name,
              testing_support::Ok(u"Wendrikai\\Custom\\d accumulated"));
    EXPECT_EQ(testing_support::ItemOf(provider(), 25).name,
              testing_support::Ok(u"Wendrikai\\Predefined\\dd-hh:mm part of day"));
}

}  // namespace
