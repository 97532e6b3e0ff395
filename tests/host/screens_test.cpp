// Several screens: their rotation and switching on a fake clock, the keys, the reload and the
// log of failures, against fake plug-ins.
#include <gtest/gtest.h>

#include <signal.h>

#include "host/live/descriptors_posix.h"
#include "host/live/signal_pipe_posix.h"
#include "host/live/terminal_posix.h"
#include "host/panel/screens.h"
#include "tests/host/fake_plugin.h"

namespace {

using host::LiveScreens;
using host::PanelConfig;
using host::Priority;
using host::Rotation;
using Calls = std::vector<std::string>;

TEST(Rotation, EachScreenForItsTimeAndASwitchRestartsIt) {
    // Events at a time: 't' ticks, 'n' and 'p' switch; then the screen expected.
    const std::tuple<std::int64_t, char, std::size_t, std::int64_t> steps[] = {
        {0, 't', 0, 2000},    {1999, 't', 0, 2000}, {2000, 't', 1, 3000},
        {2500, 'n', 2, 3500}, {3400, 'p', 1, 4400}, {4400, 't', 2, 5400},
        {5400, 't', 0, 7400}, {7000, 'p', 2, 8000}, {20'000, 't', 0, 22'000},
    };
    Rotation rotation({2000, 1000, 1000}, 0);
    for (const auto& [at, event, screen, wakeup] : steps) {
        if (event == 't') rotation.Tick(at);
        if (event == 'n') rotation.Next(at);
        if (event == 'p') rotation.Previous(at);
        EXPECT_EQ(rotation.current(), screen) << at << event;
        EXPECT_EQ(rotation.NextWakeup(), wakeup) << at << event;
    }
    Rotation single({5000}, 0);
    EXPECT_FALSE(single.Tick(10'000));
    EXPECT_EQ(single.NextWakeup(), INT64_MAX);
}

TEST(TerminalKeys, ArrowsAndLettersSwitchAndQuitWins) {
    using Keys = host::TerminalScreen::Keys;
    const std::pair<const char*, Keys> cases[] = {
        {"", Keys::kNone},           {"x", Keys::kNone},      {"\x1b[C", Keys::kNext},
        {"\x1b[D", Keys::kPrevious}, {"n", Keys::kNext},      {"p", Keys::kPrevious},
        {"\x1bOC", Keys::kNext},     {"np", Keys::kPrevious}, {"\x1b[Dq", Keys::kQuit},
        {"\x03", Keys::kQuit},       {"Q", Keys::kQuit},      {"\x1b[A", Keys::kNone},
    };
    for (const auto& [bytes, keys] : cases)
        EXPECT_EQ(host::TerminalScreen::ParseKeys(bytes), keys) << bytes;
}

TEST(SignalPipe, TellsTheEndFromAReloadAndReportsWhatItCannotSetUp) {
    struct sigaction before {};
    sigaction(SIGINT, nullptr, &before);
    {
        host::SignalPipe signals;
        ASSERT_GE(signals.fd(), 0) << signals.error();
        raise(SIGHUP);
        EXPECT_TRUE(signals.Take().hangUp);
        raise(SIGINT);
        const auto caught = signals.Take();
        EXPECT_TRUE(caught.end);
        EXPECT_FALSE(caught.hangUp);
    }
    host::SignalPipe cannot({SIGINT, SIGKILL});
    EXPECT_LT(cannot.fd(), 0);
    EXPECT_EQ(cannot.error(), "signal 9: Invalid argument");
    struct sigaction after {};
    sigaction(SIGINT, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler) << "the handler set before the failure is back";
    std::string error;
    EXPECT_FALSE(host::MakeNonBlocking(-1, &error));
    EXPECT_EQ(error, "Bad file descriptor");
}

struct LiveScreensTest : ::testing::Test, fakes::FakePlugins {
    LiveScreensTest() {
        config.screens = {{"cpu", 2, Priority::kForeground, {"C {Orvantel:1}"}},
                          {"up", 3, Priority::kInfo, {"U {Wendrikai:0}"}}};
    }
    std::unique_ptr<LiveScreens> Make(LiveScreens::Mode mode = LiveScreens::Mode::kTerminal,
                                      bool logFailures = false) {
        std::string error;
        auto screens = LiveScreens::Create(catalog, config, mode, logFailures, 0, &error);
        EXPECT_TRUE(screens) << error;
        return screens;
    }
    std::string Row(const LiveScreens& screens, std::size_t screen) {
        return com::ToUtf8(screens.panel().Frame(screen, 8, 1)[0]);
    }

    PanelConfig config;
};

TEST_F(LiveScreensTest, TheTerminalRotatesReadsOnlyTheScreenShownAndSwitchesByKey) {
    auto screens = Make();
    EXPECT_EQ(screens->StatusLine(), "cpu 1/2  <- -> switch, q quits");
    EXPECT_TRUE(screens->Tick(0));
    EXPECT_EQ(cpu.calls.back(), "Value 1");
    EXPECT_EQ(std::count(uptime.calls.begin(), uptime.calls.end(), "Value 0"), 0);
    EXPECT_EQ(screens->NextWakeup(), 1000);

    // Its time is up at 2 s: the next screen, with its values read at once.
    for (std::int64_t now = 1000; now <= 2000; now += 500) screens->Tick(now);
    EXPECT_EQ(screens->current(), 1u);
    EXPECT_EQ(screens->StatusLine(), "up 2/2  <- -> switch, q quits");
    EXPECT_EQ(Row(*screens, 1), "U 0#3   ");
    EXPECT_EQ(screens->NextWakeup(), 3000);

    // A key switches at once and the screen gets its whole time.
    uptime.calls.clear();
    screens->Next(2300);
    EXPECT_EQ(screens->current(), 0u);
    EXPECT_TRUE(screens->Tick(2300));
    EXPECT_EQ(cpu.calls.back(), "Value 1");
    screens->Tick(4299);
    EXPECT_EQ(screens->current(), 0u);
    screens->Previous(4299);
    screens->Tick(4299);
    EXPECT_EQ(screens->current(), 1u);
    EXPECT_EQ(uptime.calls, (Calls{"PollData", "Value 0"})) << "one poll after the stall";
    screens->Tick(7299);
    EXPECT_EQ(screens->current(), 0u);
}

TEST_F(LiveScreensTest, OneUnnamedScreenKeepsTheHintAndLcddModeReadsEveryScreen) {
    config.screens = {{"", 5, Priority::kInfo, {"{Wendrikai:0}"}}};
    auto single = Make();
    EXPECT_EQ(single->StatusLine(), "");
    uptime.failingValues[0] = E_FAIL;
    single->Tick(0);
    EXPECT_EQ(single->StatusLine(),
              "Wendrikai:0: Value failed with unspecified error (0x80004005)");
    EXPECT_EQ(single->NextWakeup(), 1000) << "no rotation";
    uptime.failingValues.clear();

    config.screens = {{"cpu", 2, Priority::kInfo, {"{Orvantel:1}"}},
                      {"up", 3, Priority::kInfo, {"{Wendrikai:0}"}}};
    auto lcdd = Make(LiveScreens::Mode::kLcdproc);
    uptime.calls.clear();
    lcdd->Tick(0);
    EXPECT_EQ(uptime.calls, (Calls{"PollData", "Value 0"}));
    EXPECT_EQ(lcdd->NextWakeup(), 1000) << "LCDd rotates the screens itself";
}

TEST_F(LiveScreensTest, AGoodReloadReplacesTheScreensABadOneKeepsThem) {
    auto screens = Make(LiveScreens::Mode::kLcdproc);
    screens->Tick(0);
    const int cpuCounts = static_cast<int>(std::count(cpu.calls.begin(), cpu.calls.end(), "Count"));

    // Whether the configuration reads, the lines of its one screen, the error, and the log;
    // the screens are replaced where the log has no "failed".
    const std::string failed = "reload failed, keeping the screens running: ";
    const std::tuple<bool, Calls, const char*, std::string> cases[] = {
        {false, {}, "panel.toml:3: bad duration", failed + "panel.toml:3: bad duration"},
        {true, {"{Nowhere:1}"}, "", failed + "unknown plug-in 'Nowhere'"},
        {true, {}, "", failed + "the configuration has no screen"},
        {true, {"D {Tamblorin:2}", "C {Orvantel:1}"}, "", "reloaded 1 screen"},
    };
    std::int64_t now = 0;
    for (const auto& [good, lines, error, log] : cases) {
        now += 500;
        auto reload = [&lines = lines, error = error, good = good](PanelConfig* next,
                                                                   std::string* text) {
            if (!lines.empty()) next->screens = {{"new", 4, Priority::kAlert, lines}};
            *text = error;
            return good;
        };
        const bool replaced = log.find("failed") == std::string::npos;
        EXPECT_EQ(screens->Reload(reload, now), replaced) << log;
        EXPECT_EQ(screens->TakeLog(), Calls{log});
        EXPECT_EQ(screens->config().screens.size(), replaced ? 1u : 2u) << log;
    }
    EXPECT_EQ(screens->config().screens[0].name, "new");
    EXPECT_EQ(std::count(cpu.calls.begin(), cpu.calls.end(), "Count"), cpuCounts)
        << "a plug-in still in use is not read again";
    const int uptimePolls = uptime.polls;
    for (; now <= 20'000; now += 250) screens->Tick(now);
    EXPECT_EQ(Row(*screens, 0), "D 2#2   ");
    EXPECT_EQ(uptime.polls, uptimePolls) << "on no screen any more";
    EXPECT_EQ(cpu.polls, 20) << "at 0, then from 2 s to 20 s";
}

TEST_F(LiveScreensTest, PagesRotateLikeScreensAndALongLineScrollsOnThePanelsClock) {
    config.width = 6;
    config.height = 1;
    config.screens = {{"tall", 2, Priority::kInfo, {"C {Orvantel:1}", "U {Wendrikai:0}"}},
                      {"wide", 3, Priority::kInfo, {"long text {Tamblorin:1}"}}};
    auto screens = Make();
    auto frame = [&] { return com::ToUtf8(screens->Frame()[0]); };
    const std::string hint = "  <- -> switch, q quits";
    EXPECT_EQ(screens->StatusLine(), "tall 1/2 page 1/2" + hint);
    screens->Tick(0);
    EXPECT_EQ(frame(), "C 1#1 ");
    EXPECT_EQ(std::count(uptime.calls.begin(), uptime.calls.end(), "Value 0"), 0)
        << "the second page is not shown";
    EXPECT_EQ(screens->NextWakeup(), 1000) << "nothing scrolls: the poll is next";

    // The second page after the screen's time, then the next screen by key.
    for (std::int64_t now = 1000; now <= 2000; now += 500) screens->Tick(now);
    EXPECT_EQ(screens->StatusLine(), "tall 1/2 page 2/2" + hint);
    EXPECT_EQ(frame(), "U 0#3 ");
    screens->Next(2100);
    EXPECT_TRUE(screens->Tick(2100));
    EXPECT_EQ(screens->StatusLine(), "wide 2/2" + hint);
    // "long text 1#1" scrolls one character each 250 ms (4 a second) from the page's start.
    const std::pair<std::int64_t, const char*> steps[] = {
        {2100, "long t"}, {2349, "long t"}, {2350, "ong te"}, {4100, "t 1#1 "}, {4850, "#1   l"},
    };
    for (const auto& [now, window] : steps) {
        screens->Tick(now);
        EXPECT_EQ(frame(), window) << now;
        EXPECT_LE(screens->NextWakeup(), now + 250 - (now - 2100) % 250) << now;
    }
    screens->Previous(5000);
    screens->Tick(5000);
    EXPECT_EQ(screens->StatusLine(), "tall 1/2 page 2/2" + hint);

    // Cut, the line stands still: no wake-up of its own.
    config.longLines.mode = host::LongLines::kCut;
    config.screens.erase(config.screens.begin());
    auto cut = Make();
    cut->Tick(0);
    EXPECT_EQ(com::ToUtf8(cut->Frame()[0]), "long t");
    EXPECT_EQ(cut->StatusLine(), "wide 1/1" + hint);
    EXPECT_EQ(cut->NextWakeup(), 10'000);
}

TEST_F(LiveScreensTest, LcddModeReadsOnlyThePagesLcddShows) {
    config.screens = {
        {"cpu", 2, Priority::kInfo, {"{Orvantel:1}", "{Orvantel:2}", "{Wendrikai:0}"}},
        {"day", 3, Priority::kInfo, {"{Tamblorin:1}"}}};
    auto screens = Make(LiveScreens::Mode::kLcdproc);
    screens->ShowPages(std::vector<host::PageRef>{{0, 1}}, 2);  // lines 3 and 4 of cpu
    ClearCalls();
    screens->Tick(0);
    EXPECT_EQ(uptime.calls, (Calls{"PollData", "Value 0"}));
    EXPECT_TRUE(cpu.calls.empty() && date.calls.empty()) << "not on a page shown";
    screens->ShowPages(std::nullopt, 2);
    ClearCalls();
    screens->Tick(100);
    EXPECT_EQ(cpu.calls, (Calls{"PollData", "Value 1", "Value 2"}));
    EXPECT_EQ(date.calls, (Calls{"PollData", "Value 1"}));
}

TEST_F(LiveScreensTest, FailuresGoToTheLogOncePerItemAndMinute) {
    config.screens[0].lines.push_back("{Orvantel:2}");
    cpu.failingValues[1] = E_FAIL;
    cpu.failingValues[2] = static_cast<HRESULT>(0x800A0006);
    auto logged = Make(LiveScreens::Mode::kLcdproc, true);
    auto quiet = Make(LiveScreens::Mode::kTerminal, false);
    std::vector<std::string> lines;
    for (std::int64_t now = 0; now <= 130'000; now += 1000) {
        logged->Tick(now);
        quiet->Tick(now);
        for (auto& line : logged->TakeLog()) lines.push_back(std::move(line));
        EXPECT_TRUE(quiet->TakeLog().empty());
    }
    EXPECT_EQ(lines, (Calls{"Orvantel:1: Value failed with unspecified error (0x80004005)",
                            "Orvantel:2: Value failed with overflow (0x800A0006)",
                            "Orvantel:1: Value failed with unspecified error (0x80004005)",
                            "Orvantel:2: Value failed with overflow (0x800A0006)",
                            "Orvantel:1: Value failed with unspecified error (0x80004005)",
                            "Orvantel:2: Value failed with overflow (0x800A0006)"}));
}

}  // namespace
