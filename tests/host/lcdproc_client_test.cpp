// The LCDd protocol client, without a socket.
#include <gtest/gtest.h>

#include "host/lcdproc_client.h"

namespace {

using host::LcdprocClient;

constexpr const char* kConnect =
    "connect LCDproc 0.5.9 protocol 0.4 lcd wid 16 hgt 2 cellwid 5 cellhgt 8\n";

TEST(QuoteText, EscapesClosingBracesAndBackslashes) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", "{}"},         {"plain text", "{plain text}"},
        {"a}b", "{a\\}b}"}, {"C:\\dir", "{C:\\\\dir}"},
        {"{x}", "{{x\\}}"}, {"\"q\"", "{\"q\"}"},
    };
    for (const auto& c : cases) EXPECT_EQ(host::QuoteText(c.in), c.out) << c.in;
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

}  // namespace
