// The Linux date formatter with installed locales, alone and under the CustomDate class.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "date/custom_date.h"
#include "platform/fakes/fake_date.h"
#include "platform/posix/locale_date_formatter.h"

namespace {

using platform::LocaleDateFormatter;
using platform::SystemTime;

constexpr SystemTime kMonday2June2003{2003, 6, 1, 2, 12, 30, 0, 0};
constexpr SystemTime kTuesday2December2003{2003, 12, 2, 2, 9, 0, 0, 0};

std::unique_ptr<LocaleDateFormatter> Load(const char* name) {
    return LocaleDateFormatter::ForLocale(name);
}

#define REQUIRE_LOCALE(formatter, name) \
    if (formatter == nullptr) GTEST_SKIP() << name << " is not installed"

// The formatter's text and count for a picture.
struct Formatted {
    int count;
    std::string text;
};
Formatted FormatWith(const platform::DateFormatter& f, const char* picture, const SystemTime& date,
                     int capacity = 50) {
    std::vector<char> buffer(static_cast<std::size_t>(capacity) + 1, '#');
    const int count = f.Format(picture, date, buffer.data(), capacity);
    return {count, count > 0 ? std::string(buffer.data()) : std::string()};
}

TEST(LocaleFormatter, EnglishUnitedStatesPictures) {
    const auto en = Load("en_US.UTF-8");
    REQUIRE_LOCALE(en, "en_US.UTF-8");
    const std::pair<const char*, std::string> cases[] = {
        {"dd", "02"},
        {"d", "2"},
        {"ddd", "Mon"},
        {"dddd", "Monday"},
        {"ddddd", "Monday"},
        {"MM", "06"},
        {"M", "6"},
        {"MMM", "Jun"},
        {"MMMM", "June"},
        {"yy", "03"},
        {"y", "3"},
        {"yyyy", "2003"},
        {"dd-MMM-yy", "02-Jun-03"},
        {"MMM dd yyyy", "Jun 02 2003"},
        {"MM/dd/yy", "06/02/03"},
        {"'day' d", "day 2"},
        {"'d''M'd", "d'M2"},
        {"d.M.y", "2.6.3"},
    };
    for (const auto& [picture, expected] : cases) {
        const Formatted got = FormatWith(*en, picture, kMonday2June2003);
        EXPECT_EQ(got.text, expected) << picture;
        EXPECT_EQ(got.count, static_cast<int>(expected.size()) + 1) << picture;
    }
}

TEST(LocaleFormatter, InvalidDatesGiveZero) {
    const auto c = Load("C");
    ASSERT_NE(c, nullptr);
    const SystemTime cases[] = {
        {},                            // never polled
        {2003, 0, 1, 2, 0, 0, 0, 0},   // month 0
        {2003, 13, 1, 2, 0, 0, 0, 0},  // month 13
        {2003, 6, 1, 0, 0, 0, 0, 0},   // day 0
        {2003, 6, 1, 31, 0, 0, 0, 0},  // 31 June
        {2003, 2, 1, 29, 0, 0, 0, 0},  // 29 February of a common year
        {1900, 2, 1, 29, 0, 0, 0, 0},  // a century is not a leap year
        {0, 6, 1, 2, 0, 0, 0, 0},      // year 0
    };
    for (const auto& date : cases)
        EXPECT_EQ(FormatWith(*c, "dd", date).count, 0)
            << date.year << "-" << date.month << "-" << date.day;
    EXPECT_EQ(FormatWith(*c, "dd", SystemTime{2004, 2, 0, 29, 0, 0, 0, 0}).text, "29");
    EXPECT_EQ(FormatWith(*c, "dd", SystemTime{2000, 2, 2, 29, 0, 0, 0, 0}).text, "29");
}

TEST(LocaleFormatter, WeekdayComesFromTheDateItself) {
    const auto c = Load("C");
    ASSERT_NE(c, nullptr);
    SystemTime wrong = kMonday2June2003;
    wrong.dayOfWeek = 4;
    EXPECT_EQ(FormatWith(*c, "ddd dddd", wrong).text, "Mon Monday");
}

TEST(LocaleFormatter, CapacityCountsBytesAndTheTerminator) {
    const auto fr = Load("fr_FR.UTF-8");
    REQUIRE_LOCALE(fr, "fr_FR.UTF-8");
    // "décembre": 8 letters, 9 bytes, 10 with the terminator.
    EXPECT_EQ(FormatWith(*fr, "MMMM", kTuesday2December2003).text,
              "d\xC3\xA9"
              "cembre");
    EXPECT_EQ(FormatWith(*fr, "MMMM", kTuesday2December2003, 10).count, 10);
    EXPECT_EQ(FormatWith(*fr, "MMMM", kTuesday2December2003, 9).count, 0);
    EXPECT_EQ(fr->Format("MMMM", kTuesday2December2003, nullptr, 0), 10);
}

TEST(LocaleFormatter, MonthNameInsideADateAndStandingAlone) {
    const auto ru = Load("ru_RU.UTF-8");
    REQUIRE_LOCALE(ru, "ru_RU.UTF-8");
    // June: "Июнь" alone, "июня" after a day number.
    EXPECT_EQ(FormatWith(*ru, "MMMM", kMonday2June2003).text, "\xD0\x98\xD1\x8E\xD0\xBD\xD1\x8C");
    EXPECT_EQ(FormatWith(*ru, "d MMMM", kMonday2June2003).text,
              "2 \xD0\xB8\xD1\x8E\xD0\xBD\xD1\x8F");
}

// The whole plug-in class over a real locale on a fixed date.
class LocaleValues : public ::testing::Test {
  protected:
    platform::fakes::FakeLocalClock clock;

    std::vector<std::string> ValuesFor(const platform::DateFormatter& formatter,
                                       const SystemTime& date) {
        auto* object = new date::CustomDate(clock, formatter);
        clock.now = date;
        object->PollData();
        std::vector<std::string> values;
        for (LONG i = 0; i < 29; ++i) {
            com::Variant v;
            EXPECT_EQ(object->get_Value(i, v.Out()), S_OK);
            values.push_back(com::ToUtf8(com::View(v.bstrVal)));
        }
        object->Release();
        return values;
    }
};

TEST_F(LocaleValues, EnglishUnitedStatesGivesTheCatalogueSamples) {
    const auto en = Load("en_US.UTF-8");
    REQUIRE_LOCALE(en, "en_US.UTF-8");
    const std::vector<std::string> expected = {
        "02",          "2",           "Mon",         "Monday",      "06",         "Jun",
        "June",        "03",          "2003",        "2k3",         "nd",         "02-06-03",
        "06-02-03",    "02/06/03",    "06/02/03",    "02 06 03",    "06 02 03",   "02-Jun-03",
        "Jun-02-03",   "02/Jun/03",   "Jun/02/03",   "02 Jun 03",   "Jun 02 03",  "02-Jun-2003",
        "Jun-02-2003", "02/Jun/2003", "Jun/02/2003", "02 Jun 2003", "Jun 02 2003"};
    EXPECT_EQ(ValuesFor(*en, kMonday2June2003), expected);
}

TEST_F(LocaleValues, FrenchAccentedNamesFallBackToEnglish) {
    const auto fr = Load("fr_FR.UTF-8");
    REQUIRE_LOCALE(fr, "fr_FR.UTF-8");
    // December: "déc." and "décembre" carry an accent; the weekday "mar." does not.
    auto december = ValuesFor(*fr, kTuesday2December2003);
    EXPECT_EQ(december[2], "mar.");
    EXPECT_EQ(december[3], "mardi");
    EXPECT_EQ(december[5], "Dec");
    EXPECT_EQ(december[6], "December");
    EXPECT_EQ(december[9], "2k3");
    EXPECT_EQ(december[17], "02-Dec-03");
    EXPECT_EQ(december[28], "Dec 02 2003");
    // June: "juin" is plain ASCII and stays French.
    auto june = ValuesFor(*fr, kMonday2June2003);
    EXPECT_EQ(june[3], "lundi");
    EXPECT_EQ(june[5], "juin");
    EXPECT_EQ(june[6], "juin");
    EXPECT_EQ(june[17], "02-juin-03");
}

TEST_F(LocaleValues, GermanUmlautFallsBack) {
    const auto de = Load("de_DE.UTF-8");
    REQUIRE_LOCALE(de, "de_DE.UTF-8");
    auto march = ValuesFor(*de, SystemTime{2003, 3, 1, 3, 0, 0, 0, 0});
    EXPECT_EQ(march[3], "Montag");
    EXPECT_EQ(march[5], "Mar");    // "Mär"
    EXPECT_EQ(march[6], "March");  // "März"
    EXPECT_EQ(march[24], "Mar-03-2003");
    auto june = ValuesFor(*de, kMonday2June2003);
    EXPECT_EQ(june[6], "Juni");
}

TEST_F(LocaleValues, RussianNamesAreAllEnglish) {
    const auto ru = Load("ru_RU.UTF-8");
    REQUIRE_LOCALE(ru, "ru_RU.UTF-8");
    auto values = ValuesFor(*ru, kMonday2June2003);
    EXPECT_EQ(values[2], "Mon");
    EXPECT_EQ(values[3], "Monday");
    EXPECT_EQ(values[5], "Jun");
    EXPECT_EQ(values[6], "June");
    for (LONG i = 17; i <= 22; ++i) EXPECT_NE(values[i].find("Jun"), std::string::npos) << i;
    EXPECT_EQ(values[23], "02-Jun-2003");
    EXPECT_EQ(values[0], "02");
    EXPECT_EQ(values[11], "02-06-03");
}

}  // namespace
