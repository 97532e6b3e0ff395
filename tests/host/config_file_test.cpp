// The configuration file: its keys, their types and ranges, and the templates resolved against
// fake plug-ins, each error one line pointing at its place in the file.
#include <gtest/gtest.h>

#include "host/config/config_file.h"
#include "host/panel/config_check.h"
#include "tests/host/fake_plugin.h"

namespace {

using fakes::FakeCatalog;
using fakes::FakeProvider;

constexpr const char* kGood = R"([display]
size = "16x2"
lcdproc = "localhost:13666"
scroll_speed = 2
long_lines = "cut"

[[screen]]
name = "cpu"
duration = 8
lines = ["{Wendrikai:0}", "Up {Wendrikai\\Group\\item 2}"]

[[screen]]
name = "time"
priority = "foreground"
lines = ["{{{Wendrikai:1}}}"]
)";

TEST(PanelConfigFile, ReadsTheScreensAndPointsAtEachError) {
    // Each file and the start of its error; an empty error: the file is good.
    const std::pair<const char*, const char*> cases[] = {
        {kGood, ""},
        {"[[screen]]\nname = \"a\"\nlines = [\"x\"]\n", ""},
        // The file's syntax, as toml++ reports it.
        {"[[screen]]\nname = \"a\nlines = [\"x\"]\n", "f.toml:2:"},
        // Unknown keys anywhere.
        {"colour = 1\n", "f.toml:1:1: unknown key 'colour'"},
        {"[display]\nsize = \"20x4\"\nfont = 2\n", "f.toml:3:1: unknown key 'font' in [display]"},
        {"[[screen]]\nname = \"a\"\nlines = [\"x\"]\n  pause = 3\n",
         "f.toml:4:3: unknown key 'pause' in [[screen]]"},
        // Types and ranges.
        {"display = 3\n", "f.toml:1:11: display must be a [display] table"},
        {"[screen]\nname = \"a\"\n", "f.toml:1:1: screen must be [[screen]] tables"},
        {"[display]\nsize = \"20x65\"\n",
         "f.toml:2:8: bad size '20x65' (expected \"WxH\", e.g. \"20x4\")"},
        {"[display]\nsize = 20\n", "f.toml:2:8: bad size 20 (expected \"WxH\", e.g. \"20x4\")"},
        {"[display]\nlcdproc = \"host:\"\n",
         "f.toml:2:11: bad LCDd address 'host:' (expected [HOST:]PORT)"},
        {"[display]\nlcdproc = 13666\n",
         "f.toml:2:11: bad LCDd address 13666 (expected \"[HOST:]PORT\")"},
        {"[display]\nscroll_speed = 9\n",
         "f.toml:2:16: bad scroll_speed 9 (1 to 8 characters per second)"},
        {"[display]\nscroll_speed = \"4\"\n",
         "f.toml:2:16: bad scroll_speed '4' (1 to 8 characters per second)"},
        {"[display]\nlong_lines = \"wrap\"\n",
         "f.toml:2:14: bad long_lines 'wrap' (\"scroll\" or \"cut\")"},
        {"[[screen]]\nname = \"a\"\nduration = 0\nlines = [\"x\"]\n",
         "f.toml:3:12: duration must be a positive whole number of seconds"},
        {"[[screen]]\nname = \"a\"\nduration = 2.5\nlines = [\"x\"]\n",
         "f.toml:3:12: duration must be a positive whole number of seconds"},
        {"[[screen]]\nname = \"a\"\npriority = \"urgent\"\nlines = [\"x\"]\n",
         "f.toml:3:12: bad priority 'urgent' (info, foreground, alert, background or hidden)"},
        {"[[screen]]\nname = \"\"\nlines = [\"x\"]\n",
         "f.toml:2:8: name must be a non-empty string"},
        {"[[screen]]\nname = \"a\"\nlines = [\"x\"]\n[[screen]]\nname = \"a\"\nlines = [\"y\"]\n",
         "f.toml:5:8: a screen named 'a' comes before"},
        {"[[screen]]\nlines = [\"x\"]\n", "f.toml:1:1: a [[screen]] without a name"},
        {"[[screen]]\nname = \"a\"\n", "f.toml:1:1: screen 'a' has no lines"},
        {"[[screen]]\nname = \"a\"\nlines = []\n",
         "f.toml:3:9: lines must be a non-empty array of strings"},
        {"[[screen]]\nname = \"a\"\nlines = \"x\"\n",
         "f.toml:3:9: lines must be a non-empty array of strings"},
        {"[[screen]]\nname = \"a\"\nlines = [\"x\", 7]\n", "f.toml:3:15: a line must be a string"},
        {"[display]\nsize = \"20x4\"\n", "f.toml:1:1: no [[screen]] in the file"},
        // Templates and items, checked against the plug-ins.
        {"[[screen]]\nname = \"a\"\nlines = [\"ok\",\n  \"{Wendrikai:1\"]\n",
         "f.toml:4:3: bad template '{Wendrikai:1': '{' without '}' (write '{{' for a brace)"},
        {"[[screen]]\nname = \"a\"\nlines = [\"x\"]\n[[screen]]\nname = \"b\"\n"
         "lines = [\"{Wendrikai:1}\", \"Up {Wendrikai:99}\"]\n",
         "f.toml:6:27: unknown item 'Wendrikai:99' (0 to 2)"},
        {"[[screen]]\nname = \"a\"\nlines = ['{Wendrikai\\Group\\nothing}']\n",
         "f.toml:3:10: unknown item 'Wendrikai\\Group\\nothing'"},
        {"[[screen]]\nname = \"a\"\nlines = [\"{Orvantel:1}\"]\n",
         "f.toml:3:10: unknown plug-in 'Orvantel'"},
    };
    FakeProvider uptime{"Wendrikai", 1000, fakes::Labels(3)};
    FakeCatalog catalog;
    catalog.Add(&uptime);
    for (const auto& [text, expected] : cases) {
        host::PanelConfig config;
        host::ConfigSource source;
        std::string error;
        const bool good = host::ParsePanelConfig(text, "f.toml", &config, &error, &source) &&
                          host::CheckPanelConfig(config, source, catalog, &error);
        EXPECT_EQ(good, *expected == '\0') << text << "\n" << error;
        EXPECT_EQ(error.substr(0, std::string(expected).size()), expected) << text;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }

    host::PanelConfig config;
    std::string error;
    ASSERT_TRUE(host::ParsePanelConfig(kGood, "f.toml", &config, &error));
    EXPECT_EQ(config.width, 16);
    EXPECT_EQ(config.height, 2);
    EXPECT_EQ(config.lcdproc, "localhost:13666");
    EXPECT_EQ(config.longLines.speed, 2);
    EXPECT_EQ(config.longLines.mode, host::LongLines::kCut);
    ASSERT_EQ(config.screens.size(), 2u);
    EXPECT_EQ(config.screens[0].name, "cpu");
    EXPECT_EQ(config.screens[0].duration, 8);
    EXPECT_EQ(config.screens[0].priority, host::Priority::kInfo);
    EXPECT_EQ(config.screens[0].lines,
              (std::vector<std::string>{"{Wendrikai:0}", "Up {Wendrikai\\Group\\item 2}"}));
    EXPECT_EQ(config.screens[1].duration, 5);
    EXPECT_EQ(config.screens[1].priority, host::Priority::kForeground);
    EXPECT_EQ(config.screens[1].lines, (std::vector<std::string>{"{{{Wendrikai:1}}}"}));

    EXPECT_FALSE(host::LoadPanelConfig("/nonexistent/lcdhost.toml", &config, &error));
    EXPECT_EQ(error, "/nonexistent/lcdhost.toml: cannot read (No such file or directory)");
}

}  // namespace
