// Line templates, the panel layout and the poll schedule, against fake plug-ins.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/panel/panel.h"
#include "tests/host/fake_plugin.h"
#include "tests/support/variants.h"

namespace {

using host::LayOut;
using host::Panel;

using Calls = std::vector<std::string>;

Calls Rows(const std::vector<std::u16string>& frame) {
    Calls rows;
    for (const auto& row : frame) rows.push_back(com::ToUtf8(row));
    return rows;
}

std::size_t CountOf(const Calls& calls, const std::string& what) {
    return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), what));
}

host::ScreenConfig Screen(std::string name, std::vector<std::string> lines) {
    return {std::move(name), 5, host::Priority::kInfo, std::move(lines)};
}

TEST(ParseTemplate, SplitsLiteralsAndItems) {
    std::vector<host::TemplatePiece> pieces;
    std::string error;
    ASSERT_TRUE(host::ParseTemplate("Up {Wendrikai:20} {{x}} {Tamblorin\\Custom\\Day Short}",
                                    &pieces, &error))
        << error;
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(pieces[0].literal, u"Up ");
    EXPECT_TRUE(pieces[1].isItem);
    EXPECT_EQ(pieces[1].plugin, "Wendrikai");
    EXPECT_EQ(pieces[1].index, 20);
    EXPECT_EQ(pieces[2].literal, u" {x} ");
    EXPECT_EQ(pieces[3].plugin, "Tamblorin");
    EXPECT_FALSE(pieces[3].index.has_value());
    EXPECT_EQ(pieces[3].path, u"Tamblorin\\Custom\\Day Short");
}

TEST(ParseTemplate, RejectsMalformedReferencesWithOneLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"{Wendrikai:20", "'{' without '}'"},
        {"a } b", "'}' without '{'"},
        {"{}", "neither"},
        {"{Wendrikai}", "neither"},
        {"{:3}", "neither"},
        {"{Wendrikai:x}", "not a number"},
        {"{Wendrikai:}", "not a number"},
        {"{Wendrikai:99999999999}", "not a number"},
        {"{Wendrikai\\}", "not {Plugin\\path\\label}"},
        {"{a{b}", "'{' inside"},
    };
    for (const auto& [text, why] : cases) {
        std::vector<host::TemplatePiece> pieces;
        std::string error;
        EXPECT_FALSE(host::ParseTemplate(text, &pieces, &error)) << text;
        EXPECT_NE(error.find(why), std::string::npos) << text << " -> " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(LayOut, CutsPadsSplitsAndBlanks) {
    const std::tuple<std::vector<std::u16string>, int, int, Calls> cases[] = {
        {{u"abc"}, 5, 2, {"abc  ", "     "}},
        {{u"abcdefgh", u"x"}, 4, 2, {"abcd", "x   "}},
        {{u"one\ntwo", u"three"}, 5, 4, {"one  ", "two  ", "three", "     "}},
        {{u"one\r\ntwo"}, 3, 2, {"one", "two"}},
        {{u"a\tb\1c\x7f"}, 6, 1, {"a b c "}},
        {{std::u16string(u"x\0y", 3)}, 3, 1, {"x y"}},
        {{u"a", u"b\nc", u"d"}, 1, 3, {"a", "b", "c"}},
        {{u"\u00e9t\u00e9"}, 4, 1, {"\u00e9t\u00e9 "}},
        {{u"\U0001F600!"}, 2, 1, {"?!"}},
        {{}, 2, 2, {"  ", "  "}},
        {{u"dual\n"}, 4, 3, {"dual", "    ", "    "}},
    };
    for (const auto& [texts, width, height, rows] : cases)
        EXPECT_EQ(Rows(LayOut(texts, width, height)), rows)
            << com::ToUtf8(texts.empty() ? u"" : texts[0]);
    // Uncut rows keep a long text whole, without the blanks (or nulls) that trail it.
    EXPECT_EQ(Rows(host::LayOutRows({u"abcdefgh  ", std::u16string(u"ab\0\0", 4)}, 3)),
              (Calls{"abcdefgh", "ab", ""}));
}

TEST(LayOut, AMarqueeRunsTheTextThenHalfARowOfBlanksAndPagesHoldTheDisplaysHeight) {
    // Text, width, step, window.
    const std::tuple<std::u16string, int, std::int64_t, const char*> cases[] = {
        {u"short", 8, 5, "short   "},    {u"ABCDEFGHIJ", 4, 0, "ABCD"},
        {u"ABCDEFGHIJ", 4, 7, "HIJ "},   {u"ABCDEFGHIJ", 4, 9, "J  A"},
        {u"ABCDEFGHIJ", 4, 11, " ABC"},  {u"ABCDEFGHIJ", 4, 12, "ABCD"},
        {u"ABCDEFGHIJ", 5, 10, "  ABC"}, {u"ABCDEFGHIJ", 4, 12 * 1000 + 1, "BCDE"},
    };
    for (const auto& [text, width, step, window] : cases)
        EXPECT_EQ(com::ToUtf8(host::MarqueeWindow(text, width, step)), window) << step;
    // Lines, height, pages.
    const std::tuple<std::size_t, int, std::size_t> pages[] = {
        {0, 2, 1}, {2, 2, 1}, {3, 2, 2}, {4, 2, 2}, {5, 2, 3}, {4, 4, 1}, {9, 4, 3}, {3, 1, 3},
    };
    for (const auto& [lines, height, count] : pages)
        EXPECT_EQ(host::PageCount(lines, height), count) << lines << " on " << height;
}

TEST(ProviderText, StringsAsTheyAreNothingForEmptyAndNullOtherTypesConverted) {
    const std::pair<testing_support::Value, std::u16string> cases[] = {
        {testing_support::Value(), u""},
        {testing_support::Null(), u""},
        {testing_support::Text(u"a\nb"), u"a\nb"},
        {testing_support::Long(-42), u"-42"},
        {testing_support::Short(7), u"7"}};
    for (const auto& [value, expected] : cases) {
        std::u16string text = u"stale";
        EXPECT_EQ(host::ShownText(value, &text), S_OK) << value.vt;
        EXPECT_EQ(text, expected) << value.vt;
    }
}

struct PanelTest : ::testing::Test, fakes::FakePlugins {
    PanelTest() : FakePlugins({u"Custom\\d accumulated", u"Predefined\\d-hh:mm:ss part of day"}) {}
    std::unique_ptr<Panel> Make(const std::vector<std::string>& templates) {
        std::string error;
        auto panel = Panel::Create(catalog, templates, &error);
        EXPECT_TRUE(panel) << error;
        return panel;
    }
    std::unique_ptr<Panel> MakeScreens(const std::vector<host::ScreenConfig>& screens,
                                       const Panel* previous = nullptr) {
        host::PanelError error;
        auto panel = Panel::Create(catalog, screens, &error, previous);
        EXPECT_TRUE(panel) << host::Describe(error);
        return panel;
    }
    std::string CreateError(const std::vector<std::string>& templates) {
        std::string error;
        EXPECT_FALSE(Panel::Create(catalog, templates, &error));
        return error;
    }
};

TEST_F(PanelTest, ReadsTheItemListThenThePollSettingsBeforeAnyPoll) {
    auto panel = Make({"{Wendrikai:1}"});
    const Calls expected = {"Count",         "Name 0",       "DisplayName 0", "Name 1",
                            "DisplayName 1", "PollFreqency", "PollMethod"};
    EXPECT_EQ(uptime.calls, expected);
    EXPECT_TRUE(cpu.calls.empty()) << "a plug-in not on the panel is not touched";
}

TEST_F(PanelTest, ResolvesItemsByIndexAndByDisplayName) {
    uptime.value = [](LONG index, int) { return index == 1 ? u"1-02:03:04" : u"1"; };
    auto panel = Make({"Up {wendrikai:1}", "{Wendrikai\\Predefined\\d-hh:mm:ss part of day}",
                       "{WENDRIKAI\\custom\\D ACCUMULATED}d"});
    panel->Tick(0);
    EXPECT_EQ(Rows(panel->Frame(12, 3)), (Calls{"Up 1-02:03:0", "1-02:03:04  ", "1d          "}));
}

TEST_F(PanelTest, UnknownPluginsAndItemsAreErrors) {
    EXPECT_EQ(CreateError({"{Nowhere:1}"}), "unknown plug-in 'Nowhere'");
    EXPECT_EQ(CreateError({"ok", "{Wendrikai:2}"}), "Wendrikai has no item 2 (0 to 1)");
    EXPECT_EQ(CreateError({"{Wendrikai:-1}"}), "Wendrikai has no item -1 (0 to 1)");
    EXPECT_EQ(CreateError({"{Wendrikai\\Custom\\nothing}"}),
              "Wendrikai has no item 'Wendrikai\\Custom\\nothing'");
    EXPECT_NE(CreateError({"{Wendrikai:1"}).find("bad template"), std::string::npos);
}

TEST_F(PanelTest, DualLineValueTakesTwoRowsAndPushesTheNextLineDown) {
    cpu.value = [](LONG index, int) -> std::u16string {
        if (index == 15) return std::u16string(u" Fast \nProcessor\0", 17);
        return u"x";
    };
    auto panel = Make({"{Orvantel:15}", "next", "dropped"});
    panel->Tick(0);
    EXPECT_EQ(Rows(panel->Frame(10, 3)), (Calls{" Fast     ", "Processor ", "next      "}));
}

TEST_F(PanelTest, EachPluginIsPolledOnItsOwnFrequency) {
    auto panel = Make({"{Orvantel:11}", "{Tamblorin:27}", "{Wendrikai:1}"});
    for (std::int64_t now = 0; now < 30'000; now += 100) panel->Tick(now);
    EXPECT_EQ(cpu.polls, 30);
    EXPECT_EQ(uptime.polls, 30);
    EXPECT_EQ(date.polls, 3);
    EXPECT_EQ(panel->schedule().size(), 3u);
    EXPECT_EQ(panel->schedule()[1].period, 10000);
}

TEST_F(PanelTest, ValueIsAskedOnlyForItemsOnScreenAndOnlyAfterTheirPluginsPoll) {
    auto panel = Make({"{Orvantel:13} SSE2 {Orvantel:21}", "{Orvantel:13}", "{Tamblorin:27}"});
    cpu.calls.clear();
    date.calls.clear();
    panel->Tick(0);
    EXPECT_EQ(cpu.calls, (Calls{"PollData", "Value 13", "Value 21"}));
    EXPECT_EQ(date.calls, (Calls{"PollData", "Value 27"}));

    cpu.calls.clear();
    date.calls.clear();
    panel->Tick(999);  // nothing is due
    EXPECT_TRUE(cpu.calls.empty());
    panel->Tick(1000);
    EXPECT_EQ(cpu.calls, (Calls{"PollData", "Value 13", "Value 21"}));
    EXPECT_TRUE(date.calls.empty());
    EXPECT_EQ(CountOf(uptime.calls, "PollData"), 0u);
}

TEST_F(PanelTest, NextWakeupFollowsTheEarliestPollAndKeepsTheBeat) {
    auto panel = Make({"{Tamblorin:1}", "{Wendrikai:0}"});
    EXPECT_LE(panel->NextWakeup(), 0) << "nothing polled yet: due at once";
    panel->Tick(5);
    EXPECT_EQ(panel->NextWakeup(), 1005);
    panel->Tick(1030);  // late wake-up: the next poll stays on the beat
    EXPECT_EQ(panel->NextWakeup(), 2005);
    panel->Tick(9000);  // a long stall: start afresh from now
    EXPECT_EQ(panel->NextWakeup(), 10000);
}

TEST_F(PanelTest, TickReportsChangesOnlyWhenATextChanged) {
    uptime.value = [](LONG, int polls) { return polls < 3 ? u"same" : u"new"; };
    auto panel = Make({"{Wendrikai:0}"});
    EXPECT_TRUE(panel->Tick(0));
    EXPECT_FALSE(panel->Tick(1000));
    EXPECT_TRUE(panel->Tick(2000));
    EXPECT_FALSE(panel->Tick(3000));
}

TEST_F(PanelTest, AFailingValueShowsInTheStatusLineForAWhile) {
    uptime.failingValues[1] = static_cast<HRESULT>(0x800A0006);
    auto panel = Make({"A{Wendrikai:0}", "B{Wendrikai:1}"});
    EXPECT_TRUE(panel->Tick(0));
    EXPECT_EQ(panel->status(), "Wendrikai:1: Value failed with overflow (0x800A0006)");
    EXPECT_EQ(panel->failures().size(), 1u);
    EXPECT_EQ(Rows(panel->Frame(4, 2)), (Calls{"A0#1", "B   "}));

    uptime.failingValues.clear();
    panel->Tick(1000);
    EXPECT_EQ(Rows(panel->Frame(4, 2)), (Calls{"A0#2", "B1#2"}));
    EXPECT_FALSE(panel->status().empty()) << "still within the status time";
    EXPECT_LE(panel->NextWakeup(), 2000);
    panel->Tick(2000);
    panel->Tick(3000);
    panel->Tick(4000);
    EXPECT_TRUE(panel->Tick(5000)) << "the status line clears";
    EXPECT_EQ(panel->status(), "");
}

TEST_F(PanelTest, AFailingPollIsReportedAndTheValuesAreStillRead) {
    uptime.pollResult = E_FAIL;
    auto panel = Make({"{Wendrikai:0}"});
    panel->Tick(0);
    EXPECT_EQ(panel->status(), "Wendrikai: PollData failed with unspecified error (0x80004005)");
    EXPECT_EQ(CountOf(uptime.calls, "Value 0"), 1u);
}

TEST_F(PanelTest, TheDefaultLayoutShowsAllThreePlugins) {
    fakes::FakePlugins all;  // with a Wendrikai of 26 items
    all.cpu.value = [](LONG index, int) {
        return index == 11   ? u"Some CPU 3000+"
               : index == 13 ? u"2400 MHz"
               : index == 21 ? u"yes"
                             : u"?";
    };
    all.date.value = [](LONG index, int) { return index == 27 ? u"07 Dec 2026" : u"?"; };
    all.uptime.value = [](LONG index, int) { return index == 20 ? u"1-02:03:04" : u"?"; };
    std::string error;
    auto panel = Panel::Create(all.catalog, host::DefaultTemplates(), &error);
    ASSERT_TRUE(panel) << error;
    panel->Tick(0);
    const auto rows = Rows(panel->Frame(20, 4));
    EXPECT_EQ(rows, (Calls{"Some CPU 3000+      ", "2400 MHz SSE2 yes   ", "Date 07 Dec 2026    ",
                           "Up   1-02:03:04     "}));
}

TEST_F(PanelTest, ScreensShareOnePluginReadOnceAndAllAreReadUntilOneIsShown) {
    auto panel = MakeScreens(
        {Screen("a", {"{Wendrikai:0}"}), Screen("b", {"{Wendrikai:1}", "x{Wendrikai:0}"})});
    EXPECT_EQ(CountOf(uptime.calls, "Count"), 1u);
    EXPECT_EQ(panel->screens(), 2u);
    EXPECT_EQ(panel->screen(1).name, "b");
    ASSERT_EQ(panel->schedule().size(), 1u);
    ClearCalls();
    panel->Tick(0);
    EXPECT_EQ(uptime.calls, (Calls{"PollData", "Value 0", "Value 1"}));
    EXPECT_EQ(Rows(panel->Frame(1, 4, 2)), (Calls{"1#1 ", "x0#1"}));
    EXPECT_EQ(Rows(panel->Frame(0, 4, 1)), (Calls{"0#1 "}));
}

TEST_F(PanelTest, OnlyTheScreenShownIsReadAndASwitchReadsItsValuesAtOnce) {
    auto panel =
        MakeScreens({Screen("cpu", {"{Orvantel:1}"}), Screen("up", {"{Wendrikai:0}{Orvantel:2}"})});
    panel->SetShownScreen(0);
    ClearCalls();
    panel->Tick(0);
    EXPECT_EQ(cpu.calls, (Calls{"PollData", "Value 1"}));
    EXPECT_EQ(uptime.calls, (Calls{"PollData"})) << "polled: its item is on a screen";
    EXPECT_EQ(panel->NextWakeup(), 1000);

    panel->SetShownScreen(1);
    EXPECT_LE(panel->NextWakeup(), 300) << "the values of the screen shown are due at once";
    ClearCalls();
    EXPECT_TRUE(panel->Tick(300));
    EXPECT_EQ(cpu.calls, (Calls{"Value 2"})) << "no poll before its time";
    EXPECT_EQ(uptime.calls, (Calls{"Value 0"}));
    EXPECT_EQ(Rows(panel->Frame(1, 6, 1)), (Calls{"0#12#1"}));
    EXPECT_EQ(panel->NextWakeup(), 1000);

    ClearCalls();
    panel->Tick(1000);
    EXPECT_EQ(cpu.calls, (Calls{"PollData", "Value 2"}));
    EXPECT_EQ(Rows(panel->Frame(0, 3, 1)), (Calls{"1#1"})) << "not shown";
}

TEST_F(PanelTest, OnlyTheLinesOfThePagesShownAreReadAndHiddenPluginsWaitWhenAsked) {
    auto panel = MakeScreens({Screen("tall", {"{Orvantel:1}", "{Wendrikai:0}", "{Tamblorin:2}"})});
    EXPECT_EQ(Rows(panel->PageRows(0, 1, 2)), (Calls{"", ""})) << "nothing read yet";
    // Lines 2 and 3: the second page of two rows.
    panel->SetShown(std::vector<host::Panel::View>{{0, 2, 4}}, false);
    ClearCalls();
    panel->Tick(0);
    EXPECT_EQ(date.calls, (Calls{"PollData", "Value 2"}));
    EXPECT_TRUE(cpu.calls.empty() && uptime.calls.empty()) << "neither read nor polled";
    EXPECT_EQ(panel->NextWakeup(), 10'000) << "hidden plug-ins are not due";
    EXPECT_EQ(Rows(panel->PageRows(0, 1, 2)), (Calls{"2#1", ""}));

    // The first page comes into view: its plug-ins are polled and read at once.
    panel->SetShown(std::vector<host::Panel::View>{{0, 0, 2}}, false);
    EXPECT_EQ(panel->NextWakeup(), INT64_MIN);
    ClearCalls();
    panel->Tick(400);
    EXPECT_EQ(cpu.calls, (Calls{"PollData", "Value 1"}));
    EXPECT_EQ(uptime.calls, (Calls{"PollData", "Value 0"}));
    EXPECT_TRUE(date.calls.empty());
    EXPECT_EQ(Rows(panel->PageRows(0, 0, 2)), (Calls{"1#1", "0#1"}));
    EXPECT_EQ(panel->NextWakeup(), 1400);
}

TEST_F(PanelTest, APanelMadeAgainKeepsThePluginsStillUsedAndPollsNoOther) {
    auto first = MakeScreens({Screen("", {"{Wendrikai:0}", "{Tamblorin:1}"})});
    first->Tick(0);
    ClearCalls();
    auto second =
        MakeScreens({Screen("", {"{Wendrikai:1}"}), Screen("", {"{Orvantel:3}"})}, first.get());
    EXPECT_TRUE(uptime.calls.empty()) << "its item list and poll settings are not read again";
    EXPECT_EQ(CountOf(cpu.calls, "Count"), 1u);
    ClearCalls();
    second->Tick(500);
    EXPECT_EQ(uptime.calls, (Calls{"Value 1"})) << "on its beat, its new item read at once";
    EXPECT_EQ(cpu.calls, (Calls{"PollData", "Value 3"}));
    EXPECT_EQ(second->NextWakeup(), 1000);
    for (std::int64_t now = 1000; now < 30'000; now += 500) second->Tick(now);
    EXPECT_EQ(date.polls, 1) << "a plug-in on no screen is not polled";
    EXPECT_EQ(uptime.polls, 30);
}

}  // namespace
