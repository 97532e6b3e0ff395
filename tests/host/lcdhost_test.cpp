// lcdhost's command line, run as a user runs it.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/support/process.h"
#include "tests/support/skip.h"

namespace {

using testing_support::RunShell;

const std::string kLcdhostCommand = TESS_LCDHOST;

std::size_t CountOf(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(Lcdhost, InfoPrintsTheConstants) {
    auto r = RunShell("cd / && " + kLcdhostCommand + " info Wendrikai");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Count: 26\nPollFreqency: 1000\nPollMethod: 2\nDescription: Wendrikai v1.0\n");
    EXPECT_EQ(r.err, "");
}

TEST(Lcdhost, ListAndValuesShowEveryItem) {
    auto list = RunShell(kLcdhostCommand + " list Wendrikai");
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(CountOf(list.out, "\n"), 26u);
    EXPECT_EQ(list.out.rfind("0\tWendrikai\\Custom\\d accumulated", 0), 0u);

    auto values = RunShell(kLcdhostCommand + " values Wendrikai");
    ASSERT_EQ(values.status, 0) << values.err;
    EXPECT_EQ(CountOf(values.out, "\n"), 26u);
}

TEST(Lcdhost, JsonHoldsOnlyTheArray) {
    auto r = RunShell(kLcdhostCommand + " values --json " + TESS_BIN_DIR + "/Wendrikai.so");
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
    const char* commands[] = {" info Nowhere",
                              " values --json Nowhere",
                              " info /nonexistent/Wendrikai.so",
                              " info Nobody.Class",
                              " frobnicate Wendrikai",
                              " call Wendrikai NoSuchMethod",
                              ""};
    for (const char* c : commands) {
        auto r = RunShell(kLcdhostCommand + c, "TESSIVAR_REGISTRY=/nonexistent ");
        EXPECT_NE(r.status, 0) << c;
        EXPECT_EQ(r.out, "") << c;
        EXPECT_EQ(CountOf(r.err, "\n"), 1u) << c << ": " << r.err;
        EXPECT_EQ(r.err.rfind("lcdhost: ", 0), 0u) << c;
    }
}

TEST(Lcdhost, AnExceptionEndsTheRunWithOneErrorLine) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit leaves";
#endif
    // An endless file exhausts the memory lcdhost may take: the exception reaches main.
    auto r = RunShell("ulimit -v 200000; " + kLcdhostCommand + " check-config /dev/zero");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "lcdhost: std::bad_alloc\n");
}

// Command lines as lcdhost has always read them, with what it printed and its exit status, then
// what --version, --help and check-config add.
TEST(Lcdhost, CommandLinesKeepTheirOutputAndStatus) {
    const std::string usage =
        "lcdhost, a stand-in host for the Tessivar plug-ins\n"
        "Usage: lcdhost [OPTIONS] [COMMAND]\n\n"
        "Options:\n"
        "  -h,--help                   print this help and exit\n"
        "  --version                   print lcdhost's version and exit\n\n"
        "Commands:\n"
        "  info                        Count, PollFreqency, PollMethod, Description\n"
        "  list                        index, Name, DisplayName of every item\n"
        "  values                      one host cycle: PollData, then every Value\n"
        "  call                        a public method of the class interface, by name\n"
        "  tree                        the item tree, one level per backslash\n"
        "  check-config                check a configuration file's keys, templates and items\n"
        "  show                        a live panel of the LINEs, the configuration file's "
        "screens or the default one\n\n"
        "PLUGIN is Orvantel, Tamblorin, Wendrikai, a ProgID, a CLSID or a library path.\n"
        "LINE is text with items {Plugin:index} or {Plugin\\path\\label}; '{{' and '}}' are "
        "braces.\n"
        "`lcdhost COMMAND --help` describes each command.\n";
    auto unknown = [](const std::string& named) {
        return "lcdhost: unknown plug-in '" + named +
               "' (expected Orvantel, Tamblorin, Wendrikai, a ProgID or a library path)\n";
    };
    const std::string takesOne = "lcdhost: values takes one PLUGIN\n";
    const std::string onceLcdproc = "lcdhost: --once cannot go with --lcdproc\n";
    const std::string folder = testing_support::MakeTempFolder();
    std::ofstream(folder + "/good.toml") << "[[screen]]\nname = \"up\"\nduration = 3\n"
                                            "lines = [\"x\", \"y\"]\n";
    std::ofstream(folder + "/bad.toml") << "[[screen]]\nname = \"up\"\n"
                                           "lines = [\"{Wendrikai:1\"]\n";
    const struct {
        std::string args;
        int status;
        std::string out;
        std::string err;
        bool outContains = false;  // `out` is a part of stdout, not all of it
    } cases[] = {
        {"", 2, "", "lcdhost: no command (try --help)\n"},
        {"-h", 0, usage, ""},
        {"--help", 0, usage, ""},
        {"help", 2, "", "lcdhost: unknown command 'help' (try --help)\n"},
        {"-x", 2, "", "lcdhost: unknown command '-x' (try --help)\n"},
        {"info", 2, "", "lcdhost: info takes one PLUGIN\n"},
        {"info a b", 2, "", "lcdhost: info takes one PLUGIN\n"},
        {"info Wendrikai --json", 2, "", "lcdhost: info takes one PLUGIN\n"},
        {"info -x", 1, "", unknown("-x")},
        {"info --", 1, "", unknown("--")},
        {"list", 2, "", "lcdhost: list takes one PLUGIN\n"},
        {"list a b", 2, "", "lcdhost: list takes one PLUGIN\n"},
        {"values", 2, "", takesOne},
        {"values --json", 2, "", takesOne},
        {"values --json --json Wendrikai", 2, "", takesOne},
        {"values Wendrikai extra", 2, "", takesOne},
        {"values -x", 1, "", unknown("-x")},
        {"values Wendrikai --json", 0,
         "[\n  {\"index\": 0, \"name\": \"Wendrikai\\\\Custom\\\\d accumulated\", \"value\": \"",
         "", true},
        {"call", 2, "", "lcdhost: call takes PLUGIN METHOD [ARG...]\n"},
        {"call Wendrikai", 2, "", "lcdhost: call takes PLUGIN METHOD [ARG...]\n"},
        {"call Wendrikai NoSuch -x", 1, "", "lcdhost: Wendrikai has no method 'NoSuch'\n"},
        {"tree Nowhere", 1, "", unknown("Nowhere")},
        {"tree info", 1, "", unknown("info")},
        {"tree Wendrikai", 0, "Wendrikai\n  Custom\n    d accumulated  {Wendrikai:0}\n", "", true},
        {"show --size", 2, "", "lcdhost: --size needs a value\n"},
        {"show --size 20", 2, "", "lcdhost: bad --size '20' (expected WxH, e.g. 20x4)\n"},
        {"show --size=0x4", 2, "", "lcdhost: bad --size '0x4' (expected WxH, e.g. 20x4)\n"},
        {"show --bogus", 2, "", "lcdhost: unknown option '--bogus' for show\n"},
        {"show --oncex", 2, "", "lcdhost: unknown option '--oncex' for show\n"},
        {"show --size5x1 --once a", 2, "", "lcdhost: unknown option '--size5x1' for show\n"},
        {"show --once --lcdproc 1", 2, "", onceLcdproc},
        {"show --lcdproc 1 --once", 2, "", onceLcdproc},
        {"show --lcdproc", 2, "", "lcdhost: --lcdproc needs a value\n"},
        {"show --lcdproc host:", 2, "",
         "lcdhost: bad LCDd address 'host:' (expected [HOST:]PORT)\n"},
        {"show '--lcdproc=[::1' x", 2, "",
         "lcdhost: bad LCDd address '[::1' (expected [HOST:]PORT)\n"},
        {"show --once=1 --size 4x1 ab", 0, "ab  \n", ""},
        {"show --size 5x1 --once -- --x", 0, "--x  \n", ""},
        {"show --size 5x1 --once -x", 0, "-x   \n", ""},
        {"show --size=3x1 --once --size 4x1 ab", 0, "ab  \n", ""},
        {"show --once --size 3x1 a --size", 0, "a  \n", ""},
        {"show --once --once --size 2x1 -5", 0, "-5\n", ""},
        {"show --once --size 3x2 '' ab", 0, "   \nab \n", ""},
        {"show --size 5x1 --once -- '-{Wendrikai:99}'", 1, "",
         "lcdhost: Wendrikai has no item 99 (0 to 25)\n"},
        {"show --once '{Wendrikai:1'", 1, "",
         "lcdhost: bad template '{Wendrikai:1': '{' without '}' (write '{{' for a brace)\n"},
        // New: the version, each command's help, the configuration file.
        {"--version", 0, "lcdhost " TESS_PACKAGE_VERSION "\n", ""},
        {"show --help", 0, "Usage: lcdhost show [OPTIONS] [LINE...]", "", true},
        {"values --help", 0, "--json", "", true},
        {"check-config " + folder + "/good.toml", 0, "up: 2 lines, 3 s, info\n", ""},
        {"check-config " + folder + "/bad.toml", 1, "",
         "lcdhost: " + folder +
             "/bad.toml:3:10: bad template '{Wendrikai:1': '{' without '}' (write '{{' for a "
             "brace)\n"},
        {"show --once --config " + folder + "/bad.toml", 2, "",
         "lcdhost: " + folder +
             "/bad.toml:3:10: bad template '{Wendrikai:1': '{' without '}' (write '{{' for a "
             "brace)\n"},
        {"show --once --size 1x3", 0, "x\ny\n \n", ""},  // the file found in the folder
    };
    RunShell("mkdir -p " + folder + "/tessivar && cp " + folder + "/good.toml " + folder +
             "/tessivar/lcdhost.toml");
    for (const auto& c : cases) {
        auto r = RunShell(kLcdhostCommand + " " + c.args + " </dev/null",
                          "TESSIVAR_REGISTRY=/nonexistent XDG_CONFIG_HOME=" + folder + " ");
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        if (c.outContains)
            EXPECT_NE(r.out.find(c.out), std::string::npos) << c.args << ": " << r.out;
        else
            EXPECT_EQ(r.out, c.out) << c.args;
        EXPECT_EQ(r.err, c.err) << c.args;
    }
    RunShell("rm -rf " + folder);
}

TEST(Lcdhost, ACopiedLcdhostFindsPluginsBesideItAndInLibTessivarButNotInTheBuild) {
    const std::string root = testing_support::MakeTempFolder();
    auto r =
        RunShell("mkdir -p " + root + "/bin " + root + "/lib/tessivar && cp " + kLcdhostCommand +
                 " " + root + "/bin/lcdhost && " + root + "/bin/lcdhost info Wendrikai");
    EXPECT_EQ(r.status, 1);
    std::string searched = root + "/bin, " + root + "/lib/tessivar";
#ifdef TESS_LIBRARY_ARCHITECTURE
    searched += ", " + root + "/lib/" TESS_LIBRARY_ARCHITECTURE "/tessivar";
#endif
    EXPECT_EQ(r.err, "lcdhost: plug-in Wendrikai not found in " + searched + "\n");

    r = RunShell("cp " + std::string(TESS_BIN_DIR) + "/Wendrikai.so " + root +
                 "/lib/tessivar/ && " + root + "/bin/lcdhost info Wendrikai");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Count: 26\n", 0), 0u);
    RunShell("rm -rf " + root);
}

TEST(Lcdhost, RegionalSettingsComeFromTheLocale) {
    // German settings use a decimal comma; skip where the locale is not installed.
    if (RunShell("locale -a").out.find("de_DE.utf8\n") == std::string::npos)
        TESS_SKIP("de_DE.UTF-8 is not installed");
    auto r = RunShell(kLcdhostCommand + " values --json Wendrikai", "LC_ALL=de_DE.UTF-8 ");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto at = r.out.find("\"index\": 15");
    ASSERT_NE(at, std::string::npos);
    const std::string line = r.out.substr(at, r.out.find('\n', at) - at);
    EXPECT_NE(line.find(','), line.rfind(',')) << "a comma inside the value: " << line;
    EXPECT_NE(line.find(":"), std::string::npos);
}

}  // namespace
