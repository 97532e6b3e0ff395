// The live panel on LCDd: one poll() loop over the signal pipe and the LCDd socket; timeouts
// come from the panel's poll schedule, the LCDd session and the socket's connection attempts,
// on the monotonic clock.
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>

#include "host/live/lcdproc_session.h"
#include "host/live/live.h"
#include "host/live/loop_posix.h"
#include "host/live/socket_posix.h"

namespace host {

namespace {

// The rows of a page as LCDd takes them: 8-bit, padded to the width, a wider one whole.
std::vector<std::string> Latin1Rows(const std::vector<std::u16string>& page, int width) {
    std::vector<std::string> rows;
    for (const auto& row : page) {
        rows.push_back(ToLatin1(row));
        if (rows.back().size() < static_cast<std::size_t>(width))
            rows.back().resize(static_cast<std::size_t>(width), ' ');
    }
    return rows;
}

class LcdprocLoop {
  public:
    LcdprocLoop(LiveScreens& screens, const std::string& host, const std::string& port,
                const LiveOptions& options, std::ostream& err)
        : screens_(screens),
          options_(options),
          err_(err),
          link_(host, port),
          session_(
              link_.where(), screens.config().screens,
              [&screens](std::size_t screen, std::size_t page, int width, int height) {
                  return Latin1Rows(screens.panel().PageRows(screen, page, height), width);
              },
              screens.config().longLines) {}

    int Run();

  private:
    // Carries out what the session asks, telling it how a connection it asked for went; returns
    // the exit status when the session ends.
    [[nodiscard]] std::optional<int> Act(LcdprocSession::Actions actions);
    // Moves the screens on and sends what changed.
    [[nodiscard]] std::optional<int> Refresh();
    // Waits for the next event; returns the exit status when the loop ends.
    [[nodiscard]] std::optional<int> Wait(short* revents);
    // The signals caught: the end, or a reload on the same connection.
    [[nodiscard]] std::optional<int> Signals();
    // News of the connection (`revents`); without any, a deadline or the next attempt may have
    // come.
    [[nodiscard]] std::optional<int> Connection(short revents);
    void Log(const std::string& line) { err_ << "lcdhost: " << line << std::endl; }

    LiveScreens& screens_;
    const LiveOptions& options_;
    std::ostream& err_;
    SignalPipe signals_;
    StreamSocket link_;
    LcdprocSession session_;
    std::int64_t now_ = 0;
};

int LcdprocLoop::Run() {
    if (signals_.fd() < 0) return NoSignals(signals_, err_);
    now_ = options_.clock();
    if (const auto status = Act(session_.Start(now_))) return *status;
    for (;;) {
        short revents = 0;
        if (const auto status = Refresh()) return *status;
        if (const auto status = Wait(&revents)) return *status;
        if (const auto status = Connection(revents)) return *status;
    }
}

std::optional<int> LcdprocLoop::Act(LcdprocSession::Actions actions) {
    for (;;) {
        for (const std::string& line : actions.log) Log(line);
        if (actions.exit) return actions.exit;
        if (actions.shownChanged) screens_.ShowPages(session_.Shown(), session_.height());
        if (actions.close) link_.Close();
        link_.Queue(actions.send);
        if (!actions.connect) return std::nullopt;
        std::string error;
        if (!link_.Connect(now_, &error))
            actions = session_.ConnectFailed(now_, error);
        else if (link_.open())
            actions = session_.Connected(now_);
        else
            return std::nullopt;
    }
}

std::optional<int> LcdprocLoop::Refresh() {
    now_ = options_.clock();
    const bool changed = screens_.Tick(now_);
    for (const std::string& line : screens_.TakeLog()) Log(line);
    if (changed)
        if (const auto status = Act(session_.PanelChanged())) return status;
    std::string error;
    if (link_.open() && link_.HasOutput() && !link_.Flush(&error))
        return Act(session_.Lost(now_, error));
    return std::nullopt;
}

std::optional<int> LcdprocLoop::Wait(short* revents) {
    short events = 0;
    if (link_.connecting())
        events = POLLOUT;
    else if (link_.open())
        events = static_cast<short>(POLLIN | (link_.HasOutput() ? POLLOUT : 0));
    pollfd fds[2] = {{signals_.fd(), POLLIN, 0}, {link_.fd(), events, 0}};
    std::int64_t wake = std::min(screens_.NextWakeup(), session_.Wakeup());
    if (link_.connecting()) wake = std::min(wake, link_.AttemptDeadline());
    const int ready = poll(fds, 2, TimeoutUntil(wake, options_.clock()));
    if (ready < 0 && errno != EINTR) {
        Log(std::string("poll failed: ") + std::strerror(errno));
        return 1;
    }
    now_ = options_.clock();
    *revents = ready > 0 ? fds[1].revents : 0;
    if (ready > 0 && fds[0].revents != 0) return Signals();
    return std::nullopt;
}

std::optional<int> LcdprocLoop::Signals() {
    const SignalPipe::Caught caught = signals_.Take();
    if (caught.end || (caught.hangUp && !options_.reload)) return 0;
    // The connection stays; the session replaces the screens on the server.
    if (caught.hangUp && screens_.Reload(options_.reload, now_)) {
        for (const std::string& line : screens_.TakeLog()) Log(line);
        return Act(session_.ScreensChanged(screens_.config().screens, screens_.config().longLines));
    }
    return std::nullopt;
}

std::optional<int> LcdprocLoop::Connection(short revents) {
    std::string error;
    LcdprocSession::Actions actions;
    if (link_.connecting() && (revents != 0 || now_ >= link_.AttemptDeadline())) {
        if (!link_.Continue(now_, revents != 0, &error))
            actions = session_.ConnectFailed(now_, error);
        else
            actions = link_.open() ? session_.Connected(now_) : session_.Tick(now_);
    } else if (link_.open() && (revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        std::string data;
        const bool alive = link_.Read(&data, &error);
        if (const auto status = Act(session_.Received(data))) return status;
        actions = alive ? session_.Tick(now_) : session_.Lost(now_, error);
    } else {
        actions = session_.Tick(now_);
    }
    return Act(std::move(actions));
}

}  // namespace

int RunLcdprocScreens(LiveScreens& screens, const std::string& host, const std::string& port,
                      const LiveOptions& options, std::ostream& err) {
    return LcdprocLoop(screens, host, port, options, err).Run();
}

}  // namespace host
