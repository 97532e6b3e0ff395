// The live panel: a single loop that waits for the next poll, the user's keys or signals and
// the display server, without threads. Platform code; each returns the exit status and writes
// each error as one line to `err`.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "host/screens.h"

namespace host {

struct LiveOptions {
    int width = 20;
    int height = 4;
    ReloadConfig reload;  // SIGHUP reloads; none: SIGHUP ends like SIGINT
    std::function<std::int64_t()> clock;
};

// Draws the screens in the terminal, redrawing only changed rows, until `q` or Ctrl-C; the
// arrow keys and n/p switch screens.
int RunTerminalScreens(LiveScreens& screens, const LiveOptions& options, std::ostream& err);

// Sends every screen to an LCDd server at host:port, reconnecting when it goes away, until
// SIGINT or SIGTERM.
int RunLcdprocScreens(LiveScreens& screens, const std::string& host, const std::string& port,
                      const LiveOptions& options, std::ostream& err);

}  // namespace host
