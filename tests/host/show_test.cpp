// lcdhost's commands against fake plug-ins: show's and tree's arguments and output, and what
// call makes of each answer of a method.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/cli/call.h"
#include "host/cli/command_line.h"
#include "host/cli/show.h"
#include "host/cli/tree.h"
#include "host/config/display_settings.h"
#include "host/panel/panel.h"
#include "tests/host/fake_plugin.h"
#include "tests/support/locales.h"
#include "tests/support/process.h"
#include "tests/support/rigs.h"

namespace {

using fakes::FakeCatalog;
using fakes::FakeProvider;

// lcdhost's command line, run on a fake Wendrikai of three items.
struct Show : ::testing::Test {
    Show() { catalog.Add(&uptime); }
    testing_support::Result Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = host::RunCommand(args, catalog, out, err);
        return {status, out.str(), err.str()};
    }

    FakeProvider uptime{"Wendrikai", 1000, fakes::Labels(3)};
    FakeCatalog catalog;
};
class SelectPanelConfig : public Show {};

TEST(ParseShowOptions, ReadsOptionsBeforeTheTemplates) {
    host::ShowOptions o;
    std::string error;
    ASSERT_TRUE(host::ParseShowOptions({"--size", "16x2", "--once", "a", "--once"}, &o, &error));
    EXPECT_EQ(o.width, 16);
    EXPECT_EQ(o.height, 2);
    EXPECT_TRUE(o.once);
    EXPECT_EQ(o.templates, (std::vector<std::string>{"a", "--once"}));

    host::ShowOptions p;
    ASSERT_TRUE(
        host::ParseShowOptions({"--size=40X1", "--lcdproc=13666", "--", "--x"}, &p, &error));
    EXPECT_EQ(p.width, 40);
    EXPECT_EQ(p.height, 1);
    EXPECT_EQ(p.lcdproc, "13666");
    EXPECT_EQ(p.templates, (std::vector<std::string>{"--x"}));
}

TEST(ParseShowOptions, RejectsBadOptions) {
    const std::vector<std::vector<std::string>> cases = {
        {"--size"},
        {"--size", "20"},
        {"--size", "0x4"},
        {"--size", "20x4x"},
        {"--size", "x4"},
        {"--bogus"},
        {"--lcdproc", "host:"},
        {"--lcdproc", "0"},
        {"--lcdproc", "70000"},
        {"--once", "--lcdproc", "1"},
    };
    for (const auto& args : cases) {
        host::ShowOptions o;
        std::string error;
        EXPECT_FALSE(host::ParseShowOptions(args, &o, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

TEST(ParseEndpoint, DefaultsTheHost) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"13666", "127.0.0.1", "13666"},
        {"localhost:1", "localhost", "1"},
        {"[::1]:13666", "::1", "13666"},
    };
    for (const auto& [text, expectedHost, expectedPort] : cases) {
        std::string host, port, error;
        ASSERT_TRUE(host::ParseEndpoint(text, &host, &port, &error)) << text;
        EXPECT_EQ(host, expectedHost);
        EXPECT_EQ(port, expectedPort);
    }
}

TEST_F(Show, OncePrintsExactlyTheRowsOfThePanel) {
    uptime.value = [](LONG index, int) -> std::u16string {
        return index == 2 ? u"two\nrows" : u"v";
    };
    const auto r = Run({"show", "--size", "6x4", "--once", "{Wendrikai:2}", "x{Wendrikai:0}"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "two   \nrows  \nxv    \n      \n");
    EXPECT_EQ(r.err, "");
}

// The three plug-ins on the fake machine: the Pentium 4, Tuesday 2 December 2003 in the C
// locale, up 3 days, 4 hours, 5 minutes and 6 seconds.
struct FakeMachine : ::testing::Test {
    FakeMachine() {
        date.now = testing_support::kTuesday2December2003;
        up.clock.now = ((3 * 24 + 4) * 3600 + 5 * 60 + 6) * 1000ull;
        catalog.Add("Orvantel", cpu.provider());
        catalog.Add("Tamblorin", calendar.Get());
        catalog.Add("Wendrikai", up.provider());
    }
    testing_support::Result Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        const int status = host::RunCommand(args, catalog, out, err);
        return {status, out.str(), err.str()};
    }

    testing_support::CpuRig cpu;
    platform::fakes::FakeLocalClock date;
    std::unique_ptr<platform::LocaleDateFormatter> names = testing_support::Load("C");
    com::ComPtr<date::CustomDate> calendar = testing_support::New<date::CustomDate>(date, *names);
    testing_support::UptimeRig up;
    FakeCatalog catalog;
};

TEST_F(FakeMachine, ThePackagedScreensAndTheDefaultPanelOnEveryCommonSize) {
    const std::string packaged = TESS_SOURCE_DIR "/packaging/debian/lcdhost.toml";
    std::vector<std::string> panel = {"show", "--once", "--"};
    panel.insert(panel.end(), host::DefaultTemplates().begin(), host::DefaultTemplates().end());
    // Size; the default panel's first page, the packaged file's, and how its screens fit.
    const std::string fits = "date: 4 lines, 5 s, info\nuptime: 4 lines, 5 s, info\n";
    auto pages = [](const char* size) {
        return std::string("date: 4 lines, 5 s, info; 2 pages on ") + size +
               "\nuptime: 4 lines, 5 s, info; 2 pages on " + size + "\n";
    };
    const std::string p4 = "Intel(R) Pentium(R) 4 CPU 2.40GHz";
    const std::tuple<const char*, std::string, std::string, std::string> cases[] = {
        {"16x2", "Intel(R) Pentium\n1800 MHz SSE2 no\n", "",
         "processor: 4 lines, 6 s, info; 2 pages on 16x2; line 1 scrolls (33 > 16)\n" +
             pages("16x2")},
        {"20x2", "Intel(R) Pentium(R) \n1800 MHz SSE2 no    \n", "",
         "processor: 4 lines, 6 s, info; 2 pages on 20x2; line 1 scrolls (33 > 20)\n" +
             pages("20x2")},
        {"20x4",
         "Intel(R) Pentium(R) \n1800 MHz SSE2 no    \nDate 02 Dec 2003    \nUp   3-04:05:06     \n",
         "Intel(R) Pentium(R) \n1800 MHz SSE2 no    \nModel 15 Step 7     \nMMX yes SSE yes     \n",
         "processor: 4 lines, 6 s, info; line 1 scrolls (33 > 20)\n" + fits},
        {"40x2", p4 + std::string(7, ' ') + "\n1800 MHz SSE2 no" + std::string(24, ' ') + "\n", "",
         "processor: 4 lines, 6 s, info; 2 pages on 40x2\n" + pages("40x2")},
    };
    for (const auto& [size, first, file, fit] : cases) {
        std::vector<std::string> sized = panel;
        sized.insert(sized.begin() + 1, {"--size", size});
        const auto r = Run(sized);
        EXPECT_EQ(r.out, first) << size;
        EXPECT_EQ(r.err, "") << size;
        // On two rows the packaged file's first page is the default panel's.
        const auto f = Run({"show", "--once", "--size", size, "--config", packaged});
        EXPECT_EQ(f.out, file.empty() ? first : file) << size;
        EXPECT_EQ(f.err, "") << size;
        const auto c = Run({"check-config", "--size", size, packaged});
        EXPECT_EQ(c.out, fit) << size;
        EXPECT_EQ(c.status, 0) << c.err;
    }
}

TEST_F(Show, AFailedValueInOnceIsOneLineOnStderr) {
    uptime.failingValues[0] = E_OUTOFMEMORY;
    uptime.failingValues[1] = E_FAIL;
    const auto r = Run({"show", "--size", "3x1", "--once", "{Wendrikai:0}{Wendrikai:1}"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "   \n");
    EXPECT_EQ(r.err,
              "lcdhost: Wendrikai:0: Value failed with out of memory (0x8007000E); Wendrikai:1: "
              "Value failed with unspecified error (0x80004005)\n");
}

TEST_F(Show, ErrorsAreOneLineAndNothingOnStdout) {
    // The last: the default layout needs all three plug-ins.
    const std::vector<std::vector<std::string>> cases = {
        {"show", "--once", "{Wendrikai:3}"},
        {"show", "--once", "{Orvantel:1}"},
        {"show", "--once", "{Wendrikai:1"},
        {"show", "--size", "0x0"},
        {"show", "--once"},
    };
    for (const auto& args : cases) {
        const auto r = Run(args);
        EXPECT_NE(r.status, 0) << args.back();
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(r.err.rfind("lcdhost: ", 0), 0u) << r.err;
    }
}

TEST_F(SelectPanelConfig, TakesTheLinesElseTheFileElseTheDefaultAndTheCommandLineWins) {
    const std::string folder = testing_support::MakeTempFolder();
    const std::string good = folder + "/good.toml", bad = folder + "/bad.toml";
    std::ofstream(good) << "[display]\nsize = \"16x2\"\nlcdproc = \"1234\"\n"
                           "[[screen]]\nname = \"a\"\nlines = [\"{Wendrikai:0}\"]\n"
                           "[[screen]]\nname = \"b\"\nlines = [\"y\"]\n";
    std::ofstream(bad) << "[[screen]]\nname = \"a\"\nlines = [\"{Wendrikai:3}\"]\n";
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);  // holds no tessivar/lcdhost.toml

    // The options, then the first screen's lines (none: the selection fails), the number of
    // screens, the width (0: unset) and the LCDd address.
    using Lines = std::vector<std::string>;
    const std::tuple<Lines, Lines, std::size_t, int, const char*> cases[] = {
        {{"x", "y"}, {"x", "y"}, 1, 0, ""},
        {{"--config", good, "x"}, {"x"}, 1, 0, ""},
        {{"--config", good}, {"{Wendrikai:0}"}, 2, 16, "1234"},
        {{"--size", "8x1", "--lcdproc", "99", "--config", good}, {"{Wendrikai:0}"}, 2, 8, "99"},
        {{"--config", bad}, {}, 0, 0, ""},
        {{"--size", "8x1"}, host::DefaultTemplates(), 1, 8, ""},
    };
    for (const auto& [args, firstLines, screens, width, lcdproc] : cases) {
        host::ShowOptions options;
        std::string error;
        ASSERT_TRUE(host::ParseShowOptions(args, &options, &error)) << error;
        host::PanelConfig config;
        bool badFile = false;
        const bool selected = host::SelectPanelConfig(options, catalog, &config, &error, &badFile);
        EXPECT_EQ(selected, !firstLines.empty()) << args.back();
        EXPECT_EQ(badFile, firstLines.empty());
        if (!selected) {
            EXPECT_EQ(error, bad + ":3:10: unknown item 'Wendrikai:3' (0 to 2)");
            continue;
        }
        ASSERT_EQ(config.screens.size(), screens);
        EXPECT_EQ(config.screens[0].lines, firstLines);
        EXPECT_EQ(config.width.value_or(0), width);
        EXPECT_EQ(config.lcdproc.value_or(""), lcdproc);
    }
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(folder);
}

TEST(PrintTree, NestsOneLevelPerBackslashAndGathersGroups) {
    std::ostringstream out;
    host::PrintTree(
        "Orvantel",
        {u"Orvantel\\CPU Bus\\Address Width (bits)", u"Orvantel\\System BIOS\\Date",
         u"Orvantel\\Instruction Extension\\SSE\\yes/no", u"Orvantel\\CPU Bus\\Data Width (bits)",
         u"Orvantel\\Instruction Extension\\SSE2\\yes/no",
         u"Orvantel\\Instruction Extension\\SSE\\SSE yes/no"},
        out);
    EXPECT_EQ(out.str(),
              "Orvantel\n"
              "  CPU Bus\n"
              "    Address Width (bits)  {Orvantel:0}\n"
              "    Data Width (bits)  {Orvantel:3}\n"
              "  System BIOS\n"
              "    Date  {Orvantel:1}\n"
              "  Instruction Extension\n"
              "    SSE\n"
              "      yes/no  {Orvantel:2}\n"
              "      SSE yes/no  {Orvantel:5}\n"
              "    SSE2\n"
              "      yes/no  {Orvantel:4}\n");
}

TEST(Tree, PrintsEveryPluginAskedForAndFailsWithoutOutput) {
    FakeProvider date{"Tamblorin", 10000, {u"Custom\\Day Short"}};
    FakeProvider uptime{"Wendrikai", 1000, {u"Custom\\d accumulated"}};
    FakeCatalog catalog;
    catalog.Add(&date);
    catalog.Add(&uptime);
    std::ostringstream out, err;
    EXPECT_EQ(host::RunCommand({"tree", "wendrikai", "Tamblorin"}, catalog, out, err), 0);
    EXPECT_EQ(out.str(),
              "Wendrikai\n  Custom\n    d accumulated  {Wendrikai:0}\n"
              "Tamblorin\n  Custom\n    Day Short  {Tamblorin:0}\n");
    EXPECT_EQ(date.calls, (std::vector<std::string>{"Count", "DisplayName 0"}))
        << "the tree reads only the display names";

    std::ostringstream out2, err2;
    EXPECT_EQ(host::RunCommand({"tree"}, catalog, out2, err2), 1)
        << "no argument: all three plug-ins";
    EXPECT_EQ(out2.str(), "");
    EXPECT_EQ(err2.str(), "lcdhost: unknown plug-in 'Orvantel'\n");
}

TEST(CallMethod, ReportsEveryAnswerOfInvokeInOneLine) {
    // Each call with its arguments, the status and argErr the method answers, and what lcdhost
    // prints: the standard output, then "lcdhost: " and the error line (none: nothing). An argErr
    // beyond the arguments names none of them.
    const std::vector<std::string> ab = {"a", "b"}, none;
    const std::tuple<const char*, std::vector<std::string>, HRESULT, UINT, const char*, const char*>
        cases[] = {
            {"Twice", ab, S_OK, 0, "ba\n", nullptr},
            {"Nothing", none, S_OK, 0, "", "Fake has no method 'Nothing'"},
            {"Twice", ab, DISP_E_TYPEMISMATCH, 0, "", "Twice: argument 2 'b' has the wrong type"},
            {"Twice", ab, DISP_E_OVERFLOW, 1, "", "Twice: argument 1 'a' is out of range"},
            {"Twice", {"a"}, DISP_E_TYPEMISMATCH, 7, "", "Twice: an argument has the wrong type"},
            {"Twice", none, DISP_E_OVERFLOW, 0, "", "Twice: an argument is out of range"},
            {"Twice", none, DISP_E_BADPARAMCOUNT, 0, "", "Twice: wrong number of arguments"},
            {"Twice", none, DISP_E_EXCEPTION, 0, "", "Twice failed with overflow (0x800A0006)"},
            {"Twice", none, E_FAIL, 0, "", "Twice failed with unspecified error (0x80004005)"},
        };
    for (const auto& [method, args, status, argErr, expectedOut, error] : cases) {
        fakes::FakeDispatch object;
        object.status = status;
        object.argErr = argErr;
        object.exception = static_cast<SCODE>(0x800A0006);
        FakeCatalog catalog;
        std::ostringstream out, err;
        host::Context ctx{out, err, catalog};
        EXPECT_EQ(host::CallMethod(ctx, "Fake", &object, method, args), error ? 1 : 0);
        EXPECT_EQ(out.str(), expectedOut) << method;
        EXPECT_EQ(err.str(), error ? "lcdhost: " + std::string(error) + "\n" : "");
    }
}

}  // namespace
