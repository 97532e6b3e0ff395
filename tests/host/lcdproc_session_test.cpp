// The LCDd connection's states, deadlines and back-off, without a socket.
#include <gtest/gtest.h>

#include <functional>

#include "host/live/lcdproc_session.h"

namespace {

using host::LcdprocSession;
using Actions = LcdprocSession::Actions;

constexpr const char* kSessionConnect =
    "connect LCDproc 0.5.9 protocol 0.4 lcd wid 16 hgt 2 cellwid 5 cellhgt 8\n";

struct LcdprocSessionTest : ::testing::Test {
    std::vector<std::string> rows = {"first", "second"};
    std::string size;  // as last asked for the rows
    LcdprocSession session{"127.0.0.1:13666", [this](int width, int height) {
                               size = std::to_string(width) + "x" + std::to_string(height);
                               return rows;
                           }};
};

TEST_F(LcdprocSessionTest, GreetsThenSetsUpTheScreenAndSendsOnlyChanges) {
    EXPECT_EQ(session.Start(0).connect, true);
    EXPECT_EQ(session.Wakeup(), 10'000);
    EXPECT_EQ(session.PanelChanged().send, "") << "nothing before the screen is set up";
    EXPECT_EQ(session.Connected(20).send, "hello\n");
    EXPECT_EQ(session.Received("connect LCDproc").send, "");
    const Actions setup = session.Received(std::string(kSessionConnect).substr(15));
    EXPECT_EQ(size, "16x2");
    EXPECT_EQ(setup.send.rfind("client_set -name lcdhost\nscreen_add S\n", 0), 0u);
    EXPECT_NE(setup.send.find("widget_set S L1 1 1 {first}\nwidget_set S L2 1 2 {second}\n"),
              std::string::npos);
    EXPECT_TRUE(setup.log.empty());
    EXPECT_EQ(session.Wakeup(), INT64_MAX) << "nothing to wait for while connected";

    rows[1] = "changed";
    EXPECT_EQ(session.PanelChanged().send, "widget_set S L2 1 2 {changed}\n");
    EXPECT_EQ(session.Received("huh? bad\n").log,
              std::vector<std::string>{"LCDd answered: huh? bad"});
    EXPECT_FALSE(session.Tick(60'000).exit);
}

TEST(LcdprocSession, BeforeTheFirstAnswerEveryFailureEndsTheRun) {
    const std::pair<std::function<Actions(LcdprocSession&)>, const char*> cases[] = {
        {[](LcdprocSession& s) { return s.ConnectFailed(0, "Connection refused"); },
         "cannot reach LCDd at 127.0.0.1:13666: Connection refused"},
        {[](LcdprocSession& s) {
             EXPECT_FALSE(s.Tick(9999).exit);
             return s.Tick(10'000);
         },
         "cannot reach LCDd at 127.0.0.1:13666: no connection within 10 s"},
        {[](LcdprocSession& s) {
             s.Connected(3000);
             EXPECT_FALSE(s.Tick(9999).exit) << "the greeting shares the connection's 10 s";
             return s.Tick(10'000);
         },
         "cannot talk to LCDd at 127.0.0.1:13666: no answer to hello within 10 s"},
        {[](LcdprocSession& s) {
             s.Connected(0);
             return s.Lost(10, "connection closed");
         },
         "cannot talk to LCDd at 127.0.0.1:13666: connection closed"},
    };
    for (const auto& [events, log] : cases) {
        LcdprocSession session("127.0.0.1:13666",
                               [](int, int) { return std::vector<std::string>(); });
        session.Start(0);
        const Actions end = events(session);
        EXPECT_EQ(end.exit, 1) << log;
        EXPECT_EQ(end.log, std::vector<std::string>{log});
    }
}

TEST_F(LcdprocSessionTest, ALostServerIsRetriedWithBackoffUntilItAnswersAgain) {
    session.Start(0);
    session.Connected(0);
    session.Received(kSessionConnect);
    Actions lost = session.Lost(1000, "connection closed");
    EXPECT_FALSE(lost.exit);
    EXPECT_TRUE(lost.close);
    EXPECT_EQ(lost.log, std::vector<std::string>{
                            "lost LCDd at 127.0.0.1:13666 (connection closed); reconnecting"});

    // 500 ms, doubling up to 10 s; a refused and an unanswered attempt count alike, silently.
    std::int64_t now = 1000;
    for (std::int64_t wait : {500, 1000, 2000, 4000, 8000, 10'000, 10'000}) {
        EXPECT_EQ(session.Wakeup(), now + wait);
        EXPECT_FALSE(session.Tick(now + wait - 1).connect);
        now += wait;
        ASSERT_TRUE(session.Tick(now).connect);
        const bool unanswered = wait == 4000;  // no connection within 10 s
        const Actions failed = unanswered ? session.Tick(now + 10'000)
                                          : session.ConnectFailed(now, "Connection refused");
        if (unanswered) now += 10'000;
        EXPECT_FALSE(failed.exit);
        EXPECT_TRUE(failed.log.empty()) << wait;
    }

    // The server is back: the screen is made again with every row.
    now += 10'000;
    ASSERT_TRUE(session.Tick(now).connect);
    EXPECT_EQ(session.Connected(now).send, "hello\n");
    const Actions setup = session.Received(kSessionConnect);
    EXPECT_EQ(setup.log, std::vector<std::string>{"reconnected to LCDd at 127.0.0.1:13666"});
    EXPECT_NE(setup.send.find("screen_add S\n"), std::string::npos);
    EXPECT_NE(setup.send.find("widget_set S L1 1 1 {first}"), std::string::npos);

    // Once it answered, the back-off starts afresh.
    EXPECT_EQ(session.Lost(now, "Broken pipe").log.size(), 1u);
    EXPECT_EQ(session.Wakeup(), now + 500);
}

TEST(LcdprocSession, EveryScreenIsKeptCurrentAndNewScreensReplaceThemOnTheConnection) {
    std::vector<std::vector<std::string>> rows = {{"a1", "a2"}, {"b1", "b2"}};
    LcdprocSession session(
        "127.0.0.1:13666",
        {{"a", 1, host::Priority::kInfo, {}}, {"b", 2, host::Priority::kInfo, {}}},
        [&](std::size_t screen, std::size_t, int, int) { return rows.at(screen); });
    session.Start(0);
    session.Connected(0);
    const Actions setup = session.Received(kSessionConnect);
    EXPECT_NE(setup.send.find("screen_set S2 -name {b} -duration 16 -priority info"),
              std::string::npos)
        << setup.send;
    EXPECT_NE(setup.send.find("widget_set S1 L2 1 2 {a2}\nwidget_set S2 L1 1 1 {b1}\n"),
              std::string::npos)
        << setup.send;
    rows[1][1] = "changed";
    EXPECT_EQ(session.PanelChanged().send, "widget_set S2 L2 1 2 {changed}\n");

    rows = {{"c1", "c2"}};
    const Actions replaced = session.ScreensChanged({{"c", 3, host::Priority::kAlert, {}}});
    EXPECT_FALSE(replaced.close);
    EXPECT_FALSE(replaced.connect);
    EXPECT_EQ(replaced.send.rfind("screen_del S1\nscreen_del S2\nscreen_add S1\n", 0), 0u)
        << replaced.send;
    EXPECT_NE(replaced.send.find("widget_set S1 L2 1 2 {c2}\n"), std::string::npos);

    // A reconnection sets up the new screens.
    session.Lost(100, "connection closed");
    session.Tick(600);
    session.Connected(600);
    const Actions again = session.Received(kSessionConnect);
    EXPECT_NE(again.send.find("-priority alert"), std::string::npos) << again.send;
    EXPECT_EQ(again.send.find("screen_del"), std::string::npos) << again.send;
    EXPECT_EQ(again.send.find("S2"), std::string::npos) << again.send;
}

TEST(LcdprocSession, LcddsNoticesTellThePagesShownAndAPageShownGetsItsRowsAtOnce) {
    // The rows of screen a's two pages and of screen b.
    std::vector<std::vector<std::string>> rows = {{"a1", "a2"}, {"a3", "-"}, {"b1", "-"}};
    LcdprocSession session(
        "127.0.0.1:13666",
        {{"a", 1, host::Priority::kInfo, {"1", "2", "3"}}, {"b", 1, host::Priority::kInfo, {"x"}}},
        [&](std::size_t screen, std::size_t page, int, int) { return rows.at(screen * 2 + page); });
    session.Start(0);
    EXPECT_TRUE(session.Connected(0).shownChanged);
    EXPECT_NE(session.Received(kSessionConnect).send.find("widget_set S1p2 L1 1 1 {a3}"),
              std::string::npos);
    EXPECT_EQ(session.Shown(), std::nullopt) << "every page until LCDd's first notice";

    const Actions hidden = session.Received("ignore S1p1\nlisten S2\n");
    EXPECT_TRUE(hidden.shownChanged);
    ASSERT_TRUE(session.Shown());
    ASSERT_EQ(session.Shown()->size(), 1u);
    EXPECT_EQ(session.Shown()->front().screen, 1u);
    rows[0][0] = "changed";
    EXPECT_EQ(session.PanelChanged().send, "") << "the page is hidden";
    EXPECT_EQ(session.Received("listen S1p1\n").send, "widget_set S1p1 L1 1 1 {changed}\n");
    EXPECT_FALSE(session.Received("success\n").shownChanged);
}

}  // namespace
