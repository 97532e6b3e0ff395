// The live panel on POSIX systems: one poll() loop over the signal pipe, the terminal or the
// LCDd socket; timeouts come from the panel's poll schedule and the LCDd session on the
// monotonic clock.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>

#include "host/lcdproc_session.h"
#include "host/live.h"
#include "host/signal_pipe_posix.h"
#include "host/socket_posix.h"
#include "host/terminal_posix.h"

namespace host {

namespace {

int TimeoutUntil(std::int64_t when, std::int64_t now) {
    if (when <= now) return 0;
    return static_cast<int>(std::min<std::int64_t>(when - now, 60'000));
}

int NoSignals(std::ostream& err) {
    err << "lcdhost: cannot watch for signals: " << std::strerror(errno) << '\n';
    return 1;
}

// The rows of a frame as LCDd takes them.
std::vector<std::string> Latin1Rows(const std::vector<std::u16string>& frame) {
    std::vector<std::string> rows;
    for (const auto& row : frame) rows.push_back(ToLatin1(row));
    return rows;
}

}  // namespace

int RunTerminalScreens(LiveScreens& screens, const LiveOptions& options, std::ostream& err) {
    SignalPipe signals;
    if (signals.fd() < 0) return NoSignals(err);
    const auto& Now = options.clock;
    const int width = options.width, height = options.height;
    // Without a terminal to show them, failures and reloads go to the log.
    const bool logging = isatty(STDOUT_FILENO) == 0;
    screens.LogFailures(logging);
    TerminalScreen screen(width);
    bool watchKeys = true;
    bool redraw = true;
    for (;;) {
        const std::int64_t now = Now();
        const bool changed = screens.Tick(now);
        const auto lines = screens.TakeLog();
        for (const std::string& line : lines) err << "lcdhost: " << line << std::endl;
        // A line written on the terminal pushes the frame up: draw it afresh below the line.
        if (!lines.empty() && !logging) screen.Forget();
        if (changed || redraw || (!lines.empty() && !logging))
            screen.Draw(screens.panel().Frame(screens.current(), width, height),
                        screens.StatusLine());
        redraw = false;

        pollfd fds[2] = {{signals.fd(), POLLIN, 0}, {watchKeys ? STDIN_FILENO : -1, POLLIN, 0}};
        const int ready = poll(fds, 2, TimeoutUntil(screens.NextWakeup(), Now()));
        if (ready < 0 && errno != EINTR) {
            err << "lcdhost: poll failed: " << std::strerror(errno) << '\n';
            return 1;
        }
        if (ready <= 0) continue;
        if (fds[0].revents != 0) {
            const SignalPipe::Caught caught = signals.Take();
            if (caught.end || (caught.hangUp && !options.reload)) return 0;
            if (caught.hangUp) redraw = screens.Reload(options.reload, Now());
        }
        if (fds[1].revents == 0) continue;
        switch (TerminalScreen::ReadKeys()) {
            case TerminalScreen::Keys::kQuit:
                return 0;
            case TerminalScreen::Keys::kEnded:
                watchKeys = false;
                break;
            case TerminalScreen::Keys::kNext:
                screens.Next(Now());
                redraw = true;
                break;
            case TerminalScreen::Keys::kPrevious:
                screens.Previous(Now());
                redraw = true;
                break;
            case TerminalScreen::Keys::kNone:
                break;
        }
    }
}

int RunLcdprocScreens(LiveScreens& screens, const std::string& host, const std::string& port,
                      const LiveOptions& options, std::ostream& err) {
    SignalPipe signals;
    if (signals.fd() < 0) return NoSignals(err);
    const auto& Now = options.clock;
    StreamSocket link(host, port);
    LcdprocSession session(link.where(), screens.config().screens,
                           [&screens](std::size_t screen, int width, int height) {
                               return Latin1Rows(screens.panel().Frame(screen, width, height));
                           });
    auto log = [&](const std::string& line) { err << "lcdhost: " << line << std::endl; };

    std::int64_t now = Now();
    // Carries out what the session asks, telling it how a connection it asked for went; returns
    // the exit status when the session ends.
    auto act = [&](LcdprocSession::Actions actions) -> std::optional<int> {
        for (;;) {
            for (const std::string& line : actions.log) log(line);
            if (actions.exit) return actions.exit;
            if (actions.close) link.Close();
            link.Queue(actions.send);
            if (!actions.connect) return std::nullopt;
            std::string error;
            if (!link.Connect(&error))
                actions = session.ConnectFailed(now, error);
            else if (link.open())
                actions = session.Connected(now);
            else
                return std::nullopt;
        }
    };
    if (const auto status = act(session.Start(now))) return *status;

    for (;;) {
        now = Now();
        const bool changed = screens.Tick(now);
        for (const std::string& line : screens.TakeLog()) log(line);
        if (changed) act(session.PanelChanged());
        std::string error;
        if (link.open() && link.HasOutput() && !link.Flush(&error))
            if (const auto status = act(session.Lost(now, error))) return *status;

        short events = 0;
        if (link.connecting())
            events = POLLOUT;
        else if (link.open())
            events = static_cast<short>(POLLIN | (link.HasOutput() ? POLLOUT : 0));
        pollfd fds[2] = {{signals.fd(), POLLIN, 0}, {link.fd(), events, 0}};
        const std::int64_t wake = std::min(screens.NextWakeup(), session.Wakeup());
        const int ready = poll(fds, 2, TimeoutUntil(wake, Now()));
        if (ready < 0 && errno != EINTR) {
            log(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }
        now = Now();
        if (ready > 0 && fds[0].revents != 0) {
            const SignalPipe::Caught caught = signals.Take();
            if (caught.end || (caught.hangUp && !options.reload)) return 0;
            // The connection stays; the session replaces the screens on the server.
            if (caught.hangUp && screens.Reload(options.reload, now)) {
                for (const std::string& line : screens.TakeLog()) log(line);
                act(session.ScreensChanged(screens.config().screens));
            }
        }

        // News of the connection; without any, a deadline or the next attempt may have come.
        const short revents = ready > 0 ? fds[1].revents : 0;
        LcdprocSession::Actions actions;
        if (link.connecting() && revents != 0) {
            actions = link.FinishConnect(&error) ? session.Connected(now)
                                                 : session.ConnectFailed(now, error);
        } else if (link.open() && (revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
            std::string data;
            const bool alive = link.Read(&data, &error);
            if (const auto status = act(session.Received(data))) return *status;
            actions = alive ? session.Tick(now) : session.Lost(now, error);
        } else {
            actions = session.Tick(now);
        }
        if (const auto status = act(std::move(actions))) return *status;
    }
}

}  // namespace host
