// The live panel: a single loop that waits for the next poll, the user's keys or signals and
// the display server, without threads. Each returns the exit status and writes each error as
// one line to `err`.
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

#include "host/config/screen_config.h"
#include "host/panel/screens.h"
#include "host/plugins/catalog.h"

namespace host {

struct LiveOptions {
    int width = 20;  // the panel's size when the configuration gives none
    int height = 4;
    ReloadConfig reload;                  // SIGHUP reloads; none: SIGHUP ends like SIGINT
    std::function<std::int64_t()> clock;  // milliseconds of a monotonic clock; none: steady_clock
};

// Runs the screens of `config` live, on the terminal or, with config.lcdproc, on an LCDd
// server, until the user or a signal ends it.
int RunScreens(const PanelConfig& config, PluginCatalog& catalog, const LiveOptions& options,
               std::ostream& err);

// The loops RunScreens runs, with the size and the clock of `options` set.
// Draws the screens in the terminal, redrawing only changed rows, until `q` or Ctrl-C; the
// arrow keys and n/p switch screens.
int RunTerminalScreens(LiveScreens& screens, const LiveOptions& options, std::ostream& err);

// Sends every screen to an LCDd server at host:port, reconnecting when it goes away, until
// SIGINT or SIGTERM.
int RunLcdprocScreens(LiveScreens& screens, const std::string& host, const std::string& port,
                      const LiveOptions& options, std::ostream& err);

}  // namespace host
