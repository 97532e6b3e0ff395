// The built Tamblorin library run through lcdhost, with the real clock and locales.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process.h"
#include "tests/support/skip.h"

namespace {

using testing_support::RunShell;

const std::string kHost = TESS_LCDHOST;

bool HasLocale(const std::string& name) {
    return RunShell("locale -a").out.find(name + "\n") != std::string::npos;
}

// The values of `lcdhost values Tamblorin` (the text after the last tab of each line).
std::vector<std::string> Values(const std::string& env) {
    auto r = RunShell(kHost + " values Tamblorin", env);
    EXPECT_EQ(r.status, 0) << r.err;
    std::vector<std::string> values;
    for (const std::string& line : testing_support::Lines(r.out))
        values.push_back(line.substr(line.rfind('\t') + 1));
    return values;
}

// `date +FORMAT` in the same environment, without its newline.
std::string Date(const std::string& format, const std::string& env) {
    std::string out = RunShell("date '+" + format + "'", env).out;
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

bool IsAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c > 127) return false;
    return true;
}

TEST(TamblorinHost, Info) {
    auto r = RunShell(kHost + " info Tamblorin");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Count: 29\nPollFreqency: 10000\nPollMethod: 1\nDescription: Tamblorin v1.5\n");
}

TEST(TamblorinHost, CallsPublicMethodsByName) {
    const std::pair<std::string, std::string> cases[] = {
        {"GetDaySuffix 22", "nd\n"},
        {"getmonthlong 5", "May\n"},
        {"GetMonthShort 13", "\n"},
        {"Check128 'd\303\251c.'", "True\n"},
    };
    for (const auto& [args, expected] : cases) {
        auto r = RunShell(kHost + " call Tamblorin " + args);
        EXPECT_EQ(r.status, 0) << args << ": " << r.err;
        EXPECT_EQ(r.out, expected) << args;
    }
    auto unknown = RunShell(kHost + " call Tamblorin GetYear 1");
    EXPECT_NE(unknown.status, 0);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("GetYear"), std::string::npos) << unknown.err;
}

TEST(TamblorinHost, ValuesFollowTheTimeZone) {
    // Fourteen hours east and twelve hours west of Greenwich are never on the same date.
    for (const std::string tz : {"Etc/GMT-14", "Etc/GMT+12"}) {
        const std::string env = "LC_ALL=C TZ=" + tz + " ";
        const std::string before = Date("%d|%Y|%m", env);
        const auto values = Values(env);
        const std::string after = Date("%d|%Y|%m", env);
        ASSERT_EQ(values.size(), 29u);
        const std::string got = values[0] + "|" + values[8] + "|" + values[4];
        EXPECT_TRUE(got == before || got == after) << tz << ": " << got << " vs " << before;
    }
    const auto east = Values("LC_ALL=C TZ=Etc/GMT-14 ");
    const auto west = Values("LC_ALL=C TZ=Etc/GMT+12 ");
    EXPECT_NE(east[11], west[11]);
}

TEST(TamblorinHost, FrenchNamesFallBackToEnglishWhereAccented) {
    if (!HasLocale("fr_FR.utf8")) TESS_SKIP("fr_FR.UTF-8 is not installed");
    const std::string env = "LC_ALL=fr_FR.UTF-8 ";
    const std::string french = Date("%OB|%b|%A", env);  // stand-alone month, month, weekday
    const std::string english = Date("%B|%b|%A", "LC_ALL=C ");
    const auto values = Values(env);
    ASSERT_EQ(values.size(), 29u);
    auto part = [](const std::string& text, int n) {
        std::istringstream in(text);
        std::string piece;
        for (int k = 0; k <= n; ++k) std::getline(in, piece, '|');
        return piece;
    };
    const std::string month = part(french, 0), shortMonth = part(french, 1);
    EXPECT_EQ(values[6], IsAscii(month) ? month : part(english, 0));
    EXPECT_EQ(values[5].substr(0, 3),
              IsAscii(shortMonth) ? shortMonth.substr(0, 3) : part(english, 1));
    EXPECT_EQ(values[3], part(french, 2));  // French weekday names are plain ASCII
    for (const auto& value : values) EXPECT_TRUE(IsAscii(value)) << value;
}

TEST(TamblorinHost, RussianNamesAreEnglish) {
    if (!HasLocale("ru_RU.utf8")) TESS_SKIP("ru_RU.UTF-8 is not installed");
    const std::string english = Date("%a|%A|%b|%B", "LC_ALL=C ");
    const auto values = Values("LC_ALL=ru_RU.UTF-8 ");
    ASSERT_EQ(values.size(), 29u);
    EXPECT_EQ(values[2] + "|" + values[3] + "|" + values[5] + "|" + values[6], english);
}

}  // namespace
