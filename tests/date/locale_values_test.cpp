// The CustomDate class over installed locales on fixed dates.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fakes/fake_date.h"
#include "platform/posix/locale_date_formatter.h"
#include "tests/support/calls.h"
#include "tests/support/rigs.h"
#include "tests/support/skip.h"

namespace {

using platform::LocaleDateFormatter;
using platform::SystemTime;

constexpr SystemTime kMonday2June2003{2003, 6, 1, 2, 12, 30, 0, 0};
constexpr SystemTime kTuesday2December2003{2003, 12, 2, 2, 9, 0, 0, 0};

std::unique_ptr<LocaleDateFormatter> Load(const char* name) {
    return LocaleDateFormatter::ForLocale(name);
}

#define REQUIRE_LOCALE(formatter, name) \
    if (formatter == nullptr) TESS_SKIP(name " is not installed")

// The whole plug-in class over a real locale on a fixed date.
class LocaleValues : public ::testing::Test {
  protected:
    platform::fakes::FakeLocalClock clock;

    std::vector<std::string> ValuesFor(const platform::DateFormatter& formatter,
                                       const SystemTime& date) {
        const auto object = testing_support::NewCustomDate(clock, formatter);
        clock.now = date;
        object->PollData();
        std::vector<std::string> values;
        for (LONG i = 0; i < 29; ++i)
            values.push_back(com::ToUtf8(testing_support::ValueOf(object.Get(), i)));
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
