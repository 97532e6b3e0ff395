// The CustomDate class over installed locales on fixed dates.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/fakes/fake_date.h"
#include "tests/support/calls.h"
#include "tests/support/locales.h"
#include "tests/support/rigs.h"

namespace {

using platform::SystemTime;
using testing_support::kMonday2June2003;
using testing_support::kTuesday2December2003;
using testing_support::Load;

// The whole plug-in class over a real locale on a fixed date.
struct LocaleValues : ::testing::Test {
    platform::fakes::FakeLocalClock clock;

    std::vector<std::string> ValuesFor(const platform::DateFormatter& formatter,
                                       const SystemTime& date) {
        const auto object = testing_support::New<date::CustomDate>(clock, formatter);
        clock.now = date;
        object->PollData();
        std::vector<std::string> values;
        for (LONG i = 0; i < 29; ++i)
            values.push_back(com::ToUtf8(testing_support::ValueOf(object.Get(), i)));
        return values;
    }
    // The values of the items `indexes`.
    static std::vector<std::string> At(const std::vector<std::string>& values,
                                       std::initializer_list<int> indexes) {
        std::vector<std::string> picked;
        for (int i : indexes) picked.push_back(values.at(static_cast<std::size_t>(i)));
        return picked;
    }
};

using Texts = std::vector<std::string>;

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
    EXPECT_EQ(At(ValuesFor(*fr, kTuesday2December2003), {2, 3, 5, 6, 9, 17, 28}),
              (Texts{"mar.", "mardi", "Dec", "December", "2k3", "02-Dec-03", "Dec 02 2003"}));
    // June: "juin" is plain ASCII and stays French.
    EXPECT_EQ(At(ValuesFor(*fr, kMonday2June2003), {3, 5, 6, 17}),
              (Texts{"lundi", "juin", "juin", "02-juin-03"}));
}

TEST_F(LocaleValues, GermanUmlautFallsBack) {
    const auto de = Load("de_DE.UTF-8");
    REQUIRE_LOCALE(de, "de_DE.UTF-8");
    // "Mär" and "März" fall back.
    EXPECT_EQ(At(ValuesFor(*de, SystemTime{2003, 3, 1, 3, 0, 0, 0, 0}), {3, 5, 6, 24}),
              (Texts{"Montag", "Mar", "March", "Mar-03-2003"}));
    EXPECT_EQ(ValuesFor(*de, kMonday2June2003)[6], "Juni");
}

TEST_F(LocaleValues, RussianNamesAreAllEnglish) {
    const auto ru = Load("ru_RU.UTF-8");
    REQUIRE_LOCALE(ru, "ru_RU.UTF-8");
    auto values = ValuesFor(*ru, kMonday2June2003);
    EXPECT_EQ(At(values, {2, 3, 5, 6, 23, 0, 11}),
              (Texts{"Mon", "Monday", "Jun", "June", "02-Jun-2003", "02", "02-06-03"}));
    for (LONG i = 17; i <= 22; ++i) EXPECT_NE(values[i].find("Jun"), std::string::npos) << i;
}

}  // namespace
