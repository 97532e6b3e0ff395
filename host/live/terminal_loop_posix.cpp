// The live panel in the terminal: one poll() loop over the signal pipe and the keys; timeouts
// come from the panel's poll schedule and the rotation of the screens.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "host/live/live.h"
#include "host/live/loop_posix.h"
#include "host/live/terminal_posix.h"

namespace host {

namespace {

// Carries out the keys typed; returns the exit status when they end the panel.
std::optional<int> Keys(LiveScreens& screens, std::int64_t now, bool* watchKeys, bool* redraw) {
    switch (TerminalScreen::ReadKeys()) {
        case TerminalScreen::Keys::kQuit:
            return 0;
        case TerminalScreen::Keys::kEnded:
            *watchKeys = false;
            break;
        case TerminalScreen::Keys::kNext:
            screens.Next(now);
            *redraw = true;
            break;
        case TerminalScreen::Keys::kPrevious:
            screens.Previous(now);
            *redraw = true;
            break;
        case TerminalScreen::Keys::kNone:
            break;
    }
    return std::nullopt;
}

}  // namespace

int RunTerminalScreens(LiveScreens& screens, const LiveOptions& options, std::ostream& err) {
    SignalPipe signals;
    if (signals.fd() < 0) return NoSignals(signals, err);
    const auto& Now = options.clock;
    const int width = options.width;
    // Without a terminal to show them, failures and reloads go to the log.
    const bool logging = isatty(STDOUT_FILENO) == 0;
    screens.LogFailures(logging);
    TerminalScreen screen(width);
    bool watchKeys = true;
    bool redraw = true;
    for (;;) {
        const bool changed = screens.Tick(Now());
        const auto lines = screens.TakeLog();
        for (const std::string& line : lines) err << "lcdhost: " << line << std::endl;
        // A line written on the terminal pushes the frame up: draw it afresh below the line.
        if (!lines.empty() && !logging) screen.Forget();
        if (changed || redraw || (!lines.empty() && !logging))
            screen.Draw(screens.Frame(), screens.StatusLine());
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
        if (const auto status = Keys(screens, Now(), &watchKeys, &redraw)) return *status;
    }
}

}  // namespace host
