// The show and tree commands' arguments and output, against fake plug-ins.
#include <gtest/gtest.h>

#include <sstream>

#include "host/show.h"
#include "tests/host/fake_plugin.h"

namespace {

using fakes::FakeCatalog;
using fakes::FakeProvider;

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
    const struct {
        const char* text;
        const char* host;
        const char* port;
    } cases[] = {
        {"13666", "127.0.0.1", "13666"},
        {"localhost:1", "localhost", "1"},
        {"[::1]:13666", "::1", "13666"},
    };
    for (const auto& c : cases) {
        std::string host, port, error;
        ASSERT_TRUE(host::ParseEndpoint(c.text, &host, &port, &error)) << c.text;
        EXPECT_EQ(host, c.host);
        EXPECT_EQ(port, c.port);
    }
}

TEST(Show, OncePrintsExactlyTheRowsOfThePanel) {
    FakeProvider uptime{"Wendrikai", 1000, fakes::Labels(3)};
    uptime.value = [](LONG index, int) -> std::u16string {
        return index == 2 ? u"two\nrows" : u"v";
    };
    FakeCatalog catalog;
    catalog.Add(&uptime);
    std::ostringstream out, err;
    EXPECT_EQ(host::Show({"--size", "6x4", "--once", "{Wendrikai:2}", "x{Wendrikai:0}"}, catalog,
                         out, err),
              0);
    EXPECT_EQ(out.str(), "two   \nrows  \nxv    \n      \n");
    EXPECT_EQ(err.str(), "");
}

TEST(Show, AFailedValueInOnceIsOneLineOnStderr) {
    FakeProvider uptime{"Wendrikai", 1000, fakes::Labels(3)};
    uptime.failingValues[0] = E_OUTOFMEMORY;
    uptime.failingValues[1] = E_FAIL;
    FakeCatalog catalog;
    catalog.Add(&uptime);
    std::ostringstream out, err;
    EXPECT_EQ(
        host::Show({"--size", "3x1", "--once", "{Wendrikai:0}{Wendrikai:1}"}, catalog, out, err),
        0);
    EXPECT_EQ(out.str(), "   \n");
    EXPECT_EQ(err.str(),
              "lcdhost: Wendrikai:0: Value failed with out of memory (0x8007000E); Wendrikai:1: "
              "Value failed with unspecified error (0x80004005)\n");
}

TEST(Show, ErrorsAreOneLineAndNothingOnStdout) {
    FakeProvider uptime{"Wendrikai", 1000, fakes::Labels(3)};
    FakeCatalog catalog;
    catalog.Add(&uptime);
    const std::vector<std::vector<std::string>> cases = {
        {"--once", "{Wendrikai:3}"},
        {"--once", "{Orvantel:1}"},
        {"--once", "{Wendrikai:1"},
        {"--size", "0x0"},
        {"--once"},  // the default layout needs all three plug-ins
    };
    for (const auto& args : cases) {
        std::ostringstream out, err;
        EXPECT_NE(host::Show(args, catalog, out, err), 0) << args.back();
        EXPECT_EQ(out.str(), "");
        const std::string e = err.str();
        ASSERT_FALSE(e.empty());
        EXPECT_EQ(e.find('\n'), e.size() - 1) << e;
        EXPECT_EQ(e.rfind("lcdhost: ", 0), 0u) << e;
    }
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
    EXPECT_EQ(host::Tree({"wendrikai", "Tamblorin"}, catalog, out, err), 0);
    EXPECT_EQ(out.str(),
              "Wendrikai\n  Custom\n    d accumulated  {Wendrikai:0}\n"
              "Tamblorin\n  Custom\n    Day Short  {Tamblorin:0}\n");
    EXPECT_EQ(date.calls, (std::vector<std::string>{"Count", "DisplayName 0"}))
        << "the tree reads only the display names";

    std::ostringstream out2, err2;
    EXPECT_EQ(host::Tree({}, catalog, out2, err2), 1) << "no argument: all three plug-ins";
    EXPECT_EQ(out2.str(), "");
    EXPECT_EQ(err2.str(), "lcdhost: unknown plug-in 'Orvantel'\n");
}

}  // namespace
