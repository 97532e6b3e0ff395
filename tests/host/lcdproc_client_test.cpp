// The LCDd protocol client, without a socket.
#include <gtest/gtest.h>

#include "host/live/lcdproc_client.h"

namespace {

using host::LcdprocClient;

constexpr const char* kConnect =
    "connect LCDproc 0.5.9 protocol 0.4 lcd wid 16 hgt 2 cellwid 5 cellhgt 8\n";

TEST(QuoteText, EscapesClosingBracesAndBackslashes) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "{}"},         {"plain text", "{plain text}"},
        {"a}b", "{a\\}b}"}, {"C:\\dir", "{C:\\\\dir}"},
        {"{x}", "{{x\\}}"}, {"\"q\"", "{\"q\"}"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(host::QuoteText(in), out) << in;
}

TEST(LcdprocClient, GreetsThenSetsUpOneScreenWithAWidgetPerRow) {
    LcdprocClient client;
    EXPECT_EQ(client.Start(), "hello\n");
    EXPECT_EQ(client.Update({"ignored"}), "") << "nothing before the server's answer";
    // The answer may come in pieces.
    EXPECT_EQ(client.Receive("connect LCDproc 0.5.9 protocol 0.4 lcd wid 16"), "");
    EXPECT_FALSE(client.ready());
    const std::string setup = client.Receive(" hgt 2 cellwid 5 cellhgt 8\n");
    EXPECT_TRUE(client.ready());
    EXPECT_EQ(client.width(), 16);
    EXPECT_EQ(client.height(), 2);
    EXPECT_EQ(setup,
              "client_set -name lcdhost\n"
              "screen_add S\n"
              "screen_set S -name lcdhost -heartbeat off\n"
              "widget_add S L1 string\n"
              "widget_add S L2 string\n");
}

TEST(LcdprocClient, SendsOnlyTheRowsThatChanged) {
    LcdprocClient client;
    client.Start();
    client.Receive(kConnect);
    EXPECT_EQ(client.Update({"first row      }", "second row      "}),
              "widget_set S L1 1 1 {first row      \\}}\n"
              "widget_set S L2 1 2 {second row      }\n");
    EXPECT_EQ(client.Update({"first row      }", "second row      "}), "");
    EXPECT_EQ(client.Update({"first row      }", "changed         "}),
              "widget_set S L2 1 2 {changed         }\n");
}

TEST(LcdprocClient, ANewConnectionSetsUpAndSendsEverythingAgain) {
    LcdprocClient client;
    client.Start();
    client.Receive(kConnect);
    client.Update({"aaaa", "bbbb"});
    EXPECT_EQ(client.Start(), "hello\n");
    EXPECT_FALSE(client.ready());
    EXPECT_NE(client.Receive(kConnect).find("widget_add S L2 string"), std::string::npos);
    EXPECT_EQ(client.Update({"aaaa", "bbbb"}),
              "widget_set S L1 1 1 {aaaa}\nwidget_set S L2 1 2 {bbbb}\n");
}

TEST(LcdprocClient, IgnoresNoticesAndReportsErrors) {
    LcdprocClient client;
    client.Start();
    client.Receive(kConnect);
    EXPECT_EQ(client.Receive("success\nlisten S\r\nignore S\nhuh? Invalid command \"x\"\n"), "");
    const auto errors = client.TakeErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "LCDd answered: huh? Invalid command \"x\"");
    EXPECT_TRUE(client.TakeErrors().empty());
    EXPECT_EQ(client.Receive(kConnect), "") << "a second connect line changes nothing";
}

TEST(LcdprocClient, AConnectLineWithoutASizeIsAnError) {
    LcdprocClient client;
    client.Start();
    client.Receive("connect LCDproc 0.5.9 protocol 0.4\n");
    EXPECT_FALSE(client.ready());
    EXPECT_EQ(client.TakeErrors().size(), 1u);
}

TEST(LcdprocClient, SetsUpEveryScreenWithItsDurationInEighthsAndPriority) {
    LcdprocClient client;
    EXPECT_EQ(client.SetScreens({{"cpu", 8, host::Priority::kForeground, {"x"}},
                                 {"up time", 2, host::Priority::kHidden, {}}}),
              "")
        << "nothing before the server's answer";
    client.Start();
    EXPECT_EQ(client.Receive(kConnect),
              "client_set -name lcdhost\n"
              "screen_add S1\n"
              "screen_set S1 -name {cpu} -duration 64 -priority foreground -heartbeat off\n"
              "widget_add S1 L1 string\nwidget_add S1 L2 string\n"
              "screen_add S2\n"
              "screen_set S2 -name {up time} -duration 16 -priority hidden -heartbeat off\n"
              "widget_add S2 L1 string\nwidget_add S2 L2 string\n");
    EXPECT_EQ(client.Update(1, {"a", "b"}), "widget_set S2 L1 1 1 {a}\nwidget_set S2 L2 1 2 {b}\n");
    EXPECT_EQ(client.Update(1, {"a", "c"}), "widget_set S2 L2 1 2 {c}\n");
    EXPECT_EQ(client.Update(2, {"a"}), "") << "no such screen";

    // New screens replace the old ones on the same connection, every row sent again.
    EXPECT_EQ(client.SetScreens({{"", 5, host::Priority::kInfo, {}}}),
              "screen_del S1\nscreen_del S2\n"
              "screen_add S\nscreen_set S -name lcdhost -heartbeat off\n"
              "widget_add S L1 string\nwidget_add S L2 string\n");
    EXPECT_EQ(client.Update({"a", "c"}), "widget_set S L1 1 1 {a}\nwidget_set S L2 1 2 {c}\n");
}

TEST(LcdprocClient, TallScreensBecomePagesWideRowsScrollAndOnlyPagesShownAreSent) {
    LcdprocClient client;
    client.SetScreens({{"tall", 2, host::Priority::kAlert, {"a", "b", "c"}},
                       {"one", 1, host::Priority::kInfo, {"x"}}});
    client.SetLongLines({host::LongLines::kScroll, 2});
    client.Start();
    std::string setup;
    for (const char* page : {"1", "2"})
        setup += std::string("screen_add S1p") + page + "\nscreen_set S1p" + page +
                 " -name {tall " + page + "/2} -duration 16 -priority alert -heartbeat off\n" +
                 "widget_add S1p" + page + " L1 string\nwidget_add S1p" + page + " L2 string\n";
    EXPECT_EQ(client.Receive(kConnect),
              "client_set -name lcdhost\n" + setup +
                  "screen_add S2\nscreen_set S2 -name {one} -duration 8 -priority info "
                  "-heartbeat off\nwidget_add S2 L1 string\nwidget_add S2 L2 string\n");
    EXPECT_EQ(client.pages(0), 2u);
    EXPECT_EQ(client.pages(1), 1u);

    // A row wider than the display turns its widget into a marquee, 4 eighths a step at 2 a
    // second, and back when it fits again.
    const std::string wide = "a row of twenty chars";
    EXPECT_EQ(client.Update(0, 1, {wide, "c"}),
              "widget_del S1p2 L1\nwidget_add S1p2 L1 scroller\n"
              "widget_set S1p2 L1 1 1 16 1 m 4 {" +
                  wide + "}\nwidget_set S1p2 L2 1 2 {c}\n");
    EXPECT_EQ(client.Update(0, 1, {wide, "c"}), "");
    EXPECT_EQ(client.Update(0, 1, {"fits", "c"}),
              "widget_del S1p2 L1\nwidget_add S1p2 L1 string\nwidget_set S1p2 L1 1 1 {fits}\n");

    // After LCDd's first notice only the pages it listens to are sent.
    EXPECT_TRUE(client.TakeShownChanged());
    EXPECT_FALSE(client.noticed());
    client.Receive("listen S9\n");
    EXPECT_FALSE(client.TakeShownChanged()) << "not a screen of ours";
    client.Receive("listen S2\n");
    EXPECT_TRUE(client.TakeShownChanged());
    EXPECT_TRUE(client.shown(1, 0));
    EXPECT_FALSE(client.shown(0, 0));
    EXPECT_EQ(client.Update(0, 0, {"a", "b"}), "");
    client.Receive("ignore S2\nlisten S1p1\n");
    EXPECT_FALSE(client.shown(1, 0));
    EXPECT_EQ(client.Update(1, 0, {"y", ""}), "");
    EXPECT_EQ(client.Update(0, 0, {"a", "b"}),
              "widget_set S1p1 L1 1 1 {a}\nwidget_set S1p1 L2 1 2 {b}\n");
    client.SetLongLines({host::LongLines::kCut, 4});
    EXPECT_EQ(client.Update(0, 0, {wide, "b"}), "widget_set S1p1 L1 1 1 {a row of twenty }\n");

    // A new connection, and one unnamed screen of pages.
    client.SetScreens({{"", 5, host::Priority::kInfo, {"a", "b", "c"}}});
    client.Start();
    EXPECT_FALSE(client.noticed());
    const std::string unnamed = client.Receive(kConnect);
    EXPECT_NE(unnamed.find("screen_set Sp2 -name {lcdhost 2/2} -duration 40 -priority info "
                           "-heartbeat off\n"),
              std::string::npos)
        << unnamed;
}

}  // namespace
