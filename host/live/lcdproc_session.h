// The connection to LCDd as a state machine without I/O: it is told what happened to the
// connection and what time it is, and answers what to do. The first connection must succeed
// (server and greeting within kAnswerMilliseconds, time for the addresses of a host name to be
// tried in turn); once a server has answered, a lost one is reconnected with a back-off of
// 500 ms doubling up to 10 s, and the screen is set up again.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/live/lcdproc_client.h"
#include "host/panel/layout.h"

namespace host {

class LcdprocSession {
  public:
    // The panel's rows (8-bit texts) for a display of width x height characters.
    using Rows = std::function<std::vector<std::string>(int width, int height)>;

    // The rows of page `page` of the screen numbered `screen` (both from 0), each at least
    // `width` characters: a wider one scrolls or is cut, as the long-line settings say.
    using PageRows = std::function<std::vector<std::string>(std::size_t screen, std::size_t page,
                                                            int width, int height)>;

    // `where` ("host:port") names the server in the log lines. One screen:
    LcdprocSession(std::string where, Rows rows);
    // Several screens, as LcdprocClient::SetScreens takes them:
    LcdprocSession(std::string where, std::vector<ScreenConfig> screens, PageRows rows,
                   LongLineSettings longLines = {});

    // What to do, in this order: write the log lines; end with `exit` if set; close the
    // connection; send `send`; start a new connection. `shownChanged`: the pages on display
    // (Shown) may have changed.
    struct Actions {
        std::vector<std::string> log;
        std::optional<int> exit;
        bool close = false;
        std::string send;
        bool connect = false;
        bool shownChanged = false;
    };

    // The pages LCDd shows, as its notices tell; none: every page (before its first notice).
    // Their rows are sent, the others' wait until LCDd shows them.
    std::optional<std::vector<PageRef>> Shown() const;
    // The display's height, once LCDd told it; 0 before.
    int height() const { return client_.height(); }

    // The first connection.
    Actions Start(std::int64_t now);
    // The connection asked for is made.
    Actions Connected(std::int64_t now);
    // The connection asked for failed, at once or later.
    Actions ConnectFailed(std::int64_t now, const std::string& error);
    // Bytes arrived from the server.
    Actions Received(std::string_view bytes);
    // The connection ended, or sending failed.
    Actions Lost(std::int64_t now, const std::string& error);
    // The panel changed: the rows that changed are sent once the screen is set up.
    Actions PanelChanged();
    // The screens are new: once set up, the old ones are deleted and the new ones set up with
    // every row; a reconnection sets up the new ones.
    Actions ScreensChanged(std::vector<ScreenConfig> screens, LongLineSettings longLines = {});
    // Time passed: a deadline or the time of the next attempt may have come.
    Actions Tick(std::int64_t now);

    // When Tick has work next.
    std::int64_t Wakeup() const;

    static constexpr std::int64_t kAnswerMilliseconds = 10'000;
    static constexpr std::int64_t kFirstBackoff = 500;
    static constexpr std::int64_t kMaxBackoff = 10'000;

  private:
    enum class State { kWaiting, kConnecting, kGreeting, kReady };

    Actions Connect(std::int64_t now);
    Actions Fail(std::int64_t now, const char* what, const std::string& error);
    void Update(Actions* actions);

    std::string where_;
    PageRows rows_;
    LcdprocClient client_;
    State state_ = State::kWaiting;
    bool everReady_ = false;  // a server answered once: from then on, losing it is not fatal
    bool lost_ = false;       // reconnecting
    std::int64_t backoff_ = kFirstBackoff;
    std::int64_t retryAt_ = 0;
    std::int64_t deadline_ = 0;  // of the connection and the greeting
};

}  // namespace host
