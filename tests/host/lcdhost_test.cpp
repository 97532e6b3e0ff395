// lcdhost's command line, run as a user runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/support/process.h"

namespace {

using testing_support::RunShell;

const std::string kHost = TESS_LCDHOST;

std::size_t CountOf(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(Lcdhost, InfoPrintsTheConstants) {
    auto r = RunShell("cd / && " + kHost + " info Wendrikai");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Count: 26\nPollFreqency: 1000\nPollMethod: 2\nDescription: Wendrikai v1.0\n");
    EXPECT_EQ(r.err, "");
}

TEST(Lcdhost, ListAndValuesShowEveryItem) {
    auto list = RunShell(kHost + " list Wendrikai");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(CountOf(list.out, "\n"), 26u);
    EXPECT_EQ(list.out.rfind("0\tWendrikai\\Custom\\d accumulated", 0), 0u);

    auto values = RunShell(kHost + " values Wendrikai");
    ASSERT_EQ(values.status, 0) << values.err;
    EXPECT_EQ(CountOf(values.out, "\n"), 26u);
}

TEST(Lcdhost, JsonHoldsOnlyTheArray) {
    auto r = RunShell(kHost + " values --json " + TESS_BIN_DIR + "/Wendrikai.so");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_FALSE(r.out.empty());
    EXPECT_EQ(r.out.front(), '[');
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "]\n");
    EXPECT_EQ(CountOf(r.out, "\"index\": "), 26u);
    EXPECT_EQ(CountOf(r.out, "\"type\": \"VT_BSTR\""), 26u);
    EXPECT_NE(r.out.find("\"name\": \"Wendrikai\\\\Predefined\\\\dd-hh:mm part of day\""),
              std::string::npos);
}

TEST(Lcdhost, ErrorsAreOneLineAndANonZeroExit) {
    const char* commands[] = {
        " info Nowhere",
        " values --json Nowhere",
        " info /nonexistent/Wendrikai.so",
        " info Nobody.Class",
        " frobnicate Wendrikai",
        " call Wendrikai NoSuchMethod",
        "",
    };
    for (const char* c : commands) {
        auto r = RunShell(kHost + c, "TESSIVAR_REGISTRY=/nonexistent ");
        EXPECT_NE(r.status, 0) << c;
        EXPECT_EQ(r.out, "") << c;
        EXPECT_EQ(CountOf(r.err, "\n"), 1u) << c << ": " << r.err;
        EXPECT_EQ(r.err.rfind("lcdhost: ", 0), 0u) << c;
    }
}

TEST(Lcdhost, ACopiedLcdhostFindsPluginsBesideItAndInLibTessivarButNotInTheBuild) {
    const std::string root = testing_support::MakeTempFolder();
    auto r = RunShell("mkdir -p " + root + "/bin " + root + "/lib/tessivar && cp " + kHost + " " +
                      root + "/bin/lcdhost && " + root + "/bin/lcdhost info Wendrikai");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "lcdhost: plug-in Wendrikai not found in " + root + "/bin, " + root +
                         "/lib/tessivar\n");

    r = RunShell("cp " + std::string(TESS_BIN_DIR) + "/Wendrikai.so " + root +
                 "/lib/tessivar/ && " + root + "/bin/lcdhost info Wendrikai");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Count: 26\n", 0), 0u);
    RunShell("rm -rf " + root);
}

TEST(Lcdhost, RegionalSettingsComeFromTheLocale) {
    // German settings use a decimal comma; skip where the locale is not installed.
    if (RunShell("locale -a").out.find("de_DE.utf8\n") == std::string::npos)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    auto r = RunShell(kHost + " values --json Wendrikai", "LC_ALL=de_DE.UTF-8 ");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto at = r.out.find("\"index\": 15");
    ASSERT_NE(at, std::string::npos);
    const std::string line = r.out.substr(at, r.out.find('\n', at) - at);
    EXPECT_NE(line.find(','), line.rfind(',')) << "a comma inside the value: " << line;
    EXPECT_NE(line.find(":"), std::string::npos);
}

}  // namespace
