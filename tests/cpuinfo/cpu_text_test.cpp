// The two-line layout, the firmware version entries, the short vendor name and number forms.
#include "cpuinfo/cpu_text.h"

#include <gtest/gtest.h>

#include <string>

#include "com/errors.h"

namespace cpuinfo {
namespace {

using namespace std::string_literals;

// A registry text as a successful read gives it: the characters, then NULs to 250.
std::u16string Registry(std::u16string text) {
    text.resize(250, u'\0');
    return text;
}

// A parameter's name for the test's name: its `what`, blanks made underscores.
template <class Info>
std::string NameOf(const Info& info) {
    std::string name = info.param.what;
    for (char& ch : name)
        if (ch == ' ') ch = '_';
    return name;
}

struct DualCase {
    const char* what;
    std::u16string source;
    std::u16string line1, line2;
};

class DualLineLayout : public ::testing::TestWithParam<DualCase> {};

TEST_P(DualLineLayout, CutsBreaksAndCentres) {
    const DualCase& c = GetParam();
    std::u16string result;
    ASSERT_EQ(DualLine(c.source, &result), S_OK);
    EXPECT_EQ(result, c.line1 + u"\n" + c.line2);
    EXPECT_EQ(c.line1.size(), c.line2.size());
}

INSTANTIATE_TEST_SUITE_P(
    Examples, DualLineLayout,
    ::testing::Values(
        // 33 printable characters, four blanks: the break is at the third blank; the shorter
        // line gets 4 blanks on each side.
        DualCase{"name", Registry(u"Intel(R) Pentium(R) 4 CPU 2.40GHz"), u"Intel(R) Pentium(R) 4",
                 u"     CPU 2.40GHz\0    "s},
        // Difference 3: one blank in front, two behind.
        DualCase{"identifier", Registry(u"x86 Family 6 Model 8 Stepping 10"), u"x86 Family 6 Model",
                 u"  8 Stepping 10\0  "s},
        // Leading blanks count: S = 7, B = 4, difference 15 split 7 and 8.
        DualCase{"leading blanks", Registry(u"   Intel(R) Pentium(R) 4 CPU 2.40GHz"),
                 u"          Intel(R)        ", u" Pentium(R) 4 CPU 2.40GHz\0"s},
        DualCase{"leading NUL", u"\0abc"s, u"\0"s, u" "},
        // One blank starts line 2; difference 2 splits evenly.
        DualCase{"even difference", u"ab cd\0"s, u" ab ", u" cd\0"s},
        // No blank: everything on line 1, line 2 all blanks.
        DualCase{"no blank", u"AB\tCD", u"AB\t", u"   "},
        // A character above 126 ends the working text and stays in it.
        DualCase{"accented", u"Caf\u00e9 noir\0"s, u"Caf\u00e9", u"    "},
        DualCase{"delete", u"A B\u007fC", u" A ", u" B\u007f"}),
    NameOf<::testing::TestParamInfo<DualCase>>);

TEST(DualLine, FailsWhenEveryCharacterIsPrintable) {
    for (std::u16string_view text : {u"2", u"Failure:Open", u"", u"234", u"~ !"}) {
        std::u16string result = u"unchanged";
        EXPECT_EQ(DualLine(text, &result), com::kInvalidCall);
        EXPECT_EQ(result, u"unchanged");
    }
}

struct TokenCase {
    const char* what;
    std::u16string text;
    std::vector<std::u16string> tokens;
    std::u16string all;
};

class VersionScan : public ::testing::TestWithParam<TokenCase> {};

TEST_P(VersionScan, SplitsAtNuls) {
    const TokenCase& c = GetParam();
    EXPECT_EQ(VersionTokens(c.text), c.tokens);
    EXPECT_EQ(JoinTokens(VersionTokens(c.text)), c.all);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, VersionScan,
    ::testing::Values(TokenCase{"three",
                                Registry(u"ABC  - 1\0BIOS Date: 01/02/03\0Ver 1.0\0"s),
                                {u"ABC  - 1", u"BIOS Date: 01/02/03", u"Ver 1.0"},
                                u"ABC  - 1 BIOS Date: 01/02/03 Ver 1.0 "},
                      TokenCase{"leading NUL", Registry(u"\0X\0"s), {u"", u"X"}, u" X "},
                      TokenCase{"seven",
                                Registry(u"1\0002\0003\0004\0005\0006\0007\0"s),
                                {u"1", u"2", u"3", u"4", u"5", u"6", u"7"},
                                u"1 2 3 4 5 6 7 "},
                      TokenCase{"failed read", u"2", {}, u""},
                      TokenCase{"failed open", u"Failure:Open", {}, u""},
                      TokenCase{"unterminated rest", u"A\0B"s, {u"A"}, u"A "},
                      TokenCase{"empty", u"", {}, u""}),
    NameOf<::testing::TestParamInfo<TokenCase>>);

TEST(VendorShort, FindsTheFirstCandidateWithoutRegardToCase) {
    const std::pair<std::u16string, std::u16string_view> cases[] = {
        {Registry(u"GenuineIntel"), u"Intel"},
        {Registry(u"AuthenticAMD"), u"AMD"},
        {Registry(u"CyrixInstead"), u"Cyrix"},
        {Registry(u"CentaurHauls"), u"CentaurHauls"},
        {u"genuineINTEL", u"Intel"},
        {u"CYRIX", u"Cyrix"},
        {u"IBM", u"IBM"},
        {u"centaurhauls", u"CentaurHauls"},
        {u"INTEL or amd", u"AMD"},  // earlier candidates win wherever they stand
    };
    for (const auto& [vendor, expected] : cases) EXPECT_EQ(VendorShort(vendor), expected);
    for (const std::u16string& vendor : {Registry(u"GenuineTMx86"), u"2"s, u"Failure:Open"s, u""s})
        EXPECT_EQ(VendorShort(vendor), u"unknown");
}

TEST(NumberForms, NumberFormIsLocaleFreeWithFifteenDigits) {
    const std::pair<double, std::u16string_view> cases[] = {
        {32, u"32"},
        {13.5, u"13.5"},
        {0, u"0"},
        {-1.5, u"-1.5"},
        {1.0 / 3, u"0.333333333333333"},
        {1e20, u"1E+20"},
        {123456789012345678.0, u"1.23456789012346E+17"},
        {2.5e-7, u"2.5E-07"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(NumberForm(value), text) << value;
}

TEST(NumberForms, WholeNumberFormRoundsHalfAwayFromZero) {
    const std::pair<double, std::u16string_view> cases[] = {
        {133.33, u"133"}, {266.67, u"267"}, {0.4, u"0"},   {0.5, u"1"}, {2.5, u"3"},
        {3.5, u"4"},      {-0.4, u"0"},     {-2.5, u"-3"}, {0, u"0"},   {131072, u"131072"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(WholeNumberForm(value), text) << value;
}

}  // namespace
}  // namespace cpuinfo
