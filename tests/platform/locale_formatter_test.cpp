// The Linux date formatter with installed locales.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/locales.h"

namespace {

using platform::SystemTime;
using testing_support::kMonday2June2003;
using testing_support::kTuesday2December2003;
using testing_support::Load;

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
    // Each field alone, then fields together with separators and quoted text.
    using Cases = std::vector<std::pair<const char*, std::string>>;
    const Cases fields = {
        {"dd", "02"},        {"d", "2"},   {"ddd", "Mon"}, {"dddd", "Monday"},
        {"ddddd", "Monday"}, {"MM", "06"}, {"M", "6"},     {"MMM", "Jun"},
        {"MMMM", "June"},    {"yy", "03"}, {"y", "3"},     {"yyyy", "2003"},
    };
    const Cases together = {
        {"dd-MMM-yy", "02-Jun-03"}, {"MMM dd yyyy", "Jun 02 2003"},
        {"MM/dd/yy", "06/02/03"},   {"'day' d", "day 2"},
        {"'d''M'd", "d'M2"},        {"d.M.y", "2.6.3"},
    };
    for (const Cases* cases : {&fields, &together})
        for (const auto& [picture, expected] : *cases) {
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
    EXPECT_EQ(FormatWith(*fr, "MMMM", kTuesday2December2003).text, "d\303\251cembre");
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

}  // namespace
