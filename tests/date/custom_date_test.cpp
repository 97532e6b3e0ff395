// The CustomDate class against a fake clock and a fake formatter.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "com/errors.h"
#include "date/custom_date.h"
#include "date/date_items.h"
#include "date/variables.h"
#include "platform/posix/locale_date_formatter.h"
#include "tests/support/calls.h"
#include "tests/support/locales.h"
#include "tests/support/rigs.h"

namespace {

using platform::SystemTime;
using testing_support::kMonday2June2003;

// year, month, dayOfWeek, day, hour, minute, second, milliseconds
constexpr SystemTime kNewYearsEve2004{2004, 12, 5, 31, 23, 59, 58, 0};

struct CustomDateTest : ::testing::Test, testing_support::DateRig {
    void Poll(const SystemTime& time) {
        clock.now = time;
        ASSERT_EQ(object->PollData(), S_OK);
    }
    // Item `index` as UTF-8; the call must succeed.
    std::string Value(LONG index) { return ValueOf(provider(), index); }
    static std::string ValueOf(ITessivar2DataProvider* target, LONG index) {
        return com::ToUtf8(testing_support::ValueOf(target, index));
    }
};

TEST_F(CustomDateTest, PicturesAreTheItemTable) {
    // The fake echoes the picture, so the value shows which picture was asked for.
    const std::vector<std::pair<LONG, std::string>> pictures = {
        {0, "dd"},           {1, "d"},
        {2, "ddd"},          {3, "ddddd"},
        {4, "MM"},           {5, "MMM"},
        {6, "MMMM"},         {7, "yy"},
        {8, "yyyy"},         {11, "dd-MM-yy"},
        {12, "MM-dd-yy"},    {13, "dd/MM/yy"},
        {14, "MM/dd/yy"},    {15, "dd MM yy"},
        {16, "MM dd yy"},    {17, "dd-MMM-yy"},
        {18, "MMM-dd-yy"},   {19, "dd/MMM/yy"},
        {20, "MMM/dd/yy"},   {21, "dd MMM yy"},
        {22, "MMM dd yy"},   {23, "dd-MMM-yyyy"},
        {24, "MMM-dd-yyyy"}, {25, "dd/MMM/yyyy"},
        {26, "MMM/dd/yyyy"}, {27, "dd MMM yyyy"},
        {28, "MMM dd yyyy"},
    };
    Poll(kMonday2June2003);
    for (const auto& [index, picture] : pictures) {
        EXPECT_EQ(Value(index), picture) << index;
        EXPECT_EQ(formatter.lastPicture, picture) << index;
        EXPECT_EQ(formatter.lastCapacity, 50) << index;
        EXPECT_EQ(formatter.lastDate.day, 2) << index;
        EXPECT_EQ(formatter.lastDate.month, 6) << index;
        EXPECT_EQ(formatter.lastDate.year, 2003) << index;
    }
}

TEST_F(CustomDateTest, BeforeTheFirstPollOnlyTheSuffixHasAValue) {
    // The real formatter rejects the all-zeros date as the platform's does.
    const auto c = platform::LocaleDateFormatter::ForLocale("C");
    ASSERT_NE(c, nullptr);
    // On a thread of its own, whose stored poll time starts all zeros.
    std::thread([&] {
        const auto fresh = testing_support::New<date::CustomDate>(clock, *c);
        for (LONG i = 0; i < 29; ++i)
            EXPECT_EQ(ValueOf(fresh.Get(), i), i == 10 ? "th" : "Error") << i;
    }).join();
}

TEST_F(CustomDateTest, PollTimeIsSharedOnAThreadAndSeparateBetweenThreads) {
    Poll(kMonday2June2003);
    auto other = testing_support::New<date::CustomDate>(clock, formatter);
    EXPECT_EQ(ValueOf(other.Get(), 10), "nd");  // polled through the first object
    clock.now = kNewYearsEve2004;
    other->PollData();
    EXPECT_EQ(Value(10), "st");
    other.Reset();

    std::thread([&] {
        EXPECT_EQ(date::Variables::PollTime().year, 0);
        EXPECT_EQ(date::Variables::PollTime().day, 0);
        EXPECT_EQ(ValueOf(provider(), 10), "th");
    }).join();
    EXPECT_EQ(date::Variables::PollTime().day, 31);
}

TEST_F(CustomDateTest, ValueReadsOnlyThePollTime) {
    Poll(kMonday2June2003);
    const int reads = clock.reads;
    clock.now = kNewYearsEve2004;
    EXPECT_EQ(Value(10), "nd");
    Value(0);
    EXPECT_EQ(formatter.lastDate.day, 2);
    EXPECT_EQ(clock.reads, reads);
}

TEST_F(CustomDateTest, EnglishNamesReplaceTextAbove127) {
    // Tuesday 31 December 2002.
    Poll(SystemTime{2002, 12, 2, 31, 8, 0, 0, 0});
    // Each item, the text the formatter gives for its picture, and the value: the names, then
    // every layout with a name, then the digit items, which never fall back.
    using Cases = std::vector<std::tuple<LONG, std::string, std::string>>;
    const Cases names = {
        {2, "mar.", "mar."},
        {2, "\xD0\xB2\xD1\x82", "Tue"},  // Cyrillic
        {3, "mardi", "mardi"},
        {3, "Dienstag\xC3\xA9", "Tuesday"},
        {5, "dec", "dec"},
        {5, "d\303\251c.", "Dec"},
        {6, "d\303\251cembre", "December"},
        {6, "Dezember", "Dezember"},
        {17, "31-d\303\251c.-02", "31-Dec-02"},
        {18, "d\303\251c.-31-02", "Dec-31-02"},
        {28, "Dez 31 2002", "Dez 31 2002"},
    };
    const Cases layouts = {
        {19, "x\xC3\xA9", "31/Dec/02"},   {20, "x\xC3\xA9", "Dec/31/02"},
        {21, "x\xC3\xA9", "31 Dec 02"},   {22, "x\xC3\xA9", "Dec 31 02"},
        {23, "x\xC3\xA9", "31-Dec-2002"}, {24, "x\xC3\xA9", "Dec-31-2002"},
        {25, "x\xC3\xA9", "31/Dec/2002"}, {26, "x\xC3\xA9", "Dec/31/2002"},
        {27, "x\xC3\xA9", "31 Dec 2002"}, {28, "x\xC3\xA9", "Dec 31 2002"},
    };
    const Cases digits = {{0, "3\xC3\xA9", "3\xC3\xA9"}, {13, "31/\xC3\xA9/02", "31/\xC3\xA9/02"}};
    for (const Cases* cases : {&names, &layouts, &digits})
        for (const auto& [index, localeText, expected] : *cases) {
            formatter.texts.clear();
            formatter.texts[date::ItemPicture(index)] = localeText;
            EXPECT_EQ(Value(index), expected) << index << " " << localeText;
        }
}

TEST_F(CustomDateTest, FallbackLayoutsTakeEveryPartFromThePollTime) {
    // Polled just before midnight; the value is asked for after it.
    Poll(kNewYearsEve2004);
    clock.now = SystemTime{2005, 1, 6, 1, 0, 0, 1, 0};
    formatter.texts["dd-MMM-yy"] = "31-d\303\251c.-04";
    formatter.texts["dd MMM yyyy"] = "31 d\303\251c. 2004";
    EXPECT_EQ(Value(17), "31-Dec-04");
    EXPECT_EQ(Value(27), "31 Dec 2004");
    // A date of the first decade of a century and a single-digit day keep their zeros.
    Poll(SystemTime{2007, 3, 5, 9, 0, 0, 0, 0});
    formatter.texts["MMM/dd/yy"] = "m\xC3\xA4r/09/07";
    EXPECT_EQ(Value(20), "Mar/09/07");
}

TEST_F(CustomDateTest, Year2kDropsLeadingZeros) {
    Poll(kMonday2June2003);
    const std::pair<std::string, std::string> cases[] = {
        {"00", "2k0"}, {"03", "2k3"}, {"10", "2k10"}, {"99", "2k99"}};
    for (const auto& [digits, expected] : cases) {
        formatter.texts["yy"] = digits;
        EXPECT_EQ(Value(9), expected) << digits;
        EXPECT_EQ(Value(7), digits);
    }
}

TEST_F(CustomDateTest, Year2kOfTextThatIsNoNumberFailsAndTheObjectCarriesOn) {
    Poll(kMonday2June2003);
    formatter.texts["yy"] = "o3";
    com::Variant v;
    EXPECT_EQ(object->get_Value(9, v.Out()), com::kTypeMismatch);
    EXPECT_EQ(v.vt, VT_EMPTY);
    formatter.texts["yy"] = "03";
    EXPECT_EQ(Value(9), "2k3");
}

TEST_F(CustomDateTest, DaySuffixOfThePolledDay) {
    // The whole table is the class interface's; here the day comes from the poll.
    const std::pair<std::uint16_t, std::string> cases[] = {{2, "nd"}, {13, "th"}, {31, "st"}};
    for (const auto& [day, expected] : cases) {
        Poll(SystemTime{2003, 1, 0, day, 0, 0, 0, 0});
        EXPECT_EQ(Value(10), expected) << day;
    }
    formatter.fail = true;  // the suffix needs no formatter
    EXPECT_EQ(Value(10), "st");
    EXPECT_EQ(formatter.calls, 0);
}

TEST_F(CustomDateTest, SpacesAreTrimmedAndOnlySpaces) {
    Poll(kMonday2June2003);
    formatter.texts["MMM"] = "  Jun ";
    formatter.texts["dd"] = " 0 2\t";
    formatter.texts["d"] = "";
    EXPECT_EQ(Value(5), "Jun");
    EXPECT_EQ(Value(0), "0 2\t");
    EXPECT_EQ(Value(1), "");  // a count of 1 is an empty text, not "Error"
}

TEST_F(CustomDateTest, TextMustFitFiftyCharactersWithItsTerminator) {
    Poll(kMonday2June2003);
    formatter.texts["MMMM"] = std::string(49, 'x');
    EXPECT_EQ(Value(6), std::string(49, 'x'));
    formatter.texts["MMMM"] = std::string(50, 'x');
    EXPECT_EQ(Value(6), "Error");
}

TEST_F(CustomDateTest, FormatterFailureIsErrorForEveryFormattedItem) {
    Poll(kMonday2June2003);
    formatter.fail = true;
    for (LONG i = 0; i < 29; ++i) EXPECT_EQ(Value(i), i == 10 ? "nd" : "Error") << i;
}

TEST_F(CustomDateTest, IndexesOutOfRangeAreErrorWithSuccess) {
    Poll(kMonday2June2003);
    for (LONG i : std::initializer_list<LONG>{29, 30, -1, 0x7FFFFFFF, -0x7FFFFFFF - 1})
        EXPECT_EQ(Value(i), "Error") << i;
    EXPECT_EQ(formatter.calls, 0);
    EXPECT_EQ(object->get_Value(0, nullptr), E_POINTER);
}

}  // namespace
